// Root reads and writes past every permission, so what a refused permission
// does cannot be seen as root. A test that needs it starts with
// DIZADO_RUN_UNPRIVILEGED(): as root, the test runs again in a copy of this
// binary as an unprivileged user, its outcome becomes this one's, and the body
// is not run here.
#pragma once

#include <unistd.h>

namespace testsupport {

// Runs the current test in a child that dropped to the user "nobody" (its
// failures fail this test). Where no privilege can be dropped, the test
// skips, which fails the run under CI.
void RunAgainUnprivileged();

}  // namespace testsupport

#define DIZADO_RUN_UNPRIVILEGED()                     \
    do {                                              \
        if (::geteuid() == 0) {                       \
            ::testsupport::RunAgainUnprivileged();    \
            return;                                   \
        }                                             \
    } while (false)
