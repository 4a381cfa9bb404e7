#include "analyses/ui/ImportaReferto.h"

#include "analyses/AnalysisEntry.h"
#include "common/CommonSettings.h"
#include "common/HelpTexts.h"
#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Behaviours.h"
#include "common/ui/ExportScreen.h"
#include "common/ui/ListScreen.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/ui/PatientHooks.h"
#include "patients/ui/TrovaClienti.h"
#include "pdftext/PdfText.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStandardItemModel>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// The tag under which this screen takes the patient the search picks.
constexpr QStringView kCallerTag = u"importareferto";

constexpr int kUncertainRole = Qt::UserRole + 1;
constexpr int kDifferenceRole = Qt::UserRole + 2;
constexpr int kUnreadRole = Qt::UserRole + 3;

const QColor kUncertainFill{255, 226, 180};
const QColor kTooLongFill{255, 200, 200};
const QColor kUnreadInk{110, 110, 110};

AnalysisRecord::Field fieldOf(TfrmImportaReferto::Column c)
{
    static constexpr AnalysisRecord::Field fields[] = {
        AnalysisRecord::Esame, AnalysisRecord::Risultato, AnalysisRecord::UM,     AnalysisRecord::Rife,
        AnalysisRecord::Esito, AnalysisRecord::Data,      AnalysisRecord::NumRef, AnalysisRecord::DataRef,
        AnalysisRecord::Firmatario, AnalysisRecord::Commento};
    return fields[c - TfrmImportaReferto::ColEsame];
}

TfrmImportaReferto::Column columnOf(AnalysisRecord::Field f)
{
    for (int c = TfrmImportaReferto::ColEsame; c <= TfrmImportaReferto::ColCommento; ++c)
        if (fieldOf(TfrmImportaReferto::Column(c)) == f)
            return TfrmImportaReferto::Column(c);
    return TfrmImportaReferto::ColEsame;
}

bool isCardDate(const QString &s)
{
    static const QRegularExpression date(u"^\\d\\d/\\d\\d/\\d\\d\\d\\d$"_s);
    return date.match(s).hasMatch() && QDate::fromString(s, u"dd/MM/yyyy"_s).isValid();
}

QString cardsStored(qsizetype n)
{
    return n == 1 ? u"È stata inserita in archivio 1 scheda."_s
                  : u"Sono state inserite in archivio %1 schede."_s.arg(n);
}

} // namespace

