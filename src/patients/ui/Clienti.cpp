#include "patients/ui/Clienti.h"

#include "checks/CodiciCatastali.h"
#include "checks/DatiCodiceFiscale.h"
#include "checks/ui/CalcolaCodFisc.h"
#include "checks/ui/CodFisc.h"
#include "checks/ui/IdentifierKeys.h"
#include "checks/ui/PartitaIVA.h"
#include "common/CommonSettings.h"
#include "common/HelpTexts.h"
#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Behaviours.h"
#include "common/ui/ControlText.h"
#include "common/ui/Controls.h"
#include "common/ui/OpenURL.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/PatientDuplicates.h"
#include "patients/PatientEntry.h"
#include "patients/ui/AllegaCartella.h"
#include "patients/ui/Cartella.h"
#include "patients/ui/ClientiReport.h"
#include "patients/ui/ExpClienti.h"
#include "patients/ui/PatientHooks.h"
#include "patients/ui/Ricontatta.h"
#include "patients/ui/TrovaClienti.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QShowEvent>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// The provinces both combos offer, in their order ("EE" is abroad).
const QStringList &provinces()
{
    static const QStringList list = u"AG AL AN AO AP AQ AR AT AV BA BG BI BL BN BO BR BS BT BZ CA CB CE CH CI CL CN CO "
                                    u"CR CS CT CZ EE EN FC FE FG FI FM FO FR GE GO GR IM IS KR LC LE LI LO LT LU MB MC "
                                    u"MD ME MI MN MO MS MT NA NO NU OG OR OT PA PC PD PE PG PI PN PO PR PT PU PV PZ RA "
                                    u"RC RE RG RI RM RN RO SA SI SO SP SR SS SV TA TE TN TO TP TR TS TV UD VA VB VC VE "
                                    u"VI VR VT VV"_s.split(u' ');
    return list;
}

// Geometry of the card, on the 995 x 692 board.
constexpr int kMargin = 14;
constexpr int kBandWidth = 777;
constexpr int kBandGap = 7;
constexpr int kColumnX = kMargin + kBandWidth + 13;
constexpr int kColumnWidth = 177;
constexpr int kBarY = 692 - kMargin - 32;
// Inside a band: the picture box, then the rows of captioned inputs.
constexpr int kPictureBox = 90;
constexpr int kInputsX = 7 + kPictureBox + 10;
constexpr int kInputsWidth = kBandWidth - kInputsX - 8;
constexpr int kCaptionHeight = 16;
constexpr int kInputHeight = 26;
constexpr int kRowHeight = kCaptionHeight + 2 + kInputHeight;
constexpr int kGap = 8;

const QColor kCaptionInk(28, 48, 78);

void paintBand(QPainter &p, const QRectF &r)
{
    paintFlatPanel(p, r, 6, art::colors::band, palette::cardBandBorder);
}

void paintWhiteBox(QPainter &p, const QRectF &r)
{
    paintFlatPanel(p, r, 5, Qt::white, palette::cardBandBorder);
}

QString inputText(const QWidget *input)
{
    if (const auto *combo = qobject_cast<const QComboBox *>(input))
        return combo->currentText();
    return static_cast<const QLineEdit *>(input)->text();
}

void setInputText(QWidget *input, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(input)) {
        // The text only: the list selection stays empty.
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
    } else {
        auto *edit = static_cast<QLineEdit *>(input);
        edit->setText(text);
        edit->setCursorPosition(0); // a long text shows its beginning
    }
}

} // namespace

TfrmClienti::TfrmClienti(ScreenContext &ctx, QWidget *parent) : WorkingArea(ctx, u" Clinora - Anagrafica Pazienti"_s, parent)
{
    setObjectName(u"frmClienti"_s);
    settings::apply();
    buildLayout();
    connectCommands();
    // What the patient lists and the attachment dialog hand back to this card.
    m_ctx.offer(this, caller::kPatientCard,
                PatientPickHook{[this](const PatientRecord &r, qint64 n) { LoadPatientIntoCard(r, n); }});
    m_ctx.offer(this, caller::kPatientCard,
                AttachmentHook{{lblFile01, lblDesc01, lblFile02, lblDesc02, lblFile03, lblDesc03}});
}

