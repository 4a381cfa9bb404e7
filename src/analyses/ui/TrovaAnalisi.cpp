#include "analyses/ui/TrovaAnalisi.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmTrovaAnalisi::TfrmTrovaAnalisi(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Trova analisi cliniche in archivio"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmTrovaAnalisi"_s);
}

} // namespace clinora
