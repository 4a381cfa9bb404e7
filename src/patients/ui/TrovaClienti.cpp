#include "patients/ui/TrovaClienti.h"

#include "common/ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmTrovaClienti::TfrmTrovaClienti(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Trova pazienti in archivio"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmTrovaClienti"_s);
    lblMemory = hiddenLabel(this, u"lblMemory"_s);
}

} // namespace clinora
