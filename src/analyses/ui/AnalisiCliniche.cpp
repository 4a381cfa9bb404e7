#include "analyses/ui/AnalisiCliniche.h"

#include "analyses/AnalysisEntry.h"
#include "analyses/ReferenceRange.h"
#include "analyses/ui/Allarmanti.h"
#include "analyses/ui/AnalysisCardHook.h"
#include "analyses/ui/Calendario.h"
#include "analyses/ui/ExpAnalisi.h"
#include "analyses/ui/ImportaPresc.h"
#include "analyses/ui/ImportaReferto.h"
#include "analyses/ui/StampaAnalisi.h"
#include "analyses/ui/TrovaAnalisi.h"
#include "common/CommonSettings.h"
#include "common/HelpTexts.h"
#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/ui/AllegaCartella.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

const QString kReady = u"Pronto per archiviare una nuova scheda..."_s;
const QString kOutcomeNormal = u"NELLA NORMA"_s;
const QString kOutcomeAbnormal = u"FUORI NORMA"_s;

const QColor kPatientInk(128, 64, 0);
const QColor kCaptionInk(25, 55, 110);
const QColor kBandTop(236, 243, 251);
const QColor kBandBottom(214, 228, 245);
const QColor kBandBorder(170, 192, 220);
// The alarm band's orange; a result outside its range is filled with it too.
const QColor kAlarmTop(255, 190, 90);
const QColor kAlarmBottom(245, 140, 20);
const QColor kAlarmBorder(200, 100, 10);

Picture *whiteBox(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *box = new Picture(parent, name, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 8, Qt::white, QColor(242, 246, 251), QColor(150, 175, 205));
    });
    box->setGeometry(geometry);
    return box;
}

Picture *band(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *b = new Picture(parent, name, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 6, kBandTop, kBandBottom, kBandBorder);
    });
    b->setGeometry(geometry);
    return b;
}

QLabel *caption(QWidget *parent, QWidget *input, const QString &text, const QRect &geometry,
                Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    QLabel *l = captionFor(parent, input, text, designFont(u"Verdana"_s, 11, true));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kCaptionInk);
    l->setPalette(pal);
    l->setAlignment(align);
    l->setGeometry(geometry);
    return l;
}

PictureButton *icon(QWidget *parent, const QString &name, const QString &accessible, art::Glyph glyph, int x, int y)
{
    auto *b = new PictureButton(parent, name, accessible, glyph, PictureButton::Style::Icon);
    b->setGeometry(x, y, 37, 39);
    return b;
}

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
           || key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_NumLock;
}

} // namespace

