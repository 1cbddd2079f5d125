// Runs every fuzz target, without libFuzzer, on its seeds and on every input
// that once made it fail (regressions/<target>/).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;

const fs::path kRegressions = DIZADO_FUZZ_REGRESSIONS;

std::vector<std::string> TargetNames()
{
    std::vector<std::string> names;
    for (const fuzz::Target& target : fuzz::Targets())
        names.push_back(target.name);
    return names;
}

fuzz::Target Find(const std::string& name)
{
    for (const fuzz::Target& target : fuzz::Targets())
        if (name == target.name)
            return target;
    return fuzz::Target{};
}

// A copy of exactly the input's size, as libFuzzer hands it over, so that the
// sanitizers see a read past its end.
void RunOn(const fuzz::Target& target, const fuzz::Bytes& bytes)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
    if (!bytes.empty())
        std::memcpy(exact.get(), bytes.data(), bytes.size());
    target.run(exact.get(), bytes.size());
}

class FuzzTarget : public testing::TestWithParam<std::string> {};

TEST_P(FuzzTarget, RunsCleanOnItsSeedsAndPastFailures)
{
    const fuzz::Target target = Find(GetParam());
    ASSERT_NE(target.run, nullptr);
    fuzz::Seeds seeds;
    target.seeds(seeds);
    EXPECT_FALSE(seeds.All().empty()) << "its fixtures are missing";
    for (const auto& [name, bytes] : seeds.All()) {
        SCOPED_TRACE("seed " + name);
        RunOn(target, bytes);
    }
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kRegressions / GetParam(), error)) {
        SCOPED_TRACE(entry.path().string());
        RunOn(target, fuzz::ReadFile(entry.path().string()));
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, FuzzTarget, testing::ValuesIn(TargetNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// A folder of saved inputs that no target claims would never run.
TEST(FuzzRegressions, EveryFolderBelongsToATarget)
{
    const std::vector<std::string> names = TargetNames();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kRegressions, error)) {
        if (!entry.is_directory())
            continue;
        EXPECT_NE(std::find(names.begin(), names.end(), entry.path().filename().string()), names.end())
            << entry.path();
    }
}

}  // namespace
