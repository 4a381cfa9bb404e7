#pragma once

#include "summary/SummaryList.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class ScreenContext;
class LineList;
class Picture;
class PictureButton;
class ReportTemplate;

// What the criteria screen offers the summary under its CallerTag: the
// criteria it reads, and the waiting line it hides when done.
struct SummaryMenuHook {
    QLineEdit *txtCodFisc = nullptr;
    QLineEdit *txtEsame = nullptr;
    QLabel *lblDataInizio = nullptr, *lblDataFine = nullptr;
    // The path of the results archive the criteria name.
    QLabel *lblFile = nullptr;
    QLabel *lblAttendere = nullptr;
};

// The summary of one patient's results over the interval asked for on the
// criteria screen: built once when shown, in order of sample date, with
// its interval and total; found in, printed, and seen as a trend.
//
// A working area to look at, opened as a modal dialog over the criteria
// screen: maximised, its content on a centred board of the design size.
class TfrmRiepLavoro : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRiepLavoro(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmRiepLavoro() override;

    // The centred panel that holds the content.
    QWidget *board() const { return m_board; }

    Picture *imgIntestazione;
    QLabel *titTipologia;
    QLabel *lblIstruzioni1, *lblIstruzioni2;
    PictureButton *imgGuida;
    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    LineList *lstRecords;
    QLabel *lblIntervallo, *lblTotCosti;
    // Results left out for a sample date that is no date; hidden when none.
    QLabel *lblEscluse;
    // Listed results outside their reference values that nobody marked; hidden when none.
    QLabel *lblFuoriIntervallo;
    QPushButton *btnStampa, *btnGrafico, *btnEsci;
    // The number of criteria given: 1, or 2 with an exam.
    QLabel *lblConta;
    std::unique_ptr<ReportTemplate> repRiepilogo;

    void FormShow();
    void btnStampaClick();
    void btnGraficoClick();
    void btnEsciClick();
    void imgGuidaClick();

    // What the list was built from.
    const summary::SummaryList &summaryList() const { return m_list; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void done(int result) override;

private:
    // The interval and total row, centred in its panel, or above the note
    // when there is one.
    void placeTotals(bool withNote);

    ScreenContext &m_ctx;
    QLabel *m_capIntervallo, *m_capTotale;
    QWidget *m_board;
    summary::SummaryList m_list;
    QDate m_start, m_end; // the interval the list was built for
};

} // namespace clinora
