#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmExpClienti : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmExpClienti(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
