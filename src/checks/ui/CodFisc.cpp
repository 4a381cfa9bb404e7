#include "checks/ui/CodFisc.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmCodFisc::TfrmCodFisc(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Controllo codice fiscale"_s, QSize(478, 254), Centre::Screen)
{
    setObjectName(u"frmCodFisc"_s);
}

} // namespace clinora
