#include "analyses/ui/ListaPresc.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmListaPresc::TfrmListaPresc(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Gestione elenco esami frequenti"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmListaPresc"_s);
}

} // namespace clinora
