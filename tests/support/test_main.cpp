// The entry of every test binary. Skips go through DIZADO_SKIP, which fails
// under CI; a skip that came another way (another thread, a bare GTEST_SKIP)
// still fails the binary there.
#include <cstdio>

#include <gtest/gtest.h>

#include "tests/support/ci.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    const int skipped = testing::UnitTest::GetInstance()->skipped_test_count();
    if (testsupport::UnderCi() && skipped > 0) {
        std::printf("%d test(s) skipped under CI=true: the run fails\n", skipped);
        return 1;
    }
    return status;
}
