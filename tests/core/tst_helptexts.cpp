#include "app/PasswordStore.h"
#include "common/HelpTexts.h"
#include "common/Text.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using namespace clinora;

namespace {

// Index of the first character a printed page cannot carry (outside
// Windows-1252, or a control character), or -1.
qsizetype firstUnprintable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const QString one(text[i]);
        if (c < 0x20 || (c >= 0x80 && c < 0xA0) || text::fromCp1252(text::toCp1252(one)) != one)
            return i;
    }
    return -1;
}

QString describeUnprintable(const QString &text, qsizetype at)
{
    return u"U+%1 in: %2"_s.arg(uint(text[at].unicode()), 4, 16, QChar(u'0')).arg(text);
}

} // namespace

class TestHelpTexts : public QObject {
    Q_OBJECT
private slots:
    void topics_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("minParagraphs");
        QTest::addColumn<int>("maxParagraphs");
        using help::TopicId;
        constexpr int any = std::numeric_limits<int>::max();
        QTest::newRow("overview") << int(TopicId::Overview) //
                                  << u"Uno sguardo a Clinora."_s << 20 << any;
        QTest::newRow("patients") << int(TopicId::Patients) //
                                  << u"Applicazione Anagrafica Pazienti."_s << 8 << 8;
        QTest::newRow("analyses menu") << int(TopicId::AnalysesMenu)
                                       << u"Applicazione Analisi Cliniche."_s << 1 << any;
        QTest::newRow("analysis card") << int(TopicId::AnalysisCard)
                                       << u"Applicazione Analisi Cliniche."_s << 1 << any;
        QTest::newRow("summary") << int(TopicId::Summary)
                                 << u"Applicazione Riepilogo Risultati Esami."_s << 1 << any;
        QTest::newRow("patient export")
            << int(TopicId::PatientExport)
            << u"Esportazione archivio pazienti in Microsoft Excel."_s << 1 << any;
        QTest::newRow("analyses export")
            << int(TopicId::AnalysesExport)
            << u"Esportazione archivio analisi cliniche in Microsoft Excel."_s << 1 << any;
        QTest::newRow("backup") << int(TopicId::Backup) << u"Backup e ripristino dei dati."_s << 1 << any;
        QTest::newRow("report import") << int(TopicId::ReportImport)
                                       << u"Importazione dei referti di laboratorio."_s << 1 << any;
        QTest::newRow("privacy") << int(TopicId::Privacy) << u"Riservatezza dei dati e blocco dello schermo."_s
                                 << 1 << any;
    }
    void topics()
    {
        QFETCH(int, id);
        QFETCH(QString, title);
        QFETCH(int, minParagraphs);
        QFETCH(int, maxParagraphs);

        const help::Topic t = help::topic(help::TopicId(id));
        QCOMPARE(t.title, title);
        QVERIFY(!t.text.isEmpty());
        if (const qsizetype bad = firstUnprintable(t.title); bad >= 0)
            QFAIL(qPrintable(describeUnprintable(t.title, bad)));

        // Splitting on the break must give only real paragraphs: a leading,
        // trailing or doubled break leaves an empty piece, a lone CR or LF
        // stays inside one and is caught as a control character.
        const QStringList paragraphs =
            t.text.split(QStringView(help::kParagraphBreak).toString());
        QVERIFY2(paragraphs.size() >= minParagraphs && paragraphs.size() <= maxParagraphs,
                 qPrintable(u"%1 paragraphs"_s.arg(paragraphs.size())));
        for (const QString &p : paragraphs) {
            QVERIFY2(!text::isBlank(p), "empty paragraph");
            QCOMPARE(text::trimmed(p), p);
            if (const qsizetype bad = firstUnprintable(p); bad >= 0)
                QFAIL(qPrintable(describeUnprintable(p, bad)));
        }
    }

    void overviewTellsTheInitialPassword()
    {
        const QString overview = help::topic(help::TopicId::Overview).text;
        QVERIFY(overview.contains(u"CLINORA"));
        QVERIFY(overview.contains(QStringView(kInitialPassword)));
        // A password file from elsewhere locks everyone out: the overview
        // says to keep the program's own and how to put it back.
        QVERIFY(overview.contains(u"unins000.dll proveniente da un'altra installazione"_s));
        QVERIFY(overview.contains(u"rimettere nella cartella il file unins000.dll originale di Clinora"_s));
    }

    void bothAnalysesScreensShareOneText()
    {
        const help::Topic menu = help::topic(help::TopicId::AnalysesMenu);
        const help::Topic card = help::topic(help::TopicId::AnalysisCard);
        QCOMPARE(card.title, menu.title);
        QCOMPARE(card.text, menu.text);
    }

    void guideHoldsEveryTextOnce()
    {
        using help::TopicId;
        const QList<TopicId> expected = {TopicId::Overview,      TopicId::Patients,
                                         TopicId::AnalysesMenu,  TopicId::Summary,
                                         TopicId::PatientExport, TopicId::AnalysesExport,
                                         TopicId::Backup,        TopicId::ReportImport,
                                         TopicId::Privacy};
        QVERIFY(help::allTopics() == expected);
    }
};

QTEST_APPLESS_MAIN(TestHelpTexts)
#include "tst_helptexts.moc"
