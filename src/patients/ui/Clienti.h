#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmClienti : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmClienti(AppContext &ctx, QWidget *parent = nullptr);

protected:
    void FormClose() override;
};

} // namespace clinora
