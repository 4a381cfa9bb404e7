#include "analyses/ui/Calendario.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmCalendario::TfrmCalendario(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Importazione data"_s, QSize(253, 294), Centre::Owner)
{
    setObjectName(u"frmCalendario"_s);
}

} // namespace clinora
