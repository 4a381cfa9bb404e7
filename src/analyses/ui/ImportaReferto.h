#pragma once

#include "analyses/LabReport.h"
#include "common/ui/Screen.h"

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;

namespace clinora {

class ExportGridView;
class HintLine;

// A laboratory report made into analysis cards: the report is read, each
// result shown as a row of the card's fields to check, correct or leave
// out, and "Importa" stores one card per row kept, all at once. The opener
// tells whose archive they go to; a report of another patient stores nothing
// until the right patient is chosen here.
class TfrmImportaReferto : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmImportaReferto(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmImportaReferto() override;

    // The grid's columns: the check that keeps a row, the card's ten fields, the warnings.
    enum Column { ColImporta, ColEsame, ColRisultato, ColUM, ColRife, ColEsito, ColData, ColNumRef, ColDataRef,
                  ColFirmatario, ColCommento, ColAvvisi, ColumnCount };

    QPushButton *btnApri, *btnSeleziona;
    QLabel *lblFileReferto;
    QLineEdit *txtLaboratorio, *txtNumRef, *txtDataRef, *txtData, *txtFirmatario;
    QLineEdit *txtPazienteReferto, *txtPaziente;
    QLabel *lblAvviso;
    ExportGridView *grdRighe;
    QStandardItemModel *m_rows;
    QLabel *lblRiepilogo;
    QPushButton *btnGuida, *btnImporta, *btnChiudi;
    QLabel *panInfo;

    // Whose archive the cards go to.
    void setPatient(const QString &name, const QString &fiscalCode, const QString &archivePath);
    // Reads the report at `path` into the screen; a refused file is said and
    // leaves the screen as it was.
    bool openReport(const QString &path);
    // The row as it will be stored (texts trimmed).
    referto::ReportRow rowAt(int row) const;

    void btnApriClick();
    void btnSelezionaClick();
    void btnImportaClick();
    void btnGuidaClick();

private:
    void showReport();
    void refreshRow(int row);
    void refreshPatient();
    void refreshSummary();
    // A report field changed above the grid: the rows that held its old value take the new one.
    void headerEdited(QLineEdit *field, Column column);
    // The fiscal code the report names differs from the chosen patient's.
    bool otherPatient() const;
    void selectCell(int row, Column column);

    std::unique_ptr<referto::PdfSource> m_pdf;
    std::optional<referto::LabReport> m_report;
    QString m_patientName, m_fiscalCode, m_archivePath;
    QString m_headerValues[ColumnCount];
    bool m_filling = false;
    HintLine *m_hints = nullptr;
};

} // namespace clinora
