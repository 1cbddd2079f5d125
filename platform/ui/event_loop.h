// The toolkit's event loop for a program that has no windows yet: starts the
// toolkit, runs `start` inside the loop, and ends the loop after a while.
#pragma once

#include <functional>

namespace platform {

// Answers the loop's exit code. The audio output is installed before `start`.
int RunEventLoop(int& argc, char** argv, const std::function<void()>& start, int endAfterMilliseconds);

}  // namespace platform
