#pragma once

#include "common/ui/Screen.h"

class QLabel;
class QPushButton;

namespace clinora {

class Picture;

// The document folder of a stored patient: AppFolder/Paziente_<record
// number>, created when first opened and shown in the file manager.
class TfrmCartella : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmCartella(ScreenContext &ctx, QWidget *parent = nullptr);

    Picture *imgTitolo;
    Picture *imgCartella;
    Picture *imgIstruzioni01;
    Picture *imgIstruzioni02;
    QPushButton *btnApriCartella;
    QPushButton *btnChiudi;

    // CallerTag: the record number of the patient whose folder this is.
    QLabel *lblMemory;

public slots:
    void btnApriCartellaClick();
    void btnChiudiClick();
};

} // namespace clinora
