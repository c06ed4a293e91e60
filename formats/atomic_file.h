// The atomic file writes live with the other helpers every floor uses.
#pragma once

#include "state/atomic_file.h"  // IWYU pragma: export