TfrmImportaReferto::TfrmImportaReferto(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Importa referto di laboratorio"_s, QSize(1000, 660), Centre::Owner),
      m_pdf(std::make_unique<pdftext::PopplerSource>())
{
    setObjectName(u"frmImportaReferto"_s);
    settings::apply();

    QWidget *pan = kit::panel(this, u"panImportaReferto"_s, QRect(8, 8, 984, 644));
    auto *bannerPicture = kit::banner(pan, u"imgBanner"_s, QRect(14, 12, 956, 64), art::Glyph::Flask,
                                      u"Importa referto di laboratorio"_s,
                                      u"Ogni riga spuntata diventa una scheda di analisi: controllarla, correggerla o "
                                      u"escluderla prima di importare."_s);

    btnApri = kit::button(pan, u"btnApri"_s, u"Apri referto..."_s, QRect(22, 86, 190, 34));
    lblFileReferto = kit::textLine(pan, u"lblFileReferto"_s, u"Nessun referto aperto."_s, QRect(222, 86, 560, 34),
                                   palette::toolTextNavy, true);
    access::valueLabel(lblFileReferto, u"File del referto"_s);
    btnSeleziona = kit::button(pan, u"btnSeleziona"_s, u"Scegli paziente"_s, QRect(792, 86, 178, 34));

    // The report's own data; number, dates and signatory can be corrected
    // for every row at once.
    auto field = [&](const QString &name, const QString &caption, int x, int y, int captionWidth, int width,
                     bool readOnly) {
        QLabel *label = kit::textLine(pan, u"lbl"_s + name.mid(3), caption, QRect(x, y, captionWidth, 28),
                                      palette::toolTextNavy, true);
        QLineEdit *edit = kit::input(pan, name, QRect(x + captionWidth + 4, y, width, 28));
        edit->setFont(QFont(u"Verdana"_s, 10, QFont::Bold));
        label->setBuddy(edit);
        edit->setAccessibleName(QString(caption).remove(u':'));
        edit->setReadOnly(readOnly);
        return edit;
    };
    txtLaboratorio = field(u"txtLaboratorio"_s, u"Laboratorio:"_s, 22, 130, 120, 400, true);
    txtNumRef = field(u"txtNumRef"_s, u"Referto n.:"_s, 560, 130, 110, 296, false);
    txtDataRef = field(u"txtDataRef"_s, u"Data referto:"_s, 22, 164, 120, 130, false);
    txtData = field(u"txtData"_s, u"Data prelievo:"_s, 290, 164, 126, 130, false);
    txtFirmatario = field(u"txtFirmatario"_s, u"Firmatario:"_s, 560, 164, 110, 296, false);
    txtPazienteReferto = field(u"txtPazienteReferto"_s, u"Referto di:"_s, 22, 198, 120, 400, true);
    txtPaziente = field(u"txtPaziente"_s, u"Schede di:"_s, 560, 198, 110, 296, true);
    lblAvviso = kit::textLine(pan, u"lblAvviso"_s, QString(), QRect(22, 230, 948, 36), palette::crimson, true);
    lblAvviso->setWordWrap(true);

    grdRighe = new ExportGridView(pan);
    grdRighe->setObjectName(u"grdRighe"_s);
    grdRighe->setAccessibleName(u"Righe del referto"_s);
    grdRighe->setGeometry(22, 270, 948, 290);
    m_rows = new QStandardItemModel(0, ColumnCount, this);
    m_rows->setHorizontalHeaderLabels(QStringList{u"Importa"_s} + referto::columnTitles() + QStringList{u"Avvisi"_s});
    grdRighe->setModel(m_rows);
    grdRighe->setFont(QFont(u"Verdana"_s, 9));
    grdRighe->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRighe->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdRighe->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                              | QAbstractItemView::AnyKeyPressed);
    grdRighe->setTabKeyNavigation(false);
    grdRighe->verticalHeader()->setDefaultSectionSize(24);
    const int widths[] = {64, 190, 90, 90, 120, 110, 96, 110, 96, 150, 200, 420};
    for (int c = 0; c < ColumnCount; ++c)
        grdRighe->setColumnWidth(c, widths[c]);

    btnGuida = kit::button(pan, u"btnGuida"_s, u"Guida"_s, QRect(22, 568, 110, 36));
    lblRiepilogo = kit::textLine(pan, u"lblRiepilogo"_s, QString(), QRect(142, 568, 480, 36), palette::toolTextNavy,
                                 true);
    lblRiepilogo->setWordWrap(true);
    access::valueLabel(lblRiepilogo, u"Righe da importare"_s);
    btnImporta = kit::button(pan, u"btnImporta"_s, u"Importa"_s, QRect(660, 568, 150, 36));
    btnChiudi = kit::button(pan, u"btnChiudi"_s, u"Chiudi"_s, QRect(820, 568, 150, 36));

    // The hint line, as on the card.
    auto *status = new Picture(pan, u"panStato"_s, [](QPainter &p, const QRectF &r) {
        paintFlatPanel(p, r, 6, art::colors::hintBlueAnalyses);
    });
    status->setGeometry(14, 610, 956, 28);
    panInfo = new QLabel(u"Aprire il referto di laboratorio da importare."_s, status);
    panInfo->setObjectName(u"panInfo"_s);
    panInfo->setFont(QFont(u"Tahoma"_s, 11));
    {
        QPalette pal = panInfo->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        panInfo->setPalette(pal);
    }
    panInfo->setGeometry(10, 0, 940, 28);
    panInfo->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_hints = new HintLine(panInfo);
    m_hints->addCommands({
        {btnApri, u"Apre il referto: file XML del fascicolo sanitario, messaggio HL7 o documento PDF."_s},
        {btnSeleziona, u"Sceglie dall'archivio anagrafico il paziente a cui appartiene il referto."_s},
        {grdRighe, u"Barra spaziatrice sulla prima colonna: include o esclude la riga. F2: modifica la cella."_s},
        {btnImporta, u"Inserisce in archivio una scheda per ogni riga spuntata."_s},
        {btnChiudi, u"Chiude la finestra senza importare."_s},
        {btnGuida, u"Visualizza la guida in linea."_s},
    });
    m_hints->addBackground({this, pan, bannerPicture, status});

    QWidget *tabs[] = {btnApri,       btnSeleziona, txtLaboratorio, txtNumRef, txtDataRef, txtData,
                       txtFirmatario, txtPazienteReferto, txtPaziente, grdRighe, btnImporta, btnChiudi, btnGuida};
    for (size_t i = 0; i + 1 < std::size(tabs); ++i)
        setTabOrder(tabs[i], tabs[i + 1]);

    connect(btnApri, &QPushButton::clicked, this, &TfrmImportaReferto::btnApriClick);
    connect(btnSeleziona, &QPushButton::clicked, this, &TfrmImportaReferto::btnSelezionaClick);
    connect(btnImporta, &QPushButton::clicked, this, &TfrmImportaReferto::btnImportaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnGuida, &QPushButton::clicked, this, &TfrmImportaReferto::btnGuidaClick);
    connect(m_rows, &QStandardItemModel::itemChanged, this, [this](QStandardItem *item) {
        if (!m_filling)
            refreshRow(item->row());
    });
    const std::pair<QLineEdit *, Column> header[] = {
        {txtNumRef, ColNumRef}, {txtDataRef, ColDataRef}, {txtData, ColData}, {txtFirmatario, ColFirmatario}};
    for (const auto &h : header) {
        QLineEdit *edit = h.first;
        const Column column = h.second;
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, column] { headerEdited(edit, column); });
    }

    m_ctx.offer(this, kCallerTag, PatientPickHook{[this](const PatientRecord &r, qint64) {
                    const QString code = text::trimmed(r.get(PatientRecord::CodFisc));
                    if (!ensureAnalysisFolder(m_ctx.services.appFolder)) {
                        m_ctx.services.error(this, msg::kAccessError.toString());
                        return;
                    }
                    setPatient(r.get(PatientRecord::Paziente), code,
                               AnalysisArchivePath(m_ctx.services.appFolder, code));
                }});
    refreshSummary();
}