TfrmAnalisiCliniche::TfrmAnalisiCliniche(ScreenContext &ctx, QWidget *parent)
    : WorkingArea(ctx, u" Clinora - Analisi Cliniche"_s, parent)
{
    setObjectName(u"frmAnalisiCliniche"_s);
    // The patient's choice has the same title: a screen reader tells the two apart.
    setAccessibleName(u"Clinora - Analisi Cliniche: scheda dell'analisi"_s);
    settings::apply();
    setBackground(QColor(30, 80, 170), Qt::white);
    QWidget *b = board();

    // Toolbar: groups of pictures on white boxes, spread across the board.
    constexpr int kBarY = 4, kBarH = 52, kIconY = kBarY + 7;
    constexpr int kWidths[] = {184, 324, 236, 135, 94};
    int spare = 987;
    for (int w : kWidths)
        spare -= w;
    const int gap = spare / 4;
    int x = 4;
    QList<Picture *> boxes;
    boxes << whiteBox(b, u"panComandi"_s, QRect(x, kBarY, kWidths[0], kBarH));
    cmdNuovo = icon(b, u"cmdNuovo"_s, u"Nuovo"_s, art::Glyph::New, x + 8, kIconY);
    cmdDuplica = icon(b, u"cmdDuplica"_s, u"Duplica"_s, art::Glyph::Duplicate, x + 51, kIconY);
    cmdSalva = icon(b, u"cmdSalva"_s, u"Salva"_s, art::Glyph::Save, x + 94, kIconY);
    cmdTrova = icon(b, u"cmdTrova"_s, u"Trova"_s, art::Glyph::Find, x + 137, kIconY);
    x += kWidths[0] + gap;

    boxes << whiteBox(b, u"panDocumenti"_s, QRect(x, kBarY, kWidths[1], kBarH));
    cmdFile = new PictureButton(b, u"cmdFile"_s, u"Allega file"_s, art::Glyph::Attach);
    cmdFile->setGeometry(x + 8, kBarY + 10, 150, 32);
    cmdStampa = new PictureButton(b, u"cmdStampa"_s, u"Stampa scheda"_s, art::Glyph::Print);
    cmdStampa->setGeometry(x + 166, kBarY + 10, 150, 32);
    x += kWidths[1] + gap;

    boxes << whiteBox(b, u"panScorrimento"_s, QRect(x, kBarY, kWidths[2], kBarH));
    cmdPrimo = icon(b, u"cmdPrimo"_s, u"Prima scheda"_s, art::Glyph::First, x + 8, kIconY);
    cmdIndietro = icon(b, u"cmdIndietro"_s, u"Scheda precedente"_s, art::Glyph::Previous, x + 49, kIconY);
    lblPosizione = new QLabel(b);
    lblPosizione->setObjectName(u"lblPosizione"_s);
    access::valueLabel(lblPosizione, u"Numero della scheda"_s);
    lblPosizione->setFont(designFont(u"Verdana"_s, 12, true));
    lblPosizione->setAlignment(Qt::AlignCenter);
    // A small counter, framed so that it reads as one even while empty.
    lblPosizione->setStyleSheet(
        u"QLabel { background: #F2F6FB; color: #14325F; border: 1px solid #A8BCD6; border-radius: 4px; }"_s);
    lblPosizione->setGeometry(x + 91, kBarY + 12, 54, 28);
    cmdAvanti = icon(b, u"cmdAvanti"_s, u"Scheda successiva"_s, art::Glyph::Next, x + 150, kIconY);
    cmdUltimo = icon(b, u"cmdUltimo"_s, u"Ultima scheda"_s, art::Glyph::Last, x + 191, kIconY);
    x += kWidths[2] + gap;

    boxes << whiteBox(b, u"panRiepiloghi"_s, QRect(x, kBarY, kWidths[3], kBarH));
    cmdEsporta = icon(b, u"cmdEsporta"_s, u"Esporta in Excel"_s, art::Glyph::Export, x + 8, kIconY);
    cmdListino = icon(b, u"cmdListino"_s, u"Risultati allarmanti"_s, art::Glyph::Warning, x + 49, kIconY);
    cmdReferto = icon(b, u"cmdReferto"_s, u"Importa referto"_s, art::Glyph::Flask, x + 90, kIconY);

    x = 991 - kWidths[4];
    boxes << whiteBox(b, u"panUscita"_s, QRect(x, kBarY, kWidths[4], kBarH));
    cmdGuida = icon(b, u"cmdGuida"_s, u"Guida"_s, art::Glyph::Help, x + 8, kIconY);
    cmdEsci = icon(b, u"cmdEsci"_s, u"Esci"_s, art::Glyph::Exit, x + 49, kIconY);
    for (Picture *box : boxes)
        box->lower();

    // The white working area.
    auto *work = new Picture(b, u"panScheda"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 10, Qt::white, QColor(248, 251, 255), QColor(140, 165, 200));
    });
    work->setGeometry(4, 64, 987, 584);
    work->lower();

    const QFont editFont = designFont(u"Verdana"_s, 12, true);
    auto edit = [&](const QString &name, const QRect &g, int maxLength) {
        QLineEdit *e = makeInput(b, name, g, maxLength);
        e->setFont(editFont);
        return e;
    };

    // Patient band.
    auto *patientBand = band(b, u"panPaziente"_s, QRect(14, 74, 967, 46));
    txtPaziente = edit(u"txtPaziente"_s, QRect(118, 82, 450, 30), 50);
    txtCodFisc = edit(u"txtCodFisc"_s, QRect(744, 82, 226, 30), 16);
    caption(b, txtPaziente, u"Paziente:"_s, QRect(24, 82, 90, 30));
    caption(b, txtCodFisc, u"Codice fiscale:"_s, QRect(590, 82, 150, 30));
    for (QLineEdit *e : {txtPaziente, txtCodFisc}) {
        e->setReadOnly(true);
        QPalette pal = e->palette();
        pal.setColor(QPalette::Text, kPatientInk);
        pal.setColor(QPalette::Base, QColor(255, 250, 240));
        e->setPalette(pal);
    }

    // Report band.
    auto *reportBand = band(b, u"panReferto"_s, QRect(14, 126, 967, 46));
    txtNumRef = edit(u"txtNumRef"_s, QRect(118, 134, 250, 30), 20);
    txtNumRef->setAlignment(Qt::AlignCenter);
    caption(b, txtNumRef, u"Referto n."_s, QRect(24, 134, 90, 30));
    btnCancella = new PictureButton(b, u"btnCancella"_s, u"Svuota la scheda"_s, art::Glyph::Eraser,
                                    PictureButton::Style::Icon);
    btnCancella->setGeometry(374, 131, 36, 36);
    txtDataRef = edit(u"txtDataRef"_s, QRect(744, 134, 150, 30), 10);
    txtDataRef->setAlignment(Qt::AlignCenter);
    caption(b, txtDataRef, u"Data referto:"_s, QRect(590, 134, 150, 30));

    // The column of eight fields, 48 pixels apart, captions on one picture at their left.
    constexpr int kColumnX = 352, kColumnTop = 192, kStep = 48, kRowH = 30, kWide = 486;
    auto rowY = [&](int k) { return kColumnTop + k * kStep; };
    auto *captions = new Picture(b, u"imgDidascalie"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 8, QColor(244, 248, 253), QColor(226, 236, 248), kBandBorder);
    });
    captions->setGeometry(126, kColumnTop - 10, 218, 7 * kStep + kRowH + 20);

    txtData = edit(u"txtData"_s, QRect(kColumnX, rowY(0), 150, kRowH), 10);
    txtEsame = edit(u"txtEsame"_s, QRect(kColumnX, rowY(1), kWide, kRowH), 120);
    btnImpEsame = new PictureButton(b, u"btnImpEsame"_s, u"Importa da esami frequenti"_s, art::Glyph::Import,
                                    PictureButton::Style::Icon);
    btnImpEsame->setPaint([](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 4, Qt::white, QColor(220, 232, 246), QColor(110, 140, 180));
        art::drawGlyph(p, r.adjusted(2, 2, -2, -2), art::Glyph::Import);
    });
    btnImpEsame->setGeometry(kColumnX + kWide + 6, rowY(1) + 4, 22, 22);
    txtRisultato = edit(u"txtRisultato"_s, QRect(kColumnX, rowY(2), kWide, kRowH), 50);
    txtUM = edit(u"txtUM"_s, QRect(kColumnX, rowY(3), kWide, kRowH), 50);
    txtRife = edit(u"txtRife"_s, QRect(kColumnX, rowY(4), kWide, kRowH), 50);
    txtEsito = new QComboBox(b);
    txtEsito->setObjectName(u"txtEsito"_s);
    txtEsito->setEditable(true);
    txtEsito->setInsertPolicy(QComboBox::NoInsert);
    txtEsito->addItems({kOutcomeNormal, kOutcomeAbnormal});
    txtEsito->lineEdit()->setMaxLength(50);
    txtEsito->setFont(editFont);
    txtEsito->setGeometry(kColumnX, rowY(5), kWide, kRowH);
    txtCommento = edit(u"txtCommento"_s, QRect(kColumnX, rowY(6), kWide, kRowH), 250);
    txtFirmatario = edit(u"txtFirmatario"_s, QRect(kColumnX, rowY(7), kWide, kRowH), 50);

    const std::pair<QWidget *, QString> column[] = {
        {txtData, u"Data prelievo:"_s},     {txtEsame, u"Esame:"_s},
        {txtRisultato, u"Risultato:"_s},    {txtUM, u"Unità di misura:"_s},
        {txtRife, u"Valori di riferimento:"_s}, {txtEsito, u"Esito:"_s},
        {txtCommento, u"Commento:"_s},      {txtFirmatario, u"Firmatario:"_s},
    };
    for (int k = 0; k < 8; ++k)
        caption(b, column[k].first, column[k].second, QRect(134, rowY(k), 206, kRowH));

    // A syringe standing at the left of the column, a rack of test tubes at its right.
    auto *syringe = new Picture(b, u"imgSiringa"_s, [](QPainter &p, const QRectF &r) {
        p.translate(r.center());
        p.rotate(-45);
        const qreal side = r.height() * 0.8;
        art::drawGlyph(p, QRectF(-side / 2, -side / 2, side, side), art::Glyph::Syringe);
    });
    syringe->setGeometry(20, kColumnTop + 20, 96, 7 * kStep - 10);
    auto *tube = new Picture(b, u"imgProvetta"_s, art::Glyph::TestTube);
    tube->setGeometry(868, kColumnTop + 2 * kStep, 112, 112);
    // Notes band and the alarm band.
    auto *notesBand = band(b, u"panNote"_s, QRect(14, 584, 620, 50));
    txtNote = edit(u"txtNote"_s, QRect(86, 594, 538, 30), 250);
    caption(b, txtNote, u"Note:"_s, QRect(24, 594, 60, 30));
    auto *alarmBand = new Picture(b, u"panAllarme"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 6, kAlarmTop, kAlarmBottom, kAlarmBorder);
        art::drawGlyph(p, QRectF(r.left() + 10, r.top() + 7, 36, 36), art::Glyph::Warning);
    });
    alarmBand->setGeometry(644, 584, 337, 50);
    chkAllarme = new QCheckBox(u"Risultato allarmante"_s, b);
    chkAllarme->setObjectName(u"chkAllarme"_s);
    chkAllarme->setFont(designFont(u"Verdana"_s, 12, true));
    chkAllarme->setStyleSheet(u"QCheckBox::indicator { width: 18px; height: 18px; }"_s);
    chkAllarme->setGeometry(700, 594, 270, 30);

    // Status bar with the hint line.
    auto *status = new Picture(b, u"panStato"_s, [](QPainter &p, const QRectF &r) {
        paintFlatPanel(p, r, 6, art::colors::hintBlueAnalyses);
    });
    status->setGeometry(4, 656, 987, 32);
    panInfo = new QLabel(kReady, status);
    panInfo->setObjectName(u"panInfo"_s);
    panInfo->setFont(designFont(u"Tahoma"_s, 12));
    {
        QPalette pal = panInfo->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        panInfo->setPalette(pal);
    }
    panInfo->setGeometry(12, 0, 967, 32);
    panInfo->setAttribute(Qt::WA_TransparentForMouseEvents);

    lblFile = hiddenLabel(b, u"lblFile"_s);
    lblFile01 = hiddenLabel(b, u"lblFile01"_s);
    lblFile02 = hiddenLabel(b, u"lblFile02"_s);
    lblFile03 = hiddenLabel(b, u"lblFile03"_s);
    lblDesc01 = hiddenLabel(b, u"lblDesc01"_s);
    lblDesc02 = hiddenLabel(b, u"lblDesc02"_s);
    lblDesc03 = hiddenLabel(b, u"lblDesc03"_s);

    // Keyboard: Enter walks the fields; the date fields handle their own keys.
    enterChain({txtNumRef, txtDataRef});
    enterChain({txtEsame, txtRisultato, txtUM, txtRife, txtEsito, txtCommento, txtFirmatario, txtNote, txtPaziente,
                txtCodFisc, txtNumRef});
    for (QLineEdit *date : {txtDataRef, txtData}) {
        date->setReadOnly(true);
        date->installEventFilter(this);
    }
    txtEsito->installEventFilter(this);
    // The outcome offered from the result and its reference values.
    m_resultPalette = txtRisultato->palette();
    for (QLineEdit *e : {txtRisultato, txtUM, txtRife}) {
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, &TfrmAnalisiCliniche::showRangeColour);
    }
    // What the user types as the outcome is theirs and never replaced; an
    // entry picked from the list is theirs too once it differs from the offer.
    connect(txtEsito->lineEdit(), &QLineEdit::textEdited, this, [this] { m_offeredOutcome.clear(); });
    QWidget *tabs[] = {txtNumRef, txtDataRef, txtData,  txtEsame, txtRisultato, txtUM,      txtRife,
                       txtEsito,  txtCommento, txtFirmatario, txtNote, chkAllarme, txtPaziente, txtCodFisc};
    for (size_t i = 0; i + 1 < std::size(tabs); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);
    // Then the pictures: the two beside the fields, the toolbar from left
    // to right.
    QWidget *commands[] = {txtCodFisc, btnCancella, btnImpEsame, cmdNuovo,    cmdDuplica, cmdSalva,   cmdTrova,   cmdFile,    cmdStampa, cmdPrimo,
                           cmdIndietro, cmdAvanti, cmdUltimo,  cmdEsporta, cmdListino, cmdReferto, cmdGuida, cmdEsci};
    for (size_t i = 0; i + 1 < std::size(commands); ++i)
        setTabOrder(commands[i], commands[i + 1]);
    const std::pair<PictureButton *, char16_t> letters[] = {
        {cmdNuovo, u'N'},   {cmdDuplica, u'D'}, {cmdSalva, u'S'},   {cmdTrova, u'T'},   {cmdFile, u'A'},
        {cmdStampa, u'P'},  {cmdEsporta, u'O'}, {cmdListino, u'R'}, {cmdReferto, u'L'}, {cmdGuida, u'G'},   {cmdEsci, u'E'},
        {btnCancella, u'V'}, {btnImpEsame, u'I'},
    };
    for (const auto &[button, letter] : letters)
        button->setShortcutLetter(QChar(letter));
    cmdPrimo->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    cmdIndietro->setShortcut(QKeySequence(Qt::ALT | Qt::Key_PageUp));
    cmdAvanti->setShortcut(QKeySequence(Qt::ALT | Qt::Key_PageDown));
    cmdUltimo->setShortcut(QKeySequence(Qt::ALT | Qt::Key_End));

    m_hints = new HintLine(panInfo);
    const QString dateHint =
        u"Fai clic su questo campo e premi un tasto qualsiasi per importare una data dal calendario."_s;
    m_hints->addCommands({
        {cmdNuovo, u"Prepara la schermata per la registrazione di una nuova scheda."_s},
        {cmdDuplica, u"Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."_s},
        {cmdSalva, u"Salva la scheda corrente in archivio."_s},
        {cmdTrova, u"Trova una scheda in archivio."_s},
        {cmdFile, u"Allega file alla scheda corrente."_s},
        {cmdStampa, u"Stampa la scheda corrente."_s},
        {cmdPrimo, u"Visualizza la prima scheda in archivio."_s},
        {cmdIndietro, u"Visualizza la scheda precedente in archivio."_s},
        {cmdAvanti, u"Visualizza la scheda successiva in archivio."_s},
        {cmdUltimo, u"Visualizza l'ultima scheda in archivio."_s},
        {cmdEsporta, u"Esporta le schede in archivio in un file di Microsoft Excel."_s},
        {cmdListino, u"Visualizza il riepilogo degli esami clinici che hanno restituito risultati allarmanti."_s},
        {cmdReferto, u"Importa i risultati di un referto di laboratorio in nuove schede."_s},
        {cmdGuida, u"Visualizza la guida in linea."_s},
        {cmdEsci, u"Esci dalla schermata di lavoro corrente."_s},
        {btnCancella, u"Cancella tutti i dati presenti nei campi della scheda corrente."_s},
        {btnImpEsame, u"Importa i dati dall'elenco personalizzato di esami frequenti."_s},
        {chkAllarme,
         u"Spunta questa casella per indicare che  l'esame clinico ha restituito un risultato allarmante."_s},
        {txtDataRef, dateHint},
        {txtData, dateHint},
    });
    m_hints->addBackground({this, b, work, patientBand, reportBand, captions, syringe, tube, notesBand, alarmBand,
                            status, lblPosizione});
    for (Picture *box : boxes)
        m_hints->addBackground({box});

    connect(cmdNuovo, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdNuovoClick);
    connect(cmdDuplica, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdDuplicaClick);
    connect(cmdSalva, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdSalvaClick);
    connect(cmdTrova, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdTrovaClick);
    connect(cmdFile, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdFileClick);
    connect(cmdStampa, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdStampaClick);
    connect(cmdPrimo, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdPrimoClick);
    connect(cmdIndietro, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdIndietroClick);
    connect(cmdAvanti, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdAvantiClick);
    connect(cmdUltimo, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdUltimoClick);
    connect(cmdEsporta, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdEsportaClick);
    connect(cmdListino, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdListinoClick);
    connect(cmdReferto, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdRefertoClick);
    connect(cmdGuida, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdGuidaClick);
    connect(cmdEsci, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::cmdEsciClick);
    connect(btnCancella, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::btnCancellaClick);
    connect(btnImpEsame, &QAbstractButton::clicked, this, &TfrmAnalisiCliniche::btnImpEsameClick);

    // What the menu and the dialogs this card opens hand back to it.
    m_ctx.offer(this, caller::kAnalysisCard,
                AnalysisCardHook{this, txtPaziente, txtCodFisc, lblFile, txtEsame, txtUM, txtRife,
                                 [this](const AnalysisRecord &r, qint64 n) { showRecord(r, n); }});
    m_ctx.offer(this, caller::kAnalysisCard,
                AttachmentHook{{lblFile01, lblDesc01, lblFile02, lblDesc02, lblFile03, lblDesc03}});
    m_ctx.offer(this, caller::kAnalysisDate, DateFieldHook{txtData});
    m_ctx.offer(this, caller::kAnalysisRefDate, DateFieldHook{txtDataRef});
}

