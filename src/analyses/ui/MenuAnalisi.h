#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmMenuAnalisi : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmMenuAnalisi(AppContext &ctx, QWidget *parent = nullptr);

protected:
    void FormClose() override;
};

} // namespace clinora
