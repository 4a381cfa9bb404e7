#pragma once

#include "common/ui/Screen.h"

namespace clinora {

class Picture;
class PictureButton;

// The start menu: the hub that leads to the three working areas.
class TfrmAvvio : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmAvvio(AppContext &ctx, QWidget *parent = nullptr);

    Picture *imgTitolo;
    Picture *imgIcona;
    Picture *imgSottotitolo;
    PictureButton *imgAnagrafica, *btnAnagrafica, *appAnagrafica;
    PictureButton *imgAnalisi, *btnAnalisi, *appAnalisi;
    PictureButton *imgRiepiloghi, *btnRiepiloghi, *appRiepiloghi;
    PictureButton *imgInfo, *imgGuida, *imgSito, *imgCopyright, *imgEsci;

    void imgAnagraficaClick();
    void imgAnalisiClick();
    void imgRiepiloghiClick();
    void imgInfoClick();
    void imgGuidaClick();
    void imgSitoClick();
    void imgCopyrightClick();
    void imgEsciClick();

protected:
    void FormClose() override;
};

} // namespace clinora
