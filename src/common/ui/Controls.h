#pragma once

#include <QLineEdit>
#include <QPushButton>

// Plain controls made the way every screen wants them.
namespace clinora {

// A push button that Enter never presses by accident (screens decide what
// Enter does), with the hand cursor.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, const QRect &geometry);

// A one-line input named `name` with an optional maximum length.
QLineEdit *makeInput(QWidget *parent, const QString &name, const QRect &geometry, int maxLength = 0);

} // namespace clinora
