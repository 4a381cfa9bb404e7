#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmTrovaClienti : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmTrovaClienti(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
