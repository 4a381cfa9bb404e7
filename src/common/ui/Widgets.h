#pragma once

#include "common/ui/Artwork.h"
#include "common/ui/Palette.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

#include <functional>

class QLineEdit;

// Small widgets the screens are built from.
namespace clinora {

using PaintFn = std::function<void(QPainter &, const QRectF &)>;

// A surface painted by a function: backgrounds, boards, bands, pictures.
class Picture : public QWidget {
    Q_OBJECT
public:
    Picture(QWidget *parent, const QString &name, PaintFn paint);
    // A picture showing one glyph.
    Picture(QWidget *parent, const QString &name, art::Glyph glyph);
    void setPaint(PaintFn paint);
    // A drawing that always looks the same for the same `key` is made once
    // for every size and kept for the whole program: a screen made again
    // shows a copy of it. A large plain surface is quicker drawn afresh.
    void keepDrawing(const QString &key);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PaintFn m_paint;
    QString m_key;
};

// A clickable picture that carries its own lettering (or only a glyph), with
// the hand cursor. Its accessible name is its lettering, or the short name
// given for a picture without one.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Style {
        Command, // lettered bar with an icon at its left
        Icon,    // a glyph only
        Tile,    // large glyph with the lettering under it
    };
    PictureButton(QWidget *parent, const QString &name, const QString &lettering, art::Glyph glyph,
                  Style style = Style::Command, const QColor &base = palette::buttonBlue);
    // Replaces the drawing of an Icon or Tile picture.
    void setPaint(PaintFn paint) { m_paint = std::move(paint); update(); }
    QString lettering() const { return m_lettering; }
    // Alt + `letter` presses the picture; the letter is underlined in the
    // lettering of a Command picture.
    void setShortcutLetter(QChar letter);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void enterEvent(QEnterEvent *) override;
    void leaveEvent(QEvent *) override;

private:
    QString m_lettering;
    art::Glyph m_glyph;
    Style m_style;
    QColor m_base;
    PaintFn m_paint;
    bool m_hover = false;
    QChar m_letter;
};

// The mark of a picture that has the keyboard focus: the yellow of the
// inputs' focus highlight as a frame, fading to white at its edges, drawn
// over `r`.
void drawFocusMark(QPainter &p, const QRectF &r, qreal radius = 6);

// An underlined link text (a link for assistive technology) that turns orange while the mouse button is held
// on it (or on a picture tied to it) and back to dark blue on release.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(QWidget *parent, const QString &name, const QString &text);
    // A picture beside the link that behaves as part of it.
    void addCompanion(QWidget *picture);
    void setPressedLook(bool pressed);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Reached by Tab, followed by Enter or Space, marked while focused.
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
};

// A label the program uses as a variable: never visible.
QLabel *hiddenLabel(QWidget *parent, const QString &name, const QString &designText = QString());

// A caption label for an input: its buddy, so that assistive technology reads
// the caption as the input's name.
QLabel *captionFor(QWidget *parent, QWidget *input, const QString &caption, const QFont &font);

// Fonts of the design; families that are missing fall back to metric-alike ones.
QFont designFont(const QString &family, int pointSize, bool bold = false);

} // namespace clinora
