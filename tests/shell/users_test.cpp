// Users and their settings in the private profile: new and known users, the
// names the profile keeps for itself, long names, and the file lists.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/sound_player.h"
#include "tests/shell/app_fixture.h"
#include "tests/support/message_box_recorder.h"

namespace shelltest {
namespace {

using Users = AppTest;

// A clock a second further at every reading, as a run that lasts would see.
std::time_t g_ticks = 0x5f5e0ffbL;
std::time_t TickingClock()
{
    return g_ticks++;
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(Users, NewUserGetsSectionNamesKeyFolderAndDefaultSettings)
{
    CDizadoApp& app = App();
    app.WriteProfileInt("default", "SoundOn", 0);
    app.WriteProfileInt("default", "PrintOn", 1);
    ASSERT_TRUE(app.SignInAs("Ann", 2));
    EXPECT_EQ(app.GetCurrentUser(), "Ann");
    EXPECT_EQ(app.GetUserDirectoryValue(), "5f5e0ffb");
    EXPECT_EQ(app.GetProfileString("ann", "Directory"), "5f5e0ffb");
    EXPECT_EQ(app.GetProfileString("Names", "name002"), "Ann") << "the first free number is the count read";
    EXPECT_EQ(app.GetProfileInt("Ann", "SoundOn", -1), 0u);
    EXPECT_EQ(app.GetProfileInt("Ann", "FileDelete", -1), 0u);
    EXPECT_EQ(app.GetProfileInt("Ann", "PrintOn", -1), 1u);
    EXPECT_FALSE(app.GetSoundOn());
    EXPECT_TRUE(app.GetPrintOn());
    EXPECT_FALSE(GetSoundSwitch()) << "the sound player follows the user";
    EXPECT_TRUE(std::filesystem::is_directory(location / "5f5e0ffb"));
    std::string path = app.GetNewDocumentPath().c_str();
    std::replace(path.begin(), path.end(), '\\', '/');
    EXPECT_EQ(path,
              (location / "5f5e0ffb" / "5f5e0ffb.brk").string());
    SetSoundSwitch(TRUE);
}

TEST_F(Users, KnownUserSignsInWhateverTheCaseAndKeepsOnlyEightCharactersOfTheFolder)
{
    CDizadoApp& app = App();
    app.WriteProfileString("ann", "Directory", "abcdef0123");
    app.WriteProfileInt("ann", "FileDelete", 1);
    app.WriteProfileString("Names", "name000", "ann");
    ASSERT_TRUE(app.SignInAs("ANN", 1));
    EXPECT_EQ(app.GetUserDirectoryValue(), "abcdef0123");
    EXPECT_EQ(std::string(app.GetUserDirectory().c_str()), (location / "abcdef01").string());
    EXPECT_TRUE(app.GetFileDelete());
    EXPECT_TRUE(app.GetSoundOn());
    EXPECT_EQ(app.GetProfileString("Names", "name001"), "") << "a known user gets no second key";
}

TEST_F(Users, RefusedNamesWriteNothing)
{
    for (const char* name : {"", "default", "DEFAULT", "Names", "nAmEs"}) {
        EXPECT_FALSE(App().SignInAs(name, 0)) << name;
        EXPECT_EQ(App().GetCurrentUser(), "") << name;
    }
    EXPECT_EQ(ProfileText().find("Directory"), std::string::npos);
}

TEST_F(Users, NamesAreCutAtSixtyThreeCharactersAndRoundTripThroughTheProfile)
{
    std::string accented;
    for (int i = 0; i < 70; ++i)
        accented += "\xC3\xA9";  // é, two bytes
    EXPECT_EQ(CleanUserName(accented.c_str()).GetLength(), 126) << "63 characters, never half of one";
    EXPECT_EQ(CleanUserName(std::string(80, 'k').c_str()).GetLength(), 63);
    EXPECT_EQ(CleanUserName("defaults"), "defaults");

    CDizadoApp& app = App();
    for (const char* name : {"a]b", "[x]", "Zoë ; = #"}) {
        ASSERT_TRUE(app.SignInAs(name, 0)) << name;
        const CString directory = app.GetUserDirectoryValue();
        EXPECT_EQ(app.GetProfileString("Names", "name000"), name);
        app.SetFoldersForTest(location.string().c_str(), program.string().c_str());
        ASSERT_TRUE(app.SignInAs(name, 1)) << name;
        EXPECT_EQ(app.GetUserDirectoryValue(), directory) << name << " is known the second time";
        EXPECT_EQ(app.GetProfileString("Names", "name001"), "") << name;
    }
}

TEST_F(Users, SettingsWithoutAUserHoldForTheRunAndAreWrittenNowhere)
{
    CDizadoApp& app = App();
    app.ApplySettings(CUserSettings{FALSE, TRUE, TRUE});
    EXPECT_FALSE(app.GetSoundOn());
    EXPECT_TRUE(app.GetFileDelete());
    EXPECT_TRUE(app.GetPrintOn());
    EXPECT_FALSE(GetSoundSwitch());
    EXPECT_FALSE(std::filesystem::exists(home.root / "dizado.ini"));

    ASSERT_TRUE(app.SignInAs("Bo", 0));
    app.ApplySettings(CUserSettings{TRUE, FALSE, TRUE});
    EXPECT_EQ(app.GetProfileInt("Bo", "SoundOn", -1), 1u);
    EXPECT_EQ(app.GetProfileInt("Bo", "FileDelete", -1), 0u);
    EXPECT_EQ(app.GetProfileInt("Bo", "PrintOn", -1), 1u);
    EXPECT_TRUE(GetSoundSwitch());
}

TEST_F(Users, ListsShowFilesWithPreviewsAndBackgroundsStartWithNoPicture)
{
    CDizadoApp& app = App();
    ASSERT_TRUE(app.SignInAs("Cy", 0));
    ASSERT_EQ(app.GetBackgroundList().GetSize(), 1) << "no backgrnd folder at all";
    EXPECT_EQ(app.GetBackgroundList().GetEntry(0)->m_strPicturePath, "");
    EXPECT_EQ(app.GetBackgroundList().GetEntry(0)->m_strFilePath, "");

    const auto user = location / "5f5e0ffb";
    Touch(user / "castle.brk");
    Touch(user / "castle.pbk");
    Touch(user / "lost.brk");
    Touch(program / "backgrnd" / "sea.bmp");
    Touch(program / "backgrnd" / "sea.pbk");
    Touch(program / "backgrnd" / "sky.bmp");
    app.SetupUserDirectory();
    ASSERT_EQ(app.GetDocumentList().GetSize(), 1);
    EXPECT_EQ(app.GetDocumentList().GetEntry(0)->m_strFilePath, (user / "castle.brk").string());
    EXPECT_EQ(app.GetDocumentList().GetEntry(0)->m_strPicturePath, (user / "castle.pbk").string());
    ASSERT_EQ(app.GetBackgroundList().GetSize(), 2);
    EXPECT_EQ(app.GetBackgroundList().GetEntry(0)->m_strPicturePath, "");
    EXPECT_EQ(app.GetBackgroundList().GetEntry(1)->m_strFilePath, (program / "backgrnd" / "sea.bmp").string());
    EXPECT_EQ(app.GetBackgroundList().GetEntry(2), nullptr);
}

TEST_F(Users, ADirectoryThatIsNotOnePlainFolderNameIsAsMissing)
{
    CDizadoApp& app = App();
    MessageBoxRecorder boxes;
    for (const char* word : {"../../..", "..", ".", "../up", "/tmp", "a/b", "ab/", "..\\..", "a\\b"}) {
        SCOPED_TRACE(word);
        app.SetFoldersForTest(location.string().c_str(), program.string().c_str());
        app.WriteProfileString("Ann", "Directory", word);
        ASSERT_TRUE(app.SignInAs("Ann", 1));
        EXPECT_EQ(app.GetUserDirectoryValue(), "5f5e0ffb") << "a new folder word, as for a new user";
        EXPECT_EQ(app.GetProfileString("Ann", "Directory"), "5f5e0ffb");
        EXPECT_EQ(std::string(app.GetUserDirectory().c_str()), (location / "5f5e0ffb").string());
        EXPECT_EQ(FolderNames(location), std::vector<std::string>{"5f5e0ffb"});
        EXPECT_EQ(FolderNames(home.root), (std::vector<std::string>{"dizado.ini", "program", "users"}))
            << "nothing is made outside the users' root";
    }
    // A plain word, dots and all, is a known user's folder.
    app.SetFoldersForTest(location.string().c_str(), program.string().c_str());
    app.WriteProfileString("Ann", "Directory", "..a.b");
    ASSERT_TRUE(app.SignInAs("Ann", 1));
    EXPECT_EQ(app.GetUserDirectoryValue(), "..a.b");
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(Users, NamesAreTheSameWithoutLeadingAndTrailingSpaces)
{
    CDizadoApp& app = App();
    EXPECT_EQ(CleanUserName("  Mia \t"), "Mia");
    EXPECT_EQ(CleanUserName(" Mia Lee "), "Mia Lee") << "spaces inside stay";
    EXPECT_EQ(CleanUserName("   "), "");
    EXPECT_EQ(CleanUserName((std::string(62, 'k') + " x").c_str()), CString(std::string(62, 'k').c_str()))
        << "no trailing space left by the cut";
    ASSERT_TRUE(app.SignInAs("Mia ", 0));
    EXPECT_EQ(app.GetCurrentUser(), "Mia");
    const CString directory = app.GetUserDirectoryValue();
    app.SetFoldersForTest(location.string().c_str(), program.string().c_str());
    ASSERT_TRUE(app.SignInAs("  mia", 1));
    EXPECT_EQ(app.GetUserDirectoryValue(), directory);
    EXPECT_EQ(app.GetProfileString("Names", "name001"), "");
    EXPECT_FALSE(app.SignInAs(" \t ", 1));
}

TEST_F(Users, AProfileThatCannotBeWrittenIsToldOnceAndEachNameKeepsItsFolderForTheRun)
{
    namespace fs = std::filesystem;
    const fs::path ini = home.root / "dizado.ini";
    const std::string huge = "[filler]\nk=" + std::string(1 << 20, 'x') + "\n";
    const struct {
        const char* label;
        std::string text;
        bool readOnly;
        bool told;
    } cases[] = {
        {"writable", "[default]\nSoundOn=0\n", false, false},
        {"read-only", "[default]\nSoundOn=0\n", true, true},
        {"over 1 MiB", "[default]\nSoundOn=0\n" + huge, false, true},
    };
    CDizadoApp& app = App();
    app.SetClock(TickingClock);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(location);
        fs::create_directories(location);
        fs::remove(ini);
        std::ofstream(ini) << c.text;
        if (c.readOnly)
            fs::permissions(ini, fs::perms::owner_read);
        app.SetFoldersForTest(location.string().c_str(), program.string().c_str());
        MessageBoxRecorder boxes;

        ASSERT_TRUE(app.SignInAs("Mia", 0));
        const CString mia = app.GetUserDirectoryValue();
        EXPECT_FALSE(app.GetSoundOn()) << "a new user's settings come from the defaults";
        app.ApplySettings(CUserSettings{TRUE, TRUE, FALSE});
        ASSERT_TRUE(app.SignInAs("Bo", 1));
        const CString bo = app.GetUserDirectoryValue();
        ASSERT_TRUE(app.SignInAs("mia ", 2));
        EXPECT_EQ(app.GetUserDirectoryValue(), mia) << "the same folder all through the run";
        EXPECT_TRUE(app.GetSoundOn()) << "and the settings chosen in it";
        EXPECT_TRUE(app.GetFileDelete());
        std::vector<std::string> both{mia.c_str(), bo.c_str()};
        std::sort(both.begin(), both.end());
        EXPECT_EQ(FolderNames(location), both) << "one folder for Mia, one for Bo";
        EXPECT_EQ(boxes.texts, c.told ? std::vector<std::string>{kSettingsNotSavedMessage} : std::vector<std::string>{});
        fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
    }
    app.SetClock(FixedClock);
    SetSoundSwitch(TRUE);
}

}  // namespace
}  // namespace shelltest
