#include "analyses/ui/Allarmanti.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmAllarmanti::TfrmAllarmanti(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Riepilogo esami clinici con risultati allarmanti"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmAllarmanti"_s);
}

} // namespace clinora
