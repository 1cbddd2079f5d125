#include "platform/core/profile.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/registry.h"
#include "platform/core/user_paths.h"
#include "tests/support/temp_home.h"
#include "tests/support/unprivileged.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

Names FolderNames(const fs::path& folder)
{
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ProfileTest : public ::testing::Test {
protected:
    TempHome home;
    fs::path path = home.root / "dizado.ini";
};

// Whatever a child types as a name becomes a section; nothing in it may break
// the file or come back changed.
TEST_F(ProfileTest, NamesAndValuesComeBackExactly)
{
    struct Case {
        std::string section, key, value;
    };
    const std::vector<Case> cases = {
        {"default", "Location", "/home/ann/models"},
        {"]", "Directory", "65a1b2c3"},
        {"a]b[c", "k", "v"},
        {" Ann ", " key ", " value "},
        {"100%", "%41", "%41%"},
        {";not a comment", ";k", "#v"},
        {"#x", "[k]", "[v]"},
        {"sect", "a=b", "c=d"},
        {"line\nbreak", "tab\tkey", "two\r\nlines\n[injected]\nx=1"},
        {"\xC5\xBD" "ofie", "\xFF\xFE", "\x80\xC3("},
        {"quotes", "\"k\"", "\"quoted\""},
        {"empty", "k", ""},
        {"multi", "k", "<<<END"},
        {"sig", "\xEF\xBB\xBFk", "\xEF\xBB\xBF"},
    };
    {
        CPrivateProfile profile(path.string());
        for (const Case& c : cases)
            ASSERT_TRUE(profile.WriteProfileString(c.section.c_str(), c.key.c_str(), c.value.c_str())) << c.section;
    }
    CPrivateProfile reread(path.string());
    Names sections;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        EXPECT_EQ(reread.GetProfileString(c.section.c_str(), c.key.c_str(), "missing"), CString(c.value));
        EXPECT_EQ(reread.GetKeyNames(c.section.c_str()), Names{c.key});
        sections.push_back(c.section);
    }
    // Nothing a value held was read as a line of its own.
    EXPECT_EQ(reread.GetSectionNames(), sections);
}

TEST_F(ProfileTest, NamesCompareWithoutCaseOfAsciiLetters)
{
    CPrivateProfile profile(path.string());
    ASSERT_TRUE(profile.WriteProfileString("Ann", "Directory", "65a1b2c3"));
    EXPECT_EQ(profile.GetProfileString("ANN", "directory"), CString("65a1b2c3"));
    ASSERT_TRUE(profile.WriteProfileString("aNN", "DIRECTORY", "00000001"));
    EXPECT_EQ(profile.GetSectionNames(), Names{"Ann"});
    EXPECT_EQ(profile.GetKeyNames("ann"), Names{"Directory"});
    EXPECT_EQ(profile.GetProfileString("Ann", "Directory"), CString("00000001"));
    // Letters beyond ASCII keep their case apart.
    ASSERT_TRUE(profile.WriteProfileString("\xC3\x84" "a", "k", "upper"));
    ASSERT_TRUE(profile.WriteProfileString("\xC3\xA4" "a", "k", "lower"));
    EXPECT_EQ(profile.GetProfileString("\xC3\x84" "A", "K"), CString("upper"));
    EXPECT_EQ(profile.GetSectionNames().size(), 3u);
}

TEST_F(ProfileTest, NullEntryRemovesTheSectionNullValueTheKey)
{
    struct Step {
        const char* section;
        const char* key;
        const char* value;
        BOOL result;
        Names sections;
        Names keysOfNames;
    };
    const std::vector<Step> steps = {
        {"Names", "name000", "Ann", TRUE, {"Names"}, {"name000"}},
        {"Names", "name001", "Bob", TRUE, {"Names"}, {"name000", "name001"}},
        {"Ann", "SoundOn", "1", TRUE, {"Names", "Ann"}, {"name000", "name001"}},
        {"names", "NAME000", nullptr, TRUE, {"Names", "Ann"}, {"name001"}},
        {"Names", "name007", nullptr, TRUE, {"Names", "Ann"}, {"name001"}},
        {"ANN", nullptr, nullptr, TRUE, {"Names"}, {"name001"}},
        {"Nobody", nullptr, nullptr, TRUE, {"Names"}, {"name001"}},
        {"Names", "", "x", FALSE, {"Names"}, {"name001"}},
        {nullptr, "k", "v", FALSE, {"Names"}, {"name001"}},
        {"Names", nullptr, "ignored", TRUE, {}, {}},
    };
    CPrivateProfile profile(path.string());
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(profile.WriteProfileString(step.section, step.key, step.value), step.result);
        CPrivateProfile reread(path.string());
        EXPECT_EQ(reread.GetSectionNames(), step.sections);
        EXPECT_EQ(reread.GetKeyNames("Names"), step.keysOfNames);
    }
}

