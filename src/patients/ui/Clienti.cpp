#include "patients/ui/Clienti.h"

#include "app/ui/AppContext.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmClienti::TfrmClienti(AppContext &ctx, QWidget *parent) : WorkingArea(ctx, u" Clinora - Anagrafica Pazienti"_s, parent)
{
    setObjectName(u"frmClienti"_s);
}

void TfrmClienti::FormClose() { m_ctx.showStartMenu(this); }

} // namespace clinora
