// Damaged data folders: every screen that reads a file, opened over random
// bytes, cut-off files, length bytes beyond their fields, a password that is
// no hexadecimal text, empty and huge lists, and texts the code page lacks.
// Each screen opens, or says what its own message says; none crashes, none
// hangs, and no stored name leads out of the attachments folder.
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/Allarmanti.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/ExpAnalisi.h"
#include "analyses/ui/ImportaPresc.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/ListaPresc.h"
#include "analyses/ui/MenuAnalisi.h"
#include "analyses/ui/StampaAnalisi.h"
#include "analyses/ui/TrovaAnalisi.h"
#include "app/ui/Avvio.h"
#include "app/ui/CambiaPassword.h"
#include "app/ui/Password.h"
#include "common/ui/FindInList.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/AllegaCartella.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/ExpClienti.h"
#include "patients/ui/Ricontatta.h"
#include "patients/ui/TrovaClienti.h"
#include "summary/ui/Grafico.h"
#include "summary/ui/MenuRiepLavoro.h"
#include "summary/ui/RiepLavoro.h"
#include "support/TestApp.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kCode = u"RSSNCC80A01H501U"_s;
const QString kEmptyArchive = u"L'archivio non contiene nessuna scheda."_s;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray randomBytes(QRandomGenerator &rng, qsizetype n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (char &c : b)
        c = char(rng.bounded(256));
    return b;
}

PatientRecord patient(int k, const QString &code)
{
    PatientRecord r;
    r.set(PatientRecord::Paziente, u"Paziente %1"_s.arg(k));
    r.set(PatientRecord::Recapito, u"06 555%1"_s.arg(k));
    r.set(PatientRecord::CodFisc, code);
    r.set(PatientRecord::Ricontatta, kYes);
    r.set(PatientRecord::File01, u"referto %1.pdf"_s.arg(k));
    return r;
}

AnalysisRecord analysis(int k, const QString &code)
{
    AnalysisRecord r;
    r.set(AnalysisRecord::Paziente, u"Rossi Niccolò"_s);
    r.set(AnalysisRecord::CodFisc, code);
    r.set(AnalysisRecord::NumRef, u"R%1"_s.arg(k));
    r.set(AnalysisRecord::DataRef, u"0%1/02/2024"_s.arg(k));
    r.set(AnalysisRecord::Data, u"0%1/01/2024"_s.arg(k));
    r.set(AnalysisRecord::Esame, u"Glicemia"_s);
    r.set(AnalysisRecord::Risultato, u"%1,5"_s.arg(90 + k));
    r.set(AnalysisRecord::Rife, u"70-110"_s);
    r.set(AnalysisRecord::Esito, u"NELLA NORMA"_s);
    r.set(AnalysisRecord::Allarme, kYes);
    return r;
}

// Every length byte of a record set beyond its field's capacity.
QByteArray overlong(QByteArray record, const RecordLayout &layout)
{
    for (int f = 0; f < layout.fieldCount(); ++f)
        record[layout.field(f).offset] = char(255);
    return record;
}

QString archiveName(const QString &code) { return u"Analisi_Cliniche/Paziente_CF_"_s + code + u".asl"_s; }

// A damaged folder: what it holds, and the fiscal code whose analyses the
// tour opens.
struct Damage {
    const char *name;
    QString code;
    bool readablePassword; // false: the stored value is no hexadecimal text
    bool noRecords;        // both archives hold no whole record
    std::function<void(TestApp &, const QString &code)> make;
};

