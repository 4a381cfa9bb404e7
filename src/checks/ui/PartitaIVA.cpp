#include "checks/ui/PartitaIVA.h"

#include "checks/PartitaIva.h"
#include "checks/ui/CheckLayout.h"
#include "checks/ui/IdentifierKeys.h"
#include "common/CommonSettings.h"
#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/ScreenContext.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmPartitaIva::TfrmPartitaIva(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Controllo partita IVA"_s, QSize(480, 254), Centre::Screen)
{
    setObjectName(u"frmPartitaIva"_s);
    settings::apply();

    const CheckLayout c = buildCheckLayout(
        this, u"Controllo partita IVA"_s,
        u"Immettere il numero di partita IVA e premere il pulsante di controllo."_s, u"txtPartitaIva"_s,
        u"Partita IVA"_s, kPartitaIvaLength);
    imgLogo = c.imgLogo;
    lblTitolo = c.lblTitolo;
    txtPartitaIva = c.edit;
    btnControlla = c.btnControlla;
    btnChiudi = c.btnChiudi;

    enterMovesTo(txtPartitaIva, btnControlla);
    txtPartitaIva->installEventFilter(this);

    connect(btnControlla, &QPushButton::clicked, this, &TfrmPartitaIva::btnControllaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmPartitaIva::btnChiudiClick);
}

bool TfrmPartitaIva::eventFilter(QObject *watched, QEvent *event)
{
    // txtPartitaIvaKeyDown: digits and the editing keys only.
    if (watched == txtPartitaIva && keys::swallow(event, keys::Allowed::Digits))
        return true;
    return DialogScreen::eventFilter(watched, event);
}

void TfrmPartitaIva::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    FormShow();
}

void TfrmPartitaIva::FormShow() { txtPartitaIva->setFocus(Qt::OtherFocusReason); }

void TfrmPartitaIva::btnControllaClick()
{
    const QString number = text::upperAZ(txtPartitaIva->text());
    if (number.size() != kPartitaIvaLength) {
        m_ctx.services.warning(this, u"Attenzione: la partita IVA deve essere composta da 11 caratteri numerici."_s);
        txtPartitaIva->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (PartitaIvaValida(number)) {
        const QString office = UfficiIva(CodiceUfficioIva(number));
        const QString valid = u"Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"_s;
        // A valid number from an office the table does not know: say so
        // rather than naming an empty office.
        if (office.isEmpty())
            m_ctx.services.info(this, valid + u"Non è però noto l'Ufficio IVA che lo ha rilasciato."_s);
        else
            m_ctx.services.info(this, valid + u"E' stato rilasciato dall'Ufficio IVA del Comune di "_s + office
                                          + u"."_s);
    } else {
        m_ctx.services.warning(this, u"Attenzione: il numero di partita IVA digitato risulta ERRATO!\r\n\r\nNon è "
                                     u"quindi possibile fornire informazioni relative all'Ufficio IVA che lo ha "
                                     u"rilasciato."_s);
    }
    close();
}

void TfrmPartitaIva::btnChiudiClick() { close(); }

} // namespace clinora
