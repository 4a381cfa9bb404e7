// What a screen reader and a keyboard reach: every screen walked through the
// toolkit's accessibility interface, as assistive technology walks it, and
// whole tasks done with the keys alone.
#include "analyses/ui/AnalisiCliniche.h"
#include "analyses/ui/MenuAnalisi.h"
#include "app/ui/Avvio.h"
#include "app/ui/Password.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Widgets.h"
#include "patients/ui/Clienti.h"
#include "patients/ui/TrovaClienti.h"
#include "summary/ui/Grafico.h"
#include "summary/ui/MenuRiepLavoro.h"
#include "summary/ui/RiepLavoro.h"
#include "support/TestApp.h"

#include <QAccessible>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using namespace clinora;
using namespace clinora::test;

namespace {

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
            if (name.isEmpty())
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
            if (iface->text(QAccessible::Name) != shown && iface->text(QAccessible::Value) != shown)
                faults << m_window + u": a label that says \"%1\" and shows \"%2\": "_s.arg(
                              iface->text(QAccessible::Name), shown)
                              + label->objectName();
        }
    }

    QHash<QString, QString> m_names;
    QString m_window;
};

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
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
