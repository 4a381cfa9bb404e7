#pragma once

#include "common/ui/Screen.h"

class QLineEdit;

namespace clinora {

class TfrmMenuRiepLavoro : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmMenuRiepLavoro(AppContext &ctx, QWidget *parent = nullptr);

    // The chosen patient's fiscal code, written by the patient search
    // (CallerTag "riepilogo").
    QLineEdit *txtCodFisc;

protected:
    void FormClose() override;
};

} // namespace clinora