TfrmImportaReferto::~TfrmImportaReferto()
{
    // The rows and fields let go of the screen before it is taken apart.
    for (QObject *o : std::initializer_list<QObject *>{m_rows, txtNumRef, txtDataRef, txtData, txtFirmatario})
        disconnect(o, nullptr, this, nullptr);
}

void TfrmImportaReferto::setPatient(const QString &name, const QString &fiscalCode, const QString &archivePath)
{
    m_patientName = text::trimmed(name);
    m_fiscalCode = text::trimmed(fiscalCode);
    m_archivePath = archivePath;
    txtPaziente->setText(m_fiscalCode.isEmpty() ? m_patientName : m_patientName + u" ("_s + m_fiscalCode + u')');
    refreshPatient();
}

void TfrmImportaReferto::btnApriClick()
{
    const QString path = m_ctx.services.files->openFile(
        this, u"Apri referto di laboratorio"_s,
        u"Referti di laboratorio (*.xml *.pdf *.hl7 *.txt);;Tutti i file (*.*)"_s);
    if (!path.isEmpty())
        openReport(path);
}

bool TfrmImportaReferto::openReport(const QString &path)
{
    referto::Reading reading = referto::readReportFile(path, m_pdf.get());
    if (!reading.report) {
        m_ctx.services.warning(this, reading.message);
        return false;
    }
    m_report = std::move(reading.report);
    lblFileReferto->setText(QFileInfo(path).fileName());
    showReport();
    return true;
}

