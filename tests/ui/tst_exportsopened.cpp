// The two spreadsheet exports opened by a real spreadsheet program: both files
// are written from the screens, converted to CSV by LibreOffice Calc without a
// display, and every cell must read exactly as the grid showed it (leading
// zeros, long digit strings, dates, decimal commas, markup characters,
// accents, a character the code page lacks, empty cells, long notes).
// Where LibreOffice is not installed the test says it was skipped.
#include "analyses/AnalysisExport.h"
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/ExpAnalisi.h"
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/Avvio.h"
#include "common/Text.h"
#include "common/ui/Widgets.h"
#include "patients/PatientExport.h"
#include "patients/PatientRecord.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/ExpClienti.h"
#include "support/FileTools.h"
#include "support/TestApp.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

using Table = QList<QStringList>;

// A 250-character note, the longest a card holds, with accents and markup.
QString longNote(QChar first)
{
    QString note = QString(first) + u" Paziente riferisce cefalea & nausea; pressione < 140/90 mmHg, è già in "
                                    u"terapia; però va rivalutata più avanti. Perché? Glicemia 5,3 mmol/l."_s;
    while (note.size() < 250)
        note += u" àèéìòù"_s;
    return note.left(250);
}

// The cells of a CSV text: fields split by commas, quoted when they hold a
// comma, a quote or a line break, a quote inside doubled.
Table parseCsv(const QString &csv)
{
    Table rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv[i];
        if (quoted) {
            if (c == u'"' && i + 1 < csv.size() && csv[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < csv.size() && csv[i + 1] == u'\n')
                ++i;
            row << field;
            field.clear();
            rows << row;
            row.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

// The header row and what the grid shows in each exported column (1 on),
// as the export writes it: without outer blanks.
Table shownTable(const TextGridModel &grid, const QList<ExcelColumn> &columns)
{
    Table table;
    QStringList headers;
    for (const ExcelColumn &c : columns)
        headers << c.header;
    table << headers;
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c <= columns.size(); ++c)
            cells << text::trimmed(grid.data(grid.index(r, c), Qt::DisplayRole).toString());
        table << cells;
    }
    return table;
}

PatientRecord patient(const QList<std::pair<PatientRecord::Field, QString>> &values)
{
    PatientRecord r;
    for (const auto &[f, v] : values)
        r.set(f, v);
    r.set(PatientRecord::Field::Ricontatta, kNo);
    return r;
}

AnalysisRecord analysis(const QList<std::pair<AnalysisRecord::Field, QString>> &values)
{
    AnalysisRecord r;
    r.set(AnalysisRecord::Paziente, u"Rossi Niccolò"_s);
    r.set(AnalysisRecord::CodFisc, u"RSSNCC80C05C745X"_s);
    for (const auto &[f, v] : values)
        r.set(f, v);
    return r;
}

// Types over a cell of the grid, as the user may before exporting.
void edit(ExportScreen &d, int row, int column, const QString &text)
{
    QVERIFY(d.grdRecords->model()->setData(d.grdRecords->model()->index(row, column), text));
}

} // namespace

class TestExportsOpened : public QObject {
    Q_OBJECT

    QString m_soffice;

private slots:
    void initTestCase()
    {
        m_soffice = QStandardPaths::findExecutable(u"soffice"_s);
        if (m_soffice.isEmpty())
            m_soffice = QStandardPaths::findExecutable(u"libreoffice"_s);
    }

