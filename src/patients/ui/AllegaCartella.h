#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmAllegaCartella : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
