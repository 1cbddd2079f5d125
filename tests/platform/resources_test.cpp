#include "platform/core/resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/fixtures/testkit_ids.h"
#include "tests/support/pe_library.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string TestData(const std::string& name)
{
    const char* folder = std::getenv("DIZADO_TEST_DATA");
#ifdef DIZADO_TEST_DATA_DIR
    if (!folder || !*folder)
        folder = DIZADO_TEST_DATA_DIR;
#endif
    return std::string(folder ? folder : ".") + "/" + name;
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// at() so that a fixture unlike what the helpers expect fails the test rather
// than reading out of bounds.
DWORD Get16(const Bytes& b, size_t at)
{
    return b.at(at) | (b.at(at + 1) << 8);
}
DWORD Get32(const Bytes& b, size_t at)
{
    return Get16(b, at) | (Get16(b, at + 2) << 16);
}
void Put16(Bytes& b, size_t at, DWORD v)
{
    b.at(at) = static_cast<unsigned char>(v);
    b.at(at + 1) = static_cast<unsigned char>(v >> 8);
}
void Put32(Bytes& b, size_t at, DWORD v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

std::string String(HINSTANCE module, UINT id)
{
    char buffer[256];
    const int length = LoadStringA(module, id, buffer, sizeof buffer);
    EXPECT_EQ(std::strlen(buffer), static_cast<size_t>(length));
    return std::string(buffer, static_cast<size_t>(length));
}

// The resource's bytes as LoadResource and LockResource give them; empty when
// it is missing.
Bytes Resource(HMODULE module, const char* name, const char* type)
{
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return {};
    HGLOBAL block = LoadResource(module, found);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(block));
    const DWORD size = SizeofResource(module, found);
    EXPECT_EQ(GlobalSize(block), size);
    return bytes ? Bytes(bytes, bytes + size) : Bytes();
}

// ---- The program's own resources ----

TEST(ProgramResources, ModuleIsAlwaysThere)
{
    ASSERT_NE(AfxGetResourceHandle(), nullptr);
    EXPECT_EQ(AfxGetInstanceHandle(), AfxGetResourceHandle());
    // A null module means the program's.
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCE(IDR_PANE_REGION), "REGION"),
              FindResourceA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_PANE_REGION), "REGION"));
}

TEST(ProgramResources, StringTableHoldsTheTexts)
{
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {IDS_CMD_CUT, "Cut Dizado"},
        {IDS_CMD_CLEAR, "Clear Dizado"},
        {IDS_CMD_BACKGROUND, "Change Background"},
        {IDS_UNDO, "&Undo "},
        {IDS_REDO, "&Redo "},
        {IDS_UNDO_ACCELERATOR, "\tCtrl+Z"},
        {IDS_OLE_INIT_FAILED,
         "OLE 2.0 initialization failed.  Make sure that the OLE libraries are the correct version."},
        {IDS_HELP_FILE, "daruru32.hlp"},
        {IDS_NO_BITMAP_MEMORY, "Not Enough Memory For Bitmap."},
        // Absent from blocks that exist, and from blocks that do not.
        {3, ""},
        {19, ""},
        {99, ""},
        {725, ""},
        {5000, ""},
        {0x10000, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(String(nullptr, c.id), c.text);
    }
}