    void bothExportsReadBackAsTheGridShowedThem()
    {
        if (m_soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed: the exports were not opened in a spreadsheet program");

        using P = PatientRecord::Field;
        TestApp app;
        QByteArray patients;
        patients += patient({
            {P::Paziente, u"Rossi Niccolò"_s}, {P::DataNasc, u"05/03/1980"_s},
            {P::ComuneNasc, u"Città di Castello"_s}, {P::ProvNasc, u"PG"_s},
            {P::Recapito, u"0612345678"_s}, {P::IndirizzoRes, u"00100"_s},
            {P::ComuneRes, u"Roma"_s}, {P::ProvRes, u"RM"_s},
            {P::Professione, u"Impiegata & <ufficio>"_s}, {P::TelCasa, u"0612345678"_s},
            {P::TelUff, u"+39 06 1234567"_s}, {P::TelCel, u"3331234567"_s},
            {P::Fax, u"12345678901234567890"_s}, {P::Email, u"n.rossi@esempio.it"_s},
            {P::CodFisc, u"RSSNCC80C05C745X"_s}, {P::Tessera, u"80380001234567890123"_s},
            {P::Gruppo, u"0 Rh+"_s}, {P::PartitaIva, u"00000001206"_s},
            {P::ASL, u"ASL Roma 1"_s}, {P::Vaccinazioni, u"1,5"_s}, {P::Patologie, u"a<b"_s},
            {P::Allergie, u"&"_s}, {P::Farmaci, u"=1+1"_s}, {P::Interventi, u"07/03/2024"_s},
            {P::Protesi, u"10%"_s}, {P::Handicap, u"1e5"_s}, {P::Questioni, u"12:30"_s},
            {P::Note, longNote(u'A')},
        }).bytes();
        // Mostly empty: a birthplace without province, a lone " - Gruppo: ".
        patients += patient({
            {P::Paziente, u"Bianchi Anna"_s}, {P::ComuneNasc, u"Roma"_s}, {P::TelCasa, u"00100"_s},
            {P::TelCel, u"-5"_s}, {P::Fax, u"1.250"_s}, {P::Professione, u"VERO"_s},
            {P::Note, u"1/2"_s},
        }).bytes();
        writeFile(app.path(u"Pazienti.pro"_s), patients);

        using A = AnalysisRecord::Field;
        const QString code = u"RSSNCC80C05C745X"_s;
        QByteArray results;
        results += analysis({
            {A::NumRef, u"00012345678901234567"_s}, {A::DataRef, u"07/03/2024"_s}, {A::Data, u"05/03/2024"_s},
            {A::Esame, u"Glicemia"_s}, {A::Risultato, u"5,3"_s}, {A::UM, u"mmol/l"_s},
            {A::Rife, u"3,9 - 5,6"_s}, {A::Esito, u"FUORI NORMA"_s},
            {A::Commento, u"Da ripetere & <urgente>"_s}, {A::Firmatario, u"Dott.ssa Bianchi"_s},
            {A::Note, longNote(u'B')}, {A::Allarme, u"Sì"_s},
        }).bytes();
        results += analysis({
            {A::NumRef, u"0001"_s}, {A::DataRef, u"07/03/2024"_s}, {A::Data, u"05/03/2024"_s},
            {A::Esame, u"Leucociti"_s}, {A::Risultato, u"1.250"_s}, {A::UM, u"/µl"_s},
            {A::Rife, u"-5"_s}, {A::Allarme, u"No"_s},
        }).bytes();
        results += analysis({
            {A::NumRef, u"2024/317"_s}, {A::Data, u"05/03/2024"_s}, {A::Esame, u"Proteina C reattiva"_s},
            {A::Risultato, u"0,50"_s}, {A::UM, u"mg/dl"_s}, {A::Rife, u"< 0,5"_s},
            {A::Commento, u"=SOMMA(1;2)"_s}, {A::Allarme, u"No"_s},
        }).bytes();
        writeFile(app.path(u"Analisi_Cliniche/Paziente_CF_"_s + code + u".asl"_s), results);

        // The patient export, with a character the code page lacks typed in the grid.
        Table patientGrid;
        TfrmClienti *card = app.ctx->screens.frmClienti;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, card);
        activate(card);
        app.dialogs->next<TfrmExpClienti>([&](TfrmExpClienti &d) {
            edit(d, 1, 25, u"Dose 5 µg \u03A9 \u0151 \U0001F600"_s);
            edit(d, 1, 6, u"  Sviluppatore  "_s);
            patientGrid = shownTable(*d.gridModel(), patientExportColumns());
            click(d.cmdEsporta);
            d.close();
        });
        click(card->cmdEsporta);

        // The analyses export of the same patient.
        Table analysisGrid;
        TfrmMenuAnalisi *menu = app.ctx->screens.frmMenuAnalisi;
        app.ctx->switchTo(card, menu);
        menu->txtPaziente->setText(u"Rossi Niccolò"_s);
        menu->txtCodFisc->setText(code);
        click(menu->btnApri);
        TfrmAnalisiCliniche *analysesCard = app.ctx->screens.frmAnalisiCliniche;
        activate(analysesCard);
        app.dialogs->next<TfrmExpAnalisi>([&](TfrmExpAnalisi &d) {
            edit(d, 2, 9, u"Ripetere fra 2 settimane \u2192 \u0151"_s);
            analysisGrid = shownTable(*d.gridModel(), analysisExportColumns());
            click(d.cmdEsporta);
            d.close();
        });
        click(analysesCard->cmdEsporta);
        QCOMPARE(app.messages->shown.size(), 4); // two questions each, no failure

        // The fixture holds what it should: the grid shows every tricky value.
        QCOMPARE(patientGrid.size(), 3);
        QCOMPARE(analysisGrid.size(), 4);
        QVERIFY(patientGrid[1].contains(u"0612345678"_s) && patientGrid[1].contains(u"00000001206"_s));
        QVERIFY(patientGrid[1].contains(u"80380001234567890123 - Gruppo: 0 Rh+"_s));
        QCOMPARE(patientGrid[2][24], u"Dose 5 µg \u03A9 \u0151 \U0001F600"_s);
        QVERIFY(patientGrid[2].contains(QString()));
        QCOMPARE(analysisGrid[1][10].size(), 250);

        // Both files converted by one run of LibreOffice, with a profile of its own.
        QTemporaryDir work;
        QVERIFY(work.isValid());
        QProcess soffice;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, work.filePath(u"home"_s));
        soffice.setProcessEnvironment(env);
        soffice.setProcessChannelMode(QProcess::MergedChannels);
        const QStringList args{
            u"-env:UserInstallation="_s + QUrl::fromLocalFile(work.filePath(u"profile"_s)).toString(),
            u"--headless"_s,
            u"--norestore"_s,
            u"--convert-to"_s,
            u"csv:Text - txt - csv (StarCalc):44,34,76"_s, // comma, double quote, UTF-8
            u"--outdir"_s,
            work.filePath(u"csv"_s),
            app.path(u"Pazienti.xls"_s),
            app.path(u"Analisi_Cliniche.xls"_s),
        };
        QElapsedTimer took;
        took.start();
        soffice.start(m_soffice, args);
        QVERIFY2(soffice.waitForFinished(240'000), "LibreOffice did not finish converting");
        qInfo("LibreOffice converted both exports in %lld ms", took.elapsed());
        const QByteArray said = soffice.readAll();
        QVERIFY2(soffice.exitStatus() == QProcess::NormalExit && soffice.exitCode() == 0, said.constData());

        const QList<std::pair<QString, Table>> files{{u"Pazienti.csv"_s, patientGrid},
                                                     {u"Analisi_Cliniche.csv"_s, analysisGrid}};
        QStringList differences;
        for (const auto &[name, shown] : files) {
            const QByteArray csv = fileBytes(work.filePath(u"csv/"_s + name));
            QVERIFY2(!csv.isEmpty(), qPrintable(name + u" was not written: "_s + QString::fromUtf8(said)));
            const Table read = parseCsv(QString::fromUtf8(csv));
            QCOMPARE(read.size(), shown.size());
            for (qsizetype r = 0; r < shown.size(); ++r) {
                QCOMPARE(read[r].size(), shown[r].size());
                for (qsizetype c = 0; c < shown[r].size(); ++c)
                    if (read[r][c] != shown[r][c])
                        differences << u"%1 row %2 column %3: read \"%4\", the grid showed \"%5\""_s.arg(
                            name, QString::number(r), QString::number(c + 1), read[r][c], shown[r][c]);
            }
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u'\n')));
    }
};

QTEST_MAIN(TestExportsOpened)
#include "tst_exportsopened.moc"
