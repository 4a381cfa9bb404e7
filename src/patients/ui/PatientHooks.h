#pragma once

#include "patients/PatientRecord.h"

#include <functional>

namespace clinora {

// What a screen offers the patient lists (the search, the recontact list)
// under its CallerTag: where a picked patient goes.
struct PatientPickHook {
    std::function<void(const PatientRecord &record, qint64 number)> pick;
};

} // namespace clinora