TEST_F(ProfileTest, RemovingWhatIsMissingMakesNoFile)
{
    CPrivateProfile profile(path.string());
    EXPECT_TRUE(profile.WriteProfileString("default", "LastUser", nullptr));
    EXPECT_TRUE(profile.WriteProfileString("default", nullptr, nullptr));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ProfileTest, IntegersReadAsTheClassLibraryReadsThem)
{
    struct Case {
        const char* stored;  // null: no key
        UINT expected;
    };
    const std::vector<Case> cases = {
        {"1", 1},
        {"0", 0},
        {" 42", 42},
        {"+5", 5},
        {"-7", static_cast<UINT>(-7)},
        {"12abc", 12},
        {"abc", 0},
        {"-", 0},
        {"", 99},
        {nullptr, 99},
        {"99999999999", static_cast<UINT>(INT_MAX)},
        {"-99999999999", static_cast<UINT>(INT_MIN)},
    };
    CPrivateProfile profile(path.string());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        ASSERT_TRUE(profile.WriteProfileString("default", "SoundOn", c.stored));
        EXPECT_EQ(profile.GetProfileInt("default", "SoundOn", 99), c.expected);
    }
    ASSERT_TRUE(profile.WriteProfileInt("Ann", "PrintOn", -3));
    EXPECT_EQ(profile.GetProfileString("Ann", "PrintOn"), CString("-3"));
    EXPECT_EQ(static_cast<int>(profile.GetProfileInt("Ann", "PrintOn", 0)), -3);
}

TEST_F(ProfileTest, ReadsFilesWrittenByHand)
{
    const std::string text = std::string("\xEF\xBB\xBF") +
                             "; settings\r\n"
                             "top = level\r\n"
                             "[default]\r\n"
                             "  Location =  /srv/models  \r\n"
                             "this line has no equals sign\r\n"
                             "=no key\r\n"
                             "[]\r\n"
                             "[Names\r\n"
                             "[NAMES]\n"
                             "name000=Ann\n"
                             "[names]\n"
                             "name001=B" + std::string(1, '\0') + "ob\n"
                             "[Ann]\rDirectory=65a1b2c3\rSoundOn=0\r";
    WriteText(path, text);
    CPrivateProfile profile(path.string());
    EXPECT_EQ(profile.GetProfileString("", "top"), CString("level"));
    EXPECT_EQ(profile.GetProfileString("default", "Location"), CString("/srv/models"));
    EXPECT_EQ(profile.GetKeyNames("default"), Names{"Location"});
    EXPECT_EQ(profile.GetKeyNames("Names"), (Names{"name000", "name001"}));
    EXPECT_EQ(profile.GetProfileString("Names", "name001"), CString("Bob"));
    EXPECT_EQ(profile.GetProfileString("Ann", "Directory"), CString("65a1b2c3"));
    EXPECT_EQ(profile.GetProfileInt("Ann", "SoundOn", 1), 0u);

    // A write keeps everything else that was read.
    ASSERT_TRUE(profile.WriteProfileString("default", "LastUser", "Ann"));
    CPrivateProfile reread(path.string());
    EXPECT_EQ(reread.GetSectionNames(), (Names{"", "default", "NAMES", "Ann"}));
    EXPECT_EQ(reread.GetProfileString("", "top"), CString("level"));
    EXPECT_EQ(reread.GetProfileString("Names", "name001"), CString("Bob"));
    EXPECT_EQ(reread.GetProfileString("default", "Location"), CString("/srv/models"));
    // Keys before any header have no section of their own once they are gone.
    ASSERT_TRUE(reread.WriteProfileString("", "top", nullptr));
    EXPECT_EQ(reread.GetSectionNames(), (Names{"default", "NAMES", "Ann"}));
}

