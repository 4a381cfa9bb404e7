#include "patients/ui/Ricontatta.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmRicontatta::TfrmRicontatta(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Riepilogo pazienti da ricontattare"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmRicontatta"_s);
}

} // namespace clinora
