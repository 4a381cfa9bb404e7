#pragma once

#include "common/ui/Screen.h"
#include "common/CardLogic.h"
#include "patients/PatientRecord.h"

#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace clinora {

class HintLine;
class Picture;
class PictureButton;

// The patient card: one PatientRecord in 30 inputs, a check box and six
// hidden labels; the position label says which record it is (empty for a
// card not yet stored). Other screens fill it through LoadPatientIntoCard.
class TfrmClienti : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmClienti(ScreenContext &ctx, QWidget *parent = nullptr);

    // The 30 inputs, in tab order.
    QLineEdit *txtPaziente;
    QLineEdit *txtDataNasc;
    QLineEdit *txtComuneNasc;
    QComboBox *txtProvNasc;
    QLineEdit *txtSesso;
    QLineEdit *txtRecapito;
    QLineEdit *txtIndirizzoRes;
    QComboBox *txtProvRes;
    QLineEdit *txtComuneRes;
    QLineEdit *txtCapRes;
    QLineEdit *txtProfessione;
    QLineEdit *txtASL;
    QLineEdit *txtTelCasa;
    QLineEdit *txtTelUff;
    QLineEdit *txtTelCel;
    QLineEdit *txtFax;
    QLineEdit *txtEmail;
    QLineEdit *txtCodFisc;
    QLineEdit *txtTessera;
    QLineEdit *txtGruppo;
    QLineEdit *txtPartitaIva;
    QLineEdit *txtVaccinazioni;
    QLineEdit *txtPatologie;
    QLineEdit *txtAllergie;
    QLineEdit *txtFarmaci;
    QLineEdit *txtInterventi;
    QLineEdit *txtProtesi;
    QLineEdit *txtHandicap;
    QLineEdit *txtQuestioni;
    QCheckBox *chkRicontatta;
    QLineEdit *txtNote;

    // The attachments: file names and descriptions, never visible.
    QLabel *lblFile01;
    QLabel *lblFile02;
    QLabel *lblFile03;
    QLabel *lblDesc01;
    QLabel *lblDesc02;
    QLabel *lblDesc03;

    // The record number shown, or empty for a card not yet stored.
    QLabel *lblPosizione;
    // The hint line.
    QLabel *panInfo;

    PictureButton *cmdNuovo;
    PictureButton *cmdDuplica;
    PictureButton *cmdSalva;
    PictureButton *cmdFile;
    PictureButton *cmdCartella;
    PictureButton *cmdTrova;
    PictureButton *cmdStampa;
    PictureButton *cmdPDF;
    PictureButton *cmdRicontatta;
    PictureButton *cmdEsporta;
    PictureButton *cmdGuida;
    PictureButton *cmdEsci;
    PictureButton *cmdPrimo;
    PictureButton *cmdIndietro;
    PictureButton *cmdAvanti;
    PictureButton *cmdUltimo;
    PictureButton *btnEmail;
    PictureButton *btnCodFisc;
    PictureButton *btnPartitaIva;
    // Beside the fiscal code: computes it from the card's data.
    PictureButton *btnCalcolaCodFisc;

    // Record to card: every input, the check box ("Sì" ticks it, "No" clears
    // it, anything else leaves it alone) and the hidden labels, with the
    // position label set to `recordNumber`.
    void LoadPatientIntoCard(const PatientRecord &record, qint64 recordNumber);
    // Card to record: every text trimmed and cut to its field, the check box
    // as "Sì" or "No". The inputs are left as typed.
    PatientRecord PatientFromCard() const;

    void FormShow();
    void cmdNuovoClick();
    void cmdDuplicaClick();
    void cmdSalvaClick();
    void cmdFileClick();
    void cmdCartellaClick();
    void cmdTrovaClick();
    // Printing and the PDF of the card.
    void cmdStampaClick();
    void cmdPDFClick();
    void cmdRicontattaClick();
    void cmdEsportaClick();
    void cmdGuidaClick();
    void cmdEsciClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void btnEmailClick();
    void btnCodFiscClick();
    void btnPartitaIvaClick();
    void btnCalcolaCodFiscClick();

protected:
    void FormClose() override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Binding {
        PatientRecord::Field field;
        QWidget *input; // a QLineEdit or, for the provinces, a QComboBox
    };
    void buildLayout();
    void connectCommands();
    // Empties the card: what showing it and "Nuovo" both do.
    void clearCard();
    // One arrow: the record it leads to shown, or the message it gives.
    void browse(BrowseCommand command);
    void accessError();

    LoadedRecord m_loaded;

    // The questions "Salva" asks before it writes: the birth data against
    // what a valid fiscal code says, and, for a new card, a patient already
    // stored with the same code or name and birth date. False: do not save.
    bool askBeforeSaving(bool stored);
    bool matchFiscalCode();
    bool askAboutDuplicates();

    QList<Binding> m_inputs;
    HintLine *m_hints = nullptr;
    // The code whose offer to fill the birth data was declined: not offered
    // again for this card.
    QString m_fillDeclinedFor;
};

} // namespace clinora