void TfrmClienti::buildLayout()
{
    QWidget *b = board();
    auto *panScheda = new Picture(b, u"panScheda"_s, [](QPainter &p, const QRectF &r) {
        paintFlatPanel(p, r, 10, art::colors::board, QColor(0x8E, 0xA3, 0xBC));
    });
    panScheda->setGeometry(b->rect());

    const QFont captionFont = designFont(u"Verdana"_s, 9);
    const QFont inputFont = designFont(u"Verdana"_s, 12, true);
    QList<QLabel *> captions;
    QList<QWidget *> backgrounds{this, b, panScheda};

    // One section band with its picture box; returns the band.
    int bandY = kMargin;
    auto band = [&](const QString &name, const QString &pictureName, const QString &pictureText, art::Glyph glyph,
                    int height) {
        auto *w = new Picture(panScheda, name, paintBand);
        w->setGeometry(kMargin, bandY, kBandWidth, height);
        bandY += height + kBandGap;
        auto *pic = new Picture(w, pictureName, [glyph](QPainter &p, const QRectF &r) {
            paintWhiteBox(p, r);
            const qreal side = std::min(r.width(), r.height()) - 14;
            art::drawGlyph(p, QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side), glyph);
        });
        pic->setGeometry(7, 7, kPictureBox, height - 14);
        pic->setAccessibleName(pictureText);
        backgrounds << w << pic;
        return w;
    };
    // The y of row `row` (0-based) in a band of `height` with `rows` rows.
    auto rowY = [](int height, int rows, int row) {
        const int free = height - rows * kRowHeight;
        const int gap = free / (rows + 1);
        const int top = (free - gap * (rows - 1)) / 2;
        return top + row * (kRowHeight + gap);
    };
    auto caption = [&](QWidget *parent, QWidget *input, const QString &text, int x, int y, int width) {
        QLabel *l = captionFor(parent, input, text, captionFont);
        l->setGeometry(x, y, width, kCaptionHeight);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, kCaptionInk);
        l->setPalette(pal);
        captions << l;
        return l;
    };
    auto input = [&](QWidget *parent, const QString &name, const QString &text, int maxLength, int x, int y,
                     int width, Qt::Alignment align = Qt::AlignLeft) {
        QLineEdit *e = makeInput(parent, name, QRect(x, y + kCaptionHeight + 2, width, kInputHeight), maxLength);
        e->setFont(inputFont);
        e->setAlignment(align | Qt::AlignVCenter);
        caption(parent, e, text, x, y, width);
        return e;
    };
    auto province = [&](QWidget *parent, const QString &name, int x, int y, int width) {
        auto *c = new QComboBox(parent);
        c->setObjectName(name);
        c->setFont(inputFont); // before the items, which are laid out again at every change of font
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert); // Enter never adds to the list
        c->setCompleter(nullptr);                // the typed text is taken as typed
        c->addItems(provinces());
        c->setMaxVisibleItems(16);
        c->setCurrentIndex(-1);
        c->lineEdit()->setMaxLength(2);
        c->setGeometry(x, y + kCaptionHeight + 2, width, kInputHeight);
        caption(parent, c, u"Prov."_s, x, y, width);
        return c;
    };
    // Both captions read "Prov.": a screen reader names a box by its caption,
    // which is read in full, each saying which province it is.
    auto spellOut = [&](QComboBox *box, const QString &inFull) {
        for (QLabel *l : std::as_const(captions))
            if (l->buddy() == box)
                l->setAccessibleName(inFull);
    };
    auto iconButton = [&](QWidget *parent, const QString &name, const QString &accessible, art::Glyph glyph,
                          const QLineEdit *beside) {
        auto *btn = new PictureButton(parent, name, accessible, glyph, PictureButton::Style::Icon);
        const QRect g = beside->geometry();
        btn->setGeometry(g.right() + 5, g.top() - 2, 30, 30);
        return btn;
    };

    const int x0 = kInputsX;
    // Band 1: who the patient is and where they live.
    {
        const int h = 154;
        QWidget *w = band(u"panAnagrafica"_s, u"imgVisita"_s, u"Medico che visita un paziente"_s,
                          art::Glyph::Doctor, h);
        int y = rowY(h, 3, 0);
        int x = x0;
        txtPaziente = input(w, u"txtPaziente"_s, u"Cognome e nome:"_s, 50, x, y, 268);
        x += 268 + kGap;
        txtDataNasc = input(w, u"txtDataNasc"_s, u"Data di nascita:"_s, 30, x, y, 118, Qt::AlignHCenter);
        x += 118 + kGap;
        txtComuneNasc = input(w, u"txtComuneNasc"_s, u"Comune di nascita:"_s, 50, x, y, 190);
        x += 190 + kGap;
        txtProvNasc = province(w, u"txtProvNasc"_s, x, y, 62);
        access::describe(txtProvNasc, u"Provincia di nascita"_s);
        access::describe(txtProvNasc->lineEdit(), u"Provincia di nascita"_s);
        spellOut(txtProvNasc, u"Provincia di nascita"_s);

        y = rowY(h, 3, 1);
        x = x0;
        txtSesso = input(w, u"txtSesso"_s, u"Sesso:"_s, 1, x, y, 56, Qt::AlignHCenter);
        x += 56 + kGap;
        txtRecapito = input(w, u"txtRecapito"_s, u"Tel. preferenziale:"_s, 50, x, y, 170);
        x += 170 + kGap;
        txtIndirizzoRes = input(w, u"txtIndirizzoRes"_s, u"Residente in Via / Piazza e numero civico:"_s, 50, x, y,
                                350);
        x += 350 + kGap;
        txtProvRes = province(w, u"txtProvRes"_s, x, y, 62);
        access::describe(txtProvRes, u"Provincia di residenza"_s);
        access::describe(txtProvRes->lineEdit(), u"Provincia di residenza"_s);
        spellOut(txtProvRes, u"Provincia di residenza"_s);

        y = rowY(h, 3, 2);
        x = x0;
        txtComuneRes = input(w, u"txtComuneRes"_s, u"Comune di residenza:"_s, 50, x, y, 220);
        x += 220 + kGap;
        txtCapRes = input(w, u"txtCapRes"_s, u"CAP:"_s, 5, x, y, 72);
        x += 72 + kGap;
        txtProfessione = input(w, u"txtProfessione"_s, u"Professione:"_s, 50, x, y, 180);
        x += 180 + kGap;
        txtASL = input(w, u"txtASL"_s, u"ASL:"_s, 50, x, y, kInputsX + kInputsWidth - x);
    }
    // Three equal columns across a row.
    const int third = (kInputsWidth - 2 * kGap) / 3;
    const int lastThird = kInputsWidth - 2 * kGap - 2 * third;
    // Band 2: telephones and e-mail.
    {
        const int h = 105;
        QWidget *w = band(u"panRecapiti"_s, u"imgTelefono"_s, u"Telefono"_s, art::Glyph::Phone, h);
        int y = rowY(h, 2, 0);
        txtTelCasa = input(w, u"txtTelCasa"_s, u"Tel. casa:"_s, 30, x0, y, third);
        txtTelUff = input(w, u"txtTelUff"_s, u"Tel. ufficio:"_s, 30, x0 + third + kGap, y, third);
        txtTelCel = input(w, u"txtTelCel"_s, u"Tel. cellulare:"_s, 30, x0 + 2 * (third + kGap), y, lastThird);

        y = rowY(h, 2, 1);
        txtFax = input(w, u"txtFax"_s, u"Fax:"_s, 30, x0, y, third);
        const int atX = x0 + third + kGap;
        auto *at = new Picture(w, u"imgChiocciola"_s, art::Glyph::At);
        at->setGeometry(atX, y + kCaptionHeight + 1, 28, 28);
        at->setAccessibleName(u"Chiocciola"_s);
        backgrounds << at;
        const int mailX = atX + 28 + 6;
        const int mailWidth = kInputsX + kInputsWidth - mailX - 35;
        txtEmail = input(w, u"txtEmail"_s, u"E-mail:"_s, 50, mailX, y, mailWidth);
        btnEmail = iconButton(w, u"btnEmail"_s, u"Invia e-mail"_s, art::Glyph::Mail, txtEmail);
    }
    // Band 3: identity documents and vaccinations.
    {
        const int h = 105;
        QWidget *w = band(u"panDocumenti"_s, u"imgTessera"_s, u"Tessera sanitaria"_s, art::Glyph::HealthCard, h);
        const int codeWidth = 225;
        int y = rowY(h, 2, 0);
        txtCodFisc = input(w, u"txtCodFisc"_s, u"Codice fiscale:"_s, 16, x0, y, codeWidth);
        btnCodFisc = iconButton(w, u"btnCodFisc"_s, u"Controlla codice fiscale"_s, art::Glyph::Tick, txtCodFisc);
        btnCalcolaCodFisc = new PictureButton(w, u"btnCalcolaCodFisc"_s, u"Calcola codice fiscale"_s,
                                              art::Glyph::Calculator, PictureButton::Style::Icon);
        btnCalcolaCodFisc->setGeometry(btnCodFisc->geometry().translated(35, 0));
        btnCalcolaCodFisc->setFocusPolicy(Qt::StrongFocus); // Space presses it
        const int afterButton = x0 + codeWidth + 5 + 30 + kGap;
        const int afterButtons = afterButton + 35;
        const int groupWidth = 140;
        const int groupX = kInputsX + kInputsWidth - groupWidth;
        txtTessera = input(w, u"txtTessera"_s, u"Tessera sanitaria n."_s, 50, afterButtons, y,
                           groupX - kGap - afterButtons);
        txtGruppo = input(w, u"txtGruppo"_s, u"Gruppo sanguigno:"_s, 10, groupX, y, groupWidth, Qt::AlignHCenter);

        y = rowY(h, 2, 1);
        txtPartitaIva = input(w, u"txtPartitaIva"_s, u"Partita IVA:"_s, 11, x0, y, codeWidth);
        btnPartitaIva = iconButton(w, u"btnPartitaIva"_s, u"Controlla partita IVA"_s, art::Glyph::Tick,
                                   txtPartitaIva);
        txtVaccinazioni = input(w, u"txtVaccinazioni"_s, u"Vaccinazioni:"_s, 250, afterButton, y,
                                kInputsX + kInputsWidth - afterButton);
    }
    // Band 4: clinical history.
    {
        const int h = 105;
        QWidget *w = band(u"panSalute"_s, u"imgAnatomia"_s, u"Figura anatomica"_s, art::Glyph::Anatomy, h);
        int y = rowY(h, 2, 0);
        txtPatologie = input(w, u"txtPatologie"_s, u"Patologie:"_s, 250, x0, y, third);
        txtAllergie = input(w, u"txtAllergie"_s, u"Allergie e intolleranze:"_s, 250, x0 + third + kGap, y, third);
        txtFarmaci = input(w, u"txtFarmaci"_s, u"Farmaci assunti:"_s, 250, x0 + 2 * (third + kGap), y, lastThird);
        y = rowY(h, 2, 1);
        txtInterventi = input(w, u"txtInterventi"_s, u"Interventi subiti:"_s, 250, x0, y, third);
        txtProtesi = input(w, u"txtProtesi"_s, u"Protesi:"_s, 250, x0 + third + kGap, y, third);
        txtHandicap = input(w, u"txtHandicap"_s, u"Handicap psicomotori:"_s, 250, x0 + 2 * (third + kGap), y,
                            lastThird);
    }
    // Band 5: pending matters and notes.
    {
        const int h = 121;
        QWidget *w = band(u"panNote"_s, u"imgRicontatto"_s, u"Medico al telefono"_s, art::Glyph::Call, h);
        const int checkWidth = 176;
        int y = rowY(h, 2, 0);
        txtQuestioni = input(w, u"txtQuestioni"_s, u"Questioni in sospeso:"_s, 250, x0, y,
                             kInputsWidth - kGap - checkWidth);
        chkRicontatta = new QCheckBox(u"Da ricontattare"_s, w);
        chkRicontatta->setObjectName(u"chkRicontatta"_s);
        chkRicontatta->setFont(designFont(u"Verdana"_s, 10, true));
        chkRicontatta->setCursor(Qt::PointingHandCursor);
        chkRicontatta->setGeometry(kInputsX + kInputsWidth - checkWidth + 6, y + kCaptionHeight + 2, checkWidth - 6,
                                   kInputHeight);
        y = rowY(h, 2, 1);
        txtNote = input(w, u"txtNote"_s, u"Note:"_s, 250, x0, y, kInputsWidth);
    }

    // The command column and its decorative picture.
    auto *column = new Picture(panScheda, u"panComandi"_s, paintWhiteBox);
    column->setGeometry(kColumnX, kMargin, kColumnWidth, kBarY - 14 - kMargin);
    backgrounds << column;
    struct Command {
        PictureButton **slot;
        const char16_t *name;
        const char16_t *lettering;
        art::Glyph glyph;
    };
    const Command commands[] = {
        {&cmdNuovo, u"cmdNuovo", u"Nuovo", art::Glyph::New},
        {&cmdDuplica, u"cmdDuplica", u"Duplica", art::Glyph::Duplicate},
        {&cmdSalva, u"cmdSalva", u"Salva", art::Glyph::Save},
        {&cmdFile, u"cmdFile", u"Allega file", art::Glyph::Attach},
        {&cmdCartella, u"cmdCartella", u"Associa cartella", art::Glyph::Folder},
        {&cmdTrova, u"cmdTrova", u"Trova", art::Glyph::Find},
        {&cmdStampa, u"cmdStampa", u"Stampa", art::Glyph::Print},
        {&cmdPDF, u"cmdPDF", u"Crea PDF", art::Glyph::Pdf},
        {&cmdRicontatta, u"cmdRicontatta", u"Da ricontattare", art::Glyph::Recontact},
        {&cmdEsporta, u"cmdEsporta", u"Esporta archivio", art::Glyph::Export},
        {&cmdGuida, u"cmdGuida", u"Guida", art::Glyph::Help},
        {&cmdEsci, u"cmdEsci", u"Esci", art::Glyph::Exit},
    };
    int cy = 14;
    for (const Command &c : commands) {
        auto *btn = new PictureButton(column, QString::fromUtf16(c.name), QString::fromUtf16(c.lettering), c.glyph);
        btn->setGeometry((kColumnWidth - 148) / 2, cy, 148, 32);
        *c.slot = btn;
        cy += 40;
    }
    auto *imgLogo = new Picture(column, u"imgLogo"_s, [](QPainter &p, const QRectF &r) {
        const qreal tile = std::min(r.width(), r.height() - 30);
        art::drawLogoTile(p, QRectF(r.center().x() - tile / 2, r.top(), tile, tile));
        p.setFont(designFont(u"Verdana"_s, 10, true));
        p.setPen(palette::textBlue);
        p.drawText(QRectF(r.left(), r.top() + tile + 4, r.width(), 24), Qt::AlignHCenter | Qt::AlignTop,
                   u"Anagrafica pazienti"_s);
    });
    imgLogo->setGeometry(8, cy + 12, kColumnWidth - 16, column->height() - cy - 24);
    imgLogo->setAccessibleName(u"Clinora - Anagrafica pazienti"_s);
    backgrounds << imgLogo;

    // The attachments, under the picture and never visible.
    lblFile01 = hiddenLabel(column, u"lblFile01"_s, u"File01"_s);
    lblFile02 = hiddenLabel(column, u"lblFile02"_s, u"File02"_s);
    lblFile03 = hiddenLabel(column, u"lblFile03"_s, u"File03"_s);
    lblDesc01 = hiddenLabel(column, u"lblDesc01"_s, u"Desc01"_s);
    lblDesc02 = hiddenLabel(column, u"lblDesc02"_s, u"Desc02"_s);
    lblDesc03 = hiddenLabel(column, u"lblDesc03"_s, u"Desc03"_s);
    for (QLabel *l : {lblFile01, lblFile02, lblFile03, lblDesc01, lblDesc02, lblDesc03})
        l->setGeometry(imgLogo->geometry());

    // The hint line along the bottom.
    auto *bar = new Picture(panScheda, u"panBarra"_s, [](QPainter &p, const QRectF &r) {
        paintFlatPanel(p, r, 4, art::colors::hintBlue);
    });
    bar->setGeometry(kMargin, kBarY, kBandWidth, 32);
    panInfo = new QLabel(u"Pronto per archiviare una nuova scheda..."_s, bar);
    panInfo->setObjectName(u"panInfo"_s);
    panInfo->setGeometry(10, 0, kBandWidth - 20, 32);
    QPalette infoPal = panInfo->palette();
    infoPal.setColor(QPalette::WindowText, Qt::white);
    panInfo->setPalette(infoPal);
    backgrounds << bar << panInfo;

    // The arrows and the position label.
    auto *arrows = new Picture(panScheda, u"panFrecce"_s, paintWhiteBox);
    arrows->setGeometry(kColumnX, kBarY, kColumnWidth, 32);
    backgrounds << arrows;
    auto arrow = [&](const QString &name, const QString &accessible, art::Glyph glyph, int x) {
        auto *btn = new PictureButton(arrows, name, accessible, glyph, PictureButton::Style::Icon);
        btn->setGeometry(x, 2, 22, 28);
        return btn;
    };
    const int labelX = (kColumnWidth - 82) / 2;
    cmdPrimo = arrow(u"cmdPrimo"_s, u"Prima scheda"_s, art::Glyph::First, labelX - 45);
    cmdIndietro = arrow(u"cmdIndietro"_s, u"Scheda precedente"_s, art::Glyph::Previous, labelX - 23);
    lblPosizione = new QLabel(arrows);
    lblPosizione->setObjectName(u"lblPosizione"_s);
    access::valueLabel(lblPosizione, u"Numero della scheda"_s);
    lblPosizione->setFont(designFont(u"Verdana"_s, 12, true));
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setGeometry(labelX, 0, 82, 32);
    backgrounds << lblPosizione;
    cmdAvanti = arrow(u"cmdAvanti"_s, u"Scheda successiva"_s, art::Glyph::Next, labelX + 83);
    cmdUltimo = arrow(u"cmdUltimo"_s, u"Ultima scheda"_s, art::Glyph::Last, labelX + 105);

    m_inputs = {
        {PatientRecord::Paziente, txtPaziente},       {PatientRecord::DataNasc, txtDataNasc},
        {PatientRecord::ComuneNasc, txtComuneNasc},   {PatientRecord::ProvNasc, txtProvNasc},
        {PatientRecord::Sesso, txtSesso},             {PatientRecord::Recapito, txtRecapito},
        {PatientRecord::IndirizzoRes, txtIndirizzoRes}, {PatientRecord::ProvRes, txtProvRes},
        {PatientRecord::ComuneRes, txtComuneRes},     {PatientRecord::CapRes, txtCapRes},
        {PatientRecord::Professione, txtProfessione}, {PatientRecord::ASL, txtASL},
        {PatientRecord::TelCasa, txtTelCasa},         {PatientRecord::TelUff, txtTelUff},
        {PatientRecord::TelCel, txtTelCel},           {PatientRecord::Fax, txtFax},
        {PatientRecord::Email, txtEmail},             {PatientRecord::CodFisc, txtCodFisc},
        {PatientRecord::Tessera, txtTessera},         {PatientRecord::Gruppo, txtGruppo},
        {PatientRecord::PartitaIva, txtPartitaIva},   {PatientRecord::Vaccinazioni, txtVaccinazioni},
        {PatientRecord::Patologie, txtPatologie},     {PatientRecord::Allergie, txtAllergie},
        {PatientRecord::Farmaci, txtFarmaci},         {PatientRecord::Interventi, txtInterventi},
        {PatientRecord::Protesi, txtProtesi},         {PatientRecord::Handicap, txtHandicap},
        {PatientRecord::Questioni, txtQuestioni},     {PatientRecord::Note, txtNote},
    };

    // Focus highlights: "eff" + the name without "txt"; the one of the
    // operations is spelled in lower case, as it always has been.
    for (const Binding &in : std::as_const(m_inputs)) {
        const QString name = in.input->objectName().mid(3);
        FocusHighlight::attach(in.input, in.input == txtInterventi ? u"effinterventi"_s : u"eff"_s + name);
    }
    // Captions above the highlights, so that a highlight never covers one.
    for (QLabel *l : std::as_const(captions))
        l->raise();

    // Tab order: the inputs top to bottom, the check box before the notes;
    // then the pictures: those beside the inputs, the commands top to
    // bottom and the arrows.
    QList<QWidget *> tabs;
    for (const Binding &in : std::as_const(m_inputs)) {
        if (in.input == txtNote)
            tabs << chkRicontatta;
        tabs << in.input;
        if (in.input == txtCodFisc) // the computing button follows its field
            tabs << btnCalcolaCodFisc;
    }
    tabs << btnEmail << btnCodFisc << btnPartitaIva << cmdNuovo << cmdDuplica << cmdSalva << cmdFile << cmdCartella << cmdTrova << cmdStampa << cmdPDF
         << cmdRicontatta << cmdEsporta << cmdGuida << cmdEsci << cmdPrimo << cmdIndietro << cmdAvanti << cmdUltimo;
    for (qsizetype i = 0; i + 1 < tabs.size(); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);

    // The commands' keys, as their lettering suggests; the arrows browse
    // with Alt and the keys that page.
    const std::pair<PictureButton *, char16_t> letters[] = {
        {cmdNuovo, u'N'},   {cmdDuplica, u'D'},    {cmdSalva, u'S'},      {cmdFile, u'A'},
        {cmdCartella, u'C'}, {cmdTrova, u'T'},      {cmdStampa, u'P'},     {cmdPDF, u'F'},
        {cmdRicontatta, u'R'}, {cmdEsporta, u'O'}, {cmdGuida, u'G'},      {cmdEsci, u'E'},
    };
    for (const auto &[button, letter] : letters)
        button->setShortcutLetter(QChar(letter));
    // The command is "Da ricontattare" too: the check box says what it marks.
    chkRicontatta->setAccessibleName(u"Paziente da ricontattare"_s);
    cmdPrimo->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    cmdIndietro->setShortcut(QKeySequence(Qt::ALT | Qt::Key_PageUp));
    cmdAvanti->setShortcut(QKeySequence(Qt::ALT | Qt::Key_PageDown));
    cmdUltimo->setShortcut(QKeySequence(Qt::ALT | Qt::Key_End));
    enterRing({txtPaziente,  txtDataNasc,  txtComuneNasc,  txtProvNasc,    txtSesso,        txtRecapito,
               txtIndirizzoRes, txtProvRes, txtComuneRes,  txtCapRes,      txtProfessione,  txtASL,
               txtTelCasa,   txtTelUff,    txtTelCel,      txtFax,         txtEmail,        txtCodFisc,
               txtTessera,   txtGruppo,    txtPartitaIva,  txtVaccinazioni, txtPatologie,   txtAllergie,
               txtFarmaci,   txtInterventi, txtProtesi,    txtHandicap,    txtQuestioni,    txtNote});

    // Typing rules.
    tidyWhileTyping(txtSesso, Tidy::Upper);
    tidyWhileTyping(txtCapRes, Tidy::Upper);
    tidyWhileTyping(txtEmail, Tidy::Trim);
    tidyWhileTyping(txtCodFisc, Tidy::TrimUpper);
    for (QComboBox *c : {txtProvNasc, txtProvRes}) {
        tidyWhileTyping(c->lineEdit(), Tidy::TrimUpper);
        c->installEventFilter(this);
    }
    for (QWidget *w : {static_cast<QWidget *>(txtEmail), static_cast<QWidget *>(txtCodFisc),
                       static_cast<QWidget *>(txtPartitaIva)})
        w->installEventFilter(this);

    // The hint line: white text that fits the bar, in the largest size that
    // lets the longest hint fit.
    m_hints = new HintLine(panInfo);
    m_hints->addCommands({
        {cmdNuovo, u"Prepara la schermata per la registrazione di una nuova scheda."_s},
        {cmdDuplica, u"Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."_s},
        {cmdSalva, u"Salva la scheda corrente in archivio."_s},
        {cmdFile, u"Allega file alla scheda corrente."_s},
        {cmdCartella, u"Gestisci la cartella associata al paziente."_s},
        {cmdTrova, u"Trova una scheda in archivio."_s},
        {cmdStampa, u"Stampa la scheda corrente."_s},
        {cmdPDF, u"Esporta la scheda in formato PDF."_s},
        {cmdRicontatta, u"Visualizza il riepilogo dei pazienti da ricontattare."_s},
        {cmdEsporta, u"Esporta le schede in archivio in un file di Microsoft Excel."_s},
        {cmdGuida, u"Visualizza la guida in linea."_s},
        {cmdEsci, u"Esci dalla schermata di lavoro corrente."_s},
        {cmdPrimo, u"Visualizza la prima scheda in archivio."_s},
        {cmdIndietro, u"Visualizza la scheda precedente in archivio."_s},
        {cmdAvanti, u"Visualizza la scheda successiva in archivio."_s},
        {cmdUltimo, u"Visualizza l'ultima scheda in archivio."_s},
        {btnEmail, u"Invia una e-mail all'indirizzo indicato."_s},
        {btnCodFisc, u"Controlla il codice fiscale."_s},
        {btnCalcolaCodFisc, u"Calcola il codice fiscale dal nome, dal sesso, dalla data e dal luogo di nascita."_s},
        {btnPartitaIva, u"Controlla il numero di partita IVA."_s},
        {chkRicontatta, u"Annota che il paziente è da ricontattare per questioni in sospeso."_s},
    });
    QFont infoFont = designFont(u"Tahoma"_s, 12);
    const QString longest =
        u"Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."_s;
    while (infoFont.pointSize() > 8 && QFontMetrics(infoFont).horizontalAdvance(longest) > panInfo->width())
        infoFont.setPointSize(infoFont.pointSize() - 1);
    panInfo->setFont(infoFont);
    for (QWidget *w : std::as_const(backgrounds))
        m_hints->addBackground({w});
    // The inputs leave the hint line alone: a mouse move over one stops there.
    for (const Binding &in : std::as_const(m_inputs))
        in.input->setAttribute(Qt::WA_NoMousePropagation);
}