QList<Damage> damages()
{
    return {
        {"random bytes", kCode, true, false,
         [](TestApp &app, const QString &code) {
             QRandomGenerator rng(20260101);
             writeFile(app.path(u"Pazienti.pro"_s), randomBytes(rng, PatientRecord::kSize * 7 / 2));
             writeFile(app.path(archiveName(code)), randomBytes(rng, AnalysisRecord::kSize * 13 / 3));
             writeFile(app.path(u"Esami_Frequenti.lst"_s), randomBytes(rng, 20000));
             writeFile(app.path(u"unins000.dll"_s), randomBytes(rng, 300));
         }},
        {"cut short", kCode, true, false,
         [](TestApp &app, const QString &code) {
             writeFile(app.path(u"Pazienti.pro"_s),
                       patient(1, code).bytes() + patient(2, code).bytes() + patient(3, code).bytes().left(1000));
             writeFile(app.path(archiveName(code)), analysis(1, code).bytes() + analysis(2, code).bytes().left(7));
             writeFile(app.path(u"Esami_Frequenti.lst"_s), "Glicemia                                  "
                                                          "        UM: mg/dl\r\nAzot");
             writeFile(app.path(u"unins000.dll"_s), "[Accesso]\r\nValore=4A3");
         }},
        {"length bytes beyond their fields", kCode, true, false,
         [](TestApp &app, const QString &code) {
             writeFile(app.path(u"Pazienti.pro"_s),
                       overlong(patient(1, code).bytes(), PatientRecord::recordLayout())
                           + overlong(patient(2, code).bytes(), PatientRecord::recordLayout()));
             writeFile(app.path(archiveName(code)),
                       overlong(analysis(1, code).bytes(), AnalysisRecord::recordLayout())
                           + overlong(analysis(2, code).bytes(), AnalysisRecord::recordLayout()));
         }},
        {"password not hexadecimal", kCode, false, false,
         [](TestApp &app, const QString &code) {
             writeFile(app.path(u"Pazienti.pro"_s), patient(1, code).bytes());
             writeFile(app.path(archiveName(code)), analysis(1, code).bytes());
             writeFile(app.path(u"unins000.dll"_s), "[Accesso]\r\nValore=4G-1 zz\r\n");
         }},
        {"empty files", kCode, true, true,
         [](TestApp &app, const QString &code) {
             for (const QString &name :
                  {u"Pazienti.pro"_s, archiveName(code), u"Esami_Frequenti.lst"_s, u"unins000.dll"_s})
                 writeFile(app.path(name), {});
         }},
        {"huge frequent exams list", kCode, true, false,
         [](TestApp &app, const QString &code) {
             writeFile(app.path(u"Pazienti.pro"_s), patient(1, code).bytes());
             writeFile(app.path(archiveName(code)), analysis(1, code).bytes());
             QByteArray list;
             list.reserve(50 << 20);
             for (int i = 0; list.size() < (50 << 20); ++i)
                 list += "Esame " + QByteArray::number(i).rightJustified(44, ' ')
                         + "  UM: mg/dl                      Rif. 70-110\r\n";
             writeFile(app.path(u"Esami_Frequenti.lst"_s), list);
         }},
        {"one huge line", kCode, true, true,
         [](TestApp &app, const QString &) {
             writeFile(app.path(u"Esami_Frequenti.lst"_s), QByteArray(4 << 20, 'x'));
         }},
        // The five bytes the code page leaves undefined, control characters,
        // and a fiscal code and file names that are no names at all.
        {"texts outside the code page", u"A/B\\C:D*E?F\"G<H|"_s, false, false,
         [](TestApp &app, const QString &code) {
             PatientRecord p = patient(1, code);
             p.bytes().replace(1, 8, "\x81\x8D\x8F\x90\x9D\x01\x7F\x00", 8);
             p.set(PatientRecord::File01, u"..\\..\\Pazienti.pro"_s);
             p.set(PatientRecord::File02, u"/etc/passwd"_s);
             p.set(PatientRecord::File03, u".."_s);
             writeFile(app.path(u"Pazienti.pro"_s), p.bytes());
             AnalysisRecord a = analysis(1, code);
             a.bytes().replace(112, 5, "\x81\x8D\x8F\x90\x9D", 5);
             writeFile(app.path(archiveName(u"A_B_C:D*E?F\"G<H|"_s)), a.bytes());
             const char list[] = "\x81\x8D\x8F\x90\x9D\x00\x1A\r\n\xFF\xFE\r\r\n\n";
             writeFile(app.path(u"Esami_Frequenti.lst"_s), QByteArray(list, sizeof list - 1));
             writeFile(app.path(u"unins000.dll"_s), "[Accesso]\r\nValore=\x81\x9D\r\n");
         }},
    };
}

// What a step may show: any of these texts, nothing else.
void expectOnly(TestApp &app, const char *step, const QStringList &allowed)
{
    for (const FakeMessages::Shown &s : app.messages->shown)
        QVERIFY2(allowed.contains(s.text), qPrintable(QString::fromLatin1(step) + u": "_s + s.text));
    app.messages->take();
}

} // namespace

class TestDamaged : public QObject {
    Q_OBJECT

    static TfrmClienti *patientCard(TestApp &app)
    {
        TfrmClienti *c = app.ctx->screens.frmClienti;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, c);
        activate(c);
        return c;
    }

