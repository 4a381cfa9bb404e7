// The spreadsheet exports: the grid model, the HTML-for-Excel document byte
// for byte, its safe writing, and the grids made from the two archives.
#include "analyses/AnalysisExport.h"
#include "common/ExcelHtml.h"
#include "common/FileIo.h"
#include "common/RecordScan.h"
#include "common/TextGrid.h"
#include "patients/PatientExport.h"
#include "support/FileTools.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

// How many files this process holds open, where the system tells (else 0).
qsizetype openHandles()
{
#if defined(Q_OS_LINUX)
    const QDir::Filters all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    return QDir(u"/proc/self/fd"_s).entryList(all).size();
#else
    return 0;
#endif
}

// Lets the first `bytes` bytes of the writes through, then the power goes.
class CutWrites : public io::FaultHook {
public:
    explicit CutWrites(qint64 bytes) : m_left(bytes) { io::setFaultHook(this); }
    ~CutWrites() override { io::setFaultHook(nullptr); }
    bool shouldFail(io::Op, const QString &) override { return false; }
    qint64 bytesBeforeCut(const QString &, qint64 size) override
    {
        const qint64 allowed = std::min(size, m_left);
        m_left -= allowed;
        return allowed;
    }

private:
    qint64 m_left;
};

QList<TextGridModel::Column> threeColumns()
{
    return {{u"N."_s, 60, false}, {u"Nome"_s, 200, true}, {u"Nota"_s, 300, false}};
}

TextGridModel::Rows someRows()
{
    TextGridModel::Rows rows(3);
    rows.append(u"1");
    rows.endCell();
    rows.append(u"Rossi ");
    rows.appendCp1252("Niccol\xF2");
    rows.endCell();
    rows.appendCp1252("\x80 5");
    rows.endRow();
    rows.append(u"2");
    rows.endRow(); // the other cells empty
    rows.appendEmptyRows(1);
    return rows;
}

// The small grid of the golden file, written by hand from the format.
const QList<ExcelColumn> kGoldenColumns{{u"Paziente"_s, 250}, {u"Note & altro"_s, 400}};
const QStringList kGoldenCells{u"  Rossi Niccolò \t"_s, u"a<b"_s, QString(),
                               u" <b>Sì</b> € 5 \u03A9 \U0001F600 "_s};

QStringView goldenCell(qsizetype row, int column) { return kGoldenCells[row * 2 + column]; }

QByteArray golden()
{
    const QByteArray bytes = fileBytes(QFINDTESTDATA("core/golden/envelope.xls"));
    if (bytes.isEmpty())
        qFatal("golden/envelope.xls is missing");
    return bytes;
}

