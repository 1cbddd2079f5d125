// The automation fuzz body on a fixed spread of inputs, so that every build
// (and the sanitized one) runs call sequences of every shape.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/document/automation_fuzz.h"

TEST(AutomationFuzzTest, CallSequencesNeverBreakTheRules)
{
    const auto folder = std::filesystem::temp_directory_path() / ("dizado-autofuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::mt19937 random(12);
    for (int run = 0; run < 300; ++run) {
        std::vector<uint8_t> bytes(random() % 2048);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(random());
        EXPECT_EQ(0, FuzzAutomationCalls(bytes.data(), bytes.size(), folder.string().c_str()));
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
