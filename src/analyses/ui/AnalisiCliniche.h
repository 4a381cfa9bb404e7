#pragma once

#include "analyses/AnalysisRecord.h"
#include "common/CardLogic.h"
#include "common/ui/Screen.h"

#include <QPalette>

class QCheckBox;
class QComboBox;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace clinora {

class HintLine;
class Picture;
class PictureButton;

// One patient's analysis archive, one card (one exam result) at a time:
// browse, enter, duplicate and save cards, and open the tools that work on
// the archive.
class TfrmAnalisiCliniche : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmAnalisiCliniche(ScreenContext &ctx, QWidget *parent = nullptr);

    // Toolbar.
    PictureButton *cmdNuovo, *cmdDuplica, *cmdSalva, *cmdTrova;
    PictureButton *cmdFile, *cmdStampa;
    PictureButton *cmdPrimo, *cmdIndietro, *cmdAvanti, *cmdUltimo;
    // The record shown: empty for a new card, else its 1-based number.
    QLabel *lblPosizione;
    PictureButton *cmdEsporta, *cmdListino, *cmdReferto, *cmdGuida, *cmdEsci;

    // Patient and report bands.
    QLineEdit *txtPaziente, *txtCodFisc;
    QLineEdit *txtNumRef;
    PictureButton *btnCancella;
    QLineEdit *txtDataRef;
    // The column of eight fields.
    QLineEdit *txtData, *txtEsame;
    PictureButton *btnImpEsame;
    QLineEdit *txtRisultato, *txtUM, *txtRife;
    QComboBox *txtEsito;
    QLineEdit *txtCommento, *txtFirmatario;
    QLineEdit *txtNote;
    QCheckBox *chkAllarme;
    QLabel *panInfo;

    // Hidden: the archive's path, and the three attachments' names and descriptions.
    QLabel *lblFile;
    QLabel *lblFile01, *lblFile02, *lblFile03;
    QLabel *lblDesc01, *lblDesc02, *lblDesc03;

    // Puts record `number` of the archive on the card: every field, the
    // alarm box (left as it is for a mark other than "Sì" or "No"), the
    // attachments and the position label.
    void showRecord(const AnalysisRecord &record, qint64 number);
    // The card as a record, every text trimmed and cut to its field.
    AnalysisRecord cardRecord() const;
    // Shows each text of the card as `record` stored it, where it differs
    // from the typed one otherwise than by outer blanks.
    void showStoredTexts(const AnalysisRecord &record);

    void FormShow() override;
    void cmdNuovoClick();
    void cmdDuplicaClick();
    void cmdSalvaClick();
    void cmdTrovaClick();
    void cmdFileClick();
    void cmdStampaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void cmdEsportaClick();
    void cmdListinoClick();
    void cmdRefertoClick();
    void cmdGuidaClick();
    void cmdEsciClick();
    void btnCancellaClick();
    void btnImpEsameClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void FormClose() override;

private:
    // The date fields: Backspace and Delete empty them, digits and "/" type
    // a date (gg/mm/aaaa), other keys open the picker.
    bool dateFieldKey(QLineEdit *field, const QKeyEvent *key);
    void openDatePicker(QLineEdit *field);
    // A typed date that is not a real date in the program's format is
    // refused with a warning; false then.
    bool checkTypedDate(QLineEdit *field);
    QLineEdit *m_typingDate = nullptr;
    // Empties the outcome's text and its choice in the list.
    void clearOutcome();
    void clearAttachments();
    QString archivePath() const;
    // "Duplica" begins and ends with these, to prove the archive can be
    // reached; a failure shows the access error.
    bool openArchive(AnalysisArchive &archive, lock::Mode mode = lock::Mode::Shared);
    bool closeArchive(AnalysisArchive &archive);
    void accessError();
    // One arrow: the record it leads to shown, or the message it gives.
    void browse(BrowseCommand command);

    LoadedRecord m_loaded;

    // Leaving the result, its unit or its reference values: the outcome
    // they read as goes into an empty outcome (or replaces the one offered
    // before, never one the user gave), and the hint line says why.
    void offerOutcome();
    // The result field in the alarm colour while the result lies outside
    // its reference values.
    void showRangeColour();

    HintLine *m_hints = nullptr;
    // The outcome last offered and not since changed by the user; empty when
    // the outcome shown is the user's or the archive's.
    QString m_offeredOutcome;
    QPalette m_resultPalette;
};

} // namespace clinora
