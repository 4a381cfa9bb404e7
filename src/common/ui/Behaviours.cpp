#include "common/ui/Behaviours.h"
#include "common/ui/Palette.h"

#include <QEvent>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace clinora {

namespace {
constexpr int kHighlightMargin = 4;
const char *const kHintProperty = "clinoraHint";
} // namespace

FocusHighlight::FocusHighlight(QWidget *input) : QWidget(input->parentWidget()), m_input(input)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    follow();
    input->installEventFilter(this);
}

FocusHighlight *FocusHighlight::attach(QWidget *input, const QString &effName)
{
    auto *h = new FocusHighlight(input);
    h->setObjectName(effName);
    return h;
}

void FocusHighlight::follow()
{
    if (!m_input)
        return;
    setGeometry(m_input->geometry().adjusted(-kHighlightMargin, -kHighlightMargin,
                                             kHighlightMargin, kHighlightMargin));
    stackUnder(m_input);
}

bool FocusHighlight::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_input) {
        switch (event->type()) {
        case QEvent::FocusIn:
            follow();
            show();
            break;
        case QEvent::FocusOut:
            hide();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            follow();
            break;
        case QEvent::Hide:
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusHighlight::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF r = QRectF(rect());
    // Yellow inside, its border fading out to white.
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, palette::white);
    g.setColorAt(0.25, palette::highlightYellow);
    g.setColorAt(0.75, palette::highlightYellow);
    g.setColorAt(1.0, palette::white);
    p.fillRect(r, palette::highlightYellow);
    p.setPen(QPen(QBrush(g), 2));
    p.drawRect(r.adjusted(1, 1, -1, -1));
}

namespace {

// One filter object serves every input with Enter-to-next.
class EnterFilter : public QObject {
public:
    static EnterFilter &instance()
    {
        static EnterFilter filter;
        return filter;
    }
    void link(QWidget *from, QWidget *to)
    {
        m_targets.insert(from, to);
        from->installEventFilter(this);
        connect(from, &QObject::destroyed, this, [this, from] { m_targets.remove(from); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                const auto it = m_targets.constFind(watched);
                if (it != m_targets.constEnd()) {
                    if (*it)
                        (*it)->setFocus(Qt::OtherFocusReason);
                    return true;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QHash<QObject *, QPointer<QWidget>> m_targets;
};

} // namespace

void enterMovesTo(QWidget *from, QWidget *to) { EnterFilter::instance().link(from, to); }

void enterChain(std::initializer_list<QWidget *> inputs)
{
    if (inputs.size() < 2)
        return;
    for (auto it = inputs.begin(); it + 1 != inputs.end(); ++it)
        enterMovesTo(*it, *(it + 1));
}

void enterRing(std::initializer_list<QWidget *> inputs)
{
    enterChain(inputs);
    if (inputs.size() > 1)
        enterMovesTo(*(inputs.end() - 1), *inputs.begin());
}

HintLine::HintLine(QLabel *panInfo) : QObject(panInfo), m_label(panInfo) {}

void HintLine::addCommand(QWidget *command, const QString &hint)
{
    command->setProperty(kHintProperty, hint);
    // A screen reader reads the hint after the command's name.
    command->setAccessibleDescription(hint);
    command->installEventFilter(this);
    // A move over a command that does not take it (a check box, a button
    // not pressed) would go on to the background under it and empty the line.
    command->setAttribute(Qt::WA_NoMousePropagation);
}

void HintLine::addCommands(std::initializer_list<std::pair<QWidget *, QString>> commands)
{
    for (const auto &[w, hint] : commands)
        addCommand(w, hint);
}

void HintLine::addBackground(std::initializer_list<QWidget *> backgrounds)
{
    for (QWidget *w : backgrounds) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

bool HintLine::eventFilter(QObject *watched, QEvent *event)
{
    const QVariant hint = watched->property(kHintProperty);
    if (hint.isValid()) {
        // The keyboard's focus shows the hint as the mouse does.
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove || event->type() == QEvent::FocusIn)
            m_label->setText(hint.toString());
    } else if (event->type() == QEvent::MouseMove) {
        m_label->clear();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace clinora
