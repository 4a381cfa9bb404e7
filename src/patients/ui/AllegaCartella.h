#pragma once

#include "common/ui/Screen.h"

class QLabel;

namespace clinora {

class TfrmAllegaCartella : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(AppContext &ctx, QWidget *parent = nullptr);

    // CallerTag: whose fields a result is written into.
    QLabel *lblMemory;
};

} // namespace clinora
