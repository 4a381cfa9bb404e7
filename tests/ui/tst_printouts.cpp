// Printouts never lose a word and never read the archive as template code:
// every field of a patient card and of an analysis card filled to its
// stored maximum is in the PDF and on the printed pages, in order; a list
// line wider than the paper goes on below; names, notes, exams and results
// with brackets or markup print as they are.
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/StampaAnalisi.h"
#include "common/CommonSettings.h"
#include "patients/PatientRecord.h"
#include "patients/ui/ClientiReport.h"
#include "report/ListTemplate.h"
#include "report/ReportRender.h"
#include "report/ReportTemplate.h"
#include "report/TextFit.h"
#include "support/PdfTools.h"
#include "support/TestApp.h"

#include <QPrinter>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

using Fields = QHash<QString, QString>;

ControlTextLookup lookup(const Fields &fields)
{
    return [fields](QStringView name) { return fields.value(name.toString()); };
}

// Distinct words ("wbc1 wbc2xy wbc3 ...") filling exactly as many
// characters as the field stores, or nearly: the longest value it can hold.
QString wordsFilling(int field, int capacity)
{
    const QString tag = u"w"_s + QChar(u'a' + field / 10) + QChar(u'a' + field % 10);
    QString out;
    for (int k = 1;; ++k) {
        const QString word = tag + QString::number(k) + (k % 3 == 0 ? u"xyz"_s : QString());
        if (out.size() + (out.isEmpty() ? 0 : 1) + word.size() > capacity)
            break;
        if (!out.isEmpty())
            out += u' ';
        out += word;
    }
    return out.isEmpty() ? tag.left(capacity) : out;
}

// Each control named "txt" + a field of the record, filled to its capacity.
Fields filledToCapacity(const RecordLayout &layout, const QStringList &controls)
{
    Fields fields;
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const QString control = u"txt"_s + QString::fromLatin1(layout.field(i).name);
        if (controls.contains(control))
            fields.insert(control, wordsFilling(i, layout.field(i).capacity));
    }
    return fields;
}

// The first word of `value` that is not found in `tokens` after the one
// before it, or an empty string when all of them are there in order.
QString missingInOrder(const QStringList &tokens, const QString &value)
{
    qsizetype at = 0;
    for (const QString &word : value.split(u' ', Qt::SkipEmptyParts)) {
        while (at < tokens.size() && tokens[at] != word)
            ++at;
        if (at == tokens.size())
            return word;
        ++at;
    }
    return QString();
}

QStringList tokensOf(const QString &pdf)
{
    return pdfText(pdf).split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
}

// The prepared pages as a printer to a file lays them out, at a printer's
// resolution rather than the PDF's own.
QString printedFile(const PreparedReport &report, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(600);
    if (!report::render(report, printer))
        return QString();
    return path;
}

// Every word of every field, in order, in both files.
void everyWordIn(const Fields &fields, const QStringList &files)
{
    for (const QString &file : files) {
        QVERIFY2(!file.isEmpty(), "no file");
        keepForReview(file);
        const QStringList tokens = tokensOf(file);
        QVERIFY2(!tokens.isEmpty(), qPrintable(file));
        for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
            const QString missing = missingInOrder(tokens, it.value());
            QVERIFY2(missing.isEmpty(), qPrintable(QFileInfo(file).fileName() + u": "_s + it.key() + u" lacks "_s +
                                                   missing));
        }
    }
}

const QStringList kPatientControls = {
    u"txtPaziente"_s,   u"txtDataNasc"_s,  u"txtComuneNasc"_s,   u"txtProvNasc"_s,  u"txtSesso"_s,
    u"txtASL"_s,        u"txtRecapito"_s,  u"txtIndirizzoRes"_s, u"txtComuneRes"_s, u"txtProvRes"_s,
    u"txtProfessione"_s, u"txtTelCasa"_s,  u"txtTelUff"_s,       u"txtTelCel"_s,    u"txtFax"_s,
    u"txtEmail"_s,      u"txtCodFisc"_s,   u"txtPartitaIva"_s,   u"txtVaccinazioni"_s, u"txtPatologie"_s,
    u"txtAllergie"_s,   u"txtFarmaci"_s,   u"txtInterventi"_s,   u"txtProtesi"_s,   u"txtHandicap"_s,
    u"txtQuestioni"_s,  u"txtNote"_s,
};

QStringList analysisControls()
{
    QStringList out;
    for (QStringView name : kAnalysisCardValues)
        out << name.toString();
    return out;
}

// Every text of the prepared pages.
QStringList preparedLines(const PreparedReport &report)
{
    QStringList out;
    for (const PreparedPage &page : report.pages)
        for (const PreparedItem &item : page.items)
            out += item.lines;
    return out;
}

} // namespace

