#pragma once

#include "common/ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class Picture;
class PictureButton;

// The door to the clinical analyses: the user picks a patient through the
// patient search, then opens that patient's analysis card.
class TfrmMenuAnalisi : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmMenuAnalisi(ScreenContext &ctx, QWidget *parent = nullptr);

    Picture *imgTitolo;
    PictureButton *btnEsamiFrequenti;
    // Opens the import of a laboratory report into the chosen patient's cards.
    PictureButton *btnImportaReferto;
    QLabel *lblIstruzioni;
    Picture *imgLibretto;
    Picture *imgFrecciaSeleziona;
    QPushButton *btnSeleziona;
    Picture *imgCampi;
    // Filled only by the patient search (CallerTag "menuanalisi").
    QLineEdit *txtPaziente;
    QLineEdit *txtCodFisc;
    PictureButton *btnCancella01, *btnCancella02;
    Picture *imgFrecciaApri;
    QPushButton *btnApri;
    PictureButton *imgGuida, *imgEsci;
    // Closing mode: "avvio" back to the start menu, "apri" on to the card.
    QLabel *lblMemory;

    void FormShow() override;
    void txtPazienteChange();
    void txtCodFiscChange();
    void btnSelezionaClick();
    void btnApriClick();
    void btnCancella01Click();
    void btnCancella02Click();
    void btnEsamiFrequentiClick();
    void btnImportaRefertoClick();
    void imgGuidaClick();
    void imgEsciClick();

protected:
    void FormClose() override;

private:
    // btnApri and the arrow that points at it follow `text`.
    void followChoice(const QString &text);
    void clearChoice();
};

} // namespace clinora
