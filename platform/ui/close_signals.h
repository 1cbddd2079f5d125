// The ends that come from outside the program: SIGTERM (logout, shutdown),
// SIGHUP (the terminal went), SIGINT (Ctrl+C), and the session manager's
// request to save. Each becomes a call on the main loop, never code inside a
// signal handler, so that the program can save and close as it would for the
// child.
#pragma once

#include <functional>

namespace platform {

// `close` runs on the main loop once per signal received, with its number.
// The handler itself only writes that number into a pipe. Call again to
// replace `close`; an empty one restores the default ends.
void InstallCloseSignals(std::function<void(int signal)> close);

// `save` runs when the session manager asks the program to save its work
// (the desktop is about to end the session). Empty: not answered.
void SetSessionSaveHook(std::function<void()> save);

}  // namespace platform
