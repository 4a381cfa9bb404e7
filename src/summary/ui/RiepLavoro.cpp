#include "summary/ui/RiepLavoro.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmRiepLavoro::TfrmRiepLavoro(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Clinora - Riepilogo Risultati Esami"_s, QSize(1016, 713), Centre::Screen)
{
    setObjectName(u"frmRiepLavoro"_s);
}

} // namespace clinora
