// Tests skip only through DIZADO_SKIP (tests/support/skip.h), which fails
// under CI: a bare GTEST_SKIP would let a CI run pass on a test that never ran.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool IsBareSkip(const std::string& line)
{
    static const std::regex bare(R"((^|[^A-Za-z0-9_])GTEST_SKIP\s*\()");
    return std::regex_search(line, bare);
}

TEST(SkipRule, TheRuleFindsABareSkip)
{
    const struct {
        const char* line;
        bool bare;
    } cases[] = {
        {"    GTEST_SKIP() << \"no gdbus\";", true},
        {"if (x) GTEST_SKIP ();", true},
        {"        DIZADO_SKIP(\"no dbus-daemon\");", false},
        {"// GTEST_SKIP is not used here", false},
        {"MY_GTEST_SKIP()", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsBareSkip(c.line), c.bare) << c.line;
}

TEST(SkipRule, TestsSkipOnlyThroughTheHelper)
{
    const fs::path tests = fs::path(DIZADO_SOURCE_DIR) / "tests";
    // The helper itself, and this file's table of made-up lines.
    const std::vector<fs::path> exempt = {tests / "support" / "skip.h", tests / "layering" / "skip_rule_test.cpp"};
    std::vector<std::string> found;
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(tests)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h") ||
            std::find(exempt.begin(), exempt.end(), entry.path()) != exempt.end())
            continue;
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            if (IsBareSkip(line))
                found.push_back(entry.path().string() + ":" + std::to_string(number) + ": " + line);
    }
    EXPECT_GT(files, 0u) << "no test sources under " << tests;
    EXPECT_TRUE(found.empty()) << "skip with DIZADO_SKIP instead:\n" << testing::PrintToString(found);
}

}  // namespace