class TestPrintouts : public QObject {
    Q_OBJECT

private slots:
    void patientCardKeepsEveryWord()
    {
        TestApp app(false);
        app.printing->renderTo.clear();
        const Fields fields = filledToCapacity(PatientRecord::recordLayout(), kPatientControls);
        QCOMPARE(fields.size(), kPatientControls.size());
        const QList<CardRow> rows = patientCardRows(lookup(fields));

        app.messages->answers = {MsgAnswer::No};
        QVERIFY(exportPatientCardPdf(*app.ctx, nullptr, rows));
        printPatientCard(*app.ctx, nullptr, rows);
        QCOMPARE(app.printing->printed.size(), 1);
        const QString pdf = app.path(u"Paziente.pdf"_s);
        everyWordIn(fields, {pdf, printedFile(app.printing->printed.last(), app.path(u"stampa.pdf"_s))});

        // A value that did not fit is marked where it is cut, and printed
        // whole on the next page under its caption and the patient's name.
        QVERIFY(pdfPageCount(pdf) >= 2);
        const QStringList pages = pdfText(pdf).split(u'\f');
        QVERIFY(pages[0].contains(u"(continua)"_s));
        const QString second = pages[1].simplified();
        QVERIFY2(second.startsWith(u"SCHEDA ANAGRAFICA PAZIENTE - "_s + rows[0].value + u" (seguito)"_s),
                 qPrintable(second.left(200)));
        const qsizetype allergies = second.indexOf(u"Allergie e intolleranze: "_s);
        QVERIFY(allergies >= 0);
        QVERIFY(second.indexOf(fields.value(u"txtAllergie"_s), allergies) > allergies);
    }

