#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmStampaAnalisi : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmStampaAnalisi(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
