#pragma once

#include "common/ui/Screen.h"

class QLabel;

namespace clinora {

class TfrmCartella : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCartella(AppContext &ctx, QWidget *parent = nullptr);

    // CallerTag: whose fields a result is written into.
    QLabel *lblMemory;
};

} // namespace clinora
