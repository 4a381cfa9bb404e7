#pragma once

#include "common/ExcelHtml.h"
#include "common/HelpTexts.h"
#include "common/TextGrid.h"
#include "common/ui/Screen.h"

#include <QTableView>

class QLabel;

namespace clinora {

class HintLine;
class Picture;
class PictureButton;

// The export grid: a table over a TextGridModel whose open cell editor can
// be made to hand its text to the grid before the grid is written out.
class ExportGridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    // The text being typed in a cell becomes the cell's text.
    void commitEdit();
};

// What the two spreadsheet exports share: a white band with the logo and
// the three command pictures, the editable grid of an archive, filled once
// when the screen shows, the hint line, and the export of what the grid
// holds to a file in the AppFolder.
class ExportScreen : public DialogScreen {
    Q_OBJECT
public:
    Picture *imgLogo;
    PictureButton *cmdEsporta;
    PictureButton *cmdGuida;
    PictureButton *cmdEsci;
    ExportGridView *grdRecords;
    QLabel *panInfo;

    TextGridModel *gridModel() const { return m_model; }

    void FormShow();
    void cmdEsportaClick();
    void cmdGuidaClick();
    void cmdEsciClick();

    static constexpr QStringView kExportFailed =
        u"Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file di Excel non sia già "
        u"aperto.";

protected:
    struct Export {
        QString fileName;  // in the AppFolder
        QString sheetName;
        QList<ExcelColumn> columns; // grid columns 1 onwards
        help::TopicId helpTopic;
        QString heading; // beside the logo
    };
    ExportScreen(ScreenContext &ctx, QWidget *parent, const QString &title, QList<TextGridModel::Column> gridColumns,
                 Export exportSettings);

    // The grid's rows, read from the archive.
    virtual TextGridModel::Rows readGrid() = 0;
    void showEvent(QShowEvent *event) override;

private:
    TextGridModel *m_model;
    Export m_export;
    HintLine *m_hints = nullptr;
    bool m_filled = false;
};

} // namespace clinora
