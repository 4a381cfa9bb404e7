#include "analyses/ui/ImportaPresc.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmImportaPresc::TfrmImportaPresc(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Importazione dati da elenco esami frequenti"_s, QSize(862, 560), Centre::Screen)
{
    setObjectName(u"frmImportaPresc"_s);
}

} // namespace clinora
