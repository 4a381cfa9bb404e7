#include "analyses/ui/MenuAnalisi.h"

#include "analyses/AnalysisEntry.h"
#include "analyses/ui/AnalysisCardHook.h"
#include "analyses/ui/ImportaReferto.h"
#include "analyses/ui/ListaPresc.h"
#include "common/CommonSettings.h"
#include "common/HelpTexts.h"
#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Controls.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/ui/PatientHooks.h"
#include "patients/ui/TrovaClienti.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

const QString kModeStart = u"avvio"_s;
const QString kModeOpen = u"apri"_s;

} // namespace

TfrmMenuAnalisi::TfrmMenuAnalisi(ScreenContext &ctx, QWidget *parent)
    : WorkingArea(ctx, u" Clinora - Analisi Cliniche"_s, parent)
{
    setObjectName(u"frmMenuAnalisi"_s);
    // The card has the same title: a screen reader tells the two apart.
    setAccessibleName(u"Clinora - Analisi Cliniche: scelta del paziente"_s);
    settings::apply();
    setBackground(QColor(30, 110, 100), QColor(170, 215, 205));

    QWidget *b = board();
    auto *backdrop = new Picture(b, u"panSfondo"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 14, QColor(250, 253, 252), QColor(218, 235, 232), QColor(140, 180, 172));
    });
    backdrop->setGeometry(b->rect());

    imgTitolo = new Picture(b, u"imgTitolo"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 10, palette::tealTop, palette::tealBottom, palette::tealBorder);
        art::drawLogoTile(p, QRectF(r.left() + 16, r.top() + 12, r.height() - 24, r.height() - 24));
        const qreal x = r.left() + r.height() + 8;
        p.setPen(Qt::white);
        p.setFont(designFont(u"Verdana"_s, 24, true));
        p.drawText(QRectF(x, r.top() + 10, 600, 44), Qt::AlignLeft | Qt::AlignVCenter, u"Analisi Cliniche"_s);
        p.setPen(palette::tealPale);
        p.setFont(designFont(u"Verdana"_s, 11));
        p.drawText(QRectF(x + 2, r.top() + 52, 600, 26), Qt::AlignLeft | Qt::AlignVCenter,
                   u"Registrazione dei risultati degli esami di laboratorio"_s);
        // Laboratory pictures on white discs at the right.
        const art::Glyph pictures[] = {art::Glyph::Syringe, art::Glyph::TestTube, art::Glyph::Flask};
        for (int i = 0; i < 3; ++i) {
            const QRectF disc(r.right() - 96 - i * 84, r.top() + 11, 70, 70);
            p.setPen(QPen(palette::tealBorder, 1));
            p.setBrush(QColor(255, 255, 255, 235));
            p.drawEllipse(disc);
            art::drawGlyph(p, disc.adjusted(13, 13, -13, -13), pictures[i]);
        }
    });
    imgTitolo->setGeometry(14, 14, 967, 92);
    imgTitolo->setAccessibleName(u"Analisi Cliniche"_s);

    btnEsamiFrequenti = new PictureButton(b, u"btnEsamiFrequenti"_s, u"Elenco esami frequenti"_s,
                                          art::Glyph::Booklet, PictureButton::Style::Command, QColor(30, 125, 110));
    btnEsamiFrequenti->setGeometry(741, 118, 240, 36);
    btnImportaReferto = new PictureButton(b, u"btnImportaReferto"_s, u"Importa referto"_s, art::Glyph::Import,
                                          PictureButton::Style::Command, QColor(30, 125, 110));
    btnImportaReferto->setGeometry(14, 118, 240, 36);

    lblIstruzioni = new QLabel(
        u"Per registrare le analisi cliniche, seleziona un paziente dall'archivio anagrafico."_s, b);
    lblIstruzioni->setObjectName(u"lblIstruzioni"_s);
    lblIstruzioni->setFont(designFont(u"Verdana"_s, 12, true));
    lblIstruzioni->setAlignment(Qt::AlignCenter);
    {
        QPalette pal = lblIstruzioni->palette();
        pal.setColor(QPalette::WindowText, palette::textBlue);
        lblIstruzioni->setPalette(pal);
    }
    lblIstruzioni->setGeometry(14, 168, 967, 30);

    auto *selection = new Picture(b, u"panSelezione"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 12, palette::white, QColor(234, 244, 242), QColor(150, 190, 182));
    });
    selection->setGeometry(250, 212, 700, 376);

    imgLibretto = new Picture(b, u"imgLibretto"_s, [](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 90, 80, 30));
        p.drawEllipse(QRectF(r.left() + 30, r.bottom() - 22, r.width() - 60, 16));
        art::drawGlyph(p, r.adjusted(0, 0, 0, -20), art::Glyph::Booklet);
    });
    imgLibretto->setGeometry(44, 300, 180, 196);

    const QFont buttonFont = designFont(u"Verdana"_s, 14);
    const QFont fieldFont = designFont(u"Verdana"_s, 12, true);
    const QFont captionFont = designFont(u"Verdana"_s, 11, true);

    imgFrecciaSeleziona = new Picture(b, u"imgFrecciaSeleziona"_s, art::Glyph::ArrowRight);
    imgFrecciaSeleziona->setGeometry(290, 238, 52, 34);
    btnSeleziona = makeButton(b, u"btnSeleziona"_s, u"Seleziona paziente"_s, QRect(352, 238, 408, 34));
    btnSeleziona->setFont(buttonFont);

    imgCampi = new Picture(b, u"imgCampi"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 8, QColor(236, 246, 244), QColor(220, 236, 233), QColor(175, 205, 198));
    });
    imgCampi->setGeometry(290, 294, 620, 196);

    txtPaziente = makeInput(b, u"txtPaziente"_s, QRect(310, 334, 530, 32));
    txtCodFisc = makeInput(b, u"txtCodFisc"_s, QRect(310, 424, 260, 32));
    auto *capPaziente = captionFor(b, txtPaziente, u"Paziente:"_s, captionFont);
    capPaziente->setGeometry(312, 306, 300, 24);
    auto *capCodFisc = captionFor(b, txtCodFisc, u"Codice fiscale:"_s, captionFont);
    capCodFisc->setGeometry(312, 396, 300, 24);
    for (QLabel *caption : {capPaziente, capCodFisc}) {
        QPalette pal = caption->palette();
        pal.setColor(QPalette::WindowText, QColor(30, 90, 80));
        caption->setPalette(pal);
    }
    for (QLineEdit *e : {txtPaziente, txtCodFisc}) {
        e->setReadOnly(true);
        e->setFont(fieldFont);
        QPalette pal = e->palette();
        pal.setColor(QPalette::Text, QColor(120, 60, 20));
        e->setPalette(pal);
    }

    btnCancella01 = new PictureButton(b, u"btnCancella01"_s, u"Annulla la scelta del paziente"_s, art::Glyph::Eraser,
                                      PictureButton::Style::Icon);
    btnCancella01->setGeometry(848, 332, 36, 36);
    btnCancella02 = new PictureButton(b, u"btnCancella02"_s, u"Annulla la scelta del paziente"_s, art::Glyph::Eraser,
                                      PictureButton::Style::Icon);
    btnCancella02->setGeometry(578, 422, 36, 36);
    // Both erasers do the same: the keyboard and a screen reader reach one.
    btnCancella02->setAccessibleName(u"Gomma: annulla la scelta del paziente"_s);
    btnCancella02->setAccessibleDescription(u"Con la tastiera: il pulsante «Annulla la scelta del paziente»"_s);
    access::mouseAlias(btnCancella02, QAccessible::Graphic);

    imgFrecciaApri = new Picture(b, u"imgFrecciaApri"_s, art::Glyph::ArrowRight);
    imgFrecciaApri->setGeometry(290, 520, 52, 34);
    btnApri = makeButton(b, u"btnApri"_s, u"Registra analisi cliniche"_s, QRect(352, 520, 408, 34));
    btnApri->setFont(buttonFont);

    auto *bottom = new Picture(b, u"panBasso"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 10, palette::tealTop, palette::tealBottom, palette::tealBorder);
        p.setPen(palette::tealPale);
        p.setFont(designFont(u"Verdana"_s, 10));
        p.drawText(r, Qt::AlignCenter, u"Clinora - Analisi Cliniche"_s);
    });
    bottom->setGeometry(14, 614, 967, 64);
    imgGuida = new PictureButton(b, u"imgGuida"_s, u"Guida"_s, art::Glyph::Help, PictureButton::Style::Icon);
    imgGuida->setGeometry(26, 622, 48, 48);
    imgEsci = new PictureButton(b, u"imgEsci"_s, u"Esci"_s, art::Glyph::Close, PictureButton::Style::Icon);
    imgEsci->setGeometry(921, 622, 48, 48);

    lblMemory = hiddenLabel(b, u"lblMemory"_s, kModeStart);

    setTabOrder(btnSeleziona, btnApri);
    setTabOrder(btnApri, txtPaziente);
    setTabOrder(txtPaziente, txtCodFisc);
    setTabOrder(txtCodFisc, btnImportaReferto);

    connect(txtPaziente, &QLineEdit::textChanged, this, &TfrmMenuAnalisi::txtPazienteChange);
    connect(txtCodFisc, &QLineEdit::textChanged, this, &TfrmMenuAnalisi::txtCodFiscChange);
    connect(btnSeleziona, &QPushButton::clicked, this, &TfrmMenuAnalisi::btnSelezionaClick);
    connect(btnApri, &QPushButton::clicked, this, &TfrmMenuAnalisi::btnApriClick);
    connect(btnCancella01, &QAbstractButton::clicked, this, &TfrmMenuAnalisi::btnCancella01Click);
    connect(btnCancella02, &QAbstractButton::clicked, this, &TfrmMenuAnalisi::btnCancella02Click);
    connect(btnEsamiFrequenti, &QAbstractButton::clicked, this, &TfrmMenuAnalisi::btnEsamiFrequentiClick);
    connect(btnImportaReferto, &QAbstractButton::clicked, this, &TfrmMenuAnalisi::btnImportaRefertoClick);
    connect(imgGuida, &QAbstractButton::clicked, this, &TfrmMenuAnalisi::imgGuidaClick);
    connect(imgEsci, &QAbstractButton::clicked, this, &TfrmMenuAnalisi::imgEsciClick);

    followChoice(QString());
    // A patient picked in the search fills the two fields.
    m_ctx.offer(this, caller::kAnalysesMenu, PatientPickHook{[this](const PatientRecord &r, qint64) {
                    txtPaziente->setText(r.get(PatientRecord::Paziente));
                    txtCodFisc->setText(r.get(PatientRecord::CodFisc));
                }});
}