// The old file is whole after every write that cannot be done.
TEST_F(ProfileTest, AFailedWriteKeepsTheOldFile)
{
    DIZADO_RUN_UNPRIVILEGED();  // root reads every file
    const std::string small = "[default]\nLastUser=Ann\n";
    std::string huge = small + "[filler]\n";
    while (huge.size() <= platform::kMaxProfileBytes)
        huge += "k" + std::to_string(huge.size()) + "=" + std::string(1000, 'v') + "\n";
    huge += "[tail]\nk=past the limit\n";

    struct Case {
        const char* name;
        std::string contents;
        std::string value;  // what is written
        bool readable;
    };
    const std::vector<Case> cases = {
        {"larger than the limit", huge, "Bob", true},
        {"would outgrow the limit", small, std::string(platform::kMaxProfileBytes, 'x'), true},
        {"unreadable", small, "Bob", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(path, c.contents);
        fs::permissions(path, c.readable ? fs::perms::owner_read | fs::perms::owner_write : fs::perms::none);
        CPrivateProfile profile(path.string());
        EXPECT_FALSE(profile.WriteProfileString("default", "LastUser", c.value.c_str()));
        EXPECT_EQ(profile.GetProfileString("default", "LastUser", "none"), CString(c.readable ? "Ann" : "none"));
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_TRUE(ReadText(path) == c.contents);
        EXPECT_EQ(FolderNames(home.root), Names{"dizado.ini"});
    }
    // What lies past the limit is not read.
    WriteText(path, huge);
    EXPECT_EQ(CPrivateProfile(path.string()).GetProfileString("tail", "k", "unread"), CString("unread"));
}

TEST_F(ProfileTest, AFolderOrAFifoInPlaceOfTheFileIsNeverReplaced)
{
    const fs::path folder = home.root / "folder.ini";
    fs::create_directory(folder);
    CPrivateProfile onFolder(folder.string());
    EXPECT_FALSE(onFolder.WriteProfileString("a", "b", "c"));
    EXPECT_EQ(onFolder.GetProfileString("a", "b", "d"), CString("d"));
    EXPECT_TRUE(fs::is_directory(folder));

    const fs::path fifo = home.root / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CPrivateProfile onFifo(fifo.string());
    EXPECT_EQ(onFifo.GetProfileString("a", "b", "d"), CString("d"));  // no hang waiting for a writer
    EXPECT_FALSE(onFifo.WriteProfileString("a", "b", "c"));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(ProfileTest, WritingKeepsALinkAndTheFileMode)
{
    const fs::path real = home.root / "real.ini";
    WriteText(real, "[default]\nLastUser=Ann\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, path);
    CPrivateProfile profile(path.string());
    ASSERT_TRUE(profile.WriteProfileString("default", "LastUser", "Bob"));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(CPrivateProfile(real.string()).GetProfileString("default", "LastUser"), CString("Bob"));
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A new file goes into folders made for it, the user's alone.
    const fs::path fresh = home.root / "new" / "folder" / "dizado.ini";
    ASSERT_TRUE(CPrivateProfile(fresh.string()).WriteProfileInt("Ann", "SoundOn", 1));
    EXPECT_EQ(fs::status(home.root / "new").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(fresh.parent_path()).permissions(), fs::perms::owner_all);
    EXPECT_EQ(FolderNames(fresh.parent_path()), Names{"dizado.ini"});

    // A file the user may not write is left alone, as a direct write would, and
    // by root too, which a direct write would not stop.
    fs::permissions(real, fs::perms::owner_read);
    EXPECT_FALSE(profile.WriteProfileString("default", "LastUser", "Cyd"));
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(CPrivateProfile(real.string()).GetProfileString("default", "LastUser"), CString("Bob"));
}

TEST_F(ProfileTest, EachCallSeesTheFileAsItIsOnDisk)
{
    CPrivateProfile first(path.string());
    CPrivateProfile second(path.string());
    ASSERT_TRUE(first.WriteProfileString("Names", "name000", "Ann"));
    EXPECT_EQ(second.GetProfileString("Names", "name000"), CString("Ann"));
    ASSERT_TRUE(second.WriteProfileString("Names", "name000", "Bob"));
    EXPECT_EQ(first.GetProfileString("Names", "name000"), CString("Bob"));
    // Another program replaces the file with one of the same size.
    WriteText(path, "[Names]\nname000=Cyd\n");
    EXPECT_EQ(first.GetProfileString("Names", "name000"), CString("Cyd"));
    fs::remove(path);
    EXPECT_EQ(first.GetProfileString("Names", "name000", "gone"), CString("gone"));
}

TEST_F(ProfileTest, SystemCallsListAndCutAsTheClassLibraryExpects)
{
    const std::string file = path.string();
    ASSERT_TRUE(WritePrivateProfileStringA("default", "LastUser", "Annabel", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Names", "name000", "Annabel", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Names", "name001", "Bob", file.c_str()));
    EXPECT_EQ(GetPrivateProfileIntA("Names", "missing", 4, file.c_str()), 4u);

    struct Case {
        const char* section;
        const char* key;
        const char* defaultValue;
        DWORD size;
        DWORD result;
        std::string buffer;  // the bytes up to the result and the zeros after it
    };
    using namespace std::string_literals;
    const std::vector<Case> cases = {
        {"default", "LastUser", nullptr, 64, 7, "Annabel\0"s},
        {"default", "LastUser", nullptr, 5, 4, "Anna\0"s},
        {"default", "LastUser", nullptr, 1, 0, "\0"s},
        {"default", "Missing", "dflt", 64, 4, "dflt\0"s},
        {"default", "Missing", nullptr, 64, 0, "\0"s},
        {nullptr, nullptr, nullptr, 64, 14, "default\0Names\0\0"s},
        {nullptr, nullptr, nullptr, 10, 8, "default\0\0\0"s},
        {nullptr, nullptr, nullptr, 2, 0, "\0\0"s},
        {"names", nullptr, nullptr, 64, 16, "name000\0name001\0\0"s},
        {"names", nullptr, nullptr, 12, 10, "name000\0na\0\0"s},
        {"nobody", nullptr, nullptr, 64, 0, "\0\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section ? c.section : "(all)") + " " + std::to_string(c.size));
        std::string buffer(64, '#');
        EXPECT_EQ(GetPrivateProfileStringA(c.section, c.key, c.defaultValue, buffer.data(), c.size, file.c_str()),
                  c.result);
        EXPECT_EQ(buffer.substr(0, c.buffer.size()), c.buffer);
    }
    char untouched = '#';
    EXPECT_EQ(GetPrivateProfileStringA("default", "LastUser", "", &untouched, 0, file.c_str()), 0u);
    EXPECT_EQ(untouched, '#');
}

TEST_F(ProfileTest, FoldersFollowTheXdgVariables)
{
    struct Case {
        const char* variable;  // null: none set
        std::string value;
        fs::path config, location, runtime;
    };
    const fs::path root = home.root;
    const std::vector<Case> cases = {
        {nullptr, "", root / ".config/dizado", root / ".local/share/dizado", root / ".cache/dizado"},
        {"XDG_CONFIG_HOME", "/etc/xdg-config", "/etc/xdg-config/dizado", root / ".local/share/dizado",
         root / ".cache/dizado"},
        {"XDG_CONFIG_HOME", "relative/config", root / ".config/dizado", root / ".local/share/dizado",
         root / ".cache/dizado"},
        {"XDG_DATA_HOME", (root / "data").string(), root / ".config/dizado", root / "data/dizado",
         root / ".cache/dizado"},
        {"XDG_CACHE_HOME", (root / "cache").string(), root / ".config/dizado", root / ".local/share/dizado",
         root / "cache/dizado"},
        {"XDG_RUNTIME_DIR", (root / "run").string(), root / ".config/dizado", root / ".local/share/dizado",
         root / "run"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable ? c.variable : "none");
        if (c.variable)
            TempHome::Set(c.variable, c.value);
        EXPECT_EQ(fs::path(platform::ConfigFolder()), c.config);
        EXPECT_EQ(fs::path(platform::DefaultProfilePath()), c.config / "dizado.ini");
        EXPECT_EQ(fs::path(platform::DefaultRegistryStorePath()), c.config / "registry.ini");
        EXPECT_EQ(fs::path(platform::DefaultLocation()), c.location);
        EXPECT_TRUE(fs::is_directory(c.location));
        EXPECT_EQ(fs::path(platform::RuntimeFolder()), c.runtime);
        if (c.variable)
            TempHome::Unset(c.variable);
    }
    // Only the folders that were asked to exist do.
    EXPECT_FALSE(fs::exists(root / ".config"));
}

class RegistryTest : public ProfileTest {
protected:
    RegistryTest() { m_previous = platform::SetRegistryStorePath(store.string()); }
    ~RegistryTest() override { platform::SetRegistryStorePath(m_previous); }

    fs::path store = home.root / "registry.ini";

private:
    std::string m_previous;
};

TEST_F(RegistryTest, TheShellOpenCommandIsStoredAndReadBack)
{
    const std::string command = "/opt/dizado/dizado %1";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "DodezAR\\shell\\open\\command", REG_SZ, command.c_str(),
                           static_cast<DWORD>(command.size())),
              ERROR_SUCCESS);

    LONG size = 0;
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "dodezar\\SHELL\\open\\command", nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, static_cast<LONG>(command.size() + 1));
    std::string buffer(64, '#');
    size = static_cast<LONG>(buffer.size());
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "DodezAR\\shell\\open\\command", buffer.data(), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer.c_str()), command);

    size = 5;
    buffer.assign(64, '#');
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "DodezAR\\shell\\open\\command", buffer.data(), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, static_cast<LONG>(command.size() + 1));
    EXPECT_EQ(buffer, std::string(64, '#'));

    // The key lives in its own store file, not in the profile.
    EXPECT_EQ(FolderNames(home.root), Names{"registry.ini"});
    EXPECT_EQ(CPrivateProfile(store.string()).GetProfileString("HKEY_CLASSES_ROOT\\DodezAR\\shell\\open\\command", "@"),
              CString(command.c_str()));
}

