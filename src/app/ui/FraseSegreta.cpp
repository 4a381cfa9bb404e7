#include "app/ui/FraseSegreta.h"

#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/ScreenContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmFraseSegreta::TfrmFraseSegreta(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Clinora - Backup cifrato"_s, QSize(430, 236), Centre::Owner)
{
    setObjectName(u"frmFraseSegreta"_s);

    lblMessaggio = new QLabel(this);
    lblMessaggio->setObjectName(u"lblMessaggio"_s);
    lblMessaggio->setWordWrap(true);
    lblMessaggio->setGeometry(16, 12, 398, 62);

    lblFrase = new QLabel(u"&Frase segreta:"_s, this);
    lblFrase->setObjectName(u"lblFrase"_s);
    lblFrase->setGeometry(16, 84, 170, 24);
    txtFrase = makeInput(this, u"txtFrase"_s, QRect(190, 82, 224, 28), 200);
    txtFrase->setEchoMode(QLineEdit::Password);
    txtFrase->setToolTip(u"La frase che servirà per leggere o ripristinare questo backup"_s);
    txtFrase->setAccessibleName(u"Frase segreta"_s);
    lblFrase->setBuddy(txtFrase);
    FocusHighlight::attach(txtFrase, u"effFrase"_s);

    lblConferma = new QLabel(u"&Ripeti la frase segreta:"_s, this);
    lblConferma->setObjectName(u"lblConferma"_s);
    lblConferma->setGeometry(16, 124, 170, 24);
    txtConferma = makeInput(this, u"txtConferma"_s, QRect(190, 122, 224, 28), 200);
    txtConferma->setEchoMode(QLineEdit::Password);
    txtConferma->setToolTip(u"La stessa frase, di nuovo, per essere certi che sia scritta come si vuole"_s);
    txtConferma->setAccessibleName(u"Ripeti la frase segreta"_s);
    lblConferma->setBuddy(txtConferma);
    FocusHighlight::attach(txtConferma, u"effConferma"_s);

    cmdOK = makeButton(this, u"cmdOK"_s, u"OK"_s, QRect(190, 186, 104, 32));
    cmdOK->setEnabled(false);
    cmdAnnulla = makeButton(this, u"cmdAnnulla"_s, u"Annulla"_s, QRect(310, 186, 104, 32));
    cmdAnnulla->setToolTip(u"Chiude senza eseguire l'operazione"_s);

    connect(txtFrase, &QLineEdit::textChanged, this, &TfrmFraseSegreta::updateOK);
    connect(txtConferma, &QLineEdit::textChanged, this, &TfrmFraseSegreta::updateOK);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmFraseSegreta::cmdOKClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit *input : {txtFrase, txtConferma})
        connect(input, &QLineEdit::returnPressed, this, [this] {
            if (cmdOK->isEnabled())
                cmdOKClick();
        });
    setTabOrder(txtFrase, txtConferma);
    setTabOrder(txtConferma, cmdOK);
    setTabOrder(cmdOK, cmdAnnulla);
}

void TfrmFraseSegreta::askNew(QString *result)
{
    m_twice = true;
    m_result = result;
    lblMessaggio->setText(u"Il backup sarà cifrato: senza la frase segreta nessuno potrà leggerlo, nemmeno lo studio. "
                          u"Scegliere una frase di almeno 8 caratteri e conservarla in un luogo sicuro, "
                          u"lontano dal backup."_s);
    lblMessaggio->setAccessibleName(lblMessaggio->text());
    updateOK();
}

void TfrmFraseSegreta::askExisting(const QString &text, QString *result)
{
    m_twice = false;
    m_result = result;
    lblMessaggio->setText(text);
    lblMessaggio->setAccessibleName(text);
    lblConferma->hide();
    txtConferma->hide();
    updateOK();
}

void TfrmFraseSegreta::updateOK()
{
    cmdOK->setEnabled(!txtFrase->text().isEmpty() && (!m_twice || !txtConferma->text().isEmpty()));
}

void TfrmFraseSegreta::cmdOKClick()
{
    if (m_twice) {
        if (txtFrase->text().size() < kMinimumLength) {
            m_ctx.services.warning(this, u"Attenzione: la frase segreta deve contenere almeno 8 caratteri."_s);
            txtFrase->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (txtFrase->text() != txtConferma->text()) {
            m_ctx.services.warning(this, u"Attenzione: le due frasi segrete non coincidono. Scriverle di nuovo."_s);
            txtConferma->clear();
            txtFrase->selectAll();
            txtFrase->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (m_result)
        *m_result = txtFrase->text();
    accept();
}

} // namespace clinora
