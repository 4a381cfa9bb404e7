#pragma once

#include "common/ui/Screen.h"

class QLabel;

namespace clinora {

class TfrmTrovaAnalisi : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmTrovaAnalisi(AppContext &ctx, QWidget *parent = nullptr);

    // CallerTag: whose fields a result is written into.
    QLabel *lblMemory;
};

} // namespace clinora
