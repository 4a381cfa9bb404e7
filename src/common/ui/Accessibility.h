#pragma once

#include <QAccessible>
#include <QString>

class QLabel;
class QWidget;

// What assistive technology (a screen reader, a braille line) learns of the
// screens beyond what the widgets tell by themselves.
namespace clinora::access {

// Installs, once for the whole program, what every screen relies on: the
// working areas announced as windows with their titles, the pictures that
// only repeat a command for the mouse announced as pictures, and no command
// run by assistive technology in a window that a modal dialog covers.
void install();

// Names a control and gives it its hint as the description read after the
// name. An empty description leaves the one it has.
void describe(QWidget *control, const QString &name, const QString &description = QString());

// A label that shows a value (a record number, a count, a total): its name is
// the text it shows, so that a screen reader reads the value and hears it
// change; `what` tells what the value is.
void valueLabel(QLabel *label, const QString &what);

// A picture that repeats, for the mouse, a command the keyboard reaches
// elsewhere on the screen: it takes no focus and is announced with `role`
// (a graphic, a static text) instead of as a second command.
void mouseAlias(QWidget *picture, QAccessible::Role role);

// Every event told to assistive technology passes here on its way to the
// platform (the toolkit's own events too: install() makes it their handler).
void tell(QAccessibleEvent *event);

// Says `text` once, as a notification, a moment later, wherever the
// keyboard is: for what changes on a screen without the focus moving (a
// hint, a total, the card just shown).
void announce(QWidget *where, const QString &text);

// True while a modal dialog other than `w`'s own window is open: the window
// of `w` cannot take input then.
bool coveredByModal(const QWidget *w);

} // namespace clinora::access
