#pragma once

#include "common/ui/Screen.h"

class QLabel;

namespace clinora {

class TfrmTrovaClienti : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmTrovaClienti(AppContext &ctx, QWidget *parent = nullptr);

    // CallerTag: whose fields a result is written into.
    QLabel *lblMemory;
};

} // namespace clinora
