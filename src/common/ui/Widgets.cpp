#include "common/ui/Widgets.h"

#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "report/ReportFonts.h"

#include <QComboBox>
#include <QEnterEvent>
#include <QLineEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPainterPath>
#include <QPixmapCache>

#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// The drawing kept under `key`, made by `draw` on a transparent pixmap of
// `size` (device-independent pixels) when it is not kept yet.
QPixmap keptPixmap(const QString &key, const QSizeF &size, qreal ratio, const std::function<void(QPainter &)> &draw)
{
    QPixmap drawn;
    if (!QPixmapCache::find(key, &drawn)) {
        drawn = QPixmap((size * ratio).toSize());
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(Qt::transparent);
        QPainter d(&drawn);
        d.setRenderHint(QPainter::Antialiasing);
        draw(d);
        d.end();
        QPixmapCache::insert(key, drawn);
    }
    return drawn;
}

// A button's glyph is drawn once for every size and place within a pixel and
// kept for the whole run: the dialogs that carry most buttons are made anew
// at every opening. It is drawn where it would have been drawn directly.
void drawKeptGlyph(QPainter &p, const QRectF &box, art::Glyph glyph)
{
    if (p.opacity() < 1) { // faded shape by shape, as drawn in place: not the same as a faded copy
        art::drawGlyph(p, box, glyph);
        return;
    }
    const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    // Strokes and shadows may reach a little past the box.
    constexpr qreal kMargin = 8;
    const QPointF origin(std::floor(box.left()) - kMargin, std::floor(box.top()) - kMargin);
    const QRectF local = box.translated(-origin);
    const QString key = u"button glyph|%1|%2,%3,%4x%5@%6"_s.arg(int(glyph))
                            .arg(local.left())
                            .arg(local.top())
                            .arg(local.width())
                            .arg(local.height())
                            .arg(ratio);
    const QSizeF size(std::ceil(local.right() + kMargin), std::ceil(local.bottom() + kMargin));
    p.drawPixmap(origin, keptPixmap(key, size, ratio, [&](QPainter &d) { art::drawGlyph(d, local, glyph); }));
}

} // namespace

Picture::Picture(QWidget *parent, const QString &name, PaintFn paint) : QWidget(parent), m_paint(std::move(paint))
{
    setObjectName(name);
}

Picture::Picture(QWidget *parent, const QString &name, art::Glyph glyph)
    : Picture(parent, name, [glyph](QPainter &p, const QRectF &r) { art::drawGlyph(p, r, glyph); })
{
    keepDrawing(u"glyph|%1"_s.arg(int(glyph)));
}

void Picture::setPaint(PaintFn paint)
{
    m_paint = std::move(paint);
    m_key.clear();
    update();
}

void Picture::keepDrawing(const QString &key)
{
    m_key = key;
    update();
}

void Picture::paintEvent(QPaintEvent *event)
{
    if (!m_paint)
        return;
    QPainter p(this);
    if (m_key.isEmpty()) {
        p.setRenderHint(QPainter::Antialiasing);
        m_paint(p, QRectF(rect()));
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QString key = u"Picture|%1|%2x%3@%4"_s.arg(m_key).arg(width()).arg(height()).arg(ratio);
    const QPixmap drawn = keptPixmap(key, QSizeF(size()), ratio, [this](QPainter &d) {
        // As a painter on the widget itself starts.
        d.setFont(font());
        d.setPen(palette().color(foregroundRole()));
        m_paint(d, QRectF(rect()));
    });
    p.setClipRegion(event->region());
    p.drawPixmap(0, 0, drawn);
}

PictureButton::PictureButton(QWidget *parent, const QString &name, const QString &lettering, art::Glyph glyph,
                             Style style, const QColor &base)
    : QAbstractButton(parent), m_lettering(lettering), m_glyph(glyph), m_style(style), m_base(base)
{
    setObjectName(name);
    setAccessibleName(lettering);
    setCursor(Qt::PointingHandCursor);
    // Reached by Tab and pressed by Enter or Space; a click leaves the focus
    // where it was, so that an input keeps it while the mouse works.
    setFocusPolicy(Qt::TabFocus);
}

void PictureButton::setShortcutLetter(QChar letter)
{
    m_letter = letter.toUpper();
    setShortcut(QKeySequence(Qt::ALT | Qt::Key(m_letter.unicode())));
    update();
}

void PictureButton::keyPressEvent(QKeyEvent *e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(e);
}

void PictureButton::focusInEvent(QFocusEvent *e)
{
    update();
    QAbstractButton::focusInEvent(e);
}

void PictureButton::focusOutEvent(QFocusEvent *e)
{
    update();
    QAbstractButton::focusOutEvent(e);
}

void drawFocusMark(QPainter &p, const QRectF &r, qreal radius)
{
    p.save();
    p.setOpacity(1);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(palette::highlightYellow, 2.5));
    p.drawRoundedRect(r.adjusted(2, 2, -2, -2), radius - 1, radius - 1);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.drawRoundedRect(r.adjusted(3.75, 3.75, -3.75, -3.75), radius - 2, radius - 2);
    p.restore();
}

QSize PictureButton::sizeHint() const
{
    switch (m_style) {
    case Style::Command:
        return {148, 32};
    case Style::Icon:
        return {37, 39};
    case Style::Tile:
        return {120, 120};
    }
    return {148, 32};
}

void PictureButton::enterEvent(QEnterEvent *e)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(e);
}

