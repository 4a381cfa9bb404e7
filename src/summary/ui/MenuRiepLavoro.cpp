#include "summary/ui/MenuRiepLavoro.h"

#include "analyses/AnalysisEntry.h"
#include "analyses/AnalysisRecord.h"
#include "checks/ui/IdentifierKeys.h"
#include "common/CommonSettings.h"
#include "common/Text.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/ui/PatientHooks.h"
#include "patients/ui/TrovaClienti.h"
#include "summary/SummaryCriteria.h"
#include "summary/ui/RiepLavoro.h"

#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

const QColor kCaptionInk(120, 65, 20);

void setInk(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, color);
    w->setPalette(pal);
}

QLabel *textLine(QWidget *parent, const QString &name, const QString &text, const QRect &geometry, bool bold)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(designFont(u"Verdana"_s, 10, bold));
    setInk(l, palette::summaryInk);
    l->setGeometry(geometry);
    return l;
}

// One of the interval's boxes: a titled panel with a calendar.
Picture *dateBox(QWidget *parent, const QString &name, const QString &title)
{
    auto *box = new Picture(parent, name, [title](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 12, palette::white, palette::peach, palette::peachBorder);
        const QRectF band(r.left(), r.top(), r.width(), 36);
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        path.addRoundedRect(band.adjusted(0.5, 0.5, -0.5, 0), 12, 12);
        path.addRect(band.adjusted(0.5, 18, -0.5, 0));
        QLinearGradient g(band.topLeft(), band.bottomLeft());
        g.setColorAt(0, QColor(226, 140, 60));
        g.setColorAt(1, QColor(186, 100, 30));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(path.simplified());
        p.setPen(Qt::white);
        p.setFont(designFont(u"Verdana"_s, 11, true));
        p.drawText(band.adjusted(16, 0, -16, 0), Qt::AlignLeft | Qt::AlignVCenter, title.trimmed());
        art::drawGlyph(p, QRectF(r.left() + 18, r.top() + 62, 66, 66), art::Glyph::Calendar);
        p.setPen(kCaptionInk);
        p.setFont(designFont(u"Verdana"_s, 10, true));
        p.drawText(QRectF(r.right() - 128, r.top() + 58, 116, 22), Qt::AlignHCenter | Qt::AlignVCenter,
                   u"Anno"_s);
    });
    box->setAccessibleName(title.trimmed());
    return box;
}

QComboBox *pickerList(QWidget *parent, const QString &name, const QStringList &items, int maxLength,
                      const QRect &geometry)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setFont(designFont(u"Verdana"_s, 12, true)); // before the items, laid out again at every change of font
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    c->addItems(items);
    c->setMaxVisibleItems(12);
    c->lineEdit()->setMaxLength(maxLength);
    // A value comes from the list only: no pasting through the menu either.
    c->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
    c->setGeometry(geometry);
    c->setCurrentIndex(-1);
    c->clearEditText();
    return c;
}

// Empties a list: no selection and no text.
void emptyList(QComboBox *list)
{
    list->setCurrentIndex(-1);
    list->clearEditText();
}

// After every change the user makes, `input` keeps only the characters
// `allowed` lets through, with a-z upper-cased.
void keepOnly(QLineEdit *input, bool (*allowed)(QChar))
{
    QObject::connect(input, &QLineEdit::textEdited, input, [input, allowed] {
        const QString old = input->text();
        QString tidy;
        for (QChar c : old)
            if (allowed(c))
                tidy += c;
        tidy = text::upperAZ(tidy);
        if (tidy != old) {
            const int cursor = std::min(input->cursorPosition(), int(tidy.size()));
            input->setText(tidy);
            input->setCursorPosition(cursor);
        }
    });
}

bool isEnter(const QKeyEvent *key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

// Keys that move between controls: never the inputs' business.
bool isNavigation(const QKeyEvent *key) { return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab; }

} // namespace

