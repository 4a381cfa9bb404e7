#include "analyses/ui/MenuAnalisi.h"

#include "app/ui/AppContext.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmMenuAnalisi::TfrmMenuAnalisi(AppContext &ctx, QWidget *parent) : WorkingArea(ctx, u" Clinora - Analisi Cliniche"_s, parent)
{
    setObjectName(u"frmMenuAnalisi"_s);
}

void TfrmMenuAnalisi::FormClose() { m_ctx.showStartMenu(this); }

} // namespace clinora
