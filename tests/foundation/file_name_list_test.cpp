#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "foundation/file_name_list.h"

namespace {

namespace fs = std::filesystem;

class RecordingList : public CFileNameList {
public:
    BOOL AcceptFile(const WIN32_FIND_DATAA& found) override
    {
        seen.push_back(found.cFileName);
        return accept && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    BOOL AddFile(const WIN32_FIND_DATAA& found) override
    {
        added.push_back(found.cFileName);
        Add(added.size());
        return TRUE;
    }
    bool accept = true;
    std::vector<std::string> seen;
    std::vector<std::string> added;
};

class FileNameListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("dizado-files-" + std::to_string(::getpid()));
        fs::create_directories(folder / "Kits" / "sub.bkt");
        for (const char* name : {"b.bkt", "A.BKT", "c.txt", "zeta.bkt"})
            std::ofstream(folder / "Kits" / name) << name;
    }
    void TearDown() override { fs::remove_all(folder); }

    // The program writes its own paths with backslashes.
    std::string Pattern(const char* tail) const { return folder.string() + "\\Kits\\" + tail; }

    fs::path folder;
};

TEST_F(FileNameListTest, FindsMatchesSortedWithoutRegardToCase)
{
    RecordingList list;
    EXPECT_TRUE(list.Fill(Pattern("*.bkt").c_str()));
    EXPECT_EQ(list.added, (std::vector<std::string>{"A.BKT", "b.bkt", "zeta.bkt"}));
    // Sub-folders reach AcceptFile: the subclass decides.
    EXPECT_EQ(list.seen, (std::vector<std::string>{"A.BKT", "b.bkt", "sub.bkt", "zeta.bkt"}));
    EXPECT_EQ(list.GetFolder(), CString(folder.string() + "\\Kits\\"));
    EXPECT_EQ(list.GetLastIndex(), 2);
}

TEST_F(FileNameListTest, NothingMatchedOrAcceptedAnswersFalse)
{
    RecordingList none;
    EXPECT_FALSE(none.Fill(Pattern("*.brk").c_str()));
    EXPECT_TRUE(none.seen.empty());

    RecordingList refusing;
    refusing.accept = false;
    EXPECT_FALSE(refusing.Fill(Pattern("*.bkt").c_str()));
    EXPECT_FALSE(refusing.seen.empty());
    EXPECT_TRUE(refusing.added.empty());

    RecordingList missing;
    EXPECT_FALSE(missing.Fill((folder.string() + "/nowhere/*.bkt").c_str()));
}

// Only the last component is a pattern: a program folder whose name holds a
// star still finds its kits, and the folder joins with the names found.
TEST_F(FileNameListTest, FolderNamesMayHoldWildcards)
{
    const fs::path starred = folder / "my*kits?";
    fs::create_directories(starred);
    for (const char* name : {"one.bkt", "two.bkt"})
        std::ofstream(starred / name) << name;
    const std::string prefix = starred.string() + "\\";

    RecordingList list;
    EXPECT_TRUE(list.Fill((prefix + "*.bkt").c_str()));
    EXPECT_EQ(list.added, (std::vector<std::string>{"one.bkt", "two.bkt"}));
    ASSERT_EQ(list.GetFolder(), CString(prefix));
    EXPECT_TRUE(fs::is_regular_file(platform::NativePath(list.GetFolder() + list.added[0].c_str())));
}

TEST(FileNameList, FolderIsThePatternUpToItsLastSeparator)
{
    struct Case {
        const char* pattern;
        const char* folder;
    };
    const Case cases[] = {
        {"kits\\*.bkt", "kits\\"},
        {"*.brk", ""},
        {"plain.txt", ""},
        {"a\\b*\\*.x", "a\\b*\\"},
        {"C:\\*ab\\k*.bkt", "C:\\*ab\\"},
        {"/home/k/*.brk", "/home/k/"},
        {"u\\v/w*", "u\\v/"},
    };
    for (const Case& c : cases) {
        CFileNameList list;
        list.Fill(c.pattern);
        EXPECT_EQ(list.GetFolder(), CString(c.folder)) << c.pattern;
    }
}

TEST(Wildcard, MatchesTheLastComponentWithoutCase)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.bkt", "bricks.BKT", true}, {"*.bkt", "bricks.bkt.bak", false}, {"*", "", true},
        {"a?c", "abc", true},          {"a?c", "ac", false},               {"*a*b*", "xxaxxbxx", true},
        {"*.*", "noext", false},       {"user*.brk", "USER001.brk", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

}  // namespace