TEST_F(RegistryTest, RefusesWhatIsNoKeyAndReportsAFailedWrite)
{
    struct Case {
        HKEY root;
        const char* subKey;
        DWORD type;
        const char* data;
        LONG set;
        LONG query;
    };
    HKEY const other = reinterpret_cast<HKEY>(static_cast<UINT_PTR>(0x80000001u));
    const std::string longPart(256, 'k');
    const std::vector<Case> cases = {
        {HKEY_CLASSES_ROOT, "DodezAR", REG_SZ, "x", ERROR_SUCCESS, ERROR_SUCCESS},
        {HKEY_CLASSES_ROOT, nullptr, REG_SZ, "root", ERROR_SUCCESS, ERROR_SUCCESS},
        {HKEY_CLASSES_ROOT, "Never\\written", REG_SZ, nullptr, ERROR_INVALID_PARAMETER, ERROR_FILE_NOT_FOUND},
        {HKEY_CLASSES_ROOT, "DodezAR", 4, "x", ERROR_INVALID_PARAMETER, ERROR_SUCCESS},
        {HKEY_CLASSES_ROOT, "\\DodezAR", REG_SZ, "x", ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
        {HKEY_CLASSES_ROOT, "DodezAR\\\\shell", REG_SZ, "x", ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
        {HKEY_CLASSES_ROOT, "DodezAR\\", REG_SZ, "x", ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
        {HKEY_CLASSES_ROOT, longPart.c_str(), REG_SZ, "x", ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER},
        {other, "DodezAR", REG_SZ, "x", ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subKey ? c.subKey : "(root)");
        EXPECT_EQ(RegSetValueA(c.root, c.subKey, c.type, c.data, 1), c.set);
        LONG size = 0;
        EXPECT_EQ(RegQueryValueA(c.root, c.subKey, nullptr, &size), c.query);
    }
    char buffer[8];
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "DodezAR", buffer, nullptr), ERROR_INVALID_PARAMETER);

    // A store that cannot be written is reported, and the old one kept.
    const std::string before = ReadText(store);
    fs::remove(store);
    fs::create_directory(store);
    EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "DodezAR", REG_SZ, "y", 1), ERROR_WRITE_FAULT);
    fs::remove(store);
    WriteText(store, before);
    LONG size = sizeof buffer;
    EXPECT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "DodezAR", buffer, &size), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "x");
}

TEST_F(RegistryTest, TheDefaultStoreLiesBesideTheProfile)
{
    platform::SetRegistryStorePath("");
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "DodezAR", REG_SZ, "v", 1), ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_regular_file(home.root / ".config/dizado/registry.ini"));
}

}  // namespace
