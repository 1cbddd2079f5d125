// Window timers on the layer's clock (GetTickCount, which tests may replace).
// A due timer posts one WM_TIMER however many periods passed, as the system
// does; the toolkit wakes the layer when the next one is due.
#pragma once

#include <cstddef>

#include "platform/core/types.h"

namespace platform {

// Delivers WM_TIMER for every timer due at GetTickCount() now. Tests that
// drive the clock call it after moving the clock on.
void RunDueTimers();
// Timers of live windows.
size_t ActiveTimerCount();

}  // namespace platform
