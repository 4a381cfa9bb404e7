#pragma once

#include "common/ui/Artwork.h"

#include <QColor>
#include <QRect>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The pieces the analyses tool dialogs are built from, so that the list
// dialogs look alike: a soft panel, a banner with a picture and a title,
// instruction lines, the find row and the command buttons.
namespace clinora::tools {

inline const QColor kDarkCyan(0, 139, 139);
inline const QColor kCrimson(220, 20, 60);

// The light panel that fills a dialog, or one of its pages.
QWidget *panel(QWidget *parent, const QString &name, const QRect &geometry);

// A blue banner with `glyph` on a white disc, `title` and a smaller `subtitle`.
QWidget *banner(QWidget *parent, const QString &name, const QRect &geometry, art::Glyph glyph,
                const QString &title, const QString &subtitle = QString());

// A line of plain text, in `color`, Verdana 9 (bold when asked).
QLabel *textLine(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                 const QColor &color = QColor(25, 40, 70), bool bold = false);

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

} // namespace clinora::tools
