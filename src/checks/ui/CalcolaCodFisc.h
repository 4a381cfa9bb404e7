#pragma once

#include "common/ui/Screen.h"

class QCompleter;
class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class Picture;

// Computes a person's fiscal code from surname, given names, sex, birth date
// and place of birth, shown while the data are typed; "OK" writes it into
// the opener's field. A code changed for omocodia cannot be computed: only
// the tax office assigns it, and the dialog says so.
class TfrmCalcolaCodFisc : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCalcolaCodFisc(ScreenContext &ctx, QWidget *parent = nullptr);

    Picture *imgLogo;
    QLabel *lblTitolo;
    QLineEdit *txtCognome;
    QLineEdit *txtNome;
    QLineEdit *txtSesso;
    QLineEdit *txtDataNasc;
    QLineEdit *txtLuogoNasc;
    QLineEdit *txtCodice; // the computed code, read-only
    QLabel *lblEsito;     // what is still missing, or empty
    QLabel *lblOmocodia;
    QPushButton *btnOK;
    QPushButton *btnAnnulla;

    // The field "OK" writes the code into.
    QLineEdit *destinazione = nullptr;

    // Fills the inputs from a patient card's texts: the name is split into
    // surname and given names, the place joined with its province.
    void precompila(const QString &paziente, const QString &sesso, const QString &dataNasc,
                    const QString &comuneNasc, const QString &provNasc);

    void FormShow();
    void aggiorna();
    void btnOKClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace clinora