void TfrmImportaReferto::showReport()
{
    const referto::LabReport &r = *m_report;
    m_filling = true;
    m_rows->removeRows(0, m_rows->rowCount());
    for (const referto::ReportRow &row : r.rows) {
        QList<QStandardItem *> items;
        auto *check = new QStandardItem;
        check->setCheckable(true);
        check->setEditable(false);
        // A line not read as a result is left out unless the user completes it.
        check->setCheckState(row.unread ? Qt::Unchecked : Qt::Checked);
        check->setData(row.uncertain, kUncertainRole);
        check->setData(row.difference, kDifferenceRole);
        check->setData(row.unread, kUnreadRole);
        check->setData(u"Importa"_s, Qt::AccessibleTextRole);
        items << check;
        for (const QString &value : referto::rowColumns(row))
            items << new QStandardItem(value);
        auto *marks = new QStandardItem;
        marks->setEditable(false);
        items << marks;
        if (row.unread)
            for (QStandardItem *item : items)
                item->setForeground(kUnreadInk);
        m_rows->appendRow(items);
    }
    m_filling = false;
    for (int i = 0; i < m_rows->rowCount(); ++i)
        refreshRow(i);

    txtLaboratorio->setText(r.laboratory);
    txtNumRef->setText(r.numRef);
    txtDataRef->setText(r.dataRef);
    txtData->setText(r.data);
    txtFirmatario->setText(r.firmatario);
    for (const auto &[edit, column] : {std::pair{txtNumRef, ColNumRef}, std::pair{txtDataRef, ColDataRef},
                                       std::pair{txtData, ColData}, std::pair{txtFirmatario, ColFirmatario}})
        m_headerValues[column] = edit->text();
    QString who = r.patientName;
    if (!r.fiscalCode.isEmpty())
        who += (who.isEmpty() ? QString() : u" "_s) + u'(' + r.fiscalCode + u')';
    txtPazienteReferto->setText(who.isEmpty() ? u"(non indicato nel referto)"_s : who);
    refreshPatient();
    if (m_rows->rowCount() > 0)
        grdRighe->setCurrentIndex(m_rows->index(0, ColImporta));
    grdRighe->setFocus(Qt::OtherFocusReason);
}

referto::ReportRow TfrmImportaReferto::rowAt(int row) const
{
    referto::ReportRow r;
    auto cell = [&](Column c) { return text::trimmed(m_rows->item(row, c)->text()); };
    r.esame = cell(ColEsame);
    r.risultato = cell(ColRisultato);
    r.um = cell(ColUM);
    r.rife = cell(ColRife);
    r.esito = cell(ColEsito);
    r.data = cell(ColData);
    r.numRef = cell(ColNumRef);
    r.dataRef = cell(ColDataRef);
    r.firmatario = cell(ColFirmatario);
    r.commento = cell(ColCommento);
    const QStandardItem *check = m_rows->item(row, ColImporta);
    r.uncertain = check->data(kUncertainRole).toString();
    r.difference = check->data(kDifferenceRole).toString();
    r.unread = check->data(kUnreadRole).toBool();
    if (m_report && row < m_report->rows.size())
        r.alarming = m_report->rows.at(row).alarming;
    return r;
}

