#include "analyses/ui/ExpAnalisi.h"

#include "analyses/AnalysisExport.h"
#include "analyses/ui/AnalysisCardHook.h"
#include "common/Text.h"
#include "common/ui/ScreenContext.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmExpAnalisi::TfrmExpAnalisi(ScreenContext &ctx, QWidget *parent)
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
    const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard);
    const QString path = card ? text::trimmed(card->lblFile->text()) : QString();
    if (path.isEmpty()) {
        TextGridModel::Rows empty(int(analysisGridColumns().size()));
        empty.appendEmptyRows(kExportEmptyRows);
        return empty;
    }
    return readAnalysisGrid(path);
}

} // namespace clinora
