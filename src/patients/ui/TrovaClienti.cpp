#include "patients/ui/TrovaClienti.h"

#include "common/CommonSettings.h"
#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/ListLinesModel.h"
#include "common/ui/ListSummary.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/PatientList.h"
#include "patients/ui/PatientHooks.h"
#include "patients/ui/PatientListPanel.h"
#include "report/ListTemplate.h"
#include "report/ReportTemplate.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

const QPoint kPanelAt(14, 15);

// The hourglass while the whole archive is read.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

TfrmTrovaClienti::TfrmTrovaClienti(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Trova pazienti in archivio"_s, QSize(862, 560), Centre::Screen),
      repRiepilogo(report::makeListTemplate())
{
    setObjectName(u"frmTrovaClienti"_s);
    settings::apply();
    lblMemory = hiddenLabel(this, u"lblMemory"_s);

    // ---- The filter panel ----
    panAvvio = listScreenPanel(this, u"panAvvio"_s, QRect(kPanelAt, QSize(833, 529)));
    QWidget *f = panAvvio;
    const QStringList instructions{
        u"Immettere nei campi prescelti una o più parole consecutive presenti nelle schede da trovare e premere il "
        u"pulsante Cerca."_s,
        u"Lasciare in bianco tutti gli altri campi."_s,
        u"Per ogni ricerca è possibile utilizzare uno o più campi contemporaneamente."_s,
    };
    for (int i = 0; i < instructions.size(); ++i) {
        auto *l = new QLabel(instructions[i], f);
        l->setObjectName(u"lblIstruzioni%1"_s.arg(i + 1, 2, 10, QChar(u'0')));
        l->setFont(designFont(u"Verdana"_s, 10));
        l->setWordWrap(true);
        l->setGeometry(16, 12 + i * 22, 801, 22);
    }

    const QFont filterFont = designFont(u"Verdana"_s, 12, true);
    const QFont captionFont = designFont(u"Verdana"_s, 10, true);
    struct FilterDef {
        QLineEdit **edit;
        const char16_t *name;
        const char16_t *caption;
    };
    const FilterDef defs[] = {
        {&txtPaziente, u"Paziente", u"Paziente:"},
        {&txtComuneRes, u"ComuneRes", u"Comune di residenza:"},
        {&txtPartitaIva, u"PartitaIva", u"Partita IVA:"},
        {&txtCodFisc, u"CodFisc", u"Codice fiscale:"},
        {&txtASL, u"ASL", u"ASL:"},
        {&txtTessera, u"Tessera", u"Tessera sanitaria n."},
        {&txtPatologie, u"Patologie", u"Patologie:"},
        {&txtFarmaci, u"Farmaci", u"Farmaci assunti:"},
        {&txtQuestioni, u"Questioni", u"Questioni in sospeso:"},
        {&txtNote, u"Note", u"Note:"},
    };
    // Two columns of five, the first column first in the tab order.
    for (int i = 0; i < 10; ++i) {
        const int x = i < 5 ? 20 : 425;
        const int y = 98 + (i % 5) * 70;
        const QString name = QString::fromUtf16(defs[i].name);
        QLineEdit *e = makeInput(f, u"txt"_s + name, QRect(x, y + 22, 388, 32));
        e->setFont(filterFont);
        auto *caption = captionFor(f, e, QString::fromUtf16(defs[i].caption), captionFont);
        caption->setGeometry(x, y, 388, 20);
        FocusHighlight::attach(e, u"eff"_s + name);
        *defs[i].edit = e;
    }
    enterRing({txtPaziente, txtComuneRes, txtPartitaIva, txtCodFisc, txtASL, txtTessera, txtPatologie, txtFarmaci,
               txtQuestioni, txtNote});

    const QFont buttonFont = designFont(u"Verdana"_s, 10, true);
    btnAnnulla = makeButton(f, u"btnAnnulla"_s, u"Chiudi"_s, QRect(16, 481, 148, 32));
    btnCerca = makeButton(f, u"btnCerca"_s, u"Cerca"_s, QRect(669, 481, 148, 32));
    for (QPushButton *b : {btnAnnulla, btnCerca})
        b->setFont(buttonFont);
    lblAttendere = new QLabel(u"Ricerca schede in corso. Attendere..."_s, f);
    lblAttendere->setObjectName(u"lblAttendere"_s);
    lblAttendere->setFont(buttonFont);
    {
        QPalette pal = lblAttendere->palette();
        pal.setColor(QPalette::WindowText, art::colors::crimson);
        lblAttendere->setPalette(pal);
    }
    lblAttendere->setAlignment(Qt::AlignCenter);
    lblAttendere->setGeometry(176, 481, 481, 32);
    lblAttendere->hide();

    QWidget *previous = txtNote;
    for (QWidget *w : {static_cast<QWidget *>(btnCerca), static_cast<QWidget *>(btnAnnulla)}) {
        setTabOrder(previous, w);
        previous = w;
    }

    // ---- The result panel ----
    const PatientListPanel list = buildPatientListPanel(this, u"panContainer"_s, kPanelAt, true);
    panContainer = list.panel;
    txtTrova = list.txtTrova;
    btnTrova = list.btnTrova;
    lstRecords = list.lstRecords;
    m_lines = list.lines;
    btnChiudi = list.btnChiudi;
    lblTrovate = list.lblTrovate;
    btnStampa = list.btnStampa;
    panContainer->hide();

    FindInList::attach(m_ctx.services, m_ctx.findKeys, FindScreen::TrovaClienti, this, txtTrova, btnTrova,
                       lstRecords);
    m_picker = new PatientPicker(m_ctx, this, lstRecords,
                                 [this](const PatientRecord &r, qint64 n) { pickInto(r, n); });

    connect(btnCerca, &QPushButton::pressed, this, &TfrmTrovaClienti::btnCercaMouseDown);
    connect(btnCerca, &QPushButton::clicked, this, &TfrmTrovaClienti::btnCercaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::close);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::close);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmTrovaClienti::btnStampaClick);
}