void TfrmImportaReferto::refreshRow(int row)
{
    if (row < 0 || row >= m_rows->rowCount())
        return;
    const referto::ReportRow r = rowAt(row);
    const QList<referto::TooLong> tooLong = referto::tooLongFields(r);
    m_filling = true;
    QStringList marks;
    if (!r.uncertain.isEmpty())
        marks << (r.unread ? u"Testo non letto come risultato"_s : u"Da verificare: "_s + r.uncertain);
    if (!r.difference.isEmpty())
        marks << r.difference;
    for (int c = ColEsame; c <= ColCommento; ++c)
        m_rows->item(row, c)->setBackground(QBrush());
    if (!r.uncertain.isEmpty() && !r.unread)
        m_rows->item(row, ColRisultato)->setBackground(kUncertainFill);
    for (const referto::TooLong &t : tooLong) {
        marks << u"Troppo lungo: %1 (al massimo %2 caratteri)"_s.arg(referto::fieldTitle(t.field)).arg(t.capacity);
        m_rows->item(row, columnOf(t.field))->setBackground(kTooLongFill);
    }
    QStandardItem *avvisi = m_rows->item(row, ColAvvisi);
    avvisi->setText(marks.join(u"; "_s));
    if (r.alarming)
        avvisi->setText(avvisi->text().isEmpty() ? u"Allarmante"_s : u"Allarmante; "_s + avvisi->text());
    m_filling = false;
    refreshSummary();
}

void TfrmImportaReferto::refreshSummary()
{
    int kept = 0, marked = 0;
    for (int i = 0; i < m_rows->rowCount(); ++i) {
        if (m_rows->item(i, ColImporta)->checkState() == Qt::Checked)
            ++kept;
        if (!m_rows->item(i, ColAvvisi)->text().isEmpty())
            ++marked;
    }
    lblRiepilogo->setText(m_report ? u"Righe lette: %1. Da importare: %2. Con avvisi: %3."_s.arg(m_rows->rowCount())
                                         .arg(kept)
                                         .arg(marked)
                                   : QString());
}

bool TfrmImportaReferto::otherPatient() const
{
    return m_report && !m_report->fiscalCode.isEmpty()
           && text::upperAZ(m_report->fiscalCode) != text::upperAZ(m_fiscalCode);
}

void TfrmImportaReferto::refreshPatient()
{
    if (!m_report) {
        lblAvviso->clear();
        return;
    }
    if (otherPatient())
        lblAvviso->setText(u"Attenzione: il referto è intestato a un altro paziente (codice fiscale %1). Scegliere "
                           u"il paziente giusto con \"Scegli paziente\" prima di importare."_s
                               .arg(m_report->fiscalCode));
    else if (m_report->fiscalCode.isEmpty())
        lblAvviso->setText(u"Il referto non indica il codice fiscale del paziente: verificare che sia di %1."_s
                               .arg(m_patientName));
    else
        lblAvviso->clear();
    access::describe(grdRighe, grdRighe->accessibleName(), lblAvviso->text());
}

void TfrmImportaReferto::headerEdited(QLineEdit *field, Column column)
{
    const QString now = text::trimmed(field->text());
    QString &before = m_headerValues[column];
    if (now == before)
        return;
    for (int i = 0; i < m_rows->rowCount(); ++i) {
        QStandardItem *item = m_rows->item(i, column);
        if (text::trimmed(item->text()) == before && !m_rows->item(i, ColImporta)->data(kUnreadRole).toBool())
            item->setText(now);
    }
    before = now;
}

void TfrmImportaReferto::selectCell(int row, Column column)
{
    grdRighe->setCurrentIndex(m_rows->index(row, column));
    grdRighe->scrollTo(m_rows->index(row, column));
    grdRighe->setFocus(Qt::OtherFocusReason);
}

void TfrmImportaReferto::btnSelezionaClick()
{
    m_ctx.openDialog<TfrmTrovaClienti>(this, [](TfrmTrovaClienti &d) { d.lblMemory->setText(kCallerTag.toString()); });
}

void TfrmImportaReferto::btnGuidaClick() { m_ctx.showHelp(this, help::TopicId::ReportImport); }