void TfrmMenuAnalisi::FormShow()
{
    lblMemory->setText(kModeStart);
    clearChoice();
    btnApri->setEnabled(false);
    imgFrecciaSeleziona->show();
    imgFrecciaApri->hide();
    btnSeleziona->setFocus(Qt::OtherFocusReason);
}

void TfrmMenuAnalisi::followChoice(const QString &text)
{
    const bool chosen = !text::isBlank(text);
    btnApri->setEnabled(chosen);
    btnImportaReferto->setEnabled(chosen);
    imgFrecciaApri->setVisible(chosen);
    imgFrecciaSeleziona->setVisible(!chosen);
}

void TfrmMenuAnalisi::clearChoice()
{
    txtPaziente->clear();
    txtCodFisc->clear();
}

void TfrmMenuAnalisi::txtPazienteChange() { followChoice(txtPaziente->text()); }
void TfrmMenuAnalisi::txtCodFiscChange() { followChoice(txtCodFisc->text()); }

void TfrmMenuAnalisi::btnSelezionaClick()
{
    // On a pick the search writes the name and the fiscal code into our two fields.
    const QString before = txtCodFisc->text();
    m_ctx.openDialog<TfrmTrovaClienti>(this,
                                       [](TfrmTrovaClienti &d) { d.lblMemory->setText(caller::kAnalysesMenu.toString()); });
    // The fields change where the keyboard is not: the choice is said.
    if (txtCodFisc->text() != before && !text::isBlank(txtPaziente->text()))
        access::announce(this, u"Paziente scelto: "_s + txtPaziente->text() + u", codice fiscale "_s + txtCodFisc->text());
}

