#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmCodFisc : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCodFisc(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
