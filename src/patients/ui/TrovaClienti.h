#pragma once

#include "common/ui/Screen.h"
#include "patients/PatientRecord.h"

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace clinora {

class Picture;
class ListLinesModel;
class PatientPicker;
class ReportTemplate;

// The patient search: up to ten filters, the sorted list of the patients
// that match them all, and the pick of one patient back into the screen
// that opened the search, as its CallerTag says.
class TfrmTrovaClienti : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmTrovaClienti(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmTrovaClienti() override;

    // CallerTag: whose fields a result is written into ("clienti",
    // "menuanalisi", "riepilogo"; anything else: nobody's).
    QLabel *lblMemory;

    // The filter panel.
    Picture *panAvvio;
    QLineEdit *txtPaziente;
    QLineEdit *txtComuneRes;
    QLineEdit *txtPartitaIva;
    QLineEdit *txtCodFisc;
    QLineEdit *txtASL;
    QLineEdit *txtTessera;
    QLineEdit *txtPatologie;
    QLineEdit *txtFarmaci;
    QLineEdit *txtQuestioni;
    QLineEdit *txtNote;
    QPushButton *btnAnnulla;
    QLabel *lblAttendere;
    QPushButton *btnCerca;

    // The result panel.
    Picture *panContainer;
    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    QListView *lstRecords;
    QPushButton *btnChiudi;
    QLabel *lblTrovate;
    QPushButton *btnStampa;

    // The list template "Riepilogo dati".
    std::unique_ptr<ReportTemplate> repRiepilogo;

    void FormShow();
    void btnCercaMouseDown();
    void btnCercaClick();
    void btnStampaClick();
    void lstRecordsDblClick();
    // The pick's action for the CallerTag.
    void pickInto(const PatientRecord &record, qint64 number);

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    ListLinesModel *m_lines = nullptr;
    PatientPicker *m_picker = nullptr;
};

} // namespace clinora