TEST(ProgramResources, LoadStringCutsToTheBuffer)
{
    char buffer[8];
    EXPECT_EQ(LoadStringA(nullptr, IDS_UNDO, buffer, 6), 5);
    EXPECT_STREQ(buffer, "&Undo");
    EXPECT_EQ(LoadStringA(nullptr, IDS_UNDO, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    buffer[0] = 'x';
    EXPECT_EQ(LoadStringA(nullptr, IDS_UNDO, buffer, 0), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(LoadStringA(nullptr, IDS_UNDO, nullptr, 8), 0);
}

TEST(ProgramResources, BothRegionsHoldTheBrickOutline)
{
    // Header, then per band: 2, top, bottom, x0, x1, 2.
    std::vector<int> expected = {146, 11, 2, 0, 0, 20, 16};
    const int bands[11][4] = {{0, 1, 9, 11},  {1, 2, 7, 13},  {2, 3, 5, 15},   {3, 4, 3, 17},
                              {4, 5, 1, 19},  {5, 11, 0, 20}, {11, 12, 1, 19}, {12, 13, 3, 17},
                              {13, 14, 5, 15}, {14, 15, 7, 13}, {15, 16, 9, 11}};
    for (const auto& band : bands)
        expected.insert(expected.end(), {2, band[0], band[1], band[2], band[3], 2});

    for (WORD id : {IDR_PANE_REGION, IDR_BUILTIN_REGION}) {
        SCOPED_TRACE(id);
        const Bytes region = Resource(nullptr, MAKEINTRESOURCE(id), "REGION");
        ASSERT_EQ(region.size(), 146u);
        std::vector<int> words;
        for (size_t at = 0; at < region.size(); at += 2)
            words.push_back(static_cast<int16_t>(Get16(region, at)));
        EXPECT_EQ(words, expected);
    }
}

TEST(ProgramResources, LookupForms)
{
    HINSTANCE program = AfxGetResourceHandle();
    HRSRC region = FindResourceA(program, MAKEINTRESOURCE(IDR_PANE_REGION), "REGION");
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(FindResourceA(program, "#10", "REGION"), region);
    EXPECT_EQ(FindResourceA(program, "#10", "region"), region);
    EXPECT_EQ(FindResourceA(program, "clik", "sound"), FindResourceA(program, "CLIK", "SOUND"));
    EXPECT_NE(FindResourceA(program, "CLIK", "SOUND"), nullptr);

    const struct {
        const char* name;
        const char* type;
    } missing[] = {
        {"10", "REGION"},  // a name that looks like a number is still a name
        {"#11", "REGION"},
        {"#", "REGION"},
        {"#99999", "REGION"},
        {"NOSUCH", "SOUND"},
        {"CLIK", "SOUNDS"},
        {"CLIK", "REGION"},
        {nullptr, "REGION"},
    };
    for (const auto& m : missing) {
        SCOPED_TRACE(m.name ? m.name : "(null)");
        EXPECT_EQ(FindResourceA(program, m.name, m.type), nullptr);
    }
    EXPECT_EQ(LoadResource(program, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(program, nullptr), 0u);
}

// Checks a wave file image as a player reads it: answers what is wrong, or an
// empty string, and the length in seconds.
std::string WaveProblem(const Bytes& wave, double& seconds)
{
    if (wave.size() < 12 || std::memcmp(wave.data(), "RIFF", 4) || std::memcmp(wave.data() + 8, "WAVE", 4))
        return "no RIFF WAVE header";
    if (Get32(wave, 4) + 8 != wave.size())
        return "RIFF size disagrees with the resource size";
    DWORD rate = 0;
    bool format = false;
    bool data = false;
    for (size_t at = 12; at < wave.size();) {
        if (wave.size() - at < 8)
            return "chunk header cut short";
        const DWORD size = Get32(wave, at + 4);
        if (size > wave.size() - at - 8)
            return "chunk runs past the end";
        if (!std::memcmp(wave.data() + at, "fmt ", 4)) {
            if (size < 16 || Get16(wave, at + 8) != 1 || Get16(wave, at + 10) != 1 || Get16(wave, at + 22) != 16)
                return "not 16-bit mono PCM";
            rate = Get32(wave, at + 12);
            if (rate == 0 || Get32(wave, at + 16) != rate * 2 || Get16(wave, at + 20) != 2)
                return "inconsistent rates";
            format = true;
        } else if (!std::memcmp(wave.data() + at, "data", 4)) {
            if (!format)
                return "data before format";
            if (size % 2)
                return "half a sample";
            seconds = size / 2.0 / rate;
            data = true;
        }
        at += 8 + size + (size & 1);
    }
    return format && data ? "" : "format or data chunk missing";
}

TEST(ProgramResources, SoundsAreShortWellFormedWaves)
{
    const char* names[] = {"SIGNIN", "SEARCH", "IMAGE", "CLIK", "ERAS", "ROTA",
                           "BUCK",   "NEWB",   "NUDG",  "BAD",  "UNDO"};
    std::set<Bytes> distinct;
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const Bytes wave = Resource(nullptr, name, "SOUND");
        double seconds = 0;
        EXPECT_EQ(WaveProblem(wave, seconds), "");
        EXPECT_GE(seconds, 0.05);
        EXPECT_LE(seconds, 0.6);
        distinct.insert(wave);
    }
    EXPECT_EQ(distinct.size(), std::size(names));
}

TEST(ProgramResources, LoadedBlockIsTheResourceAndStaysPut)
{
    HINSTANCE program = AfxGetResourceHandle();
    HRSRC sound = FindResourceA(program, "NEWB", "SOUND");
    ASSERT_NE(sound, nullptr);
    HGLOBAL block = LoadResource(program, sound);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(LoadResource(program, sound), block);
    const void* bytes = LockResource(block);
    EXPECT_EQ(LockResource(block), bytes);
    // The sound player finds the block, and so the wave's extent, from the address.
    EXPECT_EQ(GlobalHandle(bytes), block);
    EXPECT_EQ(GlobalSize(block), SizeofResource(program, sound));
    // Borrowed bytes: freeing leaves them alone.
    EXPECT_EQ(GlobalFree(block), nullptr);
    FreeResource(block);
    EXPECT_EQ(LockResource(block), bytes);
}

// ---- Kits: the same script as .res, PE32+ and PE32 ----

class KitContainer : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        m_before = platform::OpenLibraryCount();
        m_kit = platform::OpenResourceModuleFromMemory(ReadFile(TestData(GetParam())));
        ASSERT_NE(m_kit, nullptr) << TestData(GetParam());
    }
    void TearDown() override
    {
        if (m_kit) {
            EXPECT_TRUE(FreeLibrary(m_kit));
        }
        EXPECT_EQ(platform::OpenLibraryCount(), m_before);
    }

    HMODULE m_kit = nullptr;
    size_t m_before = 0;
};

TEST_P(KitContainer, Strings)
{
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {TESTKIT_STRING_FIRST_CLASS, "1234"},
        {TESTKIT_STRING_SECOND_CLASS, "9001"},
        {TESTKIT_STRING_BLOCK_END, "last of block seven"},
        {TESTKIT_STRING_NEXT_BLOCK, "first of block eight"},
        {TESTKIT_STRING_UNICODE, "Gr\xC3\xB6\xC3\x9F" "e \xF0\x9F\x98\x80"},
        {102, ""},
        {IDS_UNDO, ""},  // the program's strings are not the kit's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(String(m_kit, c.id), c.text);
    }
    // Cut short, a string keeps whole characters: "Gr" rather than half of "ö".
    char buffer[4];
    EXPECT_EQ(LoadStringA(m_kit, TESTKIT_STRING_UNICODE, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, "Gr");
}

TEST_P(KitContainer, NumericAndNamedResources)
{
    const Bytes brickClass = {1, 0, 2, 0, 4, 3};
    const Bytes label = {'T', 'e', 's', 't', ' ', 'K', 'i', 't', 0};
    const struct {
        const char* name;
        const char* type;
        const Bytes* bytes;  // null: missing
    } cases[] = {
        {MAKEINTRESOURCE(TESTKIT_CLASS_ID), "BRICKCLASS", &brickClass},
        {"#1234", "brickclass", &brickClass},
        {"TEST", "KITNAMELABEL", &label},
        {"test", "KitNameLabel", &label},
        {"1234", "BRICKCLASS", nullptr},
        {MAKEINTRESOURCE(TESTKIT_CLASS_ID + 1), "BRICKCLASS", nullptr},
        {MAKEINTRESOURCE(TESTKIT_CLASS_ID), "BRICKIMAGE", nullptr},
        {"TES", "KITNAMELABEL", nullptr},
        {"TESTS", "KITNAMELABEL", nullptr},
        {"CLIK", "SOUND", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(IS_INTRESOURCE(c.name) ? "#" + std::to_string(reinterpret_cast<UINT_PTR>(c.name)) : c.name);
        HRSRC found = FindResourceA(m_kit, c.name, c.type);
        EXPECT_EQ(found != nullptr, c.bytes != nullptr);
        if (found && c.bytes) {
            EXPECT_EQ(Resource(m_kit, c.name, c.type), *c.bytes);
        }
    }
}

TEST_P(KitContainer, EntriesBelongToTheirModule)
{
    HRSRC label = FindResourceA(m_kit, "TEST", "KITNAMELABEL");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(LoadResource(AfxGetResourceHandle(), label), nullptr);
    EXPECT_EQ(SizeofResource(AfxGetResourceHandle(), label), 0u);
    EXPECT_EQ(FindResourceA(AfxGetResourceHandle(), "TEST", "KITNAMELABEL"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Formats, KitContainer, ::testing::Values("testkit.res", "testkit.bkt", "testkit32.bkt"),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '.')
                                     c = '_';
                             return name;
                         });

// ---- Loading and freeing kit files ----

TEST(KitLibraries, LoadsAndFreesBalance)
{
    const size_t before = platform::OpenLibraryCount();
    const std::string path = TestData("testkit.bkt");
    HMODULE first = LoadLibraryA(path.c_str());
    ASSERT_NE(first, nullptr);
    HMODULE again = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_EQ(again, first);  // one parse per open file
    HMODULE other = LoadLibraryA(TestData("testkit32.bkt").c_str());
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(platform::OpenLibraryCount(), before + 3);

    const void* label = LockResource(LoadResource(first, FindResourceA(first, "TEST", "KITNAMELABEL")));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_EQ(String(first, TESTKIT_STRING_FIRST_CLASS), "1234");  // still open once
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(FreeLibrary(other));
    EXPECT_EQ(platform::OpenLibraryCount(), before);

    // Closed: the handle answers nothing (the parsed kit may stay parked for
    // the next load, but no call reaches it through a freed handle).
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(FindResourceA(first, "TEST", "KITNAMELABEL"), nullptr);
    EXPECT_FALSE(FreeLibrary(AfxGetResourceHandle()));
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(platform::OpenLibraryCount(), before);
}

TEST(KitLibraries, AParkedKitIsNotRevivedOnceItsFileChanged)
{
    const std::filesystem::path copy =
        std::filesystem::temp_directory_path() / ("dizado-parked-" + std::to_string(::getpid()) + ".bkt");
    std::filesystem::copy_file(TestData("testkit.bkt"), copy, std::filesystem::copy_options::overwrite_existing);
    HMODULE kit = LoadLibraryA(copy.c_str());
    ASSERT_NE(kit, nullptr);
    EXPECT_TRUE(FreeLibrary(kit));
    kit = LoadLibraryA(copy.c_str());  // from the parked parse
    ASSERT_NE(kit, nullptr);
    EXPECT_EQ(String(kit, TESTKIT_STRING_FIRST_CLASS), "1234");
    EXPECT_TRUE(FreeLibrary(kit));

    { std::ofstream(copy, std::ios::trunc) << "no longer a kit"; }
    EXPECT_EQ(LoadLibraryA(copy.c_str()), nullptr);
    std::filesystem::remove(copy);
}

TEST(KitLibraries, ProgramStylePathsWork)
{
    std::string path = TestData("testkit.bkt");
    for (char& c : path)
        if (c == '/')
            c = '\\';
    HMODULE kit = LoadLibraryA(path.c_str());
    ASSERT_NE(kit, nullptr);
    EXPECT_EQ(String(kit, TESTKIT_STRING_FIRST_CLASS), "1234");
    EXPECT_TRUE(FreeLibrary(kit));
}

TEST(KitLibraries, WhatIsNoKitGivesNull)
{
    const size_t before = platform::OpenLibraryCount();
    const std::string notAKit = ::testing::TempDir() + "/dizado_not_a_kit.bkt";
    std::ofstream(notAKit) << "MZ but nothing else worth reading";
    const std::string empty = ::testing::TempDir() + "/dizado_empty.bkt";
    std::ofstream{empty};
    for (const std::string& path : {TestData("no_such_kit.bkt"), TestData(""), notAKit, empty}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(LoadLibraryA(path.c_str()), nullptr);
    }
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(platform::OpenResourceModuleFromMemory({}), nullptr);
    EXPECT_EQ(platform::OpenLibraryCount(), before);
    std::filesystem::remove(notAKit);
    std::filesystem::remove(empty);
}

// ---- Malformed containers: built by spoiling the good kit's bytes ----

// Opening must give null, and leave nothing open.
void ExpectRejected(const Bytes& bytes)
{
    const size_t before = platform::OpenLibraryCount();
    HMODULE module = platform::OpenResourceModuleFromMemory(bytes);
    EXPECT_EQ(module, nullptr);
    if (module)
        FreeLibrary(module);
    EXPECT_EQ(platform::OpenLibraryCount(), before);
}

// Where the mutations aim, found with the fixture's own (trusted) headers.
struct PeLayout {
    size_t resourceDirectory = 0;  // file offset of data directory 2 (RVA, size)
    size_t sectionCount = 0;
    size_t signature = 0;
    size_t optionalMagic = 0;
    DWORD rsrcRva = 0;
    size_t tree = 0;  // file offset of the root resource directory table
    size_t end = 0;   // end of the resource section's data in the file

    // File offset of the first entry of the table at `table` (tree-relative).
    size_t FirstEntry(size_t table) const { return tree + table + 16; }
    // The tree-relative table or data entry that first entry points to.
    size_t FirstChild(const Bytes& b, size_t table) const { return Get32(b, FirstEntry(table) + 4) & 0x7FFFFFFF; }
};

PeLayout Locate(const Bytes& b)
{
    PeLayout layout;
    layout.signature = Get32(b, 0x3C);
    layout.sectionCount = layout.signature + 6;
    layout.optionalMagic = layout.signature + 24;
    const bool pe32plus = Get16(b, layout.optionalMagic) == 0x20B;
    layout.resourceDirectory = layout.optionalMagic + (pe32plus ? 112 : 96) + 16;
    const DWORD rva = layout.rsrcRva = Get32(b, layout.resourceDirectory);
    const size_t sections = layout.optionalMagic + Get16(b, layout.signature + 20);
    for (size_t i = 0; i < Get16(b, layout.sectionCount); ++i) {
        const size_t header = sections + 40 * i;
        const DWORD address = Get32(b, header + 12);
        const DWORD size = Get32(b, header + 8);
        if (rva >= address && rva < address + size) {
            layout.tree = Get32(b, header + 20) + (rva - address);
            layout.end = Get32(b, header + 20) + size;
        }
    }
    EXPECT_NE(layout.tree, 0u);
    return layout;
}

class SpoiledLibrary : public ::testing::TestWithParam<const char*> {};

TEST_P(SpoiledLibrary, GivesNull)
{
    const Bytes good = ReadFile(TestData(GetParam()));
    const PeLayout at = Locate(good);
    const size_t typeTable = 0;
    const size_t nameTable = at.FirstChild(good, typeTable);
    const size_t languageTable = at.FirstChild(good, nameTable);
    const size_t dataEntry = at.FirstChild(good, languageTable);
    constexpr DWORD kTable = 0x80000000;

    const struct {
        const char* what;
        std::function<void(Bytes&)> spoil;
    } cases[] = {
        {"signature", [&](Bytes& b) { b.at(at.signature + 1) = 'X'; }},
        {"header offset past the end", [&](Bytes& b) { Put32(b, 0x3C, 0xFFFFFFF0); }},
        {"optional header magic", [&](Bytes& b) { Put16(b, at.optionalMagic, 0x0107); }},
        {"section table past the end", [&](Bytes& b) { Put16(b, at.sectionCount, 0xFFFF); }},
        {"resource RVA beyond every section", [&](Bytes& b) { Put32(b, at.resourceDirectory, 0x7FFF0000); }},
        {"resource RVA inside the headers", [&](Bytes& b) { Put32(b, at.resourceDirectory, 0x10); }},
        {"entry count past the section", [&](Bytes& b) { Put16(b, at.tree + 14, 0xFFFF); }},
        {"type table outside the file",
         [&](Bytes& b) { Put32(b, at.FirstEntry(typeTable) + 4, kTable | 0x00FFFFF0); }},
        {"type name outside the file", [&](Bytes& b) { Put32(b, at.FirstEntry(typeTable), kTable | 0x00FFFFF0); }},
        {"name table looping back to the root", [&](Bytes& b) { Put32(b, at.FirstEntry(nameTable) + 4, kTable); }},
        {"name table pointing at itself",
         [&](Bytes& b) { Put32(b, at.FirstEntry(nameTable) + 4, kTable | static_cast<DWORD>(nameTable)); }},
        {"two types sharing one name table",
         [&](Bytes& b) { Put32(b, at.FirstEntry(typeTable) + 12, Get32(b, at.FirstEntry(typeTable) + 4)); }},
        {"data where a table belongs", [&](Bytes& b) { Put32(b, at.FirstEntry(typeTable) + 4, 0); }},
        {"table where data belongs",
         [&](Bytes& b) { Put32(b, at.FirstEntry(languageTable) + 4, kTable | static_cast<DWORD>(dataEntry)); }},
        {"data entry outside the file",
         [&](Bytes& b) { Put32(b, at.FirstEntry(languageTable) + 4, 0x00FFFFF0); }},
        {"data RVA outside the file", [&](Bytes& b) { Put32(b, at.tree + dataEntry, 0xFFFFFF00); }},
        {"data size past the section", [&](Bytes& b) { Put32(b, at.tree + dataEntry + 4, 0x7FFFFFFF); }},
    };
    ASSERT_EQ(Locate(good).tree, at.tree);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bad = good;
        c.spoil(bad);
        ExpectRejected(bad);
    }

    // Cut short anywhere, a library is refused or, when only padding went,
    // read whole: never read in part.
    const size_t firstData = at.tree + (Get32(good, at.tree + dataEntry) - at.rsrcRva);
    for (size_t length : {size_t{0x3C}, at.signature + 8, at.tree - 1, at.tree + 16, firstData + 1, at.end - 8}) {
        SCOPED_TRACE(length);
        ExpectRejected(Bytes(good.begin(), good.begin() + static_cast<long>(length)));
    }
    for (size_t length = 0; length < good.size(); ++length) {
        HMODULE cut = platform::OpenResourceModuleFromMemory(Bytes(good.begin(), good.begin() + static_cast<long>(length)));
        if (!cut)
            continue;
        SCOPED_TRACE(length);
        EXPECT_EQ(String(cut, TESTKIT_STRING_NEXT_BLOCK), "first of block eight");
        EXPECT_EQ(Resource(cut, "TEST", "KITNAMELABEL").size(), 9u);
        EXPECT_EQ(Resource(cut, "#1234", "BRICKCLASS").size(), 6u);
        FreeLibrary(cut);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SpoiledLibrary, ::testing::Values("testkit.bkt", "testkit32.bkt"),
                         [](const auto& info) { return std::string(info.param) == "testkit.bkt" ? "pe32plus" : "pe32"; });

TEST(SpoiledRes, GivesNull)
{
    const Bytes good = ReadFile(TestData("testkit.res"));
    ASSERT_GT(good.size(), 64u);
    const size_t first = 32;  // the record after the leading empty one
    const size_t firstData = first + Get32(good, first + 4);
    const struct {
        const char* what;
        std::function<void(Bytes&)> spoil;
    } cases[] = {
        {"no leading empty entry", [](Bytes& b) { b.at(4) = 0x21; }},
        {"header past the end", [&](Bytes& b) { Put32(b, first + 4, 0x7FFFFFF0); }},
        {"data past the end", [&](Bytes& b) { Put32(b, first, 0x7FFFFFF0); }},
        {"header too short for its fields", [&](Bytes& b) { Put32(b, first + 4, 8); }},
        {"header ending inside its type name", [&](Bytes& b) { Put32(b, first + 4, 0x20); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bad = good;
        c.spoil(bad);
        ExpectRejected(bad);
    }
    // Cut anywhere inside a record (records start on 4-byte boundaries).
    for (size_t length : {size_t{1}, size_t{31}, first + 6, firstData - 1, firstData + 1, good.size() - 1}) {
        SCOPED_TRACE(length);
        ExpectRejected(Bytes(good.begin(), good.begin() + static_cast<long>(length)));
    }
}

// ---- Libraries of many sections and many resources ----

constexpr WORD kCraftedEntries = 4000;

Bytes CraftedData(WORD id)
{
    return {static_cast<unsigned char>(id), static_cast<unsigned char>(id >> 8), 0xC0, 0xDE};
}

// RCDATA 1 to kCraftedEntries, each holding its own id, and a named type.
pelib::PeLibrary CraftedLibrary()
{
    pelib::PeLibrary library;
    for (WORD id = 1; id <= kCraftedEntries; ++id)
        library.Add(10, id, library.AddData(CraftedData(id)));
    library.Add("LABEL", 1, library.AddData({'o', 'k', 0}));
    return library;
}

// How many of CraftedLibrary's resources the module holds with their own bytes.
size_t CraftedResourcesFound(HMODULE module)
{
    size_t found = Resource(module, "#1", "LABEL") == Bytes{'o', 'k', 0};
    for (WORD id = 1; id <= kCraftedEntries; ++id)
        found += Resource(module, MAKEINTRESOURCE(id), RT_RCDATA) == CraftedData(id);
    return found;
}

// The section headers in the opposite order; every section stays where it lies.
void ReverseSectionTable(Bytes& b)
{
    const size_t sections = Get16(b, 0x46);
    for (size_t i = 0; i < sections / 2; ++i)
        std::swap_ranges(b.begin() + static_cast<long>(pelib::SectionHeader(i)),
                         b.begin() + static_cast<long>(pelib::SectionHeader(i + 1)),
                         b.begin() + static_cast<long>(pelib::SectionHeader(sections - 1 - i)));
}

TEST(CraftedLibrary, SectionsUpToTheLoadersLimitAreRead)
{
    const pelib::PeLibrary library = CraftedLibrary();
    const struct {
        size_t sections;
        bool reversed;
        bool loads;
    } cases[] = {
        {1, false, true},   {2, false, true},    {96, false, true},
        {96, true, true},   {97, false, false},  {65535, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sections << (c.reversed ? " reversed" : ""));
        Bytes bytes = library.Build(c.sections);
        if (c.reversed)
            ReverseSectionTable(bytes);
        if (!c.loads) {
            ExpectRejected(bytes);
            continue;
        }
        HMODULE module = platform::OpenResourceModuleFromMemory(bytes);
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(CraftedResourcesFound(module), kCraftedEntries + 1u);
        EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCE(kCraftedEntries + 1), RT_RCDATA), nullptr);
        FreeLibrary(module);
    }
}

TEST(CraftedLibrary, OfOverlappingSectionsTheFirstInTheTableHoldsTheBytes)
{
    // A section of zeros laid over the start of the resource section: before
    // it in the table it hides the directory (an empty one), after it it
    // changes nothing.
    const Bytes good = CraftedLibrary().Build(3);
    const DWORD resources = pelib::Get32(good, pelib::SectionHeader(2) + 12);
    for (bool zerosFirst : {true, false}) {
        SCOPED_TRACE(zerosFirst);
        Bytes bytes = good;
        if (!zerosFirst)
            ReverseSectionTable(bytes);
        Put32(bytes, pelib::SectionHeader(zerosFirst ? 0 : 2) + 12, resources);
        HMODULE module = platform::OpenResourceModuleFromMemory(bytes);
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(CraftedResourcesFound(module), zerosFirst ? 0u : kCraftedEntries + 1u);
        FreeLibrary(module);
    }
}

}  // namespace
