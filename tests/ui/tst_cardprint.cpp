// The patient card on paper and in Paziente.pdf: its 24 rows, the template
// repScheda as laid out, "Stampa" and "Crea PDF" with what they ask and open.
#include "common/FileIo.h"
#include "patients/ui/ClientiReport.h"
#include "report/ReportMessages.h"
#include "report/ReportTemplate.h"
#include "support/PdfTools.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;
using units::mm;

namespace {

using Fields = QHash<QString, QString>;
using RowValues = QMap<int, QString>; // row number -> value

ControlTextLookup lookup(const Fields &fields)
{
    return [fields](QStringView name) { return fields.value(name.toString()); };
}

const QStringList kCaptions = {
    u"Cognome e nome:"_s, u"Data di nascita:"_s, u"Comune di nascita:"_s, u"Sesso:"_s,
    u"Tel. preferenziale:"_s, u"Indirizzo di residenza:"_s, u"Comune di residenza:"_s, u"Professione:"_s,
    u"Tel. casa:"_s, u"Tel. ufficio:"_s, u"Tel. cellulare:"_s, u"Fax:"_s,
    u"E-mail:"_s, u"Codice fiscale:"_s, u"Partita IVA:"_s, u"Vaccinazioni:"_s,
    u"Patologie:"_s, u"Allergie e intolleranze:"_s, u"Farmaci assunti:"_s, u"Interventi subiti:"_s,
    u"Protesi:"_s, u"Handicap psicomotori:"_s, u"Questioni in sospeso:"_s, u"Note:"_s,
};

Fields rossi()
{
    return {
        {u"txtPaziente"_s, u"Rossi Mario"_s},        {u"txtDataNasc"_s, u"12/05/1961"_s},
        {u"txtComuneNasc"_s, u"Torino"_s},           {u"txtProvNasc"_s, u"TO"_s},
        {u"txtSesso"_s, u"M"_s},                     {u"txtASL"_s, u"TO1"_s},
        {u"txtRecapito"_s, u"011 555 1234"_s},       {u"txtIndirizzoRes"_s, u"Via Po 12"_s},
        {u"txtComuneRes"_s, u"Moncalieri"_s},        {u"txtProvRes"_s, u"TO"_s},
        {u"txtCodFisc"_s, u"RSSMRA61E12L219X"_s},    {u"txtEmail"_s, u"mario.rossi@example.it"_s},
        {u"txtAllergie"_s, u"Penicillina"_s},        {u"txtNote"_s, u"Controllo il [DATE] alle [ORA]"_s},
        {u"txtCapRes"_s, u"10024"_s},                {u"txtTessera"_s, u"80380001200012345678"_s},
        {u"txtGruppo"_s, u"A+"_s},
    };
}

class FailOn : public io::FaultHook {
public:
    explicit FailOn(io::Op op) : m_op(op) { io::setFaultHook(this); }
    ~FailOn() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op op, const QString &path) override
    {
        return op == m_op && path.endsWith(u"Paziente.pdf"_s);
    }

private:
    io::Op m_op;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kConfirm =
    u"L'esportazione della scheda in PDF è terminata con successo.\n\r\n\rSi vuole aprire il file?"_s;

} // namespace

