#pragma once

#include "common/ui/Screen.h"

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class LineList;
class ReportTemplate;

// Finds the cards of the open patient's analysis archive by up to ten
// criteria, lists them in order of sample date, finds and prints in the
// list, and puts a chosen card back on the analysis card.
class TfrmTrovaAnalisi : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmTrovaAnalisi(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmTrovaAnalisi() override;

    // CallerTag: whose fields a result is written into.
    QLabel *lblMemory;

    // The criteria page.
    QWidget *panAvvio;
    QLineEdit *txtNumRef, *txtDataRef, *txtData, *txtEsame, *txtRisultato;
    QLineEdit *txtUM, *txtEsito, *txtCommento, *txtFirmatario, *txtNote;
    QPushButton *btnAnnulla, *btnCerca;
    QLabel *lblAttendere;
    // Hidden: how many criteria the last search was given.
    QLabel *lblConta;

    // The results page.
    QWidget *panContainer;
    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    LineList *lstRecords;
    QLabel *lblTrovate;
    QPushButton *btnChiudi, *btnStampa;
    std::unique_ptr<ReportTemplate> repRiepilogo;

    void FormShow();
    void btnCercaMouseDown();
    void btnCercaClick();
    void btnStampaClick();
    void btnChiudiClick();
    void btnAnnullaClick();
    void lstRecordsDblClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QString archivePath() const;
};

} // namespace clinora
