#pragma once

#include "common/ui/Screen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class Picture;
class PictureButton;

// Where the user asks for one patient's results over an interval of one
// calendar year, optionally for one exam: the criteria, their checks, and
// the summary screen they lead to.
class TfrmMenuRiepLavoro : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmMenuRiepLavoro(ScreenContext &ctx, QWidget *parent = nullptr);

    Picture *imgTitolo;
    QLabel *lblIstruzioni1, *lblIstruzioni2, *lblIstruzioni3;
    QLineEdit *txtAnno;
    // The chosen patient's fiscal code, also written by the patient search
    // (CallerTag "riepilogo").
    QLineEdit *txtCodFisc;
    PictureButton *impPaziente;
    QLineEdit *txtEsame;
    QComboBox *txtGiornoInizio, *txtMeseInizio, *txtGiornoFine, *txtMeseFine;
    // The year of each box, as typed in txtAnno.
    QLabel *lblAnnoInizio, *lblAnnoFine;
    // The interval's dates, dd/mm/yyyy, and the archive path: read by the
    // summary screen.
    QLabel *lblDataInizio, *lblDataFine, *lblFile;
    QLabel *lblAttendere;
    QPushButton *btnEsci, *btnVisualizza;

    void FormShow() override;
    void impPazienteClick();
    void btnVisualizzaMouseDown();
    void btnVisualizzaClick();
    void btnEsciClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void FormClose() override;

private:
    void followYear();
    // Once the criteria have passed: the folder, the archive path and the summary.
    void prepareSummary();
    bool listKey(QComboBox *list, QEvent *event);
    void listExit(QComboBox *list);

    // What has been typed into a day or month list in a row, to find the
    // entry it begins.
    QString m_typed;
    qint64 m_typedAt = 0;
};

} // namespace clinora