// ---- Showing and reading the card -------------------------------------------------------------

void TfrmAnalisiCliniche::showRecord(const AnalysisRecord &r, qint64 number)
{
    using F = AnalysisRecord;
    txtPaziente->setText(r.get(F::Paziente));
    txtCodFisc->setText(r.get(F::CodFisc));
    txtNumRef->setText(r.get(F::NumRef));
    txtDataRef->setText(r.get(F::DataRef));
    txtData->setText(r.get(F::Data));
    txtEsame->setText(r.get(F::Esame));
    txtRisultato->setText(r.get(F::Risultato));
    txtUM->setText(r.get(F::UM));
    txtRife->setText(r.get(F::Rife));
    txtEsito->setEditText(r.get(F::Esito));
    txtCommento->setText(r.get(F::Commento));
    txtFirmatario->setText(r.get(F::Firmatario));
    txtNote->setText(r.get(F::Note));
    if (const std::optional<bool> alarm = alarmMark(r))
        chkAllarme->setChecked(*alarm);
    lblFile01->setText(r.get(F::File01));
    lblFile02->setText(r.get(F::File02));
    lblFile03->setText(r.get(F::File03));
    lblDesc01->setText(r.get(F::Desc01));
    lblDesc02->setText(r.get(F::Desc02));
    lblDesc03->setText(r.get(F::Desc03));
    lblPosizione->setText(QString::number(number));
    m_loaded.remember(archivePath(), number, r.bytes());
    m_offeredOutcome.clear(); // a stored outcome is the user's
    // The card changes where the keyboard is not: which one it shows is said.
    access::announce(this, u"Scheda "_s + QString::number(number) + u": "_s + txtEsame->text() + u" "_s
                               + txtRisultato->text() + u" "_s + txtUM->text());
}

