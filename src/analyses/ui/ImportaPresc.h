#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmImportaPresc : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmImportaPresc(AppContext &ctx, QWidget *parent = nullptr);
};

} // namespace clinora
