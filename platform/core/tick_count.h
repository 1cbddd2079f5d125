// Milliseconds from a monotonic clock, as the program's timing expects them:
// 32 bits that wrap, so callers compare differences. Tests can put a clock of
// their own in its place.
#pragma once

#include <functional>

#include "platform/core/types.h"

DWORD GetTickCount();

namespace platform {

using TickSource = std::function<DWORD()>;
// Answers the previous source; an empty one goes back to the real clock.
TickSource SetTickSource(TickSource source);

}  // namespace platform
