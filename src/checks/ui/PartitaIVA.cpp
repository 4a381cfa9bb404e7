#include "checks/ui/PartitaIVA.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmPartitaIva::TfrmPartitaIva(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Controllo partita IVA"_s, QSize(480, 254), Centre::Screen)
{
    setObjectName(u"frmPartitaIva"_s);
}

} // namespace clinora