QStringList rowCells(const TextGridModel &grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid.columnCount(); ++c)
        cells << grid.cell(row, c).toString();
    return cells;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    // ---- The grid model ------------------------------------------------------------------------

    void gridHoldsRowsAndEditsCells()
    {
        TextGridModel grid(threeColumns());
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.setRows(someRows());
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.columnCount(), 3);
        QCOMPARE(rowCells(grid, 0), (QStringList{u"1"_s, u"Rossi Niccolò"_s, u"€ 5"_s}));
        QCOMPARE(rowCells(grid, 1), (QStringList{u"2"_s, QString(), QString()}));
        QCOMPARE(rowCells(grid, 2), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(grid.headerData(1, Qt::Horizontal).toString(), u"Nome"_s);

        // Only the editable column takes typing; its neighbours keep their text.
        QVERIFY(!(grid.flags(grid.index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(grid.flags(grid.index(0, 1)) & Qt::ItemIsEditable);
        QVERIFY(!(grid.flags(grid.index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(!grid.setData(grid.index(0, 2), u"altro"_s));
        QVERIFY(!grid.setData(grid.index(0, 0), u"9"_s));
        QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
        QVERIFY(grid.setData(grid.index(0, 1), u"Bianchi Anna Maria"_s));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(rowCells(grid, 0), (QStringList{u"1"_s, u"Bianchi Anna Maria"_s, u"€ 5"_s}));
        QVERIFY(grid.setData(grid.index(0, 1), QString()));
        QCOMPARE(rowCells(grid, 0), (QStringList{u"1"_s, QString(), u"€ 5"_s}));
        QVERIFY(grid.setData(grid.index(2, 1), u"  scritto  "_s));
        QCOMPARE(grid.data(grid.index(2, 1)).toString(), u"  scritto  "_s);
        QCOMPARE(rowCells(grid, 1), (QStringList{u"2"_s, QString(), QString()}));

        grid.setRows(TextGridModel::Rows(3));
        QCOMPARE(grid.rowCount(), 0);
    }

    // ---- The envelope ----------------------------------------------------------------------------

    void envelopeMatchesTheGoldenFile()
    {
        const QByteArray doc = ExcelHtmlDocument(u"Archivio Pazienti", kGoldenColumns, 2, goldenCell);
        QCOMPARE(doc, golden());
        QVERIFY(!doc.contains('\n') && !doc.contains('\r'));
        QVERIFY(!doc.startsWith("\xEF\xBB\xBF"));
        QVERIFY(doc.contains("width=400>Note &amp; altro</td>"));
        QVERIFY(doc.contains("S\xEC"));

        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.xls"_s);
        QVERIFY(ExcelHtmlEnvelope(path, u"Archivio Pazienti", kGoldenColumns, 2, goldenCell));
        QCOMPARE(fileBytes(path), golden());
    }

    void envelopeOfNoRowsAndLineBreaksInValues()
    {
        const QByteArray none = ExcelHtmlDocument(u"S", {{u"A"_s, 1}}, 0, goldenCell);
        QVERIFY(none.endsWith("<table x:str><tr><td style=\"text-align: left; font-weight: bold;\" width=1>A</td>"
                              "</tr></table></body></html>"));
        // A value's own line breaks are the only ones in the file.
        const QString value = u"riga uno\r\nriga due"_s;
        const QByteArray one =
            ExcelHtmlDocument(u"S", {{u"A"_s, 1}}, 1, [&](qsizetype, int) { return QStringView(value); });
        QVERIFY(one.contains("<td style=\"text-align: left;\" sdnum=\"1040;0;@\">riga uno\r\nriga due</td>"));
        QCOMPARE(one.count('\n'), 1);
    }

    // Every character as one byte of the code page, or as a reference to it.
    void valueCharacters_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("markup") << u"a&b<c>d"_s << QByteArray("a&amp;b&lt;c&gt;d");
        QTest::newRow("Latin-1") << u"\u00E0\u00FF\u00A0x"_s << QByteArray("\xE0\xFF\xA0x");
        QTest::newRow("the code page's own 80-9F") << u"\u20AC\u203A\u0178"_s << QByteArray("\x80\x9B\x9F");
        QTest::newRow("a byte the code page leaves free") << u"\u0081"_s << QByteArray("\x81");
        QTest::newRow("a control it has no byte for") << u"\u0080"_s << QByteArray("&#128;");
        QTest::newRow("outside the code page") << u"\u03A9\U0001F600"_s << QByteArray("&#937;&#128512;");
        QTest::newRow("a lone surrogate") << QString(QChar(0xD800)) << QByteArray("&#55296;");
        QTest::newRow("a long plain text") << QString(3000, u'z') << QByteArray(3000, 'z');
        QTest::newRow("markup after a plain run") << u"abcdefgh<i>"_s << QByteArray("abcdefgh&lt;i&gt;");
        QTest::newRow("an accent after a plain run") << u"abcdefg\u00E0"_s << QByteArray("abcdefg\xE0");
    }

    void valueCharacters()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, written);
        const QByteArray doc =
            ExcelHtmlDocument(u"S", {{u"A"_s, 1}}, 1, [&](qsizetype, int) { return QStringView(value); });
        const QByteArray tail =
            "<tr><td style=\"text-align: left;\" sdnum=\"1040;0;@\">" + written + "</td></tr></table></body></html>";
        QVERIFY(doc.endsWith(tail));
    }

    void aLargeDocumentIsWrittenWhole()
    {
        // Several of the writer's blocks of a megabyte, and more than one step
        // of data sent on to the disk; the second export replaces a large file,
        // whose space is given back after the export returns.
        QTemporaryDir dir;
        const QString path = dir.filePath(u"grande.xls"_s);
        const qsizetype handles = openHandles();
        for (const QString &value : {QString(300, u'x'), QString(310, u'y')}) {
            const auto cell = [&](qsizetype row, int) { return row == 2500 ? u"a<b"_s : value; };
            QVERIFY(ExcelHtmlEnvelope(path, u"S", {{u"A"_s, 1}, {u"B"_s, 2}}, 4000, cell));
            QCOMPARE(fileBytes(path), ExcelHtmlDocument(u"S", {{u"A"_s, 1}, {u"B"_s, 2}}, 4000, cell));
            QVERIFY(QFileInfo(path).size() > 2 * 1024 * 1024);
        }
        io::finishReleases();
        QCOMPARE(openHandles(), handles); // the replaced file is let go
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"grande.xls"_s});
    }

    // A failed export leaves the previous file as it was, and no stray file.
    void failedWriteKeepsThePreviousFile_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<qint64>("cutAfter"); // -1: no cut
        QTest::newRow("open") << int(io::Op::Open) << qint64(-1);
        QTest::newRow("write") << int(io::Op::Write) << qint64(-1);
        QTest::newRow("replace") << int(io::Op::Rename) << qint64(-1);
        QTest::newRow("power cut half-way") << -1 << qint64(500);
    }

    void failedWriteKeepsThePreviousFile()
    {
        QFETCH(int, op);
        QFETCH(qint64, cutAfter);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.xls"_s);
        writeFile(path, "il file di prima");
        bool written = true;
        if (cutAfter >= 0) {
            CutWrites cut(cutAfter);
            written = ExcelHtmlEnvelope(path, u"Archivio Pazienti", kGoldenColumns, 2, goldenCell);
        } else {
            FailOp fail{io::Op(op)};
            written = ExcelHtmlEnvelope(path, u"Archivio Pazienti", kGoldenColumns, 2, goldenCell);
        }
        QVERIFY(!written);
        QCOMPARE(fileBytes(path), QByteArray("il file di prima"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Pazienti.xls"_s});
        // Once the disk is well again the export replaces it.
        QVERIFY(ExcelHtmlEnvelope(path, u"Archivio Pazienti", kGoldenColumns, 2, goldenCell));
        QCOMPARE(fileBytes(path), golden());
    }

    void aFileThatCannotBeReplacedFails()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.xls"_s);
        writeFile(path, "aperto altrove");
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        if (QFileInfo(path).isWritable())
            QSKIP("running with rights that ignore file permissions");
        QVERIFY(!ExcelHtmlEnvelope(path, u"Archivio Pazienti", kGoldenColumns, 2, goldenCell));
        QCOMPARE(fileBytes(path), QByteArray("aperto altrove"));
    }

    // ---- The grids of the two archives -------------------------------------------------------

    void patientGrid()
    {
        QCOMPARE(patientGridColumns().size(), 26);
        QCOMPARE(patientExportColumns().size(), 25);
        // The columns the grid lets the user type in.
        QList<int> editable;
        for (int c = 0; c < 26; ++c)
            if (patientGridColumns()[c].editable)
                editable << c;
        QCOMPARE(editable, (QList<int>{6, 14, 16, 17, 18, 19, 21, 24, 25}));

        using F = PatientRecord::Field;
        PatientRecord full;
        for (int f = 0; f < PatientRecord::FieldCount; ++f)
            full.set(F(f), QString::fromLatin1(PatientRecord::recordLayout().field(f).name).left(
                               PatientRecord::recordLayout().field(f).capacity));
        full.set(F::Paziente, u" Rossi Niccolò "_s);
        PatientRecord bare;
        bare.set(F::Paziente, u"Bianchi"_s);
        bare.set(F::ComuneNasc, u"Roma"_s);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.pro"_s);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(full.bytes());
            f.write(bare.bytes());
        }
        TextGridModel grid(patientGridColumns());
        IoResult result;
        grid.setRows(readPatientGrid(path, &result));
        QVERIFY(result.ok());
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(rowCells(grid, 0),
                 (QStringList{u"1"_s, u"Rossi Niccolò"_s, u"DataNasc"_s, u"ComuneNasc Pr"_s, u"Recapito"_s,
                              u"IndirizzoRes"_s, u"ComuneRes Pr"_s, u"Professione"_s, u"TelCasa"_s, u"TelUff"_s,
                              u"TelCel"_s, u"Fax"_s, u"Email"_s, u"CodFisc"_s, u"PartitaIva"_s,
                              u"Tessera - Gruppo: Gruppo"_s, u"ASL"_s, u"Vaccinazioni"_s, u"Patologie"_s,
                              u"Allergie"_s, u"Farmaci"_s, u"Interventi"_s, u"Protesi"_s, u"Handicap"_s,
                              u"Questioni"_s, u"Note"_s}));
        // Missing provinces leave a trailing blank; no card number, a lone " - Gruppo: ".
        QCOMPARE(grid.cell(1, 3), u"Roma "_s);
        QCOMPARE(grid.cell(1, 6), u" "_s);
        QCOMPARE(grid.cell(1, 15), u" - Gruppo: "_s);

        // The export trims each value: "Roma", "" and "- Gruppo:".
        const QByteArray doc = ExcelHtmlDocument(u"Archivio Pazienti", patientExportColumns(), grid.rowCount(),
                                                 [&](qsizetype r, int c) { return grid.cell(r, c + 1); });
        const QByteArray td = "<td style=\"text-align: left;\" sdnum=\"1040;0;@\">";
        const auto has = [&](const QByteArray &piece) { return doc.contains(piece); };
        QVERIFY(has(td + "Bianchi</td>" + td + "</td>" + td + "Roma</td>"));
        QVERIFY(has(td + "- Gruppo:</td>"));
        QVERIFY(has(td + "Rossi Niccol\xF2</td>"));
        QCOMPARE(doc.count("<tr>"), 3);
        QCOMPARE(doc.count(td), 2 * 25);
    }

    void emptyOrUnreadableArchivesGiveTenEmptyRows()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pazienti.pro"_s);
        TextGridModel grid(patientGridColumns());
        grid.setRows(readPatientGrid(path));
        QCOMPARE(grid.rowCount(), 10);
        QVERIFY(QFile::exists(path)); // created empty
        for (int c = 0; c < 26; ++c)
            QVERIFY(grid.cell(9, c).isEmpty());

        IoResult result;
        {
            FailOp fail(io::Op::Open);
            grid.setRows(readPatientGrid(path, &result));
        }
        QVERIFY(!result.ok());
        QCOMPARE(grid.rowCount(), 10);
    }

    void aReadFailureLeavesTheRestEmpty()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"analisi.asl"_s);
        AnalysisRecord r;
        r.set(AnalysisRecord::NumRef, u"R1"_s);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (int i = 0; i < 3; ++i)
                f.write(r.bytes());
        }
        class SecondReadFails : public io::FaultHook {
        public:
            bool shouldFail(io::Op op, const QString &) override { return op == io::Op::Read && ++reads == 2; }
            int reads = 0;
        } hook;
        io::setFaultHook(&hook);
        IoResult result;
        TextGridModel grid(analysisGridColumns());
        grid.setRows(readAnalysisGrid(path, &result));
        io::setFaultHook(nullptr);
        QVERIFY(!result.ok());
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.cell(0, 1), u"R1"_s);
        QVERIFY(grid.cell(1, 0).isEmpty() && grid.cell(2, 1).isEmpty());
    }

    void analysisGrid()
    {
        QCOMPARE(analysisGridColumns().size(), 13);
        QCOMPARE(analysisExportColumns().size(), 12);
        QList<int> readOnly;
        for (int c = 0; c < 13; ++c)
            if (!analysisGridColumns()[c].editable)
                readOnly << c;
        QCOMPARE(readOnly, (QList<int>{0, 3, 4, 5, 6}));

        using F = AnalysisRecord::Field;
        AnalysisRecord r;
        const QList<std::pair<F, QString>> values{
            {F::Paziente, u"Rossi"_s},       {F::CodFisc, u"RSSMRA80A01H501U"_s}, {F::NumRef, u"2024/1"_s},
            {F::DataRef, u"02/01/2024"_s},   {F::Data, u"01/01/2024"_s},          {F::Esame, u"Glicemia"_s},
            {F::Risultato, u"132"_s},        {F::UM, u"mg/dl"_s},                 {F::Rife, u"70 - 110"_s},
            {F::Esito, u"FUORI NORMA"_s},    {F::Commento, u"Da ripetere"_s},     {F::Firmatario, u"Dott. Verdi"_s},
            {F::Note, u"A digiuno"_s},       {F::Allarme, u"Sì"_s},               {F::File01, u"referto.pdf"_s},
            {F::Desc01, u"Referto"_s},
        };
        for (const auto &[f, v] : values)
            r.set(f, v);
        TextGridModel::Rows rows(13);
        appendAnalysisRow(rows, r, 7);
        TextGridModel grid(analysisGridColumns());
        grid.setRows(std::move(rows));
        QCOMPARE(rowCells(grid, 0),
                 (QStringList{u"7"_s, u"2024/1"_s, u"02/01/2024"_s, u"01/01/2024"_s, u"Glicemia"_s, u"132"_s,
                              u"mg/dl"_s, u"70 - 110"_s, u"FUORI NORMA"_s, u"Da ripetere"_s, u"Dott. Verdi"_s,
                              u"A digiuno"_s, u"Sì"_s}));
    }

    // An archive large enough to be read in two halves fills the grid as
    // one read from end to end would: every record in its row, numbered.
    void largeArchiveGridAsOneRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"large-grid.asl"_s);
        const int count = int(kScanSplitBytes / AnalysisRecord::kSize) + 7;
        QByteArray all;
        AnalysisRecord r;
        for (int k = 1; k <= count; ++k) {
            r.set(AnalysisRecord::NumRef, u"R%1"_s.arg(k));
            r.set(AnalysisRecord::Esame, k % 2 ? u"Glicemia"_s : u"Azotemia è alta"_s);
            all += r.bytes();
        }
        writeFile(path, all);
        IoResult result;
        TextGridModel grid(analysisGridColumns());
        grid.setRows(readAnalysisGrid(path, &result));
        QVERIFY(result.ok());
        QCOMPARE(grid.rowCount(), count);
        for (int k = 1; k <= count; ++k) {
            QCOMPARE(grid.cell(k - 1, 0), QString::number(k));
            QCOMPARE(grid.cell(k - 1, 1), u"R%1"_s.arg(k));
            QCOMPARE(grid.cell(k - 1, 4), k % 2 ? u"Glicemia"_s : u"Azotemia è alta"_s);
        }
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
