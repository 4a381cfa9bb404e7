#include "patients/ui/ExpClienti.h"

#include "common/ui/ScreenContext.h"
#include "patients/PatientExport.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmExpClienti::TfrmExpClienti(ScreenContext &ctx, QWidget *parent)
    : ExportScreen(ctx, parent, u" Esporta archivio pazienti in Microsoft Excel"_s, patientGridColumns(),
                   {kPatientExportFile.toString(), kPatientExportSheet.toString(), patientExportColumns(),
                    help::TopicId::PatientExport, u"Esportazione archivio pazienti"_s})
{
    setObjectName(u"frmExpClienti"_s);
}

TextGridModel::Rows TfrmExpClienti::readGrid() { return readPatientGrid(PatientArchivePath(m_ctx.services.appFolder)); }

} // namespace clinora
