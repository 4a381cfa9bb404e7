#include "common/ui/ScreenContext.h"

#include "common/ui/Screen.h"

namespace clinora {

ScreenContext::~ScreenContext() = default;

void ScreenContext::switchTo(QWidget *from, QWidget *to)
{
    if (auto *area = qobject_cast<WorkingArea *>(to))
        area->showArea();
    else
        to->show();
    if (from && from != to)
        from->hide();
}

} // namespace clinora
