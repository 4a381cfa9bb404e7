#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmRicontatta : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmRicontatta(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
