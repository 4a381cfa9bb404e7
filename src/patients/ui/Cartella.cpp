#include "patients/ui/Cartella.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmCartella::TfrmCartella(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Gestione cartella abbinata alla scheda corrente"_s, QSize(671, 545), Centre::Screen)
{
    setObjectName(u"frmCartella"_s);
}

} // namespace clinora