void TfrmClienti::connectCommands()
{
    const auto on = [this](PictureButton *b, void (TfrmClienti::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, handler);
    };
    on(cmdNuovo, &TfrmClienti::cmdNuovoClick);
    on(cmdDuplica, &TfrmClienti::cmdDuplicaClick);
    on(cmdSalva, &TfrmClienti::cmdSalvaClick);
    on(cmdFile, &TfrmClienti::cmdFileClick);
    on(cmdCartella, &TfrmClienti::cmdCartellaClick);
    on(cmdTrova, &TfrmClienti::cmdTrovaClick);
    on(cmdStampa, &TfrmClienti::cmdStampaClick);
    on(cmdPDF, &TfrmClienti::cmdPDFClick);
    on(cmdRicontatta, &TfrmClienti::cmdRicontattaClick);
    on(cmdEsporta, &TfrmClienti::cmdEsportaClick);
    on(cmdGuida, &TfrmClienti::cmdGuidaClick);
    on(cmdEsci, &TfrmClienti::cmdEsciClick);
    on(cmdPrimo, &TfrmClienti::cmdPrimoClick);
    on(cmdIndietro, &TfrmClienti::cmdIndietroClick);
    on(cmdAvanti, &TfrmClienti::cmdAvantiClick);
    on(cmdUltimo, &TfrmClienti::cmdUltimoClick);
    on(btnEmail, &TfrmClienti::btnEmailClick);
    on(btnCodFisc, &TfrmClienti::btnCodFiscClick);
    on(btnPartitaIva, &TfrmClienti::btnPartitaIvaClick);
    on(btnCalcolaCodFisc, &TfrmClienti::btnCalcolaCodFiscClick);
}