class TestCardPrint : public QObject {
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<RowValues>("values");
        QTest::newRow("empty card") << Fields{}
                                    << RowValues{{1, QString()}, {3, u" "_s}, {4, u"   -   ASL: "_s},
                                                          {7, u" "_s}, {24, QString()}};
        QTest::newRow("trimmed, joined") << Fields{{u"txtPaziente"_s, u"  Rossi Mario \t"_s},
                                                   {u"txtComuneRes"_s, u" Milano "_s},
                                                   {u"txtProvRes"_s, u" MI "_s},
                                                   {u"txtSesso"_s, u" F"_s},
                                                   {u"txtASL"_s, u" MI2 "_s}}
                                         << RowValues{{1, u"Rossi Mario"_s}, {7, u"Milano MI"_s},
                                                               {4, u"F   -   ASL: MI2"_s}};
        QTest::newRow("no province, no ASL") << Fields{{u"txtComuneNasc"_s, u"Roma"_s}, {u"txtSesso"_s, u"M"_s}}
                                             << RowValues{{3, u"Roma "_s}, {4, u"M   -   ASL: "_s}};
        QTest::newRow("one field per row") << rossi()
                                           << RowValues{{2, u"12/05/1961"_s}, {5, u"011 555 1234"_s},
                                                                 {6, u"Via Po 12"_s}, {13, u"mario.rossi@example.it"_s},
                                                                 {14, u"RSSMRA61E12L219X"_s}, {18, u"Penicillina"_s},
                                                                 {24, u"Controllo il [DATE] alle [ORA]"_s}};
    }

    void rows()
    {
        QFETCH(Fields, fields);
        QFETCH(RowValues, values);
        const QList<CardRow> rows = patientCardRows(lookup(fields));
        QCOMPARE(rows.size(), 24);
        for (int n = 0; n < 24; ++n)
            QCOMPARE(rows[n].caption, kCaptions[n]);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            QCOMPARE(rows[it.key() - 1].value, it.value());
        // Postal code, health card and blood group are not printed.
        for (const CardRow &r : rows)
            QVERIFY(!r.value.contains(u"10024"_s) && !r.value.contains(u"A+"_s) && !r.value.contains(u"8038"_s));
    }

    void rowsFromTheScreensControls()
    {
        QWidget screen;
        auto *name = new QLineEdit(u" Bianchi Anna "_s, &screen);
        name->setObjectName(u"txtPaziente"_s);
        auto *prov = new QComboBox(&screen);
        prov->setEditable(true);
        prov->setObjectName(u"txtProvNasc"_s);
        prov->setEditText(u"RM"_s);
        auto *town = new QLineEdit(u"Roma"_s, &screen);
        town->setObjectName(u"txtComuneNasc"_s);
        const QList<CardRow> rows = patientCardRows(controlTexts(&screen));
        QCOMPARE(rows[0].value, u"Bianchi Anna"_s);
        QCOMPARE(rows[2].value, u"Roma RM"_s);
        QCOMPARE(rows[1].value, QString());
    }

    void templateLayout()
    {
        const auto rep = makeRepScheda();
        QCOMPARE(rep->name(), u"Scheda informativa"_s);
        QCOMPARE(rep->page1().name, u"Page1"_s);
        QVERIFY(rep->page1().bands().empty());
        QCOMPARE(rep->page1().objects().size(), std::size_t(3 + 48 + 1 + 1));

        struct Expect {
            QString name;
            QRectF mmFrame;
            QColor fill;
            double points;
            QColor color;
            Qt::Alignment hAlign;
            QString text;
        };
        const QColor orange(0xFF, 0x8C, 0x00), teal(0x00, 0x80, 0x80);
        const QList<Expect> texts = {
            {u"txtTitolo"_s, {23, 3, 165, 9}, orange, 16, Qt::white, Qt::AlignHCenter, u"Titolo Scheda"_s},
            {u"titCampo01"_s, {3, 24, 52, 6}, teal, 9, Qt::white, Qt::AlignLeft, u"Campo 1"_s},
            {u"txtCampo01"_s, {60, 24, 128, 6}, QColor(), 10, Qt::black, Qt::AlignLeft, u"Campo 1"_s},
            {u"titCampo10"_s, {3, 114, 52, 6}, teal, 9, Qt::white, Qt::AlignLeft, u"Campo 10"_s},
            {u"titCampo24"_s, {3, 254, 52, 6}, teal, 9, Qt::white, Qt::AlignLeft, u"Campo 24"_s},
            {u"txtCampo24"_s, {60, 254, 128, 6}, QColor(), 10, Qt::black, Qt::AlignLeft, u"Campo 24"_s},
            {u"txtCalce"_s, {3, 269, 185, 6}, orange, 10, Qt::white, Qt::AlignHCenter, u"Termine scheda"_s},
        };
        for (const Expect &e : texts) {
            const TextObject &t = rep->text(e.name);
            QVERIFY2(std::abs(t.frame().left() - mm(e.mmFrame.left())) < 1e-6 &&
                         std::abs(t.frame().top() - mm(e.mmFrame.top())) < 1e-6 &&
                         std::abs(t.frame().width() - mm(e.mmFrame.width())) < 1e-6 &&
                         std::abs(t.frame().height() - mm(e.mmFrame.height())) < 1e-6,
                     qUtf8Printable(e.name));
            QCOMPARE(t.look().fill, e.fill);
            QCOMPARE(t.look().font.family, u"Arial"_s);
            QCOMPARE(t.look().font.pointSize, e.points);
            QCOMPARE(t.look().font.color, e.color);
            QCOMPARE(t.look().hAlign, e.hAlign);
            QCOMPARE(t.look().vAlign, Qt::AlignVCenter);
            QCOMPARE(t.text(), e.text);
        }
        for (const auto &o : rep->page1().objects()) {
            if (o->kind() == ObjectKind::Text) {
                const auto &t = static_cast<const TextObject &>(*o);
                QVERIFY2(!t.look().wordWrap && !t.look().expressions, qUtf8Printable(t.name()));
            }
        }
        const ReportComponent *logo = rep->FindObject(u"imgLogo");
        QVERIFY(logo && logo->kind() == ObjectKind::Picture);
        const auto &picture = static_cast<const PictureObject &>(*logo);
        QCOMPARE(picture.image().size(), QSize(82, 68));
        QCOMPARE(picture.frame(), units::mmRect(3, 3, 17, 13));
        const auto *line1 = static_cast<const LineObject *>(rep->FindObject(u"linSepara01"));
        const auto *line2 = static_cast<const LineObject *>(rep->FindObject(u"linSepara02"));
        QVERIFY(line1 && line1->kind() == ObjectKind::Line && line2 && line2->kind() == ObjectKind::Line);
        QCOMPARE(line1->frame(), units::mmRect(23, 16, 165, 0));
        QCOMPARE(line2->frame(), units::mmRect(3, 265, 185, 0));
    }

    void filledCardPage()
    {
        const auto rep = makeRepScheda();
        rep->page1().setOrientation(QPageLayout::Landscape); // the fill puts it back
        fillRepScheda(*rep, patientCardRows(lookup({})), QDateTime(QDate(2026, 2, 3), QTime(14, 5, 9)));
        const PreparedReport &r = rep->prepared();
        QCOMPARE(r.pages.size(), 1);
        const PreparedPage &page = r.pages[0];
        QCOMPARE(page.orientation, QPageLayout::Portrait);
        QCOMPARE(page.find(u"txtTitolo")->lines, QStringList{u"SCHEDA ANAGRAFICA PAZIENTE"_s});
        for (int n = 1; n <= 24; ++n) {
            const QString nn = QString::number(n).rightJustified(2, u'0');
            const PreparedItem *caption = page.find(QString(u"titCampo"_s + nn));
            const PreparedItem *value = page.find(QString(u"txtCampo"_s + nn));
            QVERIFY(caption && value);
            QCOMPARE(caption->lines, QStringList{kCaptions[n - 1]});
            QVERIFY(!value->lines.join(QString()).contains(u"Campo"_s));
            // On the paper: the margin plus the position in the template.
            QVERIFY(std::abs(value->frame.top() - mm(10 + 24 + (n - 1) * 10)) < 1e-6);
            QVERIFY(std::abs(value->frame.left() - mm(10 + 60)) < 1e-6);
        }
        QCOMPARE(page.find(u"txtCampo04")->lines, QStringList{u"   -   ASL: "_s});
        QCOMPARE(page.find(u"txtCalce")->lines,
                 QStringList{u"Stampa eseguita in data 03/02/2026 alle ore 14:05:09"_s});
        QVERIFY(page.find(u"imgLogo") && page.find(u"linSepara01") && page.find(u"linSepara02"));
    }

    void printCommand()
    {
        TestApp app(false);
        const QList<CardRow> rows = patientCardRows(lookup(rossi()));
        printPatientCard(*app.ctx, nullptr, rows);
        QCOMPARE(app.printing->printed.size(), 1);
        const PreparedReport &r = app.printing->printed[0];
        QCOMPARE(r.name, u"Scheda informativa"_s);
        QCOMPARE(r.pages.size(), 1);
        QCOMPARE(r.pages[0].find(u"txtCampo01")->lines, QStringList{u"Rossi Mario"_s});
        QCOMPARE(r.pages[0].find(u"txtCalce")->lines,
                 QStringList{u"Stampa eseguita in data 10/12/2026 alle ore 10:30:15"_s});

        app.printing->answers = {false};
        printPatientCard(*app.ctx, nullptr, rows);
        QCOMPARE(app.printing->dialogs.size(), 2);
        QCOMPARE(app.printing->printed.size(), 1);

        app.printing->installed = false;
        printPatientCard(*app.ctx, nullptr, rows);
        QCOMPARE(app.printing->dialogs.size(), 2);
        QCOMPARE(app.messages->take(), QStringList{report::msg::kNoPrinter.toString()});
        QVERIFY(app.shell->opened.isEmpty());
    }

    void pdfCommandWritesAndOpens()
    {
        TestApp app(false);
        const QString target = app.path(u"Paziente.pdf"_s);
        QVERIFY(exportPatientCardPdf(*app.ctx, nullptr, patientCardRows(lookup(rossi()))));
        keepForReview(target);

        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Confirmation);
        QCOMPARE(app.messages->shown[0].text, kConfirm);
        QCOMPARE(app.shell->opened, QStringList{u"\""_s + target + u"\""_s});
        QVERIFY(app.printing->dialogs.isEmpty());

        QCOMPARE(pdfInfo(target, u"Title"_s), u"Scheda informativa"_s);
        QCOMPARE(pdfInfo(target, u"Subject"_s), u"Scheda informativa"_s);
        QCOMPARE(pdfPageCount(target), 1);
        QVERIFY(pdfInfo(target, u"Page size"_s).contains(u"595 x 842"_s));
        const QString text = pdfText(target).simplified();
        for (const QString &caption : kCaptions)
            QVERIFY2(text.contains(caption), qUtf8Printable(caption));
        for (const QString &value : {u"SCHEDA ANAGRAFICA PAZIENTE"_s, u"Rossi Mario"_s, u"Torino TO"_s,
                                     u"M - ASL: TO1"_s, u"Moncalieri TO"_s, u"RSSMRA61E12L219X"_s,
                                     u"Controllo il [DATE] alle [ORA]"_s,
                                     u"Stampa eseguita in data 10/12/2026 alle ore 10:30:15"_s})
            QVERIFY2(text.contains(value), qUtf8Printable(value));
        QVERIFY(!text.contains(u"Campo"_s));
        QVERIFY(!text.contains(u"10024"_s));

        // The logo is drawn: a yellow folder in its frame.
        const QImage page = pdfPage(target, 1, 96);
        const QRect logo = units::mmRect(13, 13, 17, 13).toAlignedRect();
        bool yellow = false;
        for (int y = logo.top(); y <= logo.bottom() && !yellow; ++y)
            for (int x = logo.left(); x <= logo.right() && !yellow; ++x) {
                const QColor c = page.pixelColor(x, y);
                yellow = c.red() > 200 && c.green() > 150 && c.blue() < 120;
            }
        QVERIFY(yellow);
    }

    void pdfAnsweredNoOpensNothingAndSecondExportReplaces()
    {
        TestApp app(false);
        const QString target = app.path(u"Paziente.pdf"_s);
        app.messages->answers = {MsgAnswer::No};
        QVERIFY(exportPatientCardPdf(*app.ctx, nullptr, patientCardRows(lookup(rossi()))));
        QVERIFY(app.shell->opened.isEmpty());
        QVERIFY(pdfText(target).contains(u"Rossi Mario"_s));

        Fields other{{u"txtPaziente"_s, u"Verdi Luisa"_s}};
        QVERIFY(exportPatientCardPdf(*app.ctx, nullptr, patientCardRows(lookup(other))));
        const QString text = pdfText(target);
        QVERIFY(text.contains(u"Verdi Luisa"_s));
        QVERIFY(!text.contains(u"Rossi"_s));
        QCOMPARE(app.messages->take(), QStringList({kConfirm, kConfirm}));
        QCOMPARE(QDir(app.folder()).entryList(QDir::Files), QStringList{u"Paziente.pdf"_s});
    }

    // A failed export says so, asks nothing, opens nothing, and leaves the
    // previous Paziente.pdf whole.
    void pdfFailureKeepsThePreviousFile_data()
    {
        QTest::addColumn<io::Op>("op");
        QTest::newRow("cannot create") << io::Op::Open;
        QTest::newRow("cannot write") << io::Op::Write;
        QTest::newRow("cannot replace") << io::Op::Rename;
    }

    void pdfFailureKeepsThePreviousFile()
    {
        QFETCH(io::Op, op);
        TestApp app(false);
        const QString target = app.path(u"Paziente.pdf"_s);
        app.messages->answers = {MsgAnswer::No};
        QVERIFY(exportPatientCardPdf(*app.ctx, nullptr, patientCardRows(lookup(rossi()))));
        app.messages->take();
        const QByteArray before = readAll(target);
        QVERIFY(before.startsWith("%PDF"));

        {
            FailOn fault(op);
            QVERIFY(!exportPatientCardPdf(*app.ctx, nullptr, patientCardRows(lookup({}))));
        }
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(app.messages->shown[0].kind, MsgKind::Error);
        QCOMPARE(app.messages->shown[0].text, report::msg::pdfFailed(target));
        QVERIFY(app.shell->opened.isEmpty());
        QCOMPARE(readAll(target), before);
        QCOMPARE(QDir(app.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Paziente.pdf"_s});
    }

    // A value wider than its 128 mm row stays inside the row, ends there
    // with "(continua)" and is printed whole on the next page.
    void longValueIsNeverCutSilently()
    {
        TestApp app(false);
        const QString target = app.path(u"Paziente.pdf"_s);
        app.messages->answers = {MsgAnswer::No};
        QVERIFY(exportPatientCardPdf(*app.ctx, nullptr, patientCardRows(lookup({{u"txtNote"_s, QString(250, u'W')}}))));
        const QImage page = pdfPage(target, 1, 96);
        const QRect row = units::mmRect(10 + 60, 10 + 254, 128, 6).toAlignedRect();
        auto inked = [&](int x0, int x1) {
            for (int y = row.top() + 2; y < row.bottom() - 1; ++y)
                for (int x = x0; x < x1; ++x)
                    if (qGray(page.pixel(x, y)) < 160)
                        return true;
            return false;
        };
        QVERIFY(inked(row.right() - 30, row.right() - 1));
        QVERIFY(!inked(row.right() + 2, page.width()));
        const QStringList pages = pdfText(target).split(u'\f');
        QVERIFY(pages.size() >= 2);
        QVERIFY(pages[0].contains(u"(continua)"_s));
        QCOMPARE(pages[1].count(u'W'), 250);
    }
};

QTEST_MAIN(TestCardPrint)
#include "tst_cardprint.moc"
