#pragma once

#include "common/ui/Artwork.h"
#include "common/ui/Palette.h"

#include <QColor>
#include <QRect>
#include <QString>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QWidget;

// The pieces the list screens (the patient lists, the analyses tools, the
// summaries) are built from, so that they look alike: a soft panel, a
// banner with a picture and a title, instruction lines, the find row, the
// list of lines and the command buttons. The list itself is a LineList, or
// a lines view over a ListLinesModel.
namespace clinora::kit {

// The light panel that fills a dialog, or one of its pages; the patient
// lists' panel is a shade lighter (palette::listPanelTop, listPanelBorder).
QWidget *panel(QWidget *parent, const QString &name, const QRect &geometry, const QColor &top = palette::toolPanelTop,
               const QColor &border = palette::toolPanelBorder);

// A blue banner with `glyph` on a white disc, `title` and a smaller `subtitle`.
QWidget *banner(QWidget *parent, const QString &name, const QRect &geometry, art::Glyph glyph,
                const QString &title, const QString &subtitle = QString());

// A line of plain text, in `color`, Verdana 9 unless told (bold when asked).
QLabel *textLine(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                 const QColor &color = palette::toolTextNavy, bool bold = false, int pointSize = 9);

// A command button, Verdana 10 bold, that Enter presses once it has the focus
// (and never from another control).
QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &geometry);

// An input in Verdana 12 bold.
QLineEdit *input(QWidget *parent, const QString &name, const QRect &geometry, int maxLength = 0);

// The find row: a magnifier, the find box txtTrova and the button btnTrova "Trova".
struct FindRow {
    QLineEdit *txtTrova;
    QPushButton *btnTrova;
};
FindRow findRow(QWidget *parent, int left, int top, int width);

// A list of lines in Courier New 12, black on white, over a ListLinesModel
// (the view's model); every line is `lineWidth` pixels wide, so that the
// list scrolls sideways over long lines.
QListView *linesView(QWidget *parent, const QString &name, const QString &accessibleName, const QRect &geometry,
                     int lineWidth);

} // namespace clinora::kit