bool TfrmClienti::eventFilter(QObject *watched, QEvent *event)
{
    // txtCodFiscKeyDown, txtPartitaIvaKeyDown.
    if (watched == txtCodFisc && keys::swallow(event, keys::Allowed::Alphanumeric))
        return true;
    if (watched == txtPartitaIva && keys::swallow(event, keys::Allowed::Digits))
        return true;
    if (event->type() == QEvent::FocusOut) {
        if (watched == txtEmail)
            tidyText(txtEmail, Tidy::Trim);
        else if (watched == txtProvNasc || watched == txtProvRes)
            tidyText(static_cast<QComboBox *>(watched)->lineEdit(), Tidy::TrimUpper);
    } else if (event->type() == QEvent::FocusIn && (watched == txtProvNasc || watched == txtProvRes)) {
        // Entering a province: no list selection, the text as it was.
        auto *combo = static_cast<QComboBox *>(watched);
        if (combo->currentIndex() != -1) {
            const QString kept = combo->currentText();
            combo->setCurrentIndex(-1);
            combo->setEditText(kept);
        }
    }
    return WorkingArea::eventFilter(watched, event);
}

void TfrmClienti::FormShow() { clearCard(); }

void TfrmClienti::FormClose() { m_ctx.showStartMenu(this); }

