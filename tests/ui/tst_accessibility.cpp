// What a screen reader and a keyboard reach: every screen walked through the
// toolkit's accessibility interface, as assistive technology walks it, and
// whole tasks done with the keys alone.
#include "analyses/AnalysisRecord.h"
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/Calendario.h"
#include "analyses/ui/LineList.h"
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/Avvio.h"
#include "app/ui/Password.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Widgets.h"
#include "patients/PatientRecord.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/TrovaClienti.h"
#include "summary/ui/Grafico.h"
#include "summary/ui/MenuRiepLavoro.h"
#include "summary/ui/RiepLavoro.h"
#include "support/TestApp.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

const QString kPatient = u"Verdi Giuseppe"_s;
const QString kCode = u"RSSNCC80A01H501U"_s;

// The keyboard: every key goes to the widget that has the focus.
void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget *w = QApplication::focusWidget();
    QVERIFY2(w, "nothing has the keyboard focus");
    QTest::keyClick(w, Qt::Key(k), mods);
}

void typeHere(const QString &text)
{
    QWidget *w = QApplication::focusWidget();
    QVERIFY2(w, "nothing has the keyboard focus");
    type(w, text);
}

// Alt + `k`, which presses `command` as a click the user sees: it is
// pressed at once and released, running its command, a moment later.
void altKey(QAbstractButton *command, int k)
{
    key(k, Qt::AltModifier);
    QVERIFY2(command->isDown(), qPrintable(command->objectName()));
    QTRY_VERIFY(!command->isDown());
}

