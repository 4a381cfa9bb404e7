#include "analyses/ui/AnalisiCliniche.h"

#include "app/ui/AppContext.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmAnalisiCliniche::TfrmAnalisiCliniche(AppContext &ctx, QWidget *parent) : WorkingArea(ctx, u" Clinora - Analisi Cliniche"_s, parent)
{
    setObjectName(u"frmAnalisiCliniche"_s);
}

void TfrmAnalisiCliniche::FormClose() { m_ctx.showStartMenu(this); }

} // namespace clinora