void TfrmMenuAnalisi::btnApriClick()
{
    lblMemory->setText(kModeOpen);
    close();
}

void TfrmMenuAnalisi::btnCancella01Click() { clearChoice(); }
void TfrmMenuAnalisi::btnCancella02Click() { clearChoice(); }

void TfrmMenuAnalisi::btnEsamiFrequentiClick() { m_ctx.openDialog<TfrmListaPresc>(this); }

void TfrmMenuAnalisi::btnImportaRefertoClick()
{
    const QString folder = m_ctx.services.appFolder;
    if (!ensureAnalysisFolder(folder)) {
        m_ctx.services.error(this, msg::kAccessError.toString());
        return;
    }
    const QString code = text::trimmed(txtCodFisc->text());
    m_ctx.openDialog<TfrmImportaReferto>(this, [&](TfrmImportaReferto &d) {
        d.setPatient(txtPaziente->text(), code, AnalysisArchivePath(folder, code));
    });
}

void TfrmMenuAnalisi::imgGuidaClick() { m_ctx.showHelp(this, help::TopicId::AnalysesMenu); }

void TfrmMenuAnalisi::imgEsciClick() { close(); }

void TfrmMenuAnalisi::FormClose()
{
    if (lblMemory->text() != kModeOpen) {
        m_ctx.showStartMenu(this);
        return;
    }
    const QString folder = m_ctx.services.appFolder;
    if (!ensureAnalysisFolder(folder)) {
        // Without the folder no archive can be opened: say so, rather than
        // leave the user with no window at all.
        m_ctx.services.error(this, msg::kAccessError.toString());
        m_ctx.showStartMenu(this);
        return;
    }
    const AnalysisCardHook *card = m_ctx.hook<AnalysisCardHook>(caller::kAnalysisCard);
    if (!card)
        return;
    const QString code = text::trimmed(txtCodFisc->text());
    card->txtPaziente->setText(text::trimmed(txtPaziente->text()));
    card->txtCodFisc->setText(code);
    card->lblFile->setText(AnalysisArchivePath(folder, code));
    m_ctx.switchTo(this, card->card);
}

} // namespace clinora
