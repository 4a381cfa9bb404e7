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
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QAbstractItemView>
#include <QTextDocument>

using namespace Qt::StringLiterals;

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

// The text attributes of a plain text: one run, with no attribute, over the
// whole text. A screen reader reads a line run by run; an empty run (the
// toolkit's answer for its line edits) makes it stop before the caret, so a
// filled field was heard without its last character.
QString wholeRun(int count, int *start, int *end)
{
    *start = 0;
    *end = count;
    return QString();
}

// What a line edit lets assistive technology read: its text, or, for a
// password, one asterisk a character (nothing when it echoes nothing).
QString readableText(const QLineEdit *edit)
{
    switch (edit->echoMode()) {
    case QLineEdit::Normal:
        return edit->text();
    case QLineEdit::NoEcho:
        return QString();
    default:
        return QString(edit->text().size(), u'*');
    }
}

bool hidesText(const QObject *object)
{
    const auto *edit = qobject_cast<const QLineEdit *>(object);
    return edit && edit->echoMode() != QLineEdit::Normal;
}

// A one-line input: its text with the caret, the selection and the editing
// a screen reader uses, told as one run of text.
class LineEditInterface : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit LineEditInterface(QWidget *w) : QAccessibleWidget(w, QAccessible::EditableText) {}

    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
    QString shown() const { return readableText(edit()); }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    // The text field of an editable combo box: the box, named by its
    // caption, is what a screen reader names; a name here is said again
    // after it ("Esito: casella combinata. Esito.").
    bool insideCombo() const
    {
        const auto *combo = qobject_cast<const QComboBox *>(edit()->parentWidget());
        return combo && combo->lineEdit() == edit();
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return shown();
        if (t == QAccessible::Name && insideCombo())
            return QString();
        QString said = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && said.isEmpty())
            said = edit()->placeholderText();
        return said;
    }
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t != QAccessible::Value) {
            QAccessibleWidget::setText(t, text);
            return;
        }
        if (!edit()->isReadOnly() && !coveredByModal(edit()))
            edit()->setText(text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        st.editable = !edit()->isReadOnly();
        st.readOnly = edit()->isReadOnly();
        st.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        st.selectableText = true;
        return st;
    }

    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && edit()->hasSelectedText()) {
            *start = edit()->selectionStart();
            *end = edit()->selectionEnd();
        }
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            edit()->deselect();
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override
    {
        return start > end ? QString() : shown().mid(start, end - start);
    }
    int characterCount() const override { return int(shown().size()); }
    QRect characterRect(int offset) const override
    {
        const QString drawn = edit()->displayText();
        const QFontMetrics fm(edit()->font());
        const QRect inside = edit()->contentsRect();
        const QRect r(inside.left() + 2 + fm.horizontalAdvance(drawn.left(offset)),
                      inside.top() + (inside.height() - fm.height()) / 2, fm.horizontalAdvance(drawn.mid(offset, 1)),
                      fm.height());
        return QRect(edit()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override { return wholeRun(characterCount(), start, end); }

    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        if (edit()->isReadOnly() || coveredByModal(edit()) || start < 0 || start > end)
            return;
        QString now = edit()->text();
        now.replace(start, end - start, text);
        edit()->setText(now);
    }
};

// `text` with each run of line breaks made one blank.
QString oneLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    bool broken = false;
    for (const QChar c : text) {
        const bool brk = c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
        if (brk) {
            broken = true;
            continue;
        }
        if (broken && !out.isEmpty() && !out.endsWith(u' ') && c != u' ')
            out += u' ';
        broken = false;
        out += c;
    }
    return out;
}

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
        // As a name, on one line: a screen reader passes over a label whose
        // name breaks lines (the text of every message box of two paragraphs).
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return oneLine(shown());
        return QAccessibleWidget::text(t);
    }
    // A caption is the label of its input: a screen reader then reads it
    // with the input, not again among a dialog's texts.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        const QWidget *buddy = static_cast<const QLabel *>(widget())->buddy();
        if ((match & QAccessible::Labelled) && buddy)
            if (QAccessibleInterface *labelled = QAccessible::queryAccessibleInterface(const_cast<QWidget *>(buddy)))
                found.append({labelled, QAccessible::Labelled});
        return found;
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
    QString attributes(int, int *start, int *end) const override { return wholeRun(characterCount(), start, end); }
};

const char *const kAnnouncement = "annuncio";

// What is said by announce(): a notification that is never drawn.
class AnnouncementInterface : public QAccessibleWidget {
public:
    explicit AnnouncementInterface(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? widget()->property(kToldProperty).toString() : QAccessibleWidget::text(t);
    }
};

