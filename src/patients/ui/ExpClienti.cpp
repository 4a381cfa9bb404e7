#include "patients/ui/ExpClienti.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmExpClienti::TfrmExpClienti(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Esporta archivio pazienti in Microsoft Excel"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmExpClienti"_s);
}

} // namespace clinora
