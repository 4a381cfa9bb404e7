#pragma once

#include <QString>
#include <QUrl>

namespace clinora {

// What the desktop should open for a shell command as the screens build it:
// the surrounding double quotes go; a web or mailto address stays an address
// (a mailto keeps its subject and body); anything else is a local file or
// folder. Nothing is ever run through a command line.
QUrl shellTarget(const QString &command);

} // namespace clinora
