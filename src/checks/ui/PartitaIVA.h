#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmPartitaIva : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmPartitaIva(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