TfrmMenuRiepLavoro::TfrmMenuRiepLavoro(ScreenContext &ctx, QWidget *parent)
    : WorkingArea(ctx, u" Clinora - Riepilogo Risultati Esami"_s, parent)
{
    setObjectName(u"frmMenuRiepLavoro"_s);
    settings::apply();
    setBackground(palette::orangeDark, palette::orangePale);

    QWidget *b = board();
    auto *backdrop = new Picture(b, u"panSfondo"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 14, palette::creamTop, palette::creamBottom, palette::creamBorder);
    });
    backdrop->setGeometry(b->rect());

    const QString banner1 = u"E' possibile visualizzare il riepilogo per intervallo di tempo dei risultati delle "
                            u"analisi cliniche relative a ciascun paziente."_s;
    const QString banner2 = u"Compilare i campi sottostanti e premere il pulsante Visualizza riepilogo."_s;
    imgTitolo = new Picture(b, u"imgTitolo"_s, [banner1, banner2](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 10, palette::orangeTop, palette::orangeBottom, palette::orangeBorder);
        const qreal side = 72;
        art::drawLogoTile(p, QRectF(r.left() + 16, r.top() + (r.height() - side) / 2, side, side));
        const qreal x = r.left() + side + 34;
        const qreal w = r.right() - x - 14;
        p.setPen(Qt::white);
        p.setFont(designFont(u"Verdana"_s, 20, true));
        p.drawText(QRectF(x, r.top() + 8, w, 40), Qt::AlignLeft | Qt::AlignVCenter,
                   u"Riepilogo Risultati Esami"_s);
        p.setPen(QColor(255, 240, 222));
        p.setFont(designFont(u"Verdana"_s, 9));
        p.drawText(QRectF(x, r.top() + 52, w, 20), Qt::AlignLeft | Qt::AlignVCenter, banner1);
        p.drawText(QRectF(x, r.top() + 74, w, 20), Qt::AlignLeft | Qt::AlignVCenter, banner2);
    });
    imgTitolo->setGeometry(14, 14, 967, 106);
    imgTitolo->setAccessibleName(u"Riepilogo Risultati Esami. "_s + banner1 + u" "_s + banner2);

    lblIstruzioni1 = textLine(b, u"lblIstruzioni1"_s,
                              u"Indicare l'anno solare di interesse, il codice fiscale del paziente e l'esame da "
                              u"riepilogare."_s,
                              QRect(24, 134, 947, 22), true);

    auto *fields = new Picture(b, u"panCampi"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 12, palette::white, palette::peach, palette::peachBorder);
    });
    fields->setGeometry(14, 160, 967, 96);

    const QFont captionFont = designFont(u"Verdana"_s, 10, true);
    const QFont inputFont = designFont(u"Verdana"_s, 12, true);
    auto input = [&](const QString &name, const QString &caption, int maxLength, const QRect &geometry) {
        QLineEdit *e = makeInput(b, name, geometry, maxLength);
        e->setFont(inputFont);
        QLabel *c = captionFor(b, e, caption, captionFont);
        c->setGeometry(geometry.left() + 2, geometry.top() - 26, geometry.width() + 60, 22);
        setInk(c, kCaptionInk);
        return e;
    };
    txtAnno = input(u"txtAnno"_s, u"Anno:"_s, 4, QRect(34, 202, 96, 34));
    txtAnno->setAlignment(Qt::AlignCenter);
    txtCodFisc = input(u"txtCodFisc"_s, u"Codice fiscale paziente:"_s, 16, QRect(154, 202, 262, 34));
    impPaziente = new PictureButton(b, u"impPaziente"_s, u"Scegli il paziente dall'archivio"_s,
                                    art::Glyph::Registry, PictureButton::Style::Icon);
    impPaziente->setGeometry(422, 199, 40, 40);
    impPaziente->setToolTip(u"Scegli il paziente dall'archivio anagrafico"_s);
    txtEsame = input(u"txtEsame"_s, u"Esame:"_s, 120, QRect(478, 202, 483, 34));

    lblIstruzioni2 = textLine(b, u"lblIstruzioni2"_s,
                              u"Per ottenere il riepilogo di tutte le analisi del paziente, lasciare in bianco il "
                              u"campo riservato all'esame."_s,
                              QRect(24, 268, 947, 22), false);
    lblIstruzioni3 = textLine(b, u"lblIstruzioni3"_s,
                              u"Indicare l'intervallo di tempo relativo al periodo da riepilogare in base alla data "
                              u"dei prelievi."_s,
                              QRect(24, 314, 947, 22), true);

    const QStringList &days = summary::dayNames();
    const QStringList &months = summary::monthNames();
    struct Box {
        int x;
        const char16_t *name, *title, *dayName, *monthName, *yearName, *what;
    };
    const Box boxes[] = {
        {14, u"panInizio", u" Data inizio intervallo: ", u"txtGiornoInizio", u"txtMeseInizio", u"lblAnnoInizio",
         u"inizio"},
        {503, u"panFine", u" Data fine intervallo: ", u"txtGiornoFine", u"txtMeseFine", u"lblAnnoFine", u"fine"},
    };
    QComboBox *dayLists[2] = {};
    QComboBox *monthLists[2] = {};
    QLabel *yearLabels[2] = {};
    for (int i = 0; i < 2; ++i) {
        const Box &box = boxes[i];
        const QString what = QString::fromUtf16(box.what);
        Picture *panel = dateBox(b, QString::fromUtf16(box.name), QString::fromUtf16(box.title));
        const int top = 342;
        panel->setGeometry(box.x, top, 478, 166);
        const int x = box.x;
        dayLists[i] = pickerList(b, QString::fromUtf16(box.dayName), days, 2, QRect(x + 100, top + 86, 80, 34));
        monthLists[i] =
            pickerList(b, QString::fromUtf16(box.monthName), months, 9, QRect(x + 194, top + 86, 150, 34));
        QLabel *day = captionFor(b, dayLists[i], u"Giorno:"_s, captionFont);
        day->setGeometry(x + 102, top + 58, 90, 22);
        QLabel *month = captionFor(b, monthLists[i], u"Mese:"_s, captionFont);
        month->setGeometry(x + 196, top + 58, 90, 22);
        for (QLabel *c : {day, month})
            setInk(c, kCaptionInk);
        // Each list says which end of the interval it sets.
        for (QComboBox *list : {dayLists[i], monthLists[i]}) {
            const QString name = (list == dayLists[i] ? u"Giorno di "_s : u"Mese di "_s) + what + u" intervallo"_s;
            list->setAccessibleName(name);
            list->lineEdit()->setAccessibleName(name);
            // A screen reader names a box by its caption: read in full.
            (list == dayLists[i] ? day : month)->setAccessibleName(name);
        }

        yearLabels[i] = new QLabel(u"ANNO"_s, b);
        yearLabels[i]->setObjectName(QString::fromUtf16(box.yearName));
        yearLabels[i]->setFont(designFont(u"Verdana"_s, 26, true));
        yearLabels[i]->setAlignment(Qt::AlignCenter);
        setInk(yearLabels[i], palette::maroon);
        yearLabels[i]->setGeometry(x + 478 - 128, top + 80, 116, 46);
        access::valueLabel(yearLabels[i], u"Anno di "_s + what + u" intervallo"_s);
    }
    txtGiornoInizio = dayLists[0];
    txtMeseInizio = monthLists[0];
    txtGiornoFine = dayLists[1];
    txtMeseFine = monthLists[1];
    lblAnnoInizio = yearLabels[0];
    lblAnnoFine = yearLabels[1];

    lblDataInizio = hiddenLabel(b, u"lblDataInizio"_s);
    lblDataFine = hiddenLabel(b, u"lblDataFine"_s);
    lblFile = hiddenLabel(b, u"lblFile"_s, u"FilePath"_s);

    lblAttendere = new QLabel(u"Caricamento riepilogo in corso. Attendere..."_s, b);
    lblAttendere->setObjectName(u"lblAttendere"_s);
    lblAttendere->setFont(designFont(u"Verdana"_s, 12, true));
    lblAttendere->setAlignment(Qt::AlignCenter);
    setInk(lblAttendere, palette::darkCyan);
    lblAttendere->setGeometry(14, 554, 967, 30);
    lblAttendere->hide();

    auto *bottom = new Picture(b, u"panBasso"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 10, palette::orangeTop, palette::orangeBottom, palette::orangeBorder);
    });
    bottom->setGeometry(14, 614, 967, 64);
    const QFont buttonFont = designFont(u"Verdana"_s, 12, true);
    btnEsci = makeButton(b, u"btnEsci"_s, u"Esci"_s, QRect(30, 628, 180, 36));
    btnVisualizza = makeButton(b, u"btnVisualizza"_s, u"Visualizza riepilogo"_s, QRect(721, 628, 244, 36));
    for (QPushButton *button : {btnEsci, btnVisualizza})
        button->setFont(buttonFont);

    setTabOrder(txtAnno, txtCodFisc);
    setTabOrder(txtCodFisc, txtGiornoInizio);
    setTabOrder(txtGiornoInizio, txtMeseInizio);
    setTabOrder(txtMeseInizio, txtGiornoFine);
    setTabOrder(txtGiornoFine, txtMeseFine);
    setTabOrder(txtMeseFine, btnVisualizza);
    setTabOrder(btnVisualizza, btnEsci);
    setTabOrder(btnEsci, txtEsame);
    setTabOrder(txtEsame, impPaziente); // the picture after the fields and buttons

    enterChain({txtAnno, txtCodFisc, txtEsame, txtGiornoInizio, txtMeseInizio, txtGiornoFine, txtMeseFine,
                btnVisualizza});

    for (QObject *o : std::initializer_list<QObject *>{txtAnno, txtCodFisc, txtGiornoInizio, txtMeseInizio,
                                                       txtGiornoFine, txtMeseFine, btnVisualizza, btnEsci})
        o->installEventFilter(this);

    // The year labels follow the year as it is typed.
    connect(txtAnno, &QLineEdit::textChanged, this, &TfrmMenuRiepLavoro::followYear);
    // Only digits in the year, only letters and digits in upper case in the
    // fiscal code, whatever way they arrive (pasted text too).
    keepOnly(txtAnno, [](QChar c) { return c >= u'0' && c <= u'9'; });
    keepOnly(txtCodFisc, [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
    connect(impPaziente, &QAbstractButton::clicked, this, &TfrmMenuRiepLavoro::impPazienteClick);
    connect(btnVisualizza, &QPushButton::pressed, this, &TfrmMenuRiepLavoro::btnVisualizzaMouseDown);
    connect(btnVisualizza, &QPushButton::clicked, this, &TfrmMenuRiepLavoro::btnVisualizzaClick);
    connect(btnEsci, &QPushButton::clicked, this, &TfrmMenuRiepLavoro::btnEsciClick);

    // A patient picked in the search gives the fiscal code; the summary reads the criteria.
    m_ctx.offer(this, caller::kSummaryMenu, PatientPickHook{[this](const PatientRecord &r, qint64) {
                    txtCodFisc->setText(r.get(PatientRecord::CodFisc));
                }});
    m_ctx.offer(this, caller::kSummaryMenu,
                SummaryMenuHook{txtCodFisc, txtEsame, lblDataInizio, lblDataFine, lblFile, lblAttendere});
}

void TfrmMenuRiepLavoro::FormShow()
{
    txtAnno->setText(QString::number(m_ctx.services.clock->now().date().year()).rightJustified(4, u'0'));
    txtCodFisc->clear();
    txtEsame->clear();
    for (QComboBox *list : {txtGiornoInizio, txtMeseInizio, txtGiornoFine, txtMeseFine})
        emptyList(list);
    followYear();
    lblAttendere->hide();
    txtCodFisc->setFocus(Qt::OtherFocusReason);
}

void TfrmMenuRiepLavoro::followYear()
{
    const QString year = text::trimmed(txtAnno->text());
    lblAnnoInizio->setText(year);
    lblAnnoFine->setText(year);
}

namespace {

// The entry of `list` that `typed` begins, looked at without case and, for a
// day, also with its leading zero ("3" finds "03"); -1 for none.
int entryBegunBy(const QComboBox *list, const QString &typed)
{
    for (int i = 0; i < list->count(); ++i) {
        const QString entry = list->itemText(i);
        if (entry.startsWith(typed, Qt::CaseInsensitive)
            || (entry.startsWith(u'0') && entry.mid(1).startsWith(typed, Qt::CaseInsensitive)))
            return i;
    }
    return -1;
}

void choose(QComboBox *list, int row)
{
    list->setCurrentIndex(row);
    // The list was entered with no selection: the text is what counts.
    list->setEditText(list->itemText(row));
    list->lineEdit()->selectAll();
}

} // namespace

bool TfrmMenuRiepLavoro::listKey(QComboBox *list, QEvent *event)
{
    const auto *key = static_cast<const QKeyEvent *>(event);
    const int now = list->findText(list->currentText(), Qt::MatchFixedString);
    switch (key->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        emptyList(list);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_F4:
        return false;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Alt with an arrow opens the list; an arrow alone moves to the
        // entry before or after, as a screen reader announces the box.
        if (key->modifiers() & Qt::AltModifier)
            return false;
        if (key->key() == Qt::Key_Down)
            choose(list, now < 0 ? 0 : std::min(now + 1, list->count() - 1));
        else
            choose(list, now < 0 ? list->count() - 1 : std::max(now - 1, 0));
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        choose(list, key->key() == Qt::Key_Home ? 0 : list->count() - 1);
        return true;
    default:
        break;
    }
    // Typing chooses the entry the typed text begins ("3" the day 03, "31"
    // the day 31, "m" Marzo, "mag" Maggio); text that begins none is
    // never written into the box.
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isLetterOrNumber())
        return true;
    const qint64 at = QDateTime::currentMSecsSinceEpoch();
    QString typed = (at - m_typedAt < 1200 ? m_typed : QString()) + text;
    int row = entryBegunBy(list, typed);
    if (row < 0) {
        typed = text;
        row = entryBegunBy(list, typed);
    }
    m_typed = typed;
    m_typedAt = at;
    if (row >= 0)
        choose(list, row);
    return true;
}

