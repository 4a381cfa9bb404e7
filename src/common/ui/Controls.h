#pragma once

#include <QLineEdit>
#include <QPushButton>

// Plain controls made the way every screen wants them.
namespace clinora {

// Enter on `button` presses it while it has the focus.
void enterPressesButton(QAbstractButton *button);

// A push button that Enter presses only while it has the focus (no button is
// a default that Enter presses from elsewhere), with the hand cursor.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, const QRect &geometry);

// A one-line input named `name` with an optional maximum length.
QLineEdit *makeInput(QWidget *parent, const QString &name, const QRect &geometry, int maxLength = 0);

// How an input tidies its text: trimmed of the characters up to code 32 at
// both ends, upper-cased (a-z only), or both.
enum class Tidy { Trim, Upper, TrimUpper };

// Applies `rule` to the input's text now, keeping the cursor where it was
// relative to the text that stays. Nothing happens when the text is tidy.
void tidyText(QLineEdit *input, Tidy rule);
// Applies `rule` after every change the user types (not to text the program
// puts there).
void tidyWhileTyping(QLineEdit *input, Tidy rule);

} // namespace clinora
