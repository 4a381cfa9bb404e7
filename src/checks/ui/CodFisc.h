#pragma once

#include "common/ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class Picture;

// The fiscal code check: tells whether a code's check character is right.
class TfrmCodFisc : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCodFisc(ScreenContext &ctx, QWidget *parent = nullptr);

    Picture *imgLogo;
    QLabel *lblTitolo;
    QLineEdit *txtCodFisc;
    QPushButton *btnControlla;
    QPushButton *btnChiudi;

    void FormShow();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace clinora
