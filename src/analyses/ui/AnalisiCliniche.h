#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class TfrmAnalisiCliniche : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmAnalisiCliniche(AppContext &ctx, QWidget *parent = nullptr);

protected:
    void FormClose() override;
};

} // namespace clinora