// Tab until `target` has the focus, as a user does.
bool tabTo(QWidget *target)
{
    for (int i = 0; i < 80 && QApplication::focusWidget() != target; ++i) {
        QWidget *w = QApplication::focusWidget();
        if (!w)
            return false;
        QTest::keyClick(w, Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
}

// A date from the date picker: any key on the field opens it, Enter takes
// the day it shows.
void pickDate(TestApp &app)
{
    QWidget *opener = QApplication::activeWindow();
    app.dialogs->next<TfrmCalendario>([](TfrmCalendario &d) {
        QVERIFY(d.calAppuntamenti->isAncestorOf(QApplication::focusWidget()));
        key(Qt::Key_Return);
    });
    key(Qt::Key_Space);
    activate(opener);
}

// The patient search, driven by keys: a name, Cerca, and Enter on the
// first line, which the focus reaches without selecting it.
void searchAndPick(TestApp &app)
{
    app.dialogs->next<TfrmTrovaClienti>([](TfrmTrovaClienti &s) {
        QCOMPARE(QApplication::focusWidget(), s.txtPaziente);
        typeHere(u"verdi"_s);
        QVERIFY(tabTo(s.btnCerca));
        key(Qt::Key_Return);
        QVERIFY(s.panContainer->isVisible());
        QVERIFY(tabTo(s.lstRecords));
        QVERIFY(s.lstRecords->currentIndex().isValid());
        QVERIFY(!s.lstRecords->selectionModel()->hasSelection());
        key(Qt::Key_Return);
        QVERIFY(!s.isVisible());
    });
}

// Chooses an entry of a list box by keys: Alt+Down opens it, `k` moves in
// it, Enter takes the entry.
void chooseByKeys(QComboBox *list, int k)
{
    key(Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key(k));
    QTest::keyClick(list->view(), Qt::Key_Return);
    QTRY_VERIFY(!list->view()->isVisible());
}

bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Link:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

bool command(QAccessible::Role role)
{
    return role == QAccessible::PushButton || role == QAccessible::CheckBox || role == QAccessible::RadioButton
        || role == QAccessible::Link || role == QAccessible::ButtonMenu;
}

QString what(QAccessibleInterface *iface)
{
    QObject *o = iface->object();
    QString name = o ? o->objectName() : QString();
    for (QObject *p = o ? o->parent() : nullptr; name.isEmpty() && p; p = p->parent())
        name = p->objectName().isEmpty() ? QString() : u"(in %1)"_s.arg(p->objectName());
    return u"%1 %2 \"%3\""_s.arg(name, QString::number(int(iface->role()), 16), iface->text(QAccessible::Name));
}

// The text a label shows, as a reader of the screen sees it.
QString shownText(const QLabel *label)
{
    if (Qt::mightBeRichText(label->text()) && label->textFormat() != Qt::PlainText) {
        QTextDocument doc;
        doc.setHtml(label->text());
        return doc.toPlainText();
    }
    return label->text();
}

// Every fault of one window, walked as assistive technology walks it: only
// what is visible, from the window down.
class Walker {
public:
    QStringList faults;
    QHash<QString, int> controls; // interactive controls seen, by window

    void walkWindow(QWidget *window)
    {
        QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window);
        const QString title = window->objectName();
        if (!top) {
            faults << title + u": no accessible interface"_s;
            return;
        }
        if (top->role() != QAccessible::Window && top->role() != QAccessible::Dialog)
            faults << title + u": not announced as a window or dialog"_s;
        if (top->text(QAccessible::Name).trimmed().isEmpty())
            faults << title + u": a window without a title"_s;
        m_names.clear();
        m_window = title;
        walk(top, 0);
    }

private:
    void walk(QAccessibleInterface *iface, int depth)
    {
        if (depth > 40)
            return;
        const QAccessible::State st = iface->state();
        if (st.invisible)
            return;
        check(iface);
        for (int i = 0; i < iface->childCount(); ++i)
            if (QAccessibleInterface *child = iface->child(i))
                walk(child, depth + 1);
    }

    void check(QAccessibleInterface *iface)
    {
        const QAccessible::Role role = iface->role();
        const QString name = iface->text(QAccessible::Name).trimmed();
        auto *widget = qobject_cast<QWidget *>(iface->object());
        if (interactive(role)) {
            ++controls[m_window];
            // The text field of an editable combo box is named by its box.
            const bool comboText = widget && qobject_cast<QComboBox *>(widget->parentWidget())
                                   && static_cast<QComboBox *>(widget->parentWidget())->lineEdit() == widget;
            if (name.isEmpty() && !comboText)
                faults << m_window + u": no name: "_s + what(iface);
            // The calendar's own month arrows are reached by Page Up and
            // Page Down from its days, as the calendar has it.
            bool calendarPart = false;
            for (QWidget *p = widget ? widget->parentWidget() : nullptr; p; p = p->parentWidget())
                calendarPart = calendarPart || qobject_cast<QCalendarWidget *>(p);
            if (command(role) && !iface->state().disabled && !iface->state().focusable && !calendarPart)
                faults << m_window + u": a command the keyboard cannot reach: "_s + what(iface);
            if (!name.isEmpty() && role != QAccessible::EditableText) {
                if (m_names.contains(name))
                    faults << m_window + u": name used twice: "_s + what(iface) + u" and "_s + m_names.value(name);
                m_names.insert(name, what(iface));
            }
        }
        if (widget) {
            const QVariant hint = widget->property("clinoraHint");
            if (hint.isValid() && iface->text(QAccessible::Description) != hint.toString())
                faults << m_window + u": the hint is not its description: "_s + what(iface);
        }
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            const QString shown = shownText(label);
            QAccessibleTextInterface *text = iface->textInterface();
            if (role == QAccessible::StaticText && (!text || text->text(0, text->characterCount()) != shown))
                faults << m_window + u": a label that does not give its text: "_s + label->objectName();
            const QString onOneLine = QString(shown).replace(u"\n"_s, u" "_s).simplified();
            // A short caption ("Prov.", "Giorno:") may be read in full.
            const bool spelledOut = (shown.endsWith(u'.') || shown.endsWith(u':')) && shown.size() > 1
                                    && iface->text(QAccessible::Name).startsWith(shown.chopped(1));
            if (iface->text(QAccessible::Name) != shown && iface->text(QAccessible::Value) != shown
                && iface->text(QAccessible::Name).simplified() != onOneLine && !spelledOut)
                faults << m_window + u": a label that says \"%1\" and shows \"%2\": "_s.arg(
                              iface->text(QAccessible::Name), shown)
                              + label->objectName();
        }
    }

    QHash<QString, QString> m_names;
    QString m_window;
};

// What the program tells assistive technology, as it leaves for the
// platform: every event our layer passes on.
struct Told {
    QAccessible::Event type;
    QObject *object;
    int child;
    QString text;
};
QList<Told> g_told;

