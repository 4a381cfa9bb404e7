#pragma once

#include "common/ui/ExportScreen.h"

namespace clinora {

// The whole patient archive in a grid, exported on request to Pazienti.xls.
class TfrmExpClienti : public ExportScreen {
    Q_OBJECT
public:
    explicit TfrmExpClienti(ScreenContext &ctx, QWidget *parent = nullptr);

protected:
    TextGridModel::Rows readGrid() override;
};

} // namespace clinora
