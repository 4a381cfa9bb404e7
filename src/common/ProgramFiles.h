#pragma once

#include <QStringView>

// What an installation ships beside the program, as the help and the
// password store both name it.
namespace clinora {

// The password file.
inline constexpr QStringView kPasswordFileName = u"unins000.dll";
// The password an installation ships with; the overview help text tells it.
inline constexpr QStringView kInitialPassword = u"CLINORA";

} // namespace clinora
