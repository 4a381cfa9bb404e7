#pragma once

// The splash screen lives beside the information screen.
#include "app/ui/Info.h"