void TfrmAnalisiCliniche::showStoredTexts(const AnalysisRecord &r)
{
    // A text stored otherwise than typed (a letter the code page lacks, a
    // text cut to its room) shows as stored; outer blanks stay as typed.
    using F = AnalysisRecord;
    const std::pair<QLineEdit *, F::Field> edits[] = {
        {txtPaziente, F::Paziente}, {txtCodFisc, F::CodFisc},   {txtNumRef, F::NumRef},
        {txtDataRef, F::DataRef},   {txtData, F::Data},         {txtEsame, F::Esame},
        {txtRisultato, F::Risultato}, {txtUM, F::UM},           {txtRife, F::Rife},
        {txtCommento, F::Commento}, {txtFirmatario, F::Firmatario}, {txtNote, F::Note},
    };
    for (const auto &[edit, field] : edits)
        if (text::trimmed(edit->text()) != r.get(field))
            edit->setText(r.get(field));
    if (text::trimmed(txtEsito->currentText()) != r.get(F::Esito))
        txtEsito->setEditText(r.get(F::Esito));
}

AnalysisRecord TfrmAnalisiCliniche::cardRecord() const
{
    using F = AnalysisRecord;
    AnalysisRecord r;
    r.set(F::Paziente, txtPaziente->text());
    r.set(F::CodFisc, txtCodFisc->text());
    r.set(F::NumRef, txtNumRef->text());
    r.set(F::DataRef, txtDataRef->text());
    r.set(F::Data, txtData->text());
    r.set(F::Esame, txtEsame->text());
    r.set(F::Risultato, txtRisultato->text());
    r.set(F::UM, txtUM->text());
    r.set(F::Rife, txtRife->text());
    r.set(F::Esito, txtEsito->currentText());
    r.set(F::Commento, txtCommento->text());
    r.set(F::Firmatario, txtFirmatario->text());
    r.set(F::Note, txtNote->text());
    setAlarmMark(r, chkAllarme->isChecked());
    r.set(F::File01, lblFile01->text());
    r.set(F::File02, lblFile02->text());
    r.set(F::File03, lblFile03->text());
    r.set(F::Desc01, lblDesc01->text());
    r.set(F::Desc02, lblDesc02->text());
    r.set(F::Desc03, lblDesc03->text());
    return r;
}

