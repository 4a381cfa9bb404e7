#include "analyses/ui/TrovaAnalisi.h"

#include "common/ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmTrovaAnalisi::TfrmTrovaAnalisi(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Trova analisi cliniche in archivio"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmTrovaAnalisi"_s);
    lblMemory = hiddenLabel(this, u"lblMemory"_s);
}

} // namespace clinora
