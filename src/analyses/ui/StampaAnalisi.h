#pragma once

#include "common/ui/ControlText.h"
#include "common/ui/Screen.h"

#include <QDateTime>
#include <QStringView>

#include <array>
#include <memory>

class QPushButton;

namespace clinora {

class ReportTemplate;

// The analysis card form "Scheda Esame Clinico", one A4 page: a title band,
// thirteen framed rows of caption and value, a line between the captions and
// the values, and a footer with the moment of printing.
std::unique_ptr<ReportTemplate> makeRepDocumento();

// The value objects of the form, top to bottom; each is named after the card
// control whose text it shows.
inline constexpr std::array<QStringView, 13> kAnalysisCardValues{
    u"txtPaziente", u"txtCodFisc",  u"txtNumRef", u"txtDataRef", u"txtData",       u"txtEsame", u"txtRisultato",
    u"txtUM",       u"txtRife",     u"txtEsito",  u"txtCommento", u"txtFirmatario", u"txtNote",
};

// Fills the values from the card's controls (each text trimmed) and the
// footer with `now`, and lays the form out.
void fillRepDocumento(ReportTemplate &repDocumento, const ControlTextLookup &card, const QDateTime &now);

// Prints the card on screen as it stands, saved or not.
class TfrmStampaAnalisi : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmStampaAnalisi(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmStampaAnalisi() override;

    QPushButton *btnAnnulla, *btnStampa;
    std::unique_ptr<ReportTemplate> repDocumento;

    void btnStampaClick();
    void btnAnnullaClick();
};

} // namespace clinora
