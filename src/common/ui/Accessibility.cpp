#include "common/ui/Accessibility.h"

#include "common/ui/Widgets.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QTextDocument>

namespace clinora::access {

namespace {

const char *const kRoleProperty = "clinoraAccessibleRole";
const char *const kToldProperty = "clinoraToldText";

// A picture button: a push button, or, when it only repeats a command for
// the mouse, what it was marked as. Asked at every call: the toolkit makes
// the interface as soon as a name is given, before the screen marks it.
class PictureButtonInterface : public QAccessibleWidget {
public:
    explicit PictureButtonInterface(QWidget *w) : QAccessibleWidget(w, QAccessible::PushButton) {}

    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
    bool isCommand() const { return !widget()->property(kRoleProperty).isValid(); }

    QAccessible::Role role() const override
    {
        const QVariant marked = widget()->property(kRoleProperty);
        return marked.isValid() ? QAccessible::Role(marked.toInt()) : QAccessible::PushButton;
    }
    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        st.pressed = isCommand() && button()->isDown();
        return st;
    }
    QStringList actionNames() const override
    {
        QStringList names;
        if (isCommand() && widget()->isEnabled())
            names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction()) {
            if (isCommand() && widget()->isEnabled() && !coveredByModal(widget()))
                button()->animateClick();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString &action) const override
    {
        if (action == pressAction() && !button()->shortcut().isEmpty())
            return {button()->shortcut().toString(QKeySequence::NativeText)};
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

// A link text: a link that the keyboard follows.
class LinkInterface : public QAccessibleWidget {
public:
    explicit LinkInterface(QWidget *w) : QAccessibleWidget(w, QAccessible::Link) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // As Enter on the focused link does, unless a modal dialog covers it.
        if (widget()->isEnabled() && !coveredByModal(widget())) {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(widget(), &enter);
        }
    }
};

// A picture with a name (a logo, a heading drawn as a picture) is a graphic;
// one without is a plain surface.
class PictureInterface : public QAccessibleWidget {
public:
    explicit PictureInterface(QWidget *w) : QAccessibleWidget(w, QAccessible::Client) {}
    QAccessible::Role role() const override
    {
        return widget()->accessibleName().isEmpty() ? QAccessible::Client : QAccessible::Graphic;
    }
};

// A label exposes its text as text too, not only as its name, so that a
// screen reader can read it by words and lines like any text.
class LabelInterface : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LabelInterface(QWidget *w) : QAccessibleWidget(w, QAccessible::StaticText) {}

    QString shown() const
    {
        const auto *label = static_cast<const QLabel *>(widget());
        if (label->textFormat() != Qt::PlainText && Qt::mightBeRichText(label->text())) {
            QTextDocument doc;
            doc.setHtml(label->text());
            return doc.toPlainText();
        }
        return label->text();
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return shown();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        st.readOnly = true;
        return st;
    }

    // Text: the label's text, read only, with no selection and no caret.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return int(shown().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return QString();
    }
};

// Interfaces for our own classes; Qt's own classes keep Qt's.
QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w)
        return nullptr;
    // A working area is a top-level widget, which Qt would announce as a
    // plain filler: it is a window with a title.
    if (className == QLatin1StringView("clinora::WorkingArea"))
        return new QAccessibleWidget(w, QAccessible::Window);
    if (className == QLatin1StringView("clinora::PictureButton"))
        return new PictureButtonInterface(w);
    if (className == QLatin1StringView("clinora::LinkLabel"))
        return new LinkInterface(w);
    if (className == QLatin1StringView("clinora::Picture"))
        return new PictureInterface(w);
    return nullptr;
}

// Watches the whole program. Assistive technology presses a button by
// animating a click, which ends in a timer event: one that reaches a button
// of a window under a modal dialog is dropped, as a mouse click there would
// be.
class ProgramWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Qt's own labels are first given the toolkit's interface, which has
        // no text: a label gets ours before it is first shown.
        if (event->type() == QEvent::Polish) {
            if (auto *label = qobject_cast<QLabel *>(watched); label && !qobject_cast<LinkLabel *>(label)) {
                QAccessibleInterface *had = QAccessible::queryAccessibleInterface(label);
                if (had && !had->textInterface()) {
                    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(had));
                    QAccessible::registerAccessibleInterface(new LabelInterface(label));
                }
            }
        }
        if (event->type() == QEvent::Timer) {
            if (auto *b = qobject_cast<QAbstractButton *>(watched); b && coveredByModal(b)) {
                b->setDown(false);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// A label's text changes without a signal; it is painted again after every
// change while it is on screen, which is when a change is worth telling.
class ValueWatch : public QObject {
public:
    static ValueWatch &instance()
    {
        static ValueWatch watch;
        return watch;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *label = static_cast<QLabel *>(watched);
            const QVariant told = label->property(kToldProperty);
            if (!told.isValid() || told.toString() != label->text()) {
                label->setProperty(kToldProperty, label->text());
                if (told.isValid()) {
                    QAccessibleEvent changed(label, QAccessible::NameChanged);
                    QAccessible::updateAccessibility(&changed);
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void install()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QAccessible::installFactory(factory);
    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance()))
        app->installEventFilter(new ProgramWatch(app));
}

void describe(QWidget *control, const QString &name, const QString &description)
{
    control->setAccessibleName(name);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
}

void valueLabel(QLabel *label, const QString &what)
{
    // With no name of its own a label is named by its text.
    label->setAccessibleName(QString());
    label->setAccessibleDescription(what);
    label->installEventFilter(&ValueWatch::instance());
}

void mouseAlias(QWidget *picture, QAccessible::Role role)
{
    picture->setFocusPolicy(Qt::NoFocus);
    picture->setProperty(kRoleProperty, int(role));
}

bool coveredByModal(const QWidget *w)
{
    const QWidget *modal = QApplication::activeModalWidget();
    return modal && w && w->window() != modal;
}

} // namespace clinora::access