void TfrmMenuRiepLavoro::listExit(QComboBox *list)
{
    const QString t = list->currentText();
    const bool valid = (list == txtGiornoInizio || list == txtGiornoFine) ? summary::isDayName(t)
                                                                          : summary::monthNumber(t) > 0;
    if (!valid)
        emptyList(list);
}

bool TfrmMenuRiepLavoro::eventFilter(QObject *watched, QEvent *event)
{
    auto *list = qobject_cast<QComboBox *>(watched);
    const bool isList = list && (list == txtGiornoInizio || list == txtMeseInizio || list == txtGiornoFine
                                 || list == txtMeseFine);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (watched == txtAnno && !isNavigation(key))
            return keys::swallow(event, keys::Allowed::Digits);
        if (watched == txtCodFisc && !isNavigation(key))
            return keys::swallow(event, keys::Allowed::Alphanumeric);
        if (isList)
            return listKey(list, event);
        if ((watched == btnVisualizza || watched == btnEsci) && isEnter(key) && !key->isAutoRepeat()) {
            // Enter presses the button that has the focus, as on any button of the system.
            static_cast<QPushButton *>(watched)->click();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (isList && list->currentIndex() != -1) {
            // Entering a list: no selection in it, its text as it was.
            const QString kept = list->currentText();
            list->setCurrentIndex(-1);
            list->setEditText(kept);
        }
        break;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::PopupFocusReason)
            break; // the list's own drop-down opened: still in the field
        if (watched == txtAnno)
            followYear();
        else if (isList)
            listExit(list);
        break;
    default:
        break;
    }
    return WorkingArea::eventFilter(watched, event);
}