void TfrmClienti::clearCard()
{
    for (const Binding &in : std::as_const(m_inputs))
        setInputText(in.input, QString());
    chkRicontatta->setChecked(false);
    for (QLabel *l : {lblFile01, lblFile02, lblFile03, lblDesc01, lblDesc02, lblDesc03})
        l->clear();
    lblPosizione->clear();
    m_fillDeclinedFor.clear();
    txtPaziente->setFocus(Qt::OtherFocusReason);
}

void TfrmClienti::LoadPatientIntoCard(const PatientRecord &record, qint64 recordNumber)
{
    for (const Binding &in : std::as_const(m_inputs))
        setInputText(in.input, record.get(in.field));
    const QString flag = record.get(PatientRecord::Ricontatta);
    if (flag == kYes)
        chkRicontatta->setChecked(true);
    else if (flag == kNo)
        chkRicontatta->setChecked(false);
    lblFile01->setText(record.get(PatientRecord::File01));
    lblFile02->setText(record.get(PatientRecord::File02));
    lblFile03->setText(record.get(PatientRecord::File03));
    lblDesc01->setText(record.get(PatientRecord::Desc01));
    lblDesc02->setText(record.get(PatientRecord::Desc02));
    lblDesc03->setText(record.get(PatientRecord::Desc03));
    lblPosizione->setText(QString::number(recordNumber));
    m_loaded.remember(PatientArchivePath(m_ctx.services.appFolder), recordNumber, record.bytes());
    m_fillDeclinedFor.clear();
    // The card changes where the keyboard is not: which one it shows is said.
    access::announce(this, u"Scheda "_s + QString::number(recordNumber) + u": "_s + txtPaziente->text());
}

