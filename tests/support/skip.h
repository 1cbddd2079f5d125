// The one way a test skips. Under CI (CI=true) everything a test needs is
// installed and every privilege can be dropped, so there the skip is a fatal
// failure that names what was missing; elsewhere the test skips, saying why.
// A bare GTEST_SKIP would let a CI run pass on tests that never ran.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/ci.h"

#define DIZADO_SKIP(reason)                                                                      \
    do {                                                                                         \
        if (::testsupport::UnderCi())                                                            \
            GTEST_FAIL() << "Skipped under CI=true, where nothing may be missing: " << (reason); \
        GTEST_SKIP() << (reason);                                                                \
    } while (false)
