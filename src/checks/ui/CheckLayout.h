#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace clinora {

class Picture;

// The controls both check dialogs share, laid out the same way: a logo across
// the top, the prompt under it, the edit with "Controlla" beside it, and
// "Chiudi" centred at the bottom.
struct CheckLayout {
    Picture *imgLogo;
    QLabel *lblTitolo;
    QLineEdit *edit;
    QPushButton *btnControlla;
    QPushButton *btnChiudi;
};

CheckLayout buildCheckLayout(QWidget *dialog, const QString &tagline, const QString &prompt,
                             const QString &editName, const QString &editCaption, int maxLength);

} // namespace clinora