PatientRecord TfrmClienti::PatientFromCard() const
{
    PatientRecord r;
    for (const Binding &in : m_inputs)
        r.set(in.field, inputText(in.input));
    r.set(PatientRecord::Ricontatta, chkRicontatta->isChecked() ? kYes : kNo);
    r.set(PatientRecord::File01, lblFile01->text());
    r.set(PatientRecord::File02, lblFile02->text());
    r.set(PatientRecord::File03, lblFile03->text());
    r.set(PatientRecord::Desc01, lblDesc01->text());
    r.set(PatientRecord::Desc02, lblDesc02->text());
    r.set(PatientRecord::Desc03, lblDesc03->text());
    return r;
}

void TfrmClienti::accessError() { m_ctx.services.error(this, msg::kAccessError.toString()); }

// ---- Browsing ---------------------------------------------------------------

void TfrmClienti::browse(BrowseCommand command)
{
    const Browsed<PatientRecord> step = browseArchive<PatientRecord>(PatientArchivePath(m_ctx.services.appFolder),
                                                                     command, lblPosizione->text(), kPatientCardRules);
    switch (step.outcome) {
    case BrowseOutcome::AccessError: accessError(); break;
    case BrowseOutcome::Empty:
        // This card empties its position label before the message, the analysis card after it.
        if (step.clearPosition)
            lblPosizione->clear();
        m_ctx.services.info(this, msg::kEmptyArchive.toString());
        break;
    case BrowseOutcome::Show: LoadPatientIntoCard(step.record, step.number); break;
    case BrowseOutcome::Stay: break;
    }
}