void TfrmMenuRiepLavoro::impPazienteClick()
{
    // On a pick the search writes the patient's fiscal code into txtCodFisc.
    m_ctx.openDialog<TfrmTrovaClienti>(this, [](TfrmTrovaClienti &d) { d.lblMemory->setText(caller::kSummaryMenu.toString()); });
}

void TfrmMenuRiepLavoro::btnVisualizzaMouseDown()
{
    lblAttendere->show();
    lblAttendere->repaint();
}

void TfrmMenuRiepLavoro::btnVisualizzaClick()
{
    lblDataInizio->clear();
    lblDataFine->clear();
    const summary::CriteriaCheck check = summary::checkCriteria({
        txtAnno->text(),
        txtCodFisc->text(),
        txtGiornoInizio->currentText(),
        txtMeseInizio->currentText(),
        txtGiornoFine->currentText(),
        txtMeseFine->currentText(),
        lblAnnoInizio->text(),
        lblAnnoFine->text(),
    });
    lblDataInizio->setText(check.dataInizio);
    lblDataFine->setText(check.dataFine);
    if (!check.passed()) {
        lblAttendere->hide();
        if (check.box == summary::Box::Warning)
            m_ctx.services.warning(this, check.message);
        else
            m_ctx.services.plain(this, check.message);
        QWidget *focus = nullptr;
        switch (check.focus) {
        case summary::Field::Anno: focus = txtAnno; break;
        case summary::Field::CodFisc: focus = txtCodFisc; break;
        case summary::Field::GiornoInizio: focus = txtGiornoInizio; break;
        case summary::Field::MeseInizio: focus = txtMeseInizio; break;
        case summary::Field::GiornoFine: focus = txtGiornoFine; break;
        case summary::Field::MeseFine: focus = txtMeseFine; break;
        case summary::Field::None: break;
        }
        if (focus)
            focus->setFocus(Qt::OtherFocusReason);
        return;
    }
    prepareSummary();
}

void TfrmMenuRiepLavoro::prepareSummary()
{
    const QString folder = m_ctx.services.appFolder;
    if (!ensureAnalysisFolder(folder)) {
        lblAttendere->hide();
        m_ctx.services.plain(this, u"Attenzione: il file di archivio non risulta accessibile."_s);
        return;
    }
    lblFile->setText(AnalysisArchivePath(folder, text::trimmed(txtCodFisc->text())));
    m_ctx.openDialog<TfrmRiepLavoro>(this, [](TfrmRiepLavoro &) {});
    // The summary hides it as it closes; a summary that never showed leaves it too.
    lblAttendere->hide();
}

void TfrmMenuRiepLavoro::btnEsciClick() { close(); }

void TfrmMenuRiepLavoro::FormClose() { m_ctx.showStartMenu(this); }

} // namespace clinora