    // What fits keeps the card as laid out: one line, its own size.
    void patientCardThatFitsIsAsLaidOut()
    {
        const auto rep = makeRepScheda();
        QList<CardRow> rows = patientCardRows(lookup({{u"txtPaziente"_s, u"Rossi Mario"_s},
                                                       {u"txtAllergie"_s, u"Penicillina, FANS"_s}}));
        fillRepScheda(*rep, rows, QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
        const PreparedReport &r = rep->prepared();
        QCOMPARE(r.pages.size(), 1);
        const PreparedItem *allergies = r.pages[0].find(u"txtCampo18");
        QVERIFY(allergies);
        QCOMPARE(allergies->lines, QStringList{u"Penicillina, FANS"_s});
        QCOMPARE(allergies->text.font.pointSize, 10.0);
        QCOMPARE(allergies->text.linePitch, 0.0);
    }

    // A value a little too long is set smaller, never below 8 points; a
    // longer one is cut after a whole word with "(continua)".
    void patientCardValueSetSmallerThenCut()
    {
        const auto rep = makeRepScheda();
        const FontSpec font{u"Arial"_s, 10, false, Qt::black};
        const double width = units::mm(128) - 2 * report::kTextPadding;
        QString slightly;
        for (int k = 1; report::textWidth(font, 10, slightly) < width * 1.1; ++k)
            slightly += u"parola"_s + QString::number(k) + u' ';
        slightly = slightly.trimmed();
        QString twice = slightly + u' ' + slightly;
        fillRepScheda(*rep,
                      patientCardRows(lookup({{u"txtFarmaci"_s, slightly}, {u"txtNote"_s, twice}})),
                      QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
        const PreparedPage &page = rep->prepared().pages[0];
        const PreparedItem *farmaci = page.find(u"txtCampo19");
        QCOMPARE(farmaci->lines, QStringList{slightly});
        QVERIFY(farmaci->text.font.pointSize < 10 && farmaci->text.font.pointSize >= report::kSmallestPoints);
        const PreparedItem *note = page.find(u"txtCampo24");
        QCOMPARE(note->lines.size(), 1);
        QCOMPARE(note->text.font.pointSize, report::kSmallestPoints);
        QVERIFY(note->lines[0].endsWith(u" \u2026 (continua)"_s));
        const QString kept = note->lines[0].chopped(report::kContinues.size() + 1);
        QVERIFY(twice.startsWith(kept + u' '));
        QCOMPARE(rep->prepared().pages.size(), 2);
        QCOMPARE(rep->prepared().pages[1].find(u"txtSeguito_txtCampo24")->lines.join(u' '), twice);
        QCOMPARE(rep->prepared().pages[1].find(u"titSeguito_txtCampo24")->lines, QStringList{u"Note:"_s});
    }

    void analysisCardKeepsEveryWord()
    {
        TestApp app(false);
        const Fields fields = filledToCapacity(AnalysisRecord::recordLayout(), analysisControls());
        QCOMPARE(fields.size(), 13);
        const auto rep = makeRepDocumento();
        fillRepDocumento(*rep, lookup(fields), QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
        PdfExport settings;
        settings.fileName = app.path(u"scheda-esame.pdf"_s);
        QCOMPARE(rep->Export(settings).kind, ReportNotice::Kind::None);
        everyWordIn(fields, {settings.fileName, printedFile(rep->prepared(), app.path(u"stampa-esame.pdf"_s))});
        // The continuation fits below the form: one sheet.
        QCOMPARE(pdfPageCount(settings.fileName), 1);
        QVERIFY(pdfText(settings.fileName).contains(u"Commento:"_s));
    }

    // A list line wider than the paper goes on, indented, on the next lines.
    void listLineWiderThanThePaperGoesOn()
    {
        TestApp app(false);
        QStringList words;
        for (int k = 1; k <= 60; ++k)
            words << u"voce"_s + QString::number(k);
        const QString wide = u"Cod. 20240105  "_s + words.join(u' ');
        const auto rep = report::makeListTemplate();
        report::fillListSummary(*rep, u"Riepilogo"_s, {u"prima"_s, wide, u"ultima"_s});
        const QStringList lines = rep->text(u"txtRiepilogo").lines();
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.first(), u"prima"_s);
        QCOMPARE(lines.last(), u"ultima"_s);
        QVERIFY(wide.startsWith(lines[1]));
        for (qsizetype i = 2; i + 1 < lines.size(); ++i)
            QVERIFY(lines[i].startsWith(u"    "_s));
        QVERIFY(qAbs(rep->band(u"MasterData").height() - (double(lines.size()) * report::kListLineHeight + 10)) < 1e-6);
        rep->PrepareReport(QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
        PdfExport settings;
        settings.fileName = app.path(u"lista.pdf"_s);
        QCOMPARE(rep->Export(settings).kind, ReportNotice::Kind::None);
        keepForReview(settings.fileName);
        QCOMPARE(missingInOrder(tokensOf(settings.fileName), wide), QString());
    }

    // Names, notes, exams and results with brackets and markup print as
    // they are on every printout; only the template's own footer has its date.
    void archiveTextsPrintLiterally()
    {
        TestApp app(false);
        const QDateTime now(QDate(2026, 12, 11), QTime(10, 0));
        const QString today = settings::formatDate(now.date());
        const QString name = u"BIANCHI [DATE] <!--"_s, note = u"[PAGE] <b>grassetto</b> ]"_s,
                      exam = u"Emoglobina [ HbA1c"_s, result = u"] 5,4 [DATE]"_s;
        const QStringList literal = {name, note, exam, result};
        auto check = [&](const PreparedReport &r, const QString &what) {
            const QStringList lines = preparedLines(r);
            for (const QString &text : literal)
                QVERIFY2(lines.join(u'\n').contains(text), qPrintable(what + u": "_s + text));
            for (const QString &line : lines)
                QVERIFY2(!line.contains(today) || line.startsWith(u"Stampa eseguita"_s),
                         qPrintable(what + u": "_s + line));
        };

        const auto list = report::makeListTemplate();
        report::fillListSummary(*list, u"Riepilogo analisi cliniche di "_s + name,
                                {name + u"  "_s + note, exam + u"  Valore: "_s + result});
        list->PrepareReport(now);
        check(list->prepared(), u"list"_s);
        QVERIFY(list->prepared().pages[0].find(u"txtPagina")->lines.constFirst().endsWith(today));

        const auto card = makeRepScheda();
        fillRepScheda(*card,
                      patientCardRows(lookup({{u"txtPaziente"_s, name},
                                              {u"txtNote"_s, note},
                                              {u"txtPatologie"_s, exam},
                                              {u"txtFarmaci"_s, result}})),
                      now);
        check(card->prepared(), u"patient card"_s);

        const auto analysis = makeRepDocumento();
        fillRepDocumento(*analysis,
                         lookup({{u"txtPaziente"_s, name},
                                 {u"txtNote"_s, note},
                                 {u"txtEsame"_s, exam},
                                 {u"txtRisultato"_s, result}}),
                         now);
        check(analysis->prepared(), u"analysis card"_s);

        // And so on paper.
        PdfExport settings;
        settings.fileName = app.path(u"lista-letterale.pdf"_s);
        QCOMPARE(list->Export(settings).kind, ReportNotice::Kind::None);
        const QString text = pdfText(settings.fileName);
        QVERIFY2(text.contains(name) && text.contains(result), qPrintable(text));
    }
};

QTEST_MAIN(TestPrintouts)
#include "tst_printouts.moc"
