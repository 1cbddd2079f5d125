// libFuzzer's entry into the one target linked with it.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/fuzz_target.h"

namespace {

fuzz::RunFunction TheTarget()
{
    static const fuzz::RunFunction run = [] {
        const std::vector<fuzz::Target> targets = fuzz::Targets();
        if (targets.size() != 1) {
            std::fprintf(stderr, "a fuzzer links exactly one target, not %zu\n", targets.size());
            std::abort();
        }
        return targets.front().run;
    }();
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return TheTarget()(data, size);
}
