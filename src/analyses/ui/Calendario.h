#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmCalendario : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCalendario(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