private slots:
    void everyScreenOpens_data()
    {
        QTest::addColumn<int>("index");
        const QList<Damage> all = damages();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all[i].name) << i;
    }
    void everyScreenOpens()
    {
        QFETCH(int, index);
        const Damage damage = damages()[index];
        TestApp app;
        damage.make(app, damage.code);
        const QString attachments = QDir::toNativeSeparators(app.path(u"Documenti_Allegati"_s));
        const QString empty = FindInList::kEmptyList.toString();

        // The login and the password change.
        app.ctx->start();
        TfrmPassword *login = app.ctx->screens.frmPassword;
        activate(login);
        type(login->txtPassword, u"clinora"_s);
        click(login->cmdOK);
        const QString readError = u"Attenzione: si è verificato un errore durante la procedura di lettura della "
                                  u"password. Si consiglia di reinstallare il software."_s;
        expectOnly(app, "login", {damage.readablePassword ? u"Attenzione: password errata."_s : readError});
        app.ctx->switchTo(app.ctx->screens.frmAvvio, login);
        activate(login);
        click(login->btnCambiaPassword);
        TfrmCambiaPassword *change = app.ctx->screens.frmCambiaPassword;
        activate(change);
        type(change->txtPasswordOld, u"Łódź"_s);
        type(change->txtPasswordNew, u"Łódź"_s);
        type(change->txtConferma, u"Łódź"_s);
        click(change->cmdOK);
        expectOnly(app, "password change",
                   {u"Attenzione: vecchia password errata."_s,
                    u"Attenzione: si è verificato un errore durante la procedura di modifica della password. Si "
                    u"consiglia di reinstallare il software."_s});
        change->close();

        // The patient card: browsing, print, PDF, the lists and the export.
        TfrmClienti *card = patientCard(app);
        for (QWidget *b : {card->cmdUltimo, card->cmdIndietro, card->cmdPrimo, card->cmdAvanti})
            click(b);
        if (damage.noRecords)
            QCOMPARE(app.messages->take(), QStringList(4, kEmptyArchive));
        expectOnly(app, "patient card", {});
        click(card->cmdStampa);
        app.messages->answers.push_back(MsgAnswer::No);
        click(card->cmdPDF);
        expectOnly(app, "patient card PDF",
                   {u"L'esportazione della scheda in PDF è terminata con successo.\n\r\n\rSi vuole aprire il "
                    u"file?"_s});
        QVERIFY(QFile(app.path(u"Paziente.pdf"_s)).size() > 0);

        app.dialogs->next<TfrmTrovaClienti>([&](TfrmTrovaClienti &d) {
            click(d.btnCerca);
            d.close();
        });
        click(card->cmdTrova);
        app.dialogs->next<TfrmRicontatta>([&](TfrmRicontatta &d) {
            type(d.txtTrova, u"paz"_s);
            click(d.btnTrova);
            d.close();
        });
        click(card->cmdRicontatta);
        expectOnly(app, "patient lists", {empty});

        app.messages->answers = {MsgAnswer::Yes, MsgAnswer::No};
        app.dialogs->next<TfrmExpClienti>([&](TfrmExpClienti &d) {
            click(d.cmdEsporta);
            d.close();
        });
        click(card->cmdEsporta);
        QVERIFY(QFile(app.path(u"Pazienti.xls"_s)).size() > 0);
        app.messages->take();

        // Whatever a stored name says, "Apri" opens only files in the folder.
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            for (QPushButton *open : {d.btnApri01, d.btnApri02, d.btnApri03})
                if (open->isEnabled())
                    click(open);
            d.close();
        });
        click(card->cmdFile);
        for (const QString &opened : app.shell->opened) {
            const QString path = opened.mid(1, opened.size() - 2);
            QVERIFY2(QFileInfo(path).absolutePath() == QFileInfo(attachments).absoluteFilePath(),
                     qPrintable(opened));
        }
        expectOnly(app, "attachments", {});
        card->close();

        // The analyses of the patient: browsing, search, alarms, export, print.
        TfrmMenuAnalisi *menu = app.ctx->screens.frmMenuAnalisi;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, menu);
        activate(menu);
        menu->txtPaziente->setText(u"Rossi Niccolò"_s);
        menu->txtCodFisc->setText(damage.code);
        click(menu->btnApri);
        TfrmAnalisiCliniche *analyses = app.ctx->screens.frmAnalisiCliniche;
        QVERIFY(analyses->isVisible());
        activate(analyses);
        for (QWidget *b : {analyses->cmdUltimo, analyses->cmdIndietro, analyses->cmdPrimo, analyses->cmdAvanti})
            click(b);
        if (damage.noRecords)
            QCOMPARE(app.messages->take(), QStringList(4, kEmptyArchive));
        expectOnly(app, "analysis card", {});

        app.dialogs->next<TfrmTrovaAnalisi>([&](TfrmTrovaAnalisi &d) {
            click(d.btnCerca);
            d.close();
        });
        click(analyses->cmdTrova);
        app.dialogs->next<TfrmAllarmanti>([&](TfrmAllarmanti &d) {
            type(d.txtTrova, u"gli"_s);
            click(d.btnTrova);
            d.close();
        });
        click(analyses->cmdListino);
        app.dialogs->next<TfrmStampaAnalisi>([&](TfrmStampaAnalisi &d) {
            click(d.btnStampa);
            d.close();
        });
        click(analyses->cmdStampa);
        expectOnly(app, "analysis lists", {empty});

        app.messages->answers = {MsgAnswer::Yes, MsgAnswer::No};
        app.dialogs->next<TfrmExpAnalisi>([&](TfrmExpAnalisi &d) {
            click(d.cmdEsporta);
            d.close();
        });
        click(analyses->cmdEsporta);
        QVERIFY(QFile(app.path(u"Analisi_Cliniche.xls"_s)).size() > 0);
        app.messages->take();

        // The frequent exams: the import, then the editor, saved.
        app.dialogs->next<TfrmImportaPresc>([&](TfrmImportaPresc &d) {
            type(d.txtTrova, u"esa"_s);
            click(d.btnTrova);
            click(d.btnChiudi);
        });
        click(analyses->btnImpEsame);
        expectOnly(app, "import", {empty});
        analyses->close();
        app.ctx->switchTo(app.ctx->screens.frmAvvio, menu);
        activate(menu);
        qint64 listSize = QFile(app.path(u"Esami_Frequenti.lst"_s)).size();
        app.dialogs->next<TfrmListaPresc>([&](TfrmListaPresc &d) {
            listSize = d.lstRecords->count();
            click(d.btnChiudi);
        });
        click(menu->btnEsamiFrequenti);
        expectOnly(app, "frequent exams", {});
        menu->close();

        // The results summary of the year, and its chart.
        TfrmMenuRiepLavoro *criteria = app.ctx->screens.frmMenuRiepLavoro;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, criteria);
        activate(criteria);
        criteria->txtAnno->setText(u"2024"_s);
        criteria->txtCodFisc->setText(damage.code);
        criteria->txtGiornoInizio->setCurrentIndex(0);
        criteria->txtMeseInizio->setCurrentIndex(0);
        criteria->txtGiornoFine->setCurrentIndex(criteria->txtGiornoFine->count() - 1);
        criteria->txtMeseFine->setCurrentIndex(criteria->txtMeseFine->count() - 1);
        app.dialogs->next<TfrmRiepLavoro>([&](TfrmRiepLavoro &d) {
            app.dialogs->next<TfrmGrafico>([](TfrmGrafico &g) { g.close(); });
            click(d.btnGrafico);
            if (!app.dialogs->handlers.empty()) // no chart to show
                app.dialogs->handlers.clear();
            d.close();
        });
        click(criteria->btnVisualizza);
        expectOnly(app, "summary",
                   {u"Grafico non disponibile: il riepilogo non contiene nessuna voce."_s,
                    u"Grafico non disponibile: nessun risultato del riepilogo è espresso da un valore numerico."_s});
        for (const QString &name :
             {u"frmTrovaClienti"_s, u"frmRicontatta"_s, u"frmExpClienti"_s, u"frmAllegaCartella"_s,
              u"frmTrovaAnalisi"_s, u"frmAllarmanti"_s, u"frmStampaAnalisi"_s, u"frmExpAnalisi"_s,
              u"frmImportaPresc"_s, u"frmListaPresc"_s, u"frmRiepLavoro"_s})
            QVERIFY2(app.dialogs->opened.contains(name), qPrintable(name));
        qInfo("%s: every screen opened (%lld frequent exams)", damage.name, listSize);
    }
};

QTEST_MAIN(TestDamaged)
#include "tst_damaged.moc"