void record(QAccessibleEvent *event)
{
    QString text;
    if (event->type() == QAccessible::TextInserted)
        text = static_cast<QAccessibleTextInsertEvent *>(event)->textInserted();
    else if (event->type() == QAccessible::TextUpdated)
        text = static_cast<QAccessibleTextUpdateEvent *>(event)->textInserted();
    else if (event->type() == QAccessible::TextRemoved)
        text = static_cast<QAccessibleTextRemoveEvent *>(event)->textRemoved();
    g_told.append({event->type(), event->object(), event->child(), text});
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    // Our layer passes what it tells on to the platform, here a recorder.
    void initTestCase()
    {
        QAccessible::installUpdateHandler(record);
        access::install();
    }
    void cleanup() { g_told.clear(); }

    // A filled line edit is read whole: its text is one run (a screen
    // reader stopped before the caret on the toolkit's empty runs), and a
    // password is never given, only an asterisk a character.
    void lineEditsGiveTheirWholeText_data()
    {
        QTest::addColumn<int>("echo");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("told");
        QTest::newRow("a result") << int(QLineEdit::Normal) << u"182"_s << u"182"_s;
        QTest::newRow("a phone") << int(QLineEdit::Normal) << u"3331234567"_s << u"3331234567"_s;
        QTest::newRow("empty") << int(QLineEdit::Normal) << QString() << QString();
        QTest::newRow("password") << int(QLineEdit::Password) << u"segreto"_s << u"*******"_s;
        QTest::newRow("no echo") << int(QLineEdit::NoEcho) << u"segreto"_s << QString();
    }
    void lineEditsGiveTheirWholeText()
    {
        QFETCH(int, echo);
        QFETCH(QString, text);
        QFETCH(QString, told);
        QWidget w;
        auto *edit = new QLineEdit(&w);
        edit->setEchoMode(QLineEdit::EchoMode(echo));
        edit->setText(text);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(edit);
        QAccessibleTextInterface *t = iface->textInterface();
        QVERIFY(t);
        QCOMPARE(iface->text(QAccessible::Value), told);
        QCOMPARE(t->characterCount(), told.size());
        QCOMPARE(t->text(0, t->characterCount()), told);
        QCOMPARE(t->cursorPosition(), text.size());
        for (const qsizetype offset : {qsizetype(0), told.size() / 2, told.size()}) {
            int start = -1;
            int end = -1;
            t->attributes(int(offset), &start, &end);
            QCOMPARE(start, 0);
            QCOMPARE(end, int(told.size()));
        }
        QCOMPARE(bool(iface->state().passwordEdit), echo != QLineEdit::Normal);
    }

    // What the toolkit sends as typed into a password field goes out as
    // asterisks; typed into any other field, as typed.
    void typedPasswordsAreToldAsAsterisks()
    {
        QWidget w;
        auto *plain = new QLineEdit(&w);
        auto *password = new QLineEdit(&w);
        password->setEchoMode(QLineEdit::Password);
        QAccessibleTextInsertEvent typedPlain(plain, 0, u"ab"_s);
        access::tell(&typedPlain);
        QAccessibleTextInsertEvent typed(password, 0, u"segreto"_s);
        access::tell(&typed);
        QAccessibleTextUpdateEvent replaced(password, 0, u"segreto"_s, u"altro"_s);
        access::tell(&replaced);
        QAccessibleTextRemoveEvent removed(password, 4, u"o"_s);
        access::tell(&removed);
        QStringList plainText, passwordText;
        for (const Told &t : std::as_const(g_told)) {
            if (t.object == plain)
                plainText << t.text;
            if (t.object == password)
                passwordText << t.text;
        }
        QCOMPARE(plainText, QStringList{u"ab"_s});
        QCOMPARE(passwordText, (QStringList{u"*******"_s, u"*****"_s, u"*"_s}));
    }

    // A list tells its current line as focused once the list has the
    // focus: the toolkit tells the line before the list, and a screen reader
    // then stays on the list and never says the line.
    void aListTellsItsLineAfterItself()
    {
        QWidget w;
        auto *before = new QLineEdit(&w);
        auto *list = new LineList(&w, u"lstRecords"_s, u"Elenco"_s, QRect(0, 40, 300, 200), 300);
        list->setLines(QStringList{u"Bianchi Anna"_s, u"Verdi Giuseppe"_s});
        w.show();
        QApplication::setActiveWindow(&w);
        before->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), before);
        g_told.clear();
        list->setFocus();
        QTRY_VERIFY2(!g_told.isEmpty() && g_told.constLast().object == list && g_told.constLast().child == 0,
                     qPrintable(QString::number(g_told.size()) + u" events, focus on "_s
                                + (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString())
                                + u", current "_s + QString::number(list->currentIndex().row())));
        QCOMPARE(g_told.constLast().type, QAccessible::Focus);
    }

    // Every screen, walked on its own as it opens.
    void everyScreenIsReadable()
    {
        TestApp app;
        Walker walker;
        QList<QWidget *> screens = app.ctx->allScreens();
        TfrmGrafico chart(*app.ctx);
        screens << &chart;
        for (QWidget *screen : std::as_const(screens)) {
            screen->show();
            QApplication::setActiveWindow(screen);
            QCoreApplication::processEvents();
            walker.walkWindow(screen);
            screen->hide();
        }
        // The search's second panel, shown once a search has run.
        auto *search = app.ctx->screens.frmTrovaClienti;
        search->show();
        search->btnCercaClick();
        walker.walkWindow(search);
        search->hide();
        // The walk reaches into the screens: the patient card's 30 inputs
        // and its commands, the analysis card's fields and pictures.
        QVERIFY(walker.controls.value(u"frmClienti"_s) > 50);
        QVERIFY(walker.controls.value(u"frmAnalisiCliniche"_s) > 30);
        for (const QString &fault : std::as_const(walker.faults))
            qWarning("%s", qPrintable(fault));
        QVERIFY2(walker.faults.isEmpty(), "some screens cannot be read whole: see the warnings");
    }

    // One whole task in every working area, with the keys alone: log in,
    // save a new patient, find and pick it, save an analysis for it, print
    // a summary. Checked on the files written.
    void wholeTasksWithKeysOnly()
    {
        TestApp app;
        app.setPassword(u"CLINORA"_s);
        app.clock->at = QDateTime(QDate(2024, 3, 7), QTime(9, 0));
        app.printing->renderTo = app.path(u"riepilogo.pdf"_s);
        app.ctx->start();
        TfrmPassword *login = app.ctx->screens.frmPassword;
        activate(login);
        QCOMPARE(QApplication::focusWidget(), login->txtPassword);
        typeHere(u"clinora"_s);
        key(Qt::Key_Return);
        TfrmAvvio *start = app.ctx->screens.frmAvvio;
        QVERIFY(start->isVisible());

        // The patient card, opened from the first column of the menu.
        activate(start);
        QVERIFY(tabTo(start->btnAnagrafica));
        key(Qt::Key_Return);
        TfrmClienti *card = app.ctx->screens.frmClienti;
        QVERIFY(card->isVisible());
        activate(card);
        QCOMPARE(QApplication::focusWidget(), card->txtPaziente);
        typeHere(kPatient);
        for (int i = 0; i < 5; ++i) // Enter goes along the fields to the preferred phone
            key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), card->txtRecapito);
        typeHere(u"050 123456"_s);
        QVERIFY(tabTo(card->txtCodFisc));
        typeHere(kCode);
        key(Qt::Key_Tab); // leaves the fiscal code, whatever its key rule
        QCOMPARE(QApplication::focusWidget(), card->btnCalcolaCodFisc);
        altKey(card->cmdSalva, Qt::Key_S);
        // The valid code first offers its birth data for the empty fields.
        const QStringList said = app.messages->take();
        QCOMPARE(said.size(), 2);
        QVERIFY(said[0].startsWith(u"Il codice fiscale indica: "_s));
        QCOMPARE(said[1], u"La scheda corrente è stata inserita in archivio."_s);
        QCOMPARE(card->lblPosizione->text(), u"1"_s);
        {
            PatientArchive patients;
            QVERIFY(patients.open(PatientArchivePath(app.folder())));
            QCOMPARE(patients.count(), 1);
            PatientRecord r;
            QVERIFY(patients.read(1, r));
            QCOMPARE(r.get(PatientRecord::Paziente), kPatient);
            QCOMPARE(r.get(PatientRecord::CodFisc), kCode);
            QVERIFY(patients.close());
        }

        // "Nuovo" by Tab and Enter, then the patient found again.
        QVERIFY(tabTo(card->cmdNuovo));
        key(Qt::Key_Return);
        QVERIFY(card->txtPaziente->text().isEmpty());
        searchAndPick(app);
        altKey(card->cmdTrova, Qt::Key_T);
        activate(card); // the window system hands the focus back when a dialog closes
        QCOMPARE(card->txtPaziente->text(), kPatient);
        QCOMPARE(card->lblPosizione->text(), u"1"_s);
        altKey(card->cmdEsci, Qt::Key_E);
        QVERIFY(!card->isVisible());
        QVERIFY(start->isVisible());

        // The analyses: the patient chosen, the archive opened, one result saved.
        activate(start);
        QVERIFY(tabTo(start->btnAnalisi));
        key(Qt::Key_Space);
        TfrmMenuAnalisi *menu = app.ctx->screens.frmMenuAnalisi;
        QVERIFY(menu->isVisible());
        activate(menu);
        QVERIFY(tabTo(menu->btnSeleziona));
        searchAndPick(app);
        key(Qt::Key_Return);
        activate(menu);
        QCOMPARE(menu->txtCodFisc->text(), kCode);
        QVERIFY(tabTo(menu->btnApri));
        key(Qt::Key_Return);
        TfrmAnalisiCliniche *analyses = app.ctx->screens.frmAnalisiCliniche;
        QVERIFY(analyses->isVisible());
        activate(analyses);
        QVERIFY(tabTo(analyses->txtNumRef));
        typeHere(u"R-17"_s);
        key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), analyses->txtDataRef);
        pickDate(app);
        QCOMPARE(analyses->txtDataRef->text(), u"07/03/2024"_s);
        QVERIFY(tabTo(analyses->txtData));
        pickDate(app);
        QVERIFY(tabTo(analyses->txtEsame));
        typeHere(u"Glicemia"_s);
        QVERIFY(tabTo(analyses->txtRisultato));
        typeHere(u"95"_s);
        QVERIFY(tabTo(analyses->txtEsito));
        typeHere(u"Nella norma"_s);
        altKey(analyses->cmdSalva, Qt::Key_S);
        QCOMPARE(app.messages->take(), QStringList{u"La scheda corrente è stata inserita in archivio."_s});
        {
            AnalysisArchive archive;
            QVERIFY(archive.open(AnalysisArchivePath(app.folder(), kCode)));
            QCOMPARE(archive.count(), 1);
            AnalysisRecord r;
            QVERIFY(archive.read(1, r));
            QCOMPARE(r.get(AnalysisRecord::Esame), u"Glicemia"_s);
            QCOMPARE(r.get(AnalysisRecord::Data), u"07/03/2024"_s);
            QVERIFY(archive.close());
        }
        altKey(analyses->cmdEsci, Qt::Key_E);
        QVERIFY(start->isVisible());

        // The summary of the year, printed.
        activate(start);
        QVERIFY(tabTo(start->btnRiepiloghi));
        key(Qt::Key_Return);
        TfrmMenuRiepLavoro *criteria = app.ctx->screens.frmMenuRiepLavoro;
        QVERIFY(criteria->isVisible());
        activate(criteria);
        QCOMPARE(QApplication::focusWidget(), criteria->txtCodFisc);
        typeHere(kCode);
        QVERIFY(tabTo(criteria->txtGiornoInizio));
        chooseByKeys(criteria->txtGiornoInizio, Qt::Key_Home);
        QVERIFY(tabTo(criteria->txtMeseInizio));
        chooseByKeys(criteria->txtMeseInizio, Qt::Key_Home);
        QVERIFY(tabTo(criteria->txtGiornoFine));
        chooseByKeys(criteria->txtGiornoFine, Qt::Key_End);
        QVERIFY(tabTo(criteria->txtMeseFine));
        chooseByKeys(criteria->txtMeseFine, Qt::Key_End);
        QVERIFY(tabTo(criteria->btnVisualizza));
        app.dialogs->next<TfrmRiepLavoro>([](TfrmRiepLavoro &s) {
            QCOMPARE(s.lstRecords->model()->rowCount(), 1);
            QVERIFY(tabTo(s.btnStampa));
            key(Qt::Key_Return);
        });
        key(Qt::Key_Return);
        QCOMPARE(app.printing->printed.size(), 1);
        QVERIFY(QFileInfo(app.printing->renderTo).size() > 0);
    }

    // A value label reads as the value it shows, whatever name it had;
    // what the value is comes as its description.
    void valueLabelsReadAsTheyShow()
    {
        QWidget w;
        auto *label = new QLabel(&w);
        label->setAccessibleName(u"Numero della scheda"_s);
        access::valueLabel(label, u"Numero della scheda"_s);
        label->setText(u"12"_s);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(iface->text(QAccessible::Name), u"12"_s);
        QCOMPARE(iface->text(QAccessible::Description), u"Numero della scheda"_s);
        label->clear();
        QCOMPARE(iface->text(QAccessible::Name), QString());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
