#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmCartella : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCartella(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