void TfrmAnalisiCliniche::clearOutcome()
{
    m_offeredOutcome.clear();
    txtEsito->setCurrentIndex(-1);
    txtEsito->setEditText(QString());
}

void TfrmAnalisiCliniche::clearAttachments()
{
    for (QLabel *l : {lblFile01, lblFile02, lblFile03, lblDesc01, lblDesc02, lblDesc03})
        l->clear();
}

// The card reads result, unit and range as they will be stored, so that it
// judges them as the alarming results and the summary will ("13,5\u221218"
// is stored, and read there, as "13,5-18").
namespace {
QString storedText(const QLineEdit *edit) { return text::storedForm(edit->text()); }
} // namespace

void TfrmAnalisiCliniche::offerOutcome()
{
    const RangeCheck check = checkResult(storedText(txtRisultato), storedText(txtRife), storedText(txtUM));
    if (const QString why = rangeExplanation(check); !why.isEmpty() && why != panInfo->text()) {
        panInfo->setText(why);
        access::announce(panInfo, why); // said once, as it appears
    }
    const QString current = text::trimmed(txtEsito->currentText());
    const bool ours = !m_offeredOutcome.isEmpty() && current == m_offeredOutcome;
    if (!current.isEmpty() && !ours)
        return;
    // An offer whose reason is gone is taken back: the user then gives the outcome.
    const QString offer = offeredOutcome(check);
    if (offer != current) {
        txtEsito->setCurrentIndex(-1);
        txtEsito->setEditText(offer);
    }
    m_offeredOutcome = offer;
}

