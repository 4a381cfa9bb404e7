#pragma once

#include "common/ui/ExportScreen.h"

namespace clinora {

// The analysis archive open on the analysis card, in a grid, exported on
// request to Analisi_Cliniche.xls.
class TfrmExpAnalisi : public ExportScreen {
    Q_OBJECT
public:
    explicit TfrmExpAnalisi(ScreenContext &ctx, QWidget *parent = nullptr);

protected:
    TextGridModel::Rows readGrid() override;
};

} // namespace clinora
