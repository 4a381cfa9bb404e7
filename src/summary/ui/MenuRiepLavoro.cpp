#include "summary/ui/MenuRiepLavoro.h"

#include "app/ui/AppContext.h"
#include "common/ui/Controls.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmMenuRiepLavoro::TfrmMenuRiepLavoro(AppContext &ctx, QWidget *parent) : WorkingArea(ctx, u" Clinora - Riepilogo Risultati Esami"_s, parent)
{
    setObjectName(u"frmMenuRiepLavoro"_s);
    txtCodFisc = makeInput(board(), u"txtCodFisc"_s, QRect(0, 0, 226, 30), 16);
    txtCodFisc->setAccessibleName(u"Codice fiscale"_s);
}

void TfrmMenuRiepLavoro::FormClose() { m_ctx.showStartMenu(this); }

} // namespace clinora
