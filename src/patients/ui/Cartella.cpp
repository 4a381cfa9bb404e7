#include "patients/ui/Cartella.h"

#include "common/ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmCartella::TfrmCartella(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Gestione cartella abbinata alla scheda corrente"_s, QSize(671, 545), Centre::Screen)
{
    setObjectName(u"frmCartella"_s);
    lblMemory = hiddenLabel(this, u"lblMemory"_s);
}

} // namespace clinora
