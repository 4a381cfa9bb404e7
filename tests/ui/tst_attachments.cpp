// The attachments dialog and the patient folder, opened from the cards and
// driven as the user does: choosing files, answering the overwrite question,
// clearing, opening, confirming; checked through the files on disk, the
// cards' hidden labels and what the shell was asked to open.
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/Avvio.h"
#include "common/FileIo.h"
#include "common/Messages.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/AllegaCartella.h"
#include "patients/ui/Cartella.h"
#include "patients/ui/Clienti.h"
#include "support/FileTools.h"
#include "support/TestApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <optional>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kOverwrite = u"Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso "
                           u"nome.\r\n\r\nSi vuole sovrascrivere il file esistente?"_s;

// What the shell receives for a file or folder: its full path, in quotes.
QString quoted(const QString &path) { return u"\""_s + QDir::toNativeSeparators(path) + u"\""_s; }

// One of the two cards that open the dialog.
struct Card {
    QWidget *screen;
    QWidget *cmdFile;
    AttachmentLabels labels;
};

} // namespace

class TestAttachments : public QObject {
    Q_OBJECT

    // Files the user picks from elsewhere on the disk.
    QTemporaryDir m_desk;

    QString onDesk(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_desk.filePath(name);
        writeFile(path, bytes);
        return path;
    }

    static QString attached(TestApp &app, const QString &name)
    {
        return app.path(u"Documenti_Allegati/"_s + name);
    }

    static TfrmClienti *patientCard(TestApp &app)
    {
        TfrmClienti *c = app.ctx->screens.frmClienti;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, c);
        activate(c);
        return c;
    }

    static TfrmAnalisiCliniche *analysisCard(TestApp &app)
    {
        TfrmMenuAnalisi *m = app.ctx->screens.frmMenuAnalisi;
        app.ctx->switchTo(app.ctx->screens.frmAvvio, m);
        m->txtPaziente->setText(u"Rossi Niccolò"_s);
        m->txtCodFisc->setText(u"RSSNCC80A01H501U"_s);
        click(m->btnApri);
        TfrmAnalisiCliniche *a = app.ctx->screens.frmAnalisiCliniche;
        activate(a);
        return a;
    }

    static Card card(TestApp &app, const QString &which)
    {
        if (which == u"clienti"_s) {
            TfrmClienti *c = patientCard(app);
            return {c, c->cmdFile,
                    {c->lblFile01, c->lblDesc01, c->lblFile02, c->lblDesc02, c->lblFile03, c->lblDesc03}};
        }
        TfrmAnalisiCliniche *a = analysisCard(app);
        return {a, a->cmdFile, {a->lblFile01, a->lblDesc01, a->lblFile02, a->lblDesc02, a->lblFile03, a->lblDesc03}};
    }

    static QStringList texts(const AttachmentLabels &labels)
    {
        QStringList t;
        for (QLabel *l : labels)
            t << l->text();
        return t;
    }

    // The patient card showing stored record `n` of an archive of `n`.
    static TfrmClienti *storedPatient(TestApp &app, int n)
    {
        PatientArchive archive;
        if (!archive.open(app.path(u"Pazienti.pro"_s)))
            return nullptr;
        for (int k = 1; k <= n; ++k) {
            PatientRecord r;
            r.set(PatientRecord::Paziente, u"PAZIENTE %1"_s.arg(k));
            if (!archive.append(r))
                return nullptr;
        }
        if (!archive.close())
            return nullptr;
        TfrmClienti *c = patientCard(app);
        click(c->cmdUltimo);
        return c;
    }

