#pragma once

#include "common/HelpTexts.h"
#include "common/ui/Screen.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace clinora {

class LinkLabel;
class Picture;

// The help screen: a topic title and its text, and a link to the PDF guide.
class TfrmGuida : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmGuida(ScreenContext &ctx, QWidget *parent = nullptr);

    // The help protocol: a fresh help screen owned by `owner`, showing one topic.
    static void showTopic(ScreenContext &ctx, QWidget *owner, help::TopicId topic);

    Picture *imgLogo;
    QLabel *lblTitolo;
    QPlainTextEdit *txtGuida;
    Picture *imgPDF;
    LinkLabel *lnkWeb;
    QPushButton *btnChiudi;

    void lnkWebClick();
    void btnChiudiClick();
};

} // namespace clinora
