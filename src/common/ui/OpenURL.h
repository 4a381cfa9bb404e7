#pragma once

#include "common/ui/Services.h"

namespace clinora {

// Hands a path, folder, web address or mailto address to the desktop. The
// result is not examined and nothing is reported to the user.
class TMisc {
public:
    static void Open(const Services &services, const QString &sCommand) { services.shell->open(sCommand); }
};

} // namespace clinora
