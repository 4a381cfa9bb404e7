#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmExpAnalisi : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmExpAnalisi(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