void TfrmAnalisiCliniche::showRangeColour()
{
    const bool outside = outsideRange(storedText(txtRisultato), storedText(txtRife), storedText(txtUM));
    QPalette pal = m_resultPalette;
    if (outside)
        pal.setColor(QPalette::Base, kAlarmTop);
    txtRisultato->setPalette(pal);
    txtRisultato->setAccessibleDescription(outside ? u"Risultato fuori dall'intervallo di riferimento"_s : QString());
}

// ---- Showing and closing the screen ----------------------------------------------------------

void TfrmAnalisiCliniche::FormShow()
{
    btnCancellaClick();
    panInfo->setText(kReady);
}

void TfrmAnalisiCliniche::cmdEsciClick() { close(); }

void TfrmAnalisiCliniche::FormClose() { m_ctx.showStartMenu(this); }

// ---- Keys --------------------------------------------------------------------------------------

bool TfrmAnalisiCliniche::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == txtDataRef || watched == txtData)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Moving on with Tab and shortcuts with Ctrl or Alt keep working.
        const bool passOn = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || isModifierKey(key->key())
                            || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (!passOn)
            return dateFieldKey(static_cast<QLineEdit *>(watched), key);
    } else if (event->type() == QEvent::FocusOut && watched == m_typingDate) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkTypedDate(m_typingDate);
    } else if (event->type() == QEvent::FocusOut && (watched == txtRisultato || watched == txtRife || watched == txtUM)) {
        // Another window coming to the front is not leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            offerOutcome();
    } else if (event->type() == QEvent::FocusIn && watched == txtEsito) {
        // Entering the outcome forgets which entry of the list was chosen, not the text.
        const QString text = txtEsito->currentText();
        txtEsito->setCurrentIndex(-1);
        txtEsito->setEditText(text);
        // An offered outcome comes in selected: typing replaces it, Enter keeps it.
        if (!m_offeredOutcome.isEmpty() && text::trimmed(text) == m_offeredOutcome)
            txtEsito->lineEdit()->selectAll();
    }
    return WorkingArea::eventFilter(watched, event);
}