void PictureButton::leaveEvent(QEvent *e)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(e);
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool down = isDown();
    const qreal shift = down ? 1.0 : 0.0;
    if (!isEnabled())
        p.setOpacity(0.45);

    if (m_style == Style::Command) {
        QColor top = m_base.lighter(m_hover ? 150 : 135), bottom = m_base.darker(down ? 130 : 110);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(0.5, m_base.lighter(m_hover ? 115 : 105));
        g.setColorAt(1, bottom);
        p.setPen(QPen(m_base.darker(150), 1));
        p.setBrush(g);
        p.drawRoundedRect(r, 6, 6);
        const qreal icon = r.height() - 8;
        QRectF iconBox(r.left() + 5 + shift, r.top() + 4 + shift, icon, icon);
        if (m_glyph != art::Glyph::None) {
            paintFlatPanel(p, iconBox.adjusted(-1, -1, 1, 1), 4, QColor(255, 255, 255, 225));
            drawKeptGlyph(p, iconBox.adjusted(2, 2, -2, -2), m_glyph);
        }
        QFont f = designFont(u"Verdana"_s, 9, true);
        p.setFont(f);
        const QRectF textBox = r.adjusted((m_glyph != art::Glyph::None ? icon + 10 : 6) + shift, shift, -6, 0);
        QString shown = m_lettering;
        shown.replace(u'&', u"&&"_s);
        int flags = Qt::AlignCenter;
        if (!m_letter.isNull()) {
            const qsizetype at = shown.indexOf(m_letter, 0, Qt::CaseInsensitive);
            if (at >= 0) {
                shown.insert(at, u'&');
                flags |= Qt::TextShowMnemonic;
            }
        }
        p.setPen(QColor(0, 0, 0, 70));
        p.drawText(textBox.translated(1, 1), flags, shown);
        p.setPen(Qt::white);
        p.drawText(textBox, flags, shown);
        if (hasFocus())
            drawFocusMark(p, QRectF(rect()));
        return;
    }

    if (m_hover || down) {
        paintFlatPanel(p, QRectF(rect()), 6, QColor(255, 255, 255, down ? 110 : 70), QColor(255, 255, 255, 160));
    }
    const QRectF inner = r.adjusted(2 + shift, 2 + shift, -2 + shift, -2 + shift);
    if (m_style == Style::Icon) {
        if (m_paint)
            m_paint(p, inner);
        else
            drawKeptGlyph(p, inner, m_glyph);
        if (hasFocus())
            drawFocusMark(p, QRectF(rect()));
        return;
    }
    // Tile: picture above, lettering below.
    const qreal textH = m_lettering.isEmpty() ? 0 : std::min(inner.height() * 0.3, 36.0);
    const QRectF pic(inner.left(), inner.top(), inner.width(), inner.height() - textH);
    if (m_paint)
        m_paint(p, pic);
    else
        drawKeptGlyph(p, pic.adjusted(6, 6, -6, -6), m_glyph);
    if (textH > 0) {
        p.setFont(designFont(u"Verdana"_s, 10, true));
        p.setPen(QColor(20, 50, 100));
        p.drawText(QRectF(inner.left(), pic.bottom(), inner.width(), textH), Qt::AlignCenter | Qt::TextWordWrap,
                   m_lettering);
    }
    if (hasFocus())
        drawFocusMark(p, QRectF(rect()));
}

LinkLabel::LinkLabel(QWidget *parent, const QString &name, const QString &text) : QLabel(text, parent)
{
    setObjectName(name);
    setAccessibleName(text);
    QFont f = designFont(u"Verdana"_s, 14);
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setPressedLook(false);
}

void LinkLabel::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !e->isAutoRepeat()) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(e);
}

void LinkLabel::paintEvent(QPaintEvent *e)
{
    QLabel::paintEvent(e);
    if (hasFocus()) {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        drawFocusMark(p, QRectF(rect()), 4);
    }
}

void LinkLabel::setPressedLook(bool pressed)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, pressed ? art::colors::linkPressed : art::colors::linkBlue);
    setPalette(pal);
}

void LinkLabel::addCompanion(QWidget *picture)
{
    picture->setCursor(Qt::PointingHandCursor);
    picture->installEventFilter(this);
}

void LinkLabel::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        setPressedLook(true);
    QLabel::mousePressEvent(e);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *e)
{
    setPressedLook(false);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(e);
}

bool LinkLabel::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            setPressedLook(true);
    } else if (event->type() == QEvent::MouseButtonRelease && w) {
        auto *me = static_cast<QMouseEvent *>(event);
        setPressedLook(false);
        if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint()))
            emit clicked();
    }
    return QLabel::eventFilter(watched, event);
}

QLabel *hiddenLabel(QWidget *parent, const QString &name, const QString &designText)
{
    auto *l = new QLabel(designText, parent);
    l->setObjectName(name);
    l->setVisible(false);
    return l;
}

QLabel *captionFor(QWidget *parent, QWidget *input, const QString &caption, const QFont &font)
{
    auto *l = new QLabel(caption, parent);
    l->setFont(font);
    l->setBuddy(input);
    input->setAccessibleName(caption);
    // The text field inside an editable combo is what takes the focus.
    if (auto *combo = qobject_cast<QComboBox *>(input); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(caption);
    return l;
}

QFont designFont(const QString &family, int pointSize, bool bold)
{
    report::registerCompatibleFonts();
    QFont f(family, pointSize, bold ? QFont::Bold : QFont::Normal);
    // Verdana and Tahoma are absent on most free systems; DejaVu Sans has
    // their proportions. Arial and Courier New have metric twins.
    f.setFamilies({family, family == u"Courier New"_s ? u"Liberation Mono"_s
                                                      : (family == u"Arial"_s ? u"Liberation Sans"_s
                                                                              : u"DejaVu Sans"_s)});
    return f;
}

} // namespace clinora
