#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmMenuRiepLavoro : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmMenuRiepLavoro(AppContext &ctx, QWidget *parent = nullptr);

protected:
    void FormClose() override;
};

} // namespace clinora