TfrmTrovaClienti::~TfrmTrovaClienti() = default;

void TfrmTrovaClienti::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmTrovaClienti::FormShow()
{
    // The last find key is emptied by FindInList as the screen shows.
    txtTrova->clear();
    txtPaziente->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaClienti::btnCercaMouseDown()
{
    lblAttendere->show();
    // Painted now: the search keeps the screen busy until it ends.
    lblAttendere->repaint();
}

void TfrmTrovaClienti::btnCercaClick()
{
    using F = PatientRecord::Field;
    const PatientMatcher matcher({
        {F::Paziente, txtPaziente->text()},
        {F::ComuneRes, txtComuneRes->text()},
        {F::PartitaIva, txtPartitaIva->text()},
        {F::CodFisc, txtCodFisc->text()},
        {F::ASL, txtASL->text()},
        {F::Tessera, txtTessera->text()},
        {F::Patologie, txtPatologie->text()},
        {F::Farmaci, txtFarmaci->text()},
        {F::Questioni, txtQuestioni->text()},
        {F::Note, txtNote->text()},
    });
    if (!lblAttendere->isVisible())
        btnCercaMouseDown();
    PatientLines found;
    {
        const WaitCursor wait;
        found = searchPatients(PatientArchivePath(m_ctx.services.appFolder), matcher);
    }
    if (!found.result) {
        // The search is over: the waiting line goes, the filters stay.
        lblAttendere->hide();
        m_ctx.services.plain(this, msg::kAccessError.toString());
        return;
    }
    const qsizetype count = found.lines.size();
    m_lines->setLines(std::move(found.lines));
    lblTrovate->setText(u"Il presente riepilogo contiene "_s + QString::number(count) + u" schede."_s);
    panContainer->show();
    panAvvio->hide();
    txtTrova->clear();
    txtTrova->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaClienti::btnStampaClick()
{
    ListSummaryPrint(m_ctx.services, *repRiepilogo, u"Riepilogo pazienti"_s, lstRecords);
}

void TfrmTrovaClienti::lstRecordsDblClick() { m_picker->pick(); }

void TfrmTrovaClienti::pickInto(const PatientRecord &record, qint64 number)
{
    if (const PatientPickHook *hook = m_ctx.hook<PatientPickHook>(text::trimmed(lblMemory->text())))
        hook->pick(record, number);
}

void TfrmTrovaClienti::done(int result)
{
    m_lines->clear();
    lblAttendere->hide();
    DialogScreen::done(result);
}

} // namespace clinora
