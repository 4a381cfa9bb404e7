#pragma once

#include "common/ui/Screen.h"

class QLabel;
class QPushButton;

namespace clinora {

class LinkLabel;
class Picture;

// The information screen: the product and the maker's support address.
class TfrmInfo : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmInfo(ScreenContext &ctx, QWidget *parent = nullptr);

    Picture *imgLogo;
    Picture *imgEmail;
    LinkLabel *lnkWeb;
    QPushButton *btnChiudi;
    // When and where the last verified backup was made.
    QLabel *lblBackup;

    void lnkWebClick();
    void btnChiudiClick();
};

// The splash screen: the maker's picture and web address.
class TfrmSplash : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmSplash(ScreenContext &ctx, QWidget *parent = nullptr);

    Picture *imgSplash;
    Picture *imgWeb;
    LinkLabel *lnkWeb;
    QPushButton *btnChiudi;

    void lnkWebClick();
    void btnChiudiClick();
};

} // namespace clinora