bool TfrmAnalisiCliniche::dateFieldKey(QLineEdit *field, const QKeyEvent *key)
{
    const QString typed = key->text();
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) {
        field->clear();
        m_typingDate = nullptr;
    } else if (typed.size() == 1 && (typed.at(0).isDigit() || typed.at(0) == settings::kDateSeparator)) {
        // A date typed as gg/mm/aaaa, for whoever does not use the picker.
        if (m_typingDate != field) {
            field->clear();
            m_typingDate = field;
        }
        if (field->text().size() < field->maxLength()) {
            field->setReadOnly(false);
            field->insert(typed);
            field->setReadOnly(true);
        }
    } else if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_typingDate == field) {
        // Enter after a typed date takes it and moves on.
        if (checkTypedDate(field))
            focusNextChild();
    } else {
        m_typingDate = nullptr;
        openDatePicker(field);
    }
    return true;
}

bool TfrmAnalisiCliniche::checkTypedDate(QLineEdit *field)
{
    m_typingDate = nullptr;
    const QString text = field->text();
    if (text.isEmpty() || settings::parseDate(text))
        return true;
    m_ctx.services.warning(this, u"Attenzione: la data "_s + text
                                     + u" non esiste o non è scritta nella forma gg/mm/aaaa (per esempio 05/03/2024)."_s);
    field->clear();
    field->setFocus(Qt::OtherFocusReason);
    return false;
}

void TfrmAnalisiCliniche::openDatePicker(QLineEdit *field)
{
    const QString mode = (field == txtDataRef ? caller::kAnalysisRefDate : caller::kAnalysisDate).toString();
    m_ctx.openDialog<TfrmCalendario>(this, [&](TfrmCalendario &d) { d.lblMemory->setText(mode); });
}

// ---- Archive access ----------------------------------------------------------------------------

QString TfrmAnalisiCliniche::archivePath() const { return text::trimmed(lblFile->text()); }

void TfrmAnalisiCliniche::accessError() { m_ctx.services.error(this, msg::kAccessError.toString()); }

bool TfrmAnalisiCliniche::openArchive(AnalysisArchive &archive, lock::Mode mode)
{
    if (archive.open(archivePath(), mode))
        return true;
    accessError();
    return false;
}

bool TfrmAnalisiCliniche::closeArchive(AnalysisArchive &archive)
{
    if (archive.close())
        return true;
    accessError();
    return false;
}

// ---- Browsing ------------------------------------------------------------------------------------

void TfrmAnalisiCliniche::browse(BrowseCommand command)
{
    // Read and closed first: after any failure the card keeps what it showed.
    const Browsed<AnalysisRecord> step =
        browseArchive<AnalysisRecord>(archivePath(), command, lblPosizione->text(), kAnalysisCardRules);
    switch (step.outcome) {
    case BrowseOutcome::AccessError: accessError(); break;
    case BrowseOutcome::Empty:
        // This card empties its position label after the message, the patient card before it.
        m_ctx.services.info(this, msg::kEmptyArchive.toString());
        if (step.clearPosition)
            lblPosizione->clear();
        break;
    case BrowseOutcome::Show: showRecord(step.record, step.number); break;
    case BrowseOutcome::Stay: break;
    }
}

void TfrmAnalisiCliniche::cmdPrimoClick() { browse(BrowseCommand::First); }

void TfrmAnalisiCliniche::cmdUltimoClick() { browse(BrowseCommand::Last); }

void TfrmAnalisiCliniche::cmdAvantiClick() { browse(BrowseCommand::Next); }

void TfrmAnalisiCliniche::cmdIndietroClick() { browse(BrowseCommand::Back); }

