#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmAllarmanti : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmAllarmanti(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
