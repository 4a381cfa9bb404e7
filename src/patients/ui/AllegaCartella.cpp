#include "patients/ui/AllegaCartella.h"

#include "common/ui/Widgets.h"

using namespace Qt::StringLiterals;

namespace clinora {

TfrmAllegaCartella::TfrmAllegaCartella(AppContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Allega file"_s, QSize(634, 534), Centre::Screen)
{
    setObjectName(u"frmAllegaCartella"_s);
    lblMemory = hiddenLabel(this, u"lblMemory"_s);
}

} // namespace clinora