// ---- New, clear, duplicate, save --------------------------------------------------------------------

void TfrmAnalisiCliniche::cmdNuovoClick()
{
    // A report's number, dates and signatory stay for its next exam.
    for (QLineEdit *e : {txtEsame, txtRisultato, txtUM, txtRife, txtCommento, txtNote})
        e->clear();
    clearOutcome();
    chkAllarme->setChecked(false);
    clearAttachments();
    lblPosizione->clear();
    txtEsame->setFocus(Qt::OtherFocusReason);
    access::announce(this, u"Nuova scheda"_s);
}

void TfrmAnalisiCliniche::btnCancellaClick()
{
    for (QLineEdit *e : {txtNumRef, txtDataRef, txtData, txtEsame, txtRisultato, txtUM, txtRife, txtCommento,
                         txtFirmatario, txtNote})
        e->clear();
    clearOutcome();
    chkAllarme->setChecked(false);
    clearAttachments();
    lblPosizione->clear();
    txtNumRef->setFocus(Qt::OtherFocusReason);
}

void TfrmAnalisiCliniche::cmdDuplicaClick()
{
    if (text::isBlank(lblPosizione->text())) {
        m_ctx.services.warning(this, msg::kDuplicateUnstored.toString());
        return;
    }
    clearAttachments();
    lblPosizione->clear();
    AnalysisArchive archive;
    if (!openArchive(archive))
        return;
    txtData->setFocus(Qt::OtherFocusReason);
    if (!closeArchive(archive))
        return;
    m_ctx.services.info(this, msg::kDuplicated.toString());
}

void TfrmAnalisiCliniche::cmdSalvaClick()
{
    // The rules are checked on the card's record, texts trimmed.
    const AnalysisRecord record = cardRecord();
    if (const auto *missing = firstMissingField(record)) {
        QWidget *field = nullptr;
        switch (missing->field) {
        case AnalysisRecord::NumRef: field = txtNumRef; break;
        case AnalysisRecord::DataRef: field = txtDataRef; break;
        case AnalysisRecord::Data: field = txtData; break;
        case AnalysisRecord::Esame: field = txtEsame; break;
        case AnalysisRecord::Risultato: field = txtRisultato; break;
        default: field = txtEsito; break;
        }
        m_ctx.services.warning(this, missing->message.toString());
        field->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Never refused: a label without a number saves a new card.
    const qint64 p = savePosition(lblPosizione->text(), kAnalysisCardRules).value_or(0);
    const SaveOutcome saved = saveToArchive(
        archivePath(), p, record, m_loaded,
        [this] { return m_ctx.services.confirm(this, msg::kChangedElsewhere.toString()); },
        [&](qint64 number) {
            lblPosizione->setText(QString::number(number));
            showStoredTexts(record);
        });
    switch (saved) {
    case SaveOutcome::AccessError: accessError(); break;
    case SaveOutcome::Rewritten: m_ctx.services.info(this, msg::kCardRewritten.toString()); break;
    case SaveOutcome::Appended: m_ctx.services.info(this, msg::kCardAppended.toString()); break;
    case SaveOutcome::Declined: break;
    }
}

// ---- Other screens -------------------------------------------------------------------------------------

void TfrmAnalisiCliniche::btnImpEsameClick() { m_ctx.openDialog<TfrmImportaPresc>(this); }

void TfrmAnalisiCliniche::cmdFileClick()
{
    m_ctx.openDialog<TfrmAllegaCartella>(this, [this](TfrmAllegaCartella &d) {
        d.lblMemory->setText(caller::kAnalysisCard.toString());
        d.fillFrom({lblFile01, lblDesc01, lblFile02, lblDesc02, lblFile03, lblDesc03});
    });
}

void TfrmAnalisiCliniche::cmdStampaClick() { m_ctx.openDialog<TfrmStampaAnalisi>(this); }

void TfrmAnalisiCliniche::cmdTrovaClick()
{
    m_ctx.openDialog<TfrmTrovaAnalisi>(this, [](TfrmTrovaAnalisi &d) { d.lblMemory->setText(caller::kAnalysisCard.toString()); });
}

void TfrmAnalisiCliniche::cmdListinoClick() { m_ctx.openDialog<TfrmAllarmanti>(this); }

void TfrmAnalisiCliniche::cmdRefertoClick()
{
    m_ctx.openDialog<TfrmImportaReferto>(this, [this](TfrmImportaReferto &d) {
        d.setPatient(txtPaziente->text(), txtCodFisc->text(), archivePath());
    });
}

void TfrmAnalisiCliniche::cmdEsportaClick() { m_ctx.openDialog<TfrmExpAnalisi>(this); }

void TfrmAnalisiCliniche::cmdGuidaClick() { m_ctx.showHelp(this, help::TopicId::AnalysisCard); }

} // namespace clinora
