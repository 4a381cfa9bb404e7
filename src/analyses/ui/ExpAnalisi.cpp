#include "analyses/ui/ExpAnalisi.h"

#include "analyses/AnalysisExport.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "app/ui/AppContext.h"
#include "common/Text.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmExpAnalisi::TfrmExpAnalisi(AppContext &ctx, QWidget *parent)
    : ExportScreen(ctx, parent, u" Esporta archivio analisi cliniche in Microsoft Excel"_s, analysisGridColumns(),
                   {kAnalysisExportFile.toString(), kAnalysisExportSheet.toString(), analysisExportColumns(),
                    help::TopicId::AnalysesExport, u"Esportazione archivio analisi cliniche"_s})
{
    setObjectName(u"frmExpAnalisi"_s);
}

TextGridModel::Rows TfrmExpAnalisi::readGrid()
{
    // The archive open on the analysis card; with none named, the grid keeps
    // its empty rows.
    const QString path = text::trimmed(m_ctx.screens.frmAnalisiCliniche->lblFile->text());
    if (path.isEmpty()) {
        TextGridModel::Rows empty(int(analysisGridColumns().size()));
        empty.appendEmptyRows(kExportEmptyRows);
        return empty;
    }
    return readAnalysisGrid(path);
}

} // namespace clinora