void TfrmImportaReferto::btnImportaClick()
{
    grdRighe->commitEdit();
    if (!m_report) {
        m_ctx.services.warning(this, u"Attenzione: aprire prima il referto da importare."_s);
        return;
    }
    if (m_fiscalCode.isEmpty() || m_archivePath.isEmpty()) {
        m_ctx.services.warning(this, u"Attenzione: scegliere prima il paziente con \"Scegli paziente\"."_s);
        return;
    }
    if (otherPatient()) {
        m_ctx.services.warning(
            this, u"Attenzione: il referto è intestato a %1 (codice fiscale %2), non al paziente scelto %3 (codice "
                  u"fiscale %4).\n\r\n\rNessuna scheda è stata importata: scegliere il paziente giusto con \"Scegli "
                  u"paziente\"."_s.arg(m_report->patientName, m_report->fiscalCode, m_patientName, m_fiscalCode));
        return;
    }
    // Rows checked, each complete and fitting its fields.
    QList<int> kept;
    for (int i = 0; i < m_rows->rowCount(); ++i)
        if (m_rows->item(i, ColImporta)->checkState() == Qt::Checked)
            kept << i;
    if (kept.isEmpty()) {
        m_ctx.services.warning(this, u"Attenzione: nessuna riga è spuntata per l'importazione."_s);
        return;
    }
    QList<AnalysisRecord> cards;
    QList<std::pair<QString, QString>> reports;
    for (int i : kept) {
        const referto::ReportRow row = rowAt(i);
        const QString where = u"Attenzione: riga %1 (%2): "_s.arg(i + 1).arg(row.esame.left(40));
        if (const QList<referto::TooLong> t = referto::tooLongFields(row); !t.isEmpty()) {
            m_ctx.services.warning(this, where
                                             + u"il campo \"%1\" supera i %2 caratteri che la scheda può contenere. "
                                               u"Accorciarlo prima di importare: il programma non lo taglia."_s
                                                   .arg(referto::fieldTitle(t[0].field))
                                                   .arg(t[0].capacity));
            selectCell(i, columnOf(t[0].field));
            return;
        }
        const AnalysisRecord card = referto::cardOf(row, m_patientName, m_fiscalCode);
        if (const auto *missing = firstMissingField(card)) {
            QString message = missing->message.toString();
            message.remove(0, message.indexOf(u':') + 2);
            m_ctx.services.warning(this, where + message);
            selectCell(i, columnOf(missing->field));
            return;
        }
        for (Column c : {ColData, ColDataRef})
            if (!isCardDate(text::trimmed(m_rows->item(i, c)->text()))) {
                m_ctx.services.warning(this, where + u"la data \"%1\" va scritta nella forma gg/mm/aaaa."_s.arg(
                                                         text::trimmed(m_rows->item(i, c)->text())));
                selectCell(i, c);
                return;
            }
        cards << card;
        const std::pair<QString, QString> key{row.numRef, row.dataRef};
        if (!reports.contains(key))
            reports << key;
    }
    // The same report stored before, for this patient: said before anything is written.
    for (const auto &[numRef, dataRef] : reports) {
        const referto::StoredCount stored = referto::cardsOfReport(m_archivePath, numRef, dataRef);
        if (!stored.read) {
            m_ctx.services.error(this, msg::kAccessError.toString());
            return;
        }
        if (stored.cards > 0
            && !m_ctx.services.confirmYes(
                this, u"Attenzione: il referto n. %1 del %2 risulta già importato: in archivio ci sono già %3 "
                      u"schede di %4 con lo stesso numero e la stessa data di referto.\n\r\n\rImportarlo di nuovo?"_s
                          .arg(numRef, dataRef)
                          .arg(stored.cards)
                          .arg(m_patientName)))
            return;
    }
    if (m_report->fiscalCode.isEmpty()
        && !m_ctx.services.confirmYes(
            this, u"Il referto non indica il codice fiscale del paziente.\n\r\n\rImportare %1 schede nell'archivio di "
                  u"%2?"_s.arg(cards.size())
                      .arg(m_patientName)))
        return;
    if (!referto::appendCards(m_archivePath, cards)) {
        m_ctx.services.error(this, msg::kAccessError.toString());
        return;
    }
    // Stored: the rows are left out of a second press.
    for (int i : kept)
        m_rows->item(i, ColImporta)->setCheckState(Qt::Unchecked);
    m_ctx.services.info(this, cardsStored(cards.size()));
    lblRiepilogo->setText(cardsStored(cards.size()));
}

} // namespace clinora
