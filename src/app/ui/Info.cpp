#include "app/ui/Info.h"

#include "common/ui/Accessibility.h"

#include "app/Maker.h"
#include "app/ui/BackupCommand.h"
#include "common/ui/Controls.h"
#include "common/ui/OpenURL.h"
#include "common/ui/Palette.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

void infoPicture(QPainter &p, const QRectF &r)
{
    art::fillGradient(p, r, QColor(30, 80, 150), QColor(150, 190, 230));
    art::drawLogo(p, QRectF(r.left() + 40, r.top() + 40, r.width() - 80, 110), u"Gestione dello studio medico"_s,
                  true);
    p.setPen(Qt::white);
    p.setFont(designFont(u"Verdana"_s, 11));
    const QString lines = u"Versione "_s + maker::kVersion.toString() + u"\n\n"_s
                          + u"Anagrafica dei pazienti, analisi cliniche,\nriepiloghi dei risultati, stampe ed "
                            u"esportazioni.\n\n"_s
                          + u"Tutti i dati restano nella cartella del programma:\nper una copia di sicurezza "
                            u"usare\nil pulsante BACKUP del menu principale."_s;
    p.drawText(r.adjusted(30, 190, -30, -30), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, lines);
    p.setFont(designFont(u"Verdana"_s, 9));
    p.setPen(palette::textNavy);
    p.drawText(r.adjusted(20, 0, -20, -14), Qt::AlignHCenter | Qt::AlignBottom,
               u"© "_s + maker::kName.toString());
}

void splashPicture(QPainter &p, const QRectF &r)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(16, 42, 84));
    g.setColorAt(1, QColor(40, 120, 170));
    p.fillRect(r, g);
    // A few soft circles, for depth.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(255, 255, 255, 10 + i * 4));
        const qreal d = 80 + i * 55;
        p.drawEllipse(QPointF(r.right() - 90, r.top() + 80), d, d);
    }
    p.setRenderHint(QPainter::Antialiasing);
    art::drawLogoTile(p, QRectF(r.left() + 40, r.top() + 40, 110, 110));
    p.setPen(Qt::white);
    p.setFont(designFont(u"Verdana"_s, 30, true));
    p.drawText(QRectF(r.left() + 170, r.top() + 46, r.width() - 190, 60), Qt::AlignLeft | Qt::AlignVCenter,
               u"Clinora"_s);
    p.setFont(designFont(u"Verdana"_s, 12));
    p.drawText(QRectF(r.left() + 172, r.top() + 104, r.width() - 190, 40), Qt::AlignLeft | Qt::AlignVCenter,
               u"Software per studi medici"_s);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawLine(QPointF(r.left() + 40, r.top() + 190), QPointF(r.right() - 40, r.top() + 190));
    p.setPen(Qt::white);
    p.setFont(designFont(u"Verdana"_s, 18, true));
    p.drawText(QRectF(r.left() + 40, r.top() + 210, r.width() - 80, 40), Qt::AlignLeft | Qt::AlignVCenter,
               maker::kName.toString());
    p.setFont(designFont(u"Verdana"_s, 11));
    p.drawText(QRectF(r.left() + 40, r.top() + 252, r.width() - 80, 90), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               u"Programmi semplici e affidabili per il lavoro di ogni giorno: i dati restano vostri, in file "
               u"che potete copiare, spostare e conservare come preferite."_s);
}

} // namespace

TfrmInfo::TfrmInfo(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Informazioni su Clinora"_s, QSize(473, 579))
{
    setObjectName(u"frmInfo"_s);
    imgLogo = new Picture(this, u"imgLogo"_s, infoPicture);
    // The address at its 14 points is wider than the room beside "Chiudi":
    // it has a row of its own above the button, under the last backup.
    imgLogo->setGeometry(18, 18, 437, 420);
    imgLogo->setAccessibleName(u"Clinora"_s);
    lblBackup = new QLabel(backupui::lastBackupText(backup::Settings::load(ctx.services.appFolder)), this);
    lblBackup->setObjectName(u"lblBackup"_s);
    lblBackup->setGeometry(18, 442, 437, 48);
    lblBackup->setWordWrap(true);
    lblBackup->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblBackup->setFont(designFont(u"Verdana"_s, 9));
    access::valueLabel(lblBackup, u"Ultimo backup"_s);
    imgEmail = new Picture(this, u"imgEmail"_s, art::Glyph::Mail);
    imgEmail->setGeometry(18, 494, 36, 36);
    imgEmail->setAccessibleName(u"Scrivi all'assistenza"_s);
    imgEmail->setAccessibleDescription(u"Con la tastiera: il collegamento all'indirizzo di posta dell'assistenza, con Tab e Invio"_s);
    lnkWeb = new LinkLabel(this, u"lnkWeb"_s, maker::kSupportMail.toString());
    lnkWeb->setGeometry(60, 498, 395, 28);
    lnkWeb->addCompanion(imgEmail);
    btnChiudi = makeButton(this, u"btnChiudi"_s, u"Chiudi"_s, QRect(309, 537, 146, 32));
    btnChiudi->setFont(designFont(u"Verdana"_s, 10, true));
    connect(lnkWeb, &LinkLabel::clicked, this, &TfrmInfo::lnkWebClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmInfo::btnChiudiClick);
}

void TfrmInfo::lnkWebClick()
{
    lnkWeb->setPressedLook(false);
    TMisc::Open(m_ctx.services, u"\"mailto:"_s + maker::kSupportMail.toString() + u"?subject=Software Clinora"_s
                                    + u"&body=Salve, desidererei avere le seguenti informazioni sul software in "
                                      u"oggetto:\""_s);
}

void TfrmInfo::btnChiudiClick() { close(); }

TfrmSplash::TfrmSplash(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Clinora - "_s + maker::kName.toString(), QSize(661, 467), Centre::Owner)
{
    setObjectName(u"frmSplash"_s);
    imgSplash = new Picture(this, u"imgSplash"_s, splashPicture);
    imgSplash->setGeometry(18, 18, 625, 380);
    imgSplash->setAccessibleName(maker::kName.toString());
    imgWeb = new Picture(this, u"imgWeb"_s, art::Glyph::Globe);
    imgWeb->setGeometry(18, 414, 36, 36);
    imgWeb->setAccessibleName(u"Sito web"_s);
    lnkWeb = new LinkLabel(this, u"lnkWeb"_s, maker::kWebLabel.toString());
    lnkWeb->setGeometry(60, 417, 330, 28);
    lnkWeb->addCompanion(imgWeb);
    btnChiudi = makeButton(this, u"btnChiudi"_s, u"Chiudi"_s, QRect(497, 416, 146, 32));
    btnChiudi->setFont(designFont(u"Verdana"_s, 10, true));
    connect(lnkWeb, &LinkLabel::clicked, this, &TfrmSplash::lnkWebClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmSplash::btnChiudiClick);
}

void TfrmSplash::lnkWebClick()
{
    lnkWeb->setPressedLook(false);
    TMisc::Open(m_ctx.services, maker::kWebAddress.toString());
}

void TfrmSplash::btnChiudiClick() { close(); }

} // namespace clinora