private slots:
    void layoutNamesAndTabOrder()
    {
        TestApp app;
        TfrmAllegaCartella d(*app.ctx, nullptr);
        activate(&d);
        QCOMPARE(d.size(), QSize(634, 534));
        QCOMPARE(d.windowTitle(), u" Allega file"_s);
        QVERIFY(!(d.windowFlags() & Qt::WindowCloseButtonHint));
        const QLineEdit *files[] = {d.txtFile01, d.txtFile02, d.txtFile03};
        const QLineEdit *descs[] = {d.txtDesc01, d.txtDesc02, d.txtDesc03};
        const QPushButton *apri[] = {d.btnApri01, d.btnApri02, d.btnApri03};
        const QStringList ordinals = {u"1°"_s, u"2°"_s, u"3°"_s};
        for (int i = 0; i < 3; ++i) {
            const QString n = u"0"_s + QString::number(i + 1);
            QCOMPARE(files[i]->objectName(), u"txtFile"_s + n);
            QCOMPARE(descs[i]->objectName(), u"txtDesc"_s + n);
            QVERIFY(files[i]->isReadOnly());
            QVERIFY(!descs[i]->isReadOnly());
            QCOMPARE(descs[i]->maxLength(), 250);
            QCOMPARE(files[i]->accessibleName(), u"Nome "_s + ordinals[i] + u" file allegato:"_s);
            QCOMPARE(descs[i]->accessibleName(), u"Descrizione "_s + ordinals[i] + u" file allegato:"_s);
            QVERIFY(!apri[i]->isEnabled());
            QCOMPARE(apri[i]->text(), u"Apri"_s);
        }
        QCOMPARE(d.btnSfoglia02->text(), u"Sfoglia..."_s);
        QCOMPARE(d.btnSfoglia02->objectName(), u"btnSfoglia02"_s);
        QCOMPARE(d.imgCancella03->objectName(), u"imgCancella03"_s);
        QVERIFY(!d.imgCancella03->accessibleName().isEmpty());
        QCOMPARE(d.btnApplica->text(), u"Applica e chiudi"_s);
        QCOMPARE(d.btnAnnulla->text(), u"Annulla"_s);
        QVERIFY(!d.lblMemory->isVisible());

        // Tab order: each slot's name, "Sfoglia...", "Apri", description;
        // then "Applica e chiudi" and "Annulla".
        const QList<QWidget *> expected = {d.txtFile01, d.btnSfoglia01, d.btnApri01, d.txtDesc01,
                                           d.txtFile02, d.btnSfoglia02, d.btnApri02, d.txtDesc02,
                                           d.txtFile03, d.btnSfoglia03, d.btnApri03, d.txtDesc03,
                                           d.btnApplica, d.btnAnnulla};
        QList<QWidget *> chain;
        for (QWidget *w = d.txtFile01; chain.size() < expected.size(); w = w->nextInFocusChain())
            if (expected.contains(w))
                chain << w;
        QCOMPARE(chain, expected);
        QCOMPARE(focused(), d.txtFile01);
    }

    void openersPrefillTrimmed_data()
    {
        QTest::addColumn<QString>("caller");
        QTest::newRow("patient card") << u"clienti"_s;
        QTest::newRow("analysis card") << u"analisicliniche"_s;
    }
    void openersPrefillTrimmed()
    {
        QFETCH(QString, caller);
        TestApp app;
        const Card c = card(app, caller);
        const QStringList stored = {u"  referto.pdf "_s, u" Ecografia addome\t"_s, QString(), u"solo nota"_s,
                                    u"   "_s, QString()};
        for (int i = 0; i < 6; ++i)
            c.labels[size_t(i)]->setText(stored[i]);
        bool ran = false;
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            ran = true;
            QCOMPARE(d.lblMemory->text(), caller);
            QCOMPARE((QStringList{d.txtFile01->text(), d.txtDesc01->text(), d.txtFile02->text(), d.txtDesc02->text(),
                                  d.txtFile03->text(), d.txtDesc03->text()}),
                     (QStringList{u"referto.pdf"_s, u"Ecografia addome"_s, QString(), u"solo nota"_s, QString(),
                                  QString()}));
            // "Apri" is ready as soon as the dialog opens, for a named slot only.
            QVERIFY(d.btnApri01->isEnabled());
            QVERIFY(!d.btnApri02->isEnabled());
            QVERIFY(!d.btnApri03->isEnabled());
            click(d.btnApri01);
        });
        click(c.cmdFile);
        QVERIFY(ran);
        QCOMPARE(app.shell->opened, QStringList{quoted(attached(app, u"referto.pdf"_s))});
        // Closed without applying: the card is as it was.
        QCOMPARE(texts(c.labels), stored);
    }

    void attachCopiesAtOnceAndApplyWritesBack()
    {
        TestApp app;
        TfrmClienti *c = patientCard(app);
        const QByteArray bytes = "%PDF-1.4 esami del sangue";
        const QString chosen = onDesk(u"Esami del sangue.pdf"_s, bytes);
        app.files->answers.push_back(chosen);
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            click(d.btnSfoglia02);
            QCOMPARE(app.files->requests.size(), 1);
            QCOMPARE(app.files->requests[0].title, u"Selezionare il file da allegare:"_s);
            QCOMPARE(app.files->requests[0].filter, u"Tutti i file (*.*)"_s);
            QCOMPARE(d.txtFile02->text(), u"Esami del sangue.pdf"_s);
            QVERIFY(d.btnApri02->isEnabled());
            // Copied at once, before anything is confirmed.
            QCOMPARE(fileBytes(attached(app, u"Esami del sangue.pdf"_s)), bytes);
            type(d.txtDesc02, u" Emocromo marzo "_s);
            click(d.btnApri02);
            QCOMPARE(app.shell->opened, QStringList{quoted(attached(app, u"Esami del sangue.pdf"_s))});
            click(d.btnApplica);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdFile);
        QCOMPARE(texts({c->lblFile01, c->lblDesc01, c->lblFile02, c->lblDesc02, c->lblFile03, c->lblDesc03}),
                 (QStringList{QString(), QString(), u"Esami del sangue.pdf"_s, u"Emocromo marzo"_s, QString(),
                              QString()}));
        QVERIFY(app.messages->shown.isEmpty());
        QCOMPARE(fileBytes(chosen), bytes);
        // The archive changes only when the card is saved.
        QVERIFY(!QFileInfo::exists(app.path(u"Pazienti.pro"_s)));
        QCOMPARE(c->PatientFromCard().get(PatientRecord::File02), u"Esami del sangue.pdf"_s);
    }

    void overwriteIsAskedFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("chosenName"); // the file on the desk
        QTest::newRow("No keeps the old file") << int(MsgAnswer::No) << u"referto.pdf"_s;
        QTest::newRow("Yes replaces it") << int(MsgAnswer::Yes) << u"referto.pdf"_s;
        // Going on would replace the file without a choice: closing is No.
        QTest::newRow("closed keeps the old file") << int(MsgAnswer::Closed) << u"referto.pdf"_s;
        // A folder from Windows, where names are one whatever their case.
        QTest::newRow("other case, No") << int(MsgAnswer::No) << u"Referto.PDF"_s;
        QTest::newRow("other case, Yes") << int(MsgAnswer::Yes) << u"Referto.PDF"_s;
    }
    void overwriteIsAskedFirst()
    {
        QFETCH(int, answer);
        QFETCH(QString, chosenName);
        const bool yes = MsgAnswer(answer) == MsgAnswer::Yes;
        TestApp app;
        // The older file came from another card, a patient's.
        writeFile(attached(app, u"referto.pdf"_s), "vecchio");
        const QString chosen = onDesk(chosenName, "nuovo");
        TfrmAnalisiCliniche *a = analysisCard(app);
        a->lblFile01->setText(u"precedente.pdf"_s);
        app.files->answers.push_back(chosen);
        app.messages->answers.push_back(MsgAnswer(answer));
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            click(d.btnSfoglia01);
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Confirmation);
            QCOMPARE(app.messages->shown[0].text, kOverwrite);
            // Either way the slot names the file now in the folder.
            QCOMPARE(d.txtFile01->text(), chosenName);
            QVERIFY(d.btnApri01->isEnabled());
            click(d.btnApri01);
            click(d.btnApplica);
        });
        click(a->cmdFile);
        QCOMPARE(fileBytes(attached(app, u"referto.pdf"_s)), yes ? QByteArray("nuovo") : QByteArray("vecchio"));
        QCOMPARE(a->lblFile01->text(), chosenName);
        QCOMPARE(QDir(app.path(u"Documenti_Allegati"_s)).entryList(QDir::Files), QStringList{u"referto.pdf"_s});
        QCOMPARE(app.shell->opened, QStringList{quoted(attached(app, u"referto.pdf"_s))});
    }

    // "Apri" finds a file whose name differs from the stored one only in case.
    void apriFindsTheNameInAnyCase()
    {
        TestApp app;
        writeFile(attached(app, u"ecografia.pdf"_s), "eco");
        TfrmClienti *c = patientCard(app);
        c->lblFile01->setText(u"Ecografia.PDF"_s);
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) { click(d.btnApri01); });
        click(c->cmdFile);
        QCOMPARE(app.shell->opened, QStringList{quoted(attached(app, u"ecografia.pdf"_s))});
    }

    void aFileFromTheFolderItselfIsNotCopied()
    {
        TestApp app;
        writeFile(attached(app, u"referto.pdf"_s), "già allegato");
        TfrmClienti *c = patientCard(app);
        app.files->answers.push_back(attached(app, u"referto.pdf"_s));
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            click(d.btnSfoglia03);
            click(d.btnApplica);
        });
        click(c->cmdFile);
        // Two cards may name one file: no question about replacing it with itself.
        QVERIFY(app.messages->shown.isEmpty());
        QCOMPARE(c->lblFile03->text(), u"referto.pdf"_s);
        QCOMPARE(fileBytes(attached(app, u"referto.pdf"_s)), QByteArray("già allegato"));
    }

    void cancellingTheChooserChangesNothing()
    {
        TestApp app;
        TfrmClienti *c = patientCard(app);
        c->lblFile01->setText(u"a.pdf"_s);
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            click(d.btnSfoglia01); // no answer queued: the user cancels
            QCOMPARE(app.files->requests.size(), 1);
            QCOMPARE(d.txtFile01->text(), u"a.pdf"_s);
            click(d.btnApplica);
        });
        click(c->cmdFile);
        QCOMPARE(c->lblFile01->text(), u"a.pdf"_s);
        QVERIFY(!QFileInfo::exists(app.path(u"Documenti_Allegati"_s)));
        QVERIFY(app.messages->shown.isEmpty());
    }

    void clearAndApplyKeepsTheDescription()
    {
        TestApp app;
        writeFile(attached(app, u"referto.pdf"_s), "x");
        TfrmClienti *c = patientCard(app);
        c->lblFile01->setText(u"referto.pdf"_s);
        c->lblDesc01->setText(u"Ecografia"_s);
        c->lblFile02->setText(u"altro.pdf"_s);
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            QVERIFY(d.btnApri01->isEnabled());
            click(d.imgCancella01);
            QVERIFY(d.txtFile01->text().isEmpty());
            QVERIFY(!d.btnApri01->isEnabled());
            QCOMPARE(d.txtDesc01->text(), u"Ecografia"_s);
            click(d.btnApplica);
        });
        click(c->cmdFile);
        QVERIFY(c->lblFile01->text().isEmpty());
        QCOMPARE(c->lblDesc01->text(), u"Ecografia"_s);
        QCOMPARE(c->lblFile02->text(), u"altro.pdf"_s);
        // The file stays in the folder.
        QVERIFY(QFileInfo::exists(attached(app, u"referto.pdf"_s)));
    }

    void annullaWritesNothingButCopiesStay()
    {
        TestApp app;
        TfrmClienti *c = patientCard(app);
        c->lblDesc01->setText(u"prima"_s);
        app.files->answers.push_back(onDesk(u"nota.txt"_s, "testo"));
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            click(d.btnSfoglia01);
            type(d.txtDesc01, u" dopo"_s);
            click(d.btnAnnulla);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdFile);
        QVERIFY(c->lblFile01->text().isEmpty());
        QCOMPARE(c->lblDesc01->text(), u"prima"_s);
        QCOMPARE(fileBytes(attached(app, u"nota.txt"_s)), QByteArray("testo"));
    }

    void applyIsRoutedByCallerTag_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("writes"); // 0 nobody (the dialog stays open), 1 patient card, 2 analysis card
        QTest::newRow("clienti") << u"clienti"_s << 1;
        QTest::newRow("clienti with blanks") << u"  clienti "_s << 1;
        QTest::newRow("analisicliniche") << u"analisicliniche"_s << 2;
        QTest::newRow("capital letter") << u"Clienti"_s << 0;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("another dialog's tag") << u"analisi_data"_s << 0;
        QTest::newRow("a record number") << u"2"_s << 0;
    }
    void applyIsRoutedByCallerTag()
    {
        QFETCH(QString, tag);
        QFETCH(int, writes);
        TestApp app;
        TfrmClienti *c = app.ctx->screens.frmClienti;
        TfrmAnalisiCliniche *a = app.ctx->screens.frmAnalisiCliniche;
        const AttachmentLabels patient{c->lblFile01, c->lblDesc01, c->lblFile02, c->lblDesc02, c->lblFile03,
                                       c->lblDesc03};
        const AttachmentLabels analysis{a->lblFile01, a->lblDesc01, a->lblFile02, a->lblDesc02, a->lblFile03,
                                        a->lblDesc03};
        for (QLabel *l : patient)
            l->setText(u"paziente"_s);
        for (QLabel *l : analysis)
            l->setText(u"analisi"_s);

        TfrmAllegaCartella d(*app.ctx, nullptr);
        d.lblMemory->setText(tag);
        d.txtFile01->setText(u" uno.pdf"_s);
        d.txtDesc02->setText(u"due "_s);
        activate(&d);
        click(d.btnApplica);

        const QStringList written = {u"uno.pdf"_s, QString(), QString(), u"due"_s, QString(), QString()};
        QCOMPARE(texts(patient), writes == 1 ? written : QStringList(6, u"paziente"_s));
        QCOMPARE(texts(analysis), writes == 2 ? written : QStringList(6, u"analisi"_s));
        QCOMPARE(d.isVisible(), writes == 0);
    }

    void apriUsesOnlyTheBareName_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("opens"); // inside Documenti_Allegati; empty: nothing
        QTest::newRow("plain") << u"referto.pdf"_s << u"referto.pdf"_s;
        QTest::newRow("up and out") << u"../../Pazienti.pro"_s << u"Pazienti.pro"_s;
        QTest::newRow("backslashes") << u"..\\..\\unins000.dll"_s << u"unins000.dll"_s;
        QTest::newRow("absolute") << u"/etc/passwd"_s << u"passwd"_s;
        QTest::newRow("drive") << u"C:\\Windows\\notepad.exe"_s << u"notepad.exe"_s;
        QTest::newRow("parent folder") << u".."_s << QString();
        QTest::newRow("a folder") << u"Documenti/"_s << QString();
    }
    void apriUsesOnlyTheBareName()
    {
        QFETCH(QString, stored);
        QFETCH(QString, opens);
        TestApp app;
        TfrmClienti *c = patientCard(app);
        c->lblFile02->setText(stored);
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            QCOMPARE(d.txtFile02->text(), stored);
            click(d.btnApri02);
        });
        click(c->cmdFile);
        QCOMPARE(app.shell->opened, opens.isEmpty() ? QStringList() : QStringList{quoted(attached(app, opens))});
    }

    void aCopyThatFailsIsReported_data()
    {
        QTest::addColumn<int>("op");
        QTest::newRow("folder cannot be created") << int(io::Op::Mkdir);
        QTest::newRow("source cannot be read") << int(io::Op::Read);
        QTest::newRow("target cannot be written") << int(io::Op::Write);
        QTest::newRow("target cannot be replaced") << int(io::Op::Rename);
    }
    void aCopyThatFailsIsReported()
    {
        QFETCH(int, op);
        TestApp app;
        if (op != int(io::Op::Mkdir))
            writeFile(attached(app, u"referto.pdf"_s), "vecchio");
        TfrmClienti *c = patientCard(app);
        c->lblFile01->setText(u"precedente.pdf"_s);
        app.files->answers.push_back(onDesk(u"referto.pdf"_s, QByteArray(300000, 'n')));
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            {
                FailOp fail{io::Op(op)};
                click(d.btnSfoglia01);
            }
            // The slot goes on naming what it named before.
            QCOMPARE(d.txtFile01->text(), u"precedente.pdf"_s);
            click(d.btnApplica);
        });
        click(c->cmdFile);
        const QList<FakeMessages::Shown> shown = app.messages->shown;
        QCOMPARE(shown.last().kind, MsgKind::Error);
        QCOMPARE(shown.last().text, msg::kAccessError.toString());
        QCOMPARE(c->lblFile01->text(), u"precedente.pdf"_s);
        if (op == int(io::Op::Mkdir)) {
            QCOMPARE(shown.size(), 1);
            QVERIFY(!QFileInfo::exists(app.path(u"Documenti_Allegati"_s)));
        } else {
            QCOMPARE(shown.first().text, kOverwrite);
            QCOMPARE(fileBytes(attached(app, u"referto.pdf"_s)), QByteArray("vecchio"));
            QCOMPARE(QDir(app.path(u"Documenti_Allegati"_s)).entryList(QDir::Files), QStringList{u"referto.pdf"_s});
        }
    }

    void aNameTheCardCannotHoldIsMadeStorable()
    {
        TestApp app;
        TfrmClienti *c = patientCard(app);
        app.files->answers.push_back(onDesk(u"Ωmega.pdf"_s, "omega"));
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            click(d.btnSfoglia01);
            click(d.btnApplica);
        });
        click(c->cmdFile);
        QCOMPARE(c->lblFile01->text(), u"_mega.pdf"_s);
        QCOMPARE(fileBytes(attached(app, u"_mega.pdf"_s)), QByteArray("omega"));
        // Stored and read back, the name still finds the copy.
        QCOMPARE(c->PatientFromCard().get(PatientRecord::File01), u"_mega.pdf"_s);

        // A letter the code page lacks becomes its closest one, as in any stored text.
        app.files->answers.push_back(onDesk(u"Referto Kovačić.pdf"_s, "kovacic"));
        app.dialogs->next<TfrmAllegaCartella>([&](TfrmAllegaCartella &d) {
            click(d.btnSfoglia02);
            click(d.btnApplica);
        });
        click(c->cmdFile);
        QCOMPARE(c->lblFile02->text(), u"Referto Kovacic.pdf"_s);
        QCOMPARE(fileBytes(attached(app, u"Referto Kovacic.pdf"_s)), QByteArray("kovacic"));
    }

    // ---- The patient folder ------------------------------------------------------------------

    void folderDialogTextsAndFocus()
    {
        TestApp app;
        TfrmClienti *c = storedPatient(app, 3);
        QVERIFY(c);
        QCOMPARE(c->lblPosizione->text(), u"3"_s);
        app.dialogs->next<TfrmCartella>([&](TfrmCartella &d) {
            QCOMPARE(d.size(), QSize(671, 545));
            QCOMPARE(d.lblMemory->text(), u"3"_s);
            QCoreApplication::processEvents();
            QCOMPARE(focused(), d.btnChiudi);
            QCOMPARE(d.btnApriCartella->text(), u"Apri cartella"_s);
            QCOMPARE(d.btnChiudi->text(), u"Chiudi"_s);
            QCOMPARE(d.imgTitolo->accessibleName(), u"Gestione cartella abbinata alla scheda corrente"_s);
            QCOMPARE(d.imgIstruzioni01->accessibleName(),
                     u"E' possibile utilizzare una cartella abbinata alla scheda corrente in cui conservare "
                     u"qualsiasi file riferito al paziente. Fare clic sul pulsante sottostante per aprire la "
                     u"cartella associata a questa scheda."_s);
            QCOMPARE(d.imgIstruzioni02->accessibleName(),
                     u"La cartella è posizionata nella stessa directory in cui è installato il software. Per "
                     u"effettuare un backup del programma e di tutti i dati archiviati, basta copiare la cartella "
                     u"di installazione e incollarla su un hard disk esterno o su una chiavetta USB."_s);
            click(d.btnChiudi);
            QVERIFY(!d.isVisible());
        });
        click(c->cmdCartella);
        // "Chiudi" neither creates nor opens anything.
        QVERIFY(!QFileInfo::exists(app.path(u"Paziente_3"_s)));
        QVERIFY(app.shell->opened.isEmpty());
    }

    void folderIsCreatedOnceAndOpened()
    {
        TestApp app;
        TfrmClienti *c = storedPatient(app, 2);
        QVERIFY(c);
        const QString folder = app.path(u"Paziente_2"_s);
        auto openFolder = [&] {
            app.dialogs->next<TfrmCartella>([&](TfrmCartella &d) {
                click(d.btnApriCartella);
                QVERIFY(!d.isVisible());
            });
            click(c->cmdCartella);
        };
        openFolder();
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(app.shell->opened, QStringList{quoted(folder)});
        // What the user put there is left alone the next time.
        writeFile(folder + u"/radiografia.jpg"_s, "rx");
        openFolder();
        QCOMPARE(fileBytes(folder + u"/radiografia.jpg"_s), QByteArray("rx"));
        QCOMPARE(app.shell->opened, (QStringList{quoted(folder), quoted(folder)}));
        QVERIFY(app.messages->shown.isEmpty());
        // Only the patient's own folder.
        QCOMPARE(QDir(app.folder()).entryList({u"Paziente_*"_s}, QDir::Dirs), QStringList{u"Paziente_2"_s});
    }

    void folderThatCannotBeCreated_data()
    {
        QTest::addColumn<bool>("fileInTheWay");
        QTest::newRow("refused") << false;
        QTest::newRow("a file in its place") << true;
    }
    void folderThatCannotBeCreated()
    {
        QFETCH(bool, fileInTheWay);
        TestApp app;
        TfrmClienti *c = storedPatient(app, 1);
        QVERIFY(c);
        if (fileInTheWay)
            writeFile(app.path(u"Paziente_1"_s), "x");
        app.dialogs->next<TfrmCartella>([&](TfrmCartella &d) {
            {
                std::optional<FailOp> fail;
                if (!fileInTheWay)
                    fail.emplace(io::Op::Mkdir);
                click(d.btnApriCartella);
            }
            QCOMPARE(app.messages->shown.size(), 1);
            QCOMPARE(app.messages->shown[0].kind, MsgKind::Error);
            QCOMPARE(app.messages->shown[0].text, msg::kAccessError.toString());
            // Nothing to open; the dialog stays for the user to close.
            QVERIFY(app.shell->opened.isEmpty());
            QVERIFY(d.isVisible());
            click(d.btnChiudi);
        });
        click(c->cmdCartella);
        QVERIFY(!QFileInfo(app.path(u"Paziente_1"_s)).isDir());
    }
};

QTEST_MAIN(TestAttachments)
#include "tst_attachments.moc"
