#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmListaPresc : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmListaPresc(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
