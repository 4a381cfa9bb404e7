#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmTrovaAnalisi : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmTrovaAnalisi(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
