// Users and their settings in the private profile: new and known users, the
// names the profile keeps for itself, long names, and the file lists.
#include <algorithm>
#include <filesystem>

#include "foundation/sound_player.h"
#include "tests/shell/app_fixture.h"

namespace shelltest {
namespace {

using Users = AppTest;

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

}  // namespace
}  // namespace shelltest
