#include "analyses/ui/StampaAnalisi.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmStampaAnalisi::TfrmStampaAnalisi(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Stampa scheda"_s, QSize(364, 287), Centre::Owner)
{
    setObjectName(u"frmStampaAnalisi"_s);
}

} // namespace clinora
