#pragma once

#include <QString>
#include <QStringView>

#include <functional>

class QWidget;

namespace clinora {

// The text a control of `screen` shows, found by its name: an input, the
// text of a combo, a multi-line text or a label. Empty if there is none.
QString controlText(const QWidget *screen, QStringView name);

// Looks up controls of `screen` by name, as card prints read their fields.
using ControlTextLookup = std::function<QString(QStringView controlName)>;
ControlTextLookup controlTexts(const QWidget *screen);

} // namespace clinora
