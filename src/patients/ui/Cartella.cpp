#include "patients/ui/Cartella.h"

#include "common/CommonSettings.h"
#include "common/FileIo.h"
#include "common/Messages.h"
#include "common/ui/Controls.h"
#include "common/ui/OpenURL.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/Attachments.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

const QString kTitle = u"Gestione cartella abbinata alla scheda corrente"_s;
const QString kUse1 = u"E' possibile utilizzare una cartella abbinata alla scheda corrente in cui conservare qualsiasi "
                      u"file riferito al paziente."_s;
const QString kUse2 = u"Fare clic sul pulsante sottostante per aprire la cartella associata a questa scheda."_s;
const QString kWhere1 = u"La cartella è posizionata nella stessa directory in cui è installato il software."_s;
const QString kWhere2 = u"Per effettuare un backup del programma e di tutti i dati archiviati, basta copiare la "
                        u"cartella di installazione e incollarla su un hard disk esterno o su una chiavetta USB."_s;

void paintPanel(QPainter &p, const QRectF &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 175, 195), 1));
    p.setBrush(QColor(236, 241, 247));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void paintTitle(QPainter &p, const QRectF &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(40, 100, 170));
    g.setColorAt(1, QColor(110, 160, 215));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, 6, 6);
    const qreal tile = r.height() - 20;
    art::drawLogoTile(p, QRectF(r.left() + 12, r.top() + 10, tile, tile));
    p.setFont(designFont(u"Verdana"_s, 14, true));
    p.setPen(Qt::white);
    p.drawText(r.adjusted(tile + 28, 0, -12, 0), Qt::AlignLeft | Qt::AlignVCenter, kTitle);
}

// A box of instructions: two paragraphs beside a small picture.
PaintFn instructions(art::Glyph glyph, QString first, QString second)
{
    return [glyph, first = std::move(first), second = std::move(second)](QPainter &p, const QRectF &r) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(190, 202, 218), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        art::drawGlyph(p, QRectF(r.left() + 14, r.top() + 16, 40, 40), glyph);
        const QRectF textArea = r.adjusted(68, 14, -16, -12);
        p.setFont(designFont(u"Verdana"_s, 11));
        p.setPen(QColor(25, 45, 75));
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const QRectF used = p.boundingRect(textArea, flags, first);
        p.drawText(textArea, flags, first);
        p.setFont(designFont(u"Verdana"_s, 11, true));
        p.drawText(textArea.adjusted(0, used.height() + 10, 0, 0), flags, second);
    };
}

} // namespace

TfrmCartella::TfrmCartella(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Gestione cartella abbinata alla scheda corrente"_s, QSize(671, 545), Centre::Screen)
{
    setObjectName(u"frmCartella"_s);
    settings::apply();

    auto *panel = new Picture(this, u"panCartella"_s, paintPanel);
    panel->setGeometry(8, 8, 655, 529);

    imgTitolo = new Picture(panel, u"imgTitolo"_s, paintTitle);
    imgTitolo->setGeometry(8, 8, 639, 64);
    imgTitolo->setAccessibleName(kTitle);

    imgCartella = new Picture(panel, u"imgCartella"_s, art::Glyph::Folder);
    imgCartella->setGeometry(20, 96, 130, 130);
    imgCartella->setAccessibleName(u"Cartella del paziente"_s);

    imgIstruzioni01 = new Picture(panel, u"imgIstruzioni01"_s, instructions(art::Glyph::Info, kUse1, kUse2));
    imgIstruzioni01->setGeometry(166, 88, 481, 150);
    imgIstruzioni01->setAccessibleName(kUse1 + u' ' + kUse2);


    imgIstruzioni02 = new Picture(panel, u"imgIstruzioni02"_s, instructions(art::Glyph::Save, kWhere1, kWhere2));
    imgIstruzioni02->setGeometry(20, 312, 627, 146);
    imgIstruzioni02->setAccessibleName(kWhere1 + u' ' + kWhere2);

    // "Chiudi" comes first in the tab order, and has the focus when the dialog opens.
    btnChiudi = makeButton(panel, u"btnChiudi"_s, u"Chiudi"_s, QRect(501, 478, 146, 34));
    // Under the instructions that tell the user to press it.
    btnApriCartella = makeButton(panel, u"btnApriCartella"_s, u"Apri cartella"_s, QRect(296, 252, 220, 40));
    btnApriCartella->setIcon(QIcon(art::glyphPixmap(art::Glyph::Folder, QSize(24, 24), devicePixelRatioF())));
    btnApriCartella->setIconSize(QSize(24, 24));
    for (QPushButton *b : {btnApriCartella, btnChiudi})
        b->setFont(designFont(u"Verdana"_s, 10, true));
    connect(btnApriCartella, &QPushButton::clicked, this, &TfrmCartella::btnApriCartellaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmCartella::btnChiudiClick);

    lblMemory = hiddenLabel(this, u"lblMemory"_s);
}

void TfrmCartella::btnApriCartellaClick()
{
    const QString folder = patientFolderPath(m_ctx.services.appFolder, lblMemory->text());
    if (folder.isEmpty())
        return; // no stored patient named: nothing to open
    // An existing folder and its contents are left as they are.
    if (!io::makeFolder(folder)) {
        m_ctx.services.error(this, msg::kAccessError.toString());
        return;
    }
    TMisc::Open(m_ctx.services, u"\""_s + QDir::toNativeSeparators(folder) + u"\""_s);
    close();
}

void TfrmCartella::btnChiudiClick() { close(); }

} // namespace clinora
