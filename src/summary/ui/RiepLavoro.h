#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmRiepLavoro : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmRiepLavoro(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
