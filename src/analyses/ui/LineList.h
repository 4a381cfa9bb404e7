#pragma once

// The list moved to the common kit; this name stays for existing includes.
#include "common/ui/LineList.h"
