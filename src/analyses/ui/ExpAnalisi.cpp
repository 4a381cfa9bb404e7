#include "analyses/ui/ExpAnalisi.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmExpAnalisi::TfrmExpAnalisi(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Esporta archivio analisi cliniche in Microsoft Excel"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmExpAnalisi"_s);
}

} // namespace clinora
