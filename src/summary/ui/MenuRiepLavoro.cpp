#include "summary/ui/MenuRiepLavoro.h"

#include "app/ui/AppContext.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmMenuRiepLavoro::TfrmMenuRiepLavoro(AppContext &ctx, QWidget *parent) : WorkingArea(ctx, u" Clinora - Riepilogo Risultati Esami"_s, parent)
{
    setObjectName(u"frmMenuRiepLavoro"_s);
}

void TfrmMenuRiepLavoro::FormClose() { m_ctx.showStartMenu(this); }

} // namespace clinora
