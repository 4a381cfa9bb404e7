// The fiscal code and VAT number check dialogs, used as the doctor uses them.
#include "checks/ui/CodFisc.h"
#include "checks/ui/PartitaIVA.h"
#include "support/TestApp.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kCodFiscLength = u"Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici."_s;
const QString kVatLength = u"Attenzione: la partita IVA deve essere composta da 11 caratteri numerici."_s;
const QString kVatValid = u"Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"_s;
const QString kVatWrong = u"Attenzione: il numero di partita IVA digitato risulta ERRATO!\r\n\r\nNon è quindi possibile "
                          u"fornire informazioni relative all'Ufficio IVA che lo ha rilasciato."_s;

} // namespace

class TestCheckDialogs : public QObject {
    Q_OBJECT
private slots:
    void codFisc_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("staysOpen");
        const int info = int(MsgKind::Information), warning = int(MsgKind::Warning);
        QTest::newRow("valid, typed in lower case") << u"aaaaaa00a00a000i"_s << u"AAAAAA00A00A000I"_s << info
                                                    << u"Il codice fiscale digitato è VALIDO."_s << false;
        QTest::newRow("wrong check") << u"AAAAAA00A00A000H"_s << u"AAAAAA00A00A000H"_s << warning
                                     << u"Attenzione: il codice fiscale digitato è ERRATO."_s << false;
        // A valid code also says what it tells of its holder.
        QTest::newRow("outer blanks dropped") << u"  rssmra85t10a562s"_s << u"RSSMRA85T10A562S"_s << info
                                              << u"Il codice fiscale digitato è VALIDO.\n\r\n\rNato/a il "
                                                 u"10/12/1985 a San Giuliano Terme (PI)"_s
                                              << false;
        QTest::newRow("foreign-born woman") << u"BNCNGL70B41Z110B"_s << u"BNCNGL70B41Z110B"_s << info
                                            << u"Il codice fiscale digitato è VALIDO.\n\r\n\rNato/a il "
                                               u"01/02/1970 all'estero (Francia)"_s
                                            << false;
        QTest::newRow("15 characters") << u"AAAAAA00A00A000"_s << u"AAAAAA00A00A000"_s << warning << kCodFiscLength
                                       << true;
        QTest::newRow("empty") << QString() << QString() << warning << kCodFiscLength << true;
        // Outside 0-9 and A-Z nothing is looked up: 16 characters, but not alphanumeric.
        QTest::newRow("accented") << u"àaaaaa00a00a000i"_s << u"àAAAAA00A00A000I"_s << warning << kCodFiscLength
                                  << true;
        QTest::newRow("hyphen") << u"AAAAAA-0A00A000I"_s << u"AAAAAA-0A00A000I"_s << warning << kCodFiscLength
                                << true;
        QTest::newRow("17 typed") << u"AAAAAA00A00A000IZ"_s << u"AAAAAA00A00A000I"_s << info
                                  << u"Il codice fiscale digitato è VALIDO."_s << false;
        // Just outside A-Z and 0-9, where the check character would be the
        // one a wider range gives (odd positions: past the end of the table).
        for (const char c : {'[', '\\', ']', '^', '_', '`', '@', ':', '/'}) {
            const int asIfInRange = c >= '@' ? c - 'A' : c - '0';
            const QChar check = QChar(u'A' + ((8 + asIfInRange) % 26 + 26) % 26);
            const QString even = u"A%1AAAA00A00A000%2"_s.arg(QString(QLatin1Char(c)), QString(check));
            const QString odd = u"%1AAAAA00A00A000I"_s.arg(QLatin1Char(c));
            QTest::addRow("%c even", c) << even << even << warning << kCodFiscLength << true;
            QTest::addRow("%c odd", c) << odd << odd << warning << kCodFiscLength << true;
        }
    }
    void codFisc()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, kind);
        QFETCH(QString, message);
        QFETCH(bool, staysOpen);
        TestApp app;
        TfrmCodFisc d(*app.ctx);
        activate(&d);
        QCOMPARE(focused(), d.txtCodFisc);
        type(d.txtCodFisc, typed);
        QCOMPARE(d.txtCodFisc->text(), shown);
        pressEnter(d.txtCodFisc); // to "Controlla", without checking
        QCOMPARE(focused(), d.btnControlla);
        QVERIFY(app.messages->shown.isEmpty());
        click(d.btnControlla);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(int(app.messages->shown[0].kind), kind);
        QCOMPARE(app.messages->take(), QStringList{message});
        QCOMPARE(d.isVisible(), staysOpen);
        if (staysOpen)
            QCOMPARE(focused(), d.txtCodFisc);
    }

    void partitaIva_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("staysOpen");
        const int info = int(MsgKind::Information), warning = int(MsgKind::Warning);
        const auto office = [](const QString &name) {
            return QString(kVatValid + u"E' stato rilasciato dall'Ufficio IVA del Comune di "_s + name + u"."_s);
        };
        QTest::newRow("Torino") << u"12345670017"_s << info << office(u"Torino"_s) << false;
        QTest::newRow("wrong digit") << u"12345670018"_s << warning << kVatWrong << false;
        QTest::newRow("office 120") << u"00000001206"_s << info << office(u"Bologna 2"_s) << false;
        QTest::newRow("office 121") << u"00000001214"_s << info << office(u"Napoli 2"_s) << false;
        QTest::newRow("Forlì") << u"00000000406"_s << info << office(u"Forl\u00EC"_s) << false;
        // Valid, but no office has code 000: say so instead of naming none.
        QTest::newRow("unknown office") << u"00000010009"_s << info
                                        << QString(kVatValid + u"Non è però noto l'Ufficio IVA che lo ha rilasciato."_s)
                                        << false;
        // Put there by the card or pasted: not filtered, so judged ERRATO.
        QTest::newRow("letter among 11") << u"1234567001a"_s << warning << kVatWrong << false;
        QTest::newRow("10 digits") << u"1234567001"_s << warning << kVatLength << true;
        QTest::newRow("empty") << QString() << warning << kVatLength << true;
        // Pasted: just outside 0-9, where a wider range would find the check right.
        QTest::newRow(": first") << u":0000000000"_s << warning << kVatWrong << false;
        QTest::newRow(": doubled") << u"0:000000008"_s << warning << kVatWrong << false;
        QTest::newRow("/ first") << u"/0100000000"_s << warning << kVatWrong << false;
    }
    void partitaIva()
    {
        QFETCH(QString, number);
        QFETCH(int, kind);
        QFETCH(QString, message);
        QFETCH(bool, staysOpen);
        TestApp app;
        TfrmPartitaIva d(*app.ctx);
        d.txtPartitaIva->setText(number);
        activate(&d);
        QCOMPARE(focused(), d.txtPartitaIva);
        click(d.btnControlla);
        QCOMPARE(app.messages->shown.size(), 1);
        QCOMPARE(int(app.messages->shown[0].kind), kind);
        QCOMPARE(app.messages->take(), QStringList{message});
        QCOMPARE(d.isVisible(), staysOpen);
        if (staysOpen)
            QCOMPARE(focused(), d.txtPartitaIva);
    }

    void typedVatNumber()
    {
        TestApp app;
        TfrmPartitaIva d(*app.ctx);
        activate(&d);
        // Letters and punctuation never appear, those next to the digits
        // neither; 11 at most.
        type(d.txtPartitaIva, u"12a.345-67 :/0017999"_s);
        QCOMPARE(d.txtPartitaIva->text(), u"12345670017"_s);
        pressEnter(d.txtPartitaIva);
        QCOMPARE(focused(), d.btnControlla);
        pressEnter(d.btnControlla); // the focused button answers Enter
        QCOMPARE(app.messages->take().size(), 1);
        QVERIFY(!d.isVisible());
    }

    void closeChecksNothing()
    {
        TestApp app;
        TfrmCodFisc cf(*app.ctx);
        activate(&cf);
        QCOMPARE(cf.txtCodFisc->maxLength(), 16);
        click(cf.btnChiudi);
        QVERIFY(!cf.isVisible());
        TfrmPartitaIva vat(*app.ctx);
        activate(&vat);
        QCOMPARE(vat.txtPartitaIva->maxLength(), 11);
        click(vat.btnChiudi);
        QVERIFY(!vat.isVisible());
        QVERIFY(app.messages->shown.isEmpty());
        QCOMPARE(cf.windowTitle(), u" Controllo codice fiscale"_s);
        QCOMPARE(vat.windowTitle(), u" Controllo partita IVA"_s);
        QCOMPARE(cf.size(), QSize(478, 254));
        QCOMPARE(vat.size(), QSize(480, 254));
    }
};

QTEST_MAIN(TestCheckDialogs)
#include "tst_checkdialogs.moc"