// Every event told to assistive technology passes here. The toolkit sends
// what is typed into a password field in its text events: they go on with
// an asterisk for each character, as the field shows it.
QAccessible::UpdateHandler g_platformUpdate = nullptr;

void tellEvent(QAccessibleEvent *event);

void forward(QAccessibleEvent *event)
{
    if (g_platformUpdate) {
        g_platformUpdate(event);
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(tellEvent);
}

QString stars(const QString &text) { return QString(text.size(), u'*'); }

// The object whose focus was told last.
QPointer<QObject> g_toldFocus;

void tellEvent(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::Focus)
        g_toldFocus = event->object();
    // A line edit moves its caret as it takes the focus, before the toolkit
    // tells the focus: a screen reader then takes the caret's move for the
    // focus and says only the key pressed. The caret of an input whose
    // focus has not been told yet is not told.
    if (event->type() == QAccessible::TextCaretMoved && qobject_cast<QLineEdit *>(event->object())
        && event->object() != g_toldFocus)
        return;
    if (hidesText(event->object())) {
        QObject *edit = event->object();
        switch (event->type()) {
        case QAccessible::TextInserted: {
            const auto *e = static_cast<QAccessibleTextInsertEvent *>(event);
            QAccessibleTextInsertEvent masked(edit, e->changePosition(), stars(e->textInserted()));
            forward(&masked);
            return;
        }
        case QAccessible::TextRemoved: {
            const auto *e = static_cast<QAccessibleTextRemoveEvent *>(event);
            QAccessibleTextRemoveEvent masked(edit, e->changePosition(), stars(e->textRemoved()));
            forward(&masked);
            return;
        }
        case QAccessible::TextUpdated: {
            const auto *e = static_cast<QAccessibleTextUpdateEvent *>(event);
            QAccessibleTextUpdateEvent masked(edit, e->changePosition(), stars(e->textRemoved()),
                                              stars(e->textInserted()));
            forward(&masked);
            return;
        }
        default:
            break;
        }
    }
    forward(event);
}

// A list tells the focus of its current line before the toolkit tells the
// focus of the list itself, so a screen reader lands on the list and never
// says the line: the line's focus is told again once the list has it.
void tellCurrentLine(QAbstractItemView *view)
{
    QPointer<QAbstractItemView> guard(view);
    QTimer::singleShot(0, view, [guard] {
        if (!guard || !guard->hasFocus() || !guard->currentIndex().isValid() || !guard->model())
            return;
        const QModelIndex current = guard->currentIndex();
        QAccessibleEvent focus(guard.data(), QAccessible::Focus);
        focus.setChild(current.row() * std::max(1, guard->model()->columnCount(current.parent())) + current.column());
        tellEvent(&focus);
    });
}

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
    if (className == QLatin1StringView("QLineEdit"))
        return new LineEditInterface(w);
    if (className == QLatin1StringView("QWidget") && w->objectName() == QLatin1StringView(kAnnouncement))
        return new AnnouncementInterface(w);
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
        if (event->type() == QEvent::FocusIn) {
            if (auto *view = qobject_cast<QAbstractItemView *>(watched))
                tellCurrentLine(view);
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
    g_platformUpdate = QAccessible::installUpdateHandler(tellEvent);
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

void tell(QAccessibleEvent *event) { tellEvent(event); }

void announce(QWidget *where, const QString &text)
{
    if (!where || text.trimmed().isEmpty())
        return;
    QWidget *window = where->window();
    auto *said = window->findChild<QWidget *>(QLatin1StringView(kAnnouncement), Qt::FindDirectChildrenOnly);
    if (!said) {
        said = new QWidget(window);
        said->setObjectName(QLatin1StringView(kAnnouncement));
        said->setFocusPolicy(Qt::NoFocus);
        said->hide();
        // Said a moment later, after what the focus says: a command that
        // moves the focus and changes the screen is heard in that order,
        // and what changes twice in that moment is said once, as it ends.
        auto *later = new QTimer(said);
        later->setObjectName(u"annuncioTimer"_s);
        later->setSingleShot(true);
        later->setInterval(250);
        QObject::connect(later, &QTimer::timeout, said, [said] {
            QAccessibleEvent shown(said, QAccessible::ObjectShow);
            tellEvent(&shown);
        });
    }
    said->setProperty(kToldProperty, text);
    if (auto *later = said->findChild<QTimer *>(u"annuncioTimer"_s))
        later->start();
}

bool coveredByModal(const QWidget *w)
{
    const QWidget *modal = QApplication::activeModalWidget();
    return modal && w && w->window() != modal;
}

} // namespace clinora::access
