#include "tests/support/ci.h"

#include <cstdlib>
#include <cstring>

namespace testsupport {

bool UnderCi()
{
    const char* value = std::getenv("CI");
    return value && (std::strcmp(value, "true") == 0 || std::strcmp(value, "1") == 0);
}

}  // namespace testsupport