void TfrmClienti::cmdPrimoClick() { browse(BrowseCommand::First); }

void TfrmClienti::cmdUltimoClick() { browse(BrowseCommand::Last); }

void TfrmClienti::cmdAvantiClick() { browse(BrowseCommand::Next); }

void TfrmClienti::cmdIndietroClick() { browse(BrowseCommand::Back); }

// ---- New, save, duplicate ------------------------------------------------------

void TfrmClienti::cmdNuovoClick()
{
    clearCard();
    access::announce(this, u"Nuova scheda"_s);
}

void TfrmClienti::cmdSalvaClick()
{
    // The rules are checked on the inputs as typed, before anything else.
    const auto inputFor = [this](PatientRecord::Field field) {
        const auto in = std::find_if(m_inputs.cbegin(), m_inputs.cend(),
                                     [field](const Binding &b) { return b.field == field; });
        return in->input;
    };
    if (const auto *unmet = firstUnmet(kPatientRequiredFields,
                                       [&](PatientRecord::Field f) { return inputText(inputFor(f)); })) {
        m_ctx.services.warning(this, unmet->message.toString());
        inputFor(unmet->field)->setFocus(Qt::OtherFocusReason);
        return;
    }

    const std::optional<qint64> k = savePosition(lblPosizione->text(), kPatientCardRules);
    if (!k) {
        accessError();
        return;
    }
    const bool stored = *k > 0;
    if (!askBeforeSaving(stored))
        return;
    const PatientRecord record = PatientFromCard();
    const QString path = PatientArchivePath(m_ctx.services.appFolder);
    const SaveOutcome saved = saveToArchive(
        path, *k, record, m_loaded, [this] { return m_ctx.services.confirm(this, msg::kChangedElsewhere.toString()); },
        [&](qint64 number) {
            lblPosizione->setText(QString::number(number));
            // A text stored otherwise than typed (a letter the code page lacks, a
            // text cut to its room) shows as stored; outer blanks stay as typed.
            for (const Binding &in : std::as_const(m_inputs)) {
                const QString kept = record.get(in.field);
                if (text::trimmed(inputText(in.input)) != kept)
                    setInputText(in.input, kept);
            }
        });
    switch (saved) {
    case SaveOutcome::AccessError: accessError(); break;
    case SaveOutcome::Rewritten: m_ctx.services.info(this, msg::kCardRewritten.toString()); break;
    case SaveOutcome::Appended: m_ctx.services.info(this, msg::kCardAppended.toString()); break;
    case SaveOutcome::Declined: break;
    }
}

bool TfrmClienti::askBeforeSaving(bool stored)
{
    if (!matchFiscalCode())
        return false;
    return stored || askAboutDuplicates();
}

