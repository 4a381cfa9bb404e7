#pragma once

#include "common/ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class Picture;

// The VAT number check: tells whether a number's check digit is right and
// which VAT office issued it.
class TfrmPartitaIva : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmPartitaIva(ScreenContext &ctx, QWidget *parent = nullptr);

    Picture *imgLogo;
    QLabel *lblTitolo;
    QLineEdit *txtPartitaIva;
    QPushButton *btnControlla;
    QPushButton *btnChiudi;

    void FormShow();
    void btnControllaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace clinora
