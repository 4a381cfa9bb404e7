#pragma once

#include "common/ui/Screen.h"

class QCalendarWidget;
class QLabel;
class QPushButton;

namespace clinora {

class Picture;

// The date picker: the only way a date reaches the analysis card's two date
// fields. Its mode names the field that receives the date.
class TfrmCalendario : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCalendario(ScreenContext &ctx, QWidget *parent = nullptr);

    QLabel *lblTitolo;
    Picture *panCalendario;
    QCalendarWidget *calAppuntamenti;
    QPushButton *btnAnnulla;
    QPushButton *btnImportaData;
    // "analisi_dataref" for the report date, "analisi_data" for the sample date.
    QLabel *lblMemory;

    void btnImportaDataClick();
    void btnAnnullaClick();

    // The day under the calendar's cursor in words, as it is said:
    // "martedì 10 dicembre 2026".
    QString dateInWords() const;

protected:
    void FormShow() override;
};

} // namespace clinora
