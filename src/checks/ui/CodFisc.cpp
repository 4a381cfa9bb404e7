#include "checks/ui/CodFisc.h"

#include "checks/CodiceFiscale.h"
#include "checks/DatiCodiceFiscale.h"
#include "checks/ui/CheckLayout.h"
#include "common/CommonSettings.h"
#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/ScreenContext.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmCodFisc::TfrmCodFisc(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Controllo codice fiscale"_s, QSize(478, 254), Centre::Screen)
{
    setObjectName(u"frmCodFisc"_s);
    settings::apply();

    const CheckLayout c = buildCheckLayout(this, u"Controllo codice fiscale"_s,
                                           u"Immettere il codice fiscale e premere il pulsante di controllo."_s,
                                           u"txtCodFisc"_s, u"Codice fiscale"_s, kCodFiscLength);
    imgLogo = c.imgLogo;
    lblTitolo = c.lblTitolo;
    txtCodFisc = c.edit;
    btnControlla = c.btnControlla;
    btnChiudi = c.btnChiudi;

    // txtCodFiscTyping: the field always shows an upper-case code without
    // outer blanks. txtCodFiscKeyDown: Enter goes to "Controlla" only.
    tidyWhileTyping(txtCodFisc, Tidy::TrimUpper);
    enterMovesTo(txtCodFisc, btnControlla);

    connect(btnControlla, &QPushButton::clicked, this, &TfrmCodFisc::btnControllaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmCodFisc::btnChiudiClick);
}

void TfrmCodFisc::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    FormShow();
}

void TfrmCodFisc::FormShow() { txtCodFisc->setFocus(Qt::OtherFocusReason); }

void TfrmCodFisc::btnControllaClick()
{
    const QString code = text::upperAZ(txtCodFisc->text());
    // A code with a character outside 0-9 and A-Z has no check character to
    // compare: it is not the 16 alphanumeric characters the message asks for.
    if (!CodFiscBenFormato(code)) {
        m_ctx.services.warning(this, u"Attenzione: il codice fiscale deve essere composto da 16 caratteri "
                                     u"alfanumerici."_s);
        txtCodFisc->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (CodFiscValido(code)) {
        // Below the verdict, what the code says of its holder, when its
        // parts read as a birth date, a sex and a place.
        QString verdict = u"Il codice fiscale digitato è VALIDO."_s;
        if (const auto said = readFiscalCode(code, m_ctx.services.clock->now().date()))
            verdict += u"\n\r\n\r"_s + said->sentence();
        m_ctx.services.info(this, verdict);
    } else {
        m_ctx.services.warning(this, u"Attenzione: il codice fiscale digitato è ERRATO."_s);
    }
    close();
}

void TfrmCodFisc::btnChiudiClick() { close(); }

} // namespace clinora