bool TfrmClienti::matchFiscalCode()
{
    // Upper-cased: a card read from an old archive may hold small letters.
    const QString code = text::upperAZ(text::trimmed(txtCodFisc->text()));
    const auto said = readFiscalCode(code, m_ctx.services.clock->now().date());
    if (!said)
        return true;
    const CadastralPlace *place = said->place;
    const QString placeName = place ? place->name : QString();
    const QString province = place ? place->province : QString();
    struct Datum {
        QWidget *input;
        QString caption; // "la data di nascita"
        QString typed;
        QString fromCode; // empty: the code does not say
        bool agrees;
    };
    // Today's name, or the one the place had on the birth date or later
    // (a card written before a renaming), agrees.
    const auto namedAs = [&](const QString &typed) {
        const QString key = placeKey(typed);
        for (const CadastralPlace &p : CadastralTable::instance().history(said->placeCode))
            if (p.key == key && (!p.to.isValid() || p.to >= said->birthDate))
                return true;
        return false;
    };
    const QString typedDate = text::trimmed(txtDataNasc->text());
    const QString typedSex = text::upperAZ(text::trimmed(txtSesso->text()));
    const QString typedPlace = text::trimmed(txtComuneNasc->text());
    const QString typedProvince = text::upperAZ(text::trimmed(txtProvNasc->currentText()));
    const Datum data[] = {
        {txtDataNasc, u"la data di nascita"_s, typedDate, said->dateText(),
         parseCardDate(typedDate) == said->birthDate},
        {txtSesso, u"il sesso"_s, typedSex, QString(said->sex), typedSex == QString(said->sex)},
        {txtComuneNasc, u"il comune di nascita"_s, typedPlace, placeName, place && namedAs(typedPlace)},
        {txtProvNasc, u"la provincia di nascita"_s, typedProvince, province,
         typedProvince == province || (said->placeThen && typedProvince == said->placeThen->province)},
    };

    // Filled and different: say which, before anything is written.
    QStringList differ;
    QWidget *firstDiffering = nullptr;
    for (const Datum &d : data)
        if (!d.typed.isEmpty() && !d.fromCode.isEmpty() && !d.agrees) {
            differ << u"- "_s + d.caption + u": nella scheda "_s + d.typed + u", nel codice fiscale "_s + d.fromCode;
            if (!firstDiffering)
                firstDiffering = d.input;
        }
    if (!differ.isEmpty()) {
        const QString question = u"Attenzione: alcuni dati della scheda non corrispondono al codice fiscale:"
                                 u"\n\r\n\r"_s + differ.join(u"\n\r"_s) +
                                 u"\n\r\n\rSalvare comunque la scheda con i dati così come sono scritti?"_s;
        if (!m_ctx.services.confirm(this, question)) {
            firstDiffering->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }

    // Empty: offer once to fill them from the code.
    QStringList empty;
    for (const Datum &d : data)
        if (d.typed.isEmpty() && !d.fromCode.isEmpty())
            empty << d.caption;
    if (empty.isEmpty() || m_fillDeclinedFor == code)
        return true;
    QString says = said->sentence();
    says += u", sesso "_s + said->sex + u'.';
    const QString offer = u"Il codice fiscale indica: "_s + says + u"\n\r\n\rRiportare nella scheda i dati che "
                          u"mancano ("_s + empty.join(u", "_s) + u")?"_s;
    if (!m_ctx.services.confirm(this, offer)) {
        m_fillDeclinedFor = code;
        return true;
    }
    for (const Datum &d : data)
        if (d.typed.isEmpty() && !d.fromCode.isEmpty())
            setInputText(d.input, d.fromCode);
    return true;
}

bool TfrmClienti::askAboutDuplicates()
{
    const PatientDuplicates found =
        findPatientDuplicates(PatientArchivePath(m_ctx.services.appFolder), PatientFromCard());
    if (!found.result) {
        accessError();
        return false;
    }
    QString question;
    if (found.sameCode)
        question = u"Attenzione: esiste già la scheda n. %1 con lo stesso codice fiscale. Salvare comunque una "
                   u"nuova scheda?"_s.arg(found.sameCode);
    else if (found.sameNameAndBirth)
        question = u"Attenzione: esiste già la scheda n. %1 con lo stesso nome e la stessa data di nascita. "
                   u"Salvare comunque una nuova scheda?"_s.arg(found.sameNameAndBirth);
    return question.isEmpty() || m_ctx.services.confirm(this, question);
}

void TfrmClienti::cmdDuplicaClick()
{
    if (text::isBlank(lblPosizione->text())) {
        m_ctx.services.warning(this, msg::kDuplicateUnstored.toString());
        return;
    }
    for (QLabel *l : {lblFile01, lblFile02, lblFile03, lblDesc01, lblDesc02, lblDesc03})
        l->clear();
    lblPosizione->clear();
    // Only proves that the archive can be reached.
    PatientArchive archive;
    if (!archive.open(PatientArchivePath(m_ctx.services.appFolder), lock::Mode::Shared) || !archive.close()) {
        accessError();
        return;
    }
    txtPaziente->setFocus(Qt::OtherFocusReason);
    m_ctx.services.info(this, msg::kDuplicated.toString());
}

// ---- The other commands ---------------------------------------------------------

void TfrmClienti::cmdFileClick()
{
    m_ctx.openDialog<TfrmAllegaCartella>(this, [this](TfrmAllegaCartella &d) {
        d.lblMemory->setText(caller::kPatientCard.toString());
        d.fillFrom({lblFile01, lblDesc01, lblFile02, lblDesc02, lblFile03, lblDesc03});
    });
}

void TfrmClienti::cmdCartellaClick()
{
    const QString position = text::trimmed(lblPosizione->text());
    if (position.isEmpty()) {
        m_ctx.services.warning(this, u"Attenzione: l'associazione di una cartella ad un paziente può avvenire "
                                     u"soltanto dopo che la scheda è stata inserita in archivio."_s);
        return;
    }
    m_ctx.openDialog<TfrmCartella>(this, [&](TfrmCartella &d) { d.lblMemory->setText(position); });
}

void TfrmClienti::cmdTrovaClick()
{
    m_ctx.openDialog<TfrmTrovaClienti>(this,
                                       [](TfrmTrovaClienti &d) { d.lblMemory->setText(caller::kPatientCard.toString()); });
}

void TfrmClienti::cmdStampaClick() { printPatientCard(m_ctx, this, patientCardRows(controlTexts(this))); }

void TfrmClienti::cmdPDFClick() { exportPatientCardPdf(m_ctx, this, patientCardRows(controlTexts(this))); }

void TfrmClienti::cmdRicontattaClick() { m_ctx.openDialog<TfrmRicontatta>(this); }

void TfrmClienti::cmdEsportaClick() { m_ctx.openDialog<TfrmExpClienti>(this); }

void TfrmClienti::cmdGuidaClick() { m_ctx.showHelp(this, help::TopicId::Patients); }

void TfrmClienti::cmdEsciClick() { close(); }

void TfrmClienti::btnEmailClick()
{
    TMisc::Open(m_ctx.services, u"\"mailto:"_s + text::trimmed(txtEmail->text()) + u"\""_s);
}

void TfrmClienti::btnPartitaIvaClick()
{
    const QString number = text::trimmed(txtPartitaIva->text());
    m_ctx.openDialog<TfrmPartitaIva>(this, [&](TfrmPartitaIva &d) { d.txtPartitaIva->setText(number); });
}

void TfrmClienti::btnCalcolaCodFiscClick()
{
    m_ctx.openDialog<TfrmCalcolaCodFisc>(this, [this](TfrmCalcolaCodFisc &d) {
        d.precompila(txtPaziente->text(), txtSesso->text(), txtDataNasc->text(), txtComuneNasc->text(),
                     txtProvNasc->currentText());
        d.destinazione = txtCodFisc;
    });
}

void TfrmClienti::btnCodFiscClick()
{
    const QString code = text::trimmed(txtCodFisc->text());
    const bool digitsOnly = !code.isEmpty() && std::all_of(code.cbegin(), code.cend(), [](QChar c) {
        return c.unicode() >= u'0' && c.unicode() <= u'9';
    });
    if (digitsOnly) {
        // A company's fiscal code is its VAT number. A longer run of digits
        // goes over whole, so that the check reports its length instead of
        // judging the first eleven digits alone.
        m_ctx.openDialog<TfrmPartitaIva>(this, [&](TfrmPartitaIva &d) {
            d.txtPartitaIva->setMaxLength(std::max<int>(d.txtPartitaIva->maxLength(), int(code.size())));
            d.txtPartitaIva->setText(code);
        });
        return;
    }
    m_ctx.openDialog<TfrmCodFisc>(this, [&](TfrmCodFisc &d) { d.txtCodFisc->setText(code); });
}

} // namespace clinora
