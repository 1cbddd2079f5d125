// The template readers on the resource compiler's own output, and on every
// cut and many damaged copies of it.
#include <gtest/gtest.h>

#include <random>

#include "platform/ui/menu.h"
#include "platform/ui/res_templates.h"
#include "tests/fixtures/ui/dialogs_ids.h"
#include "tests/ui/ui_fixture.h"

namespace {

using platform::DialogTemplate;

TEST(Templates, DialogReadsPlacesClassesAndStyles)
{
    uitest::FixtureResources fixture;
    const std::vector<uint8_t> bytes = fixture.Bytes(IDD_SIGNIN, RT_DIALOG);
    ASSERT_FALSE(bytes.empty());
    DialogTemplate dialog;
    ASSERT_TRUE(platform::ParseDialogTemplate(bytes.data(), bytes.size(), dialog));
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.style & 0x80000000u, 0x80000000u);
    EXPECT_EQ(dialog.style & 0x40u, 0x40u) << "FONT sets DS_SETFONT";
    EXPECT_EQ(dialog.cx, 211);
    EXPECT_EQ(dialog.cy, 202);
    EXPECT_EQ(dialog.pointSize, 6);
    EXPECT_EQ(dialog.typeface, "MS Sans Serif");
    ASSERT_EQ(dialog.items.size(), 4u);

    struct Expected {
        DWORD id;
        WORD kind;
        SHORT x, y, cx, cy;
        DWORD styleBits;
    };
    const Expected expected[] = {
        {IDC_NAMES, platform::DIALOG_CLASS_LISTBOX, 11, 11, 187, 93, LBS_SORT_ | LBS_NOTIFY_ | LBS_NOINTEGRALHEIGHT_},
        {IDC_NAME, platform::DIALOG_CLASS_EDIT, 8, 124, 192, 12, ES_AUTOHSCROLL_},
        {IDC_OK, platform::DIALOG_CLASS_BUTTON, 120, 146, 32, 32, BS_OWNERDRAW_ | WS_TABSTOP_},
        {IDC_CANCEL, platform::DIALOG_CLASS_BUTTON, 168, 146, 32, 32, BS_OWNERDRAW_ | WS_TABSTOP_},
    };
    for (size_t i = 0; i < 4; ++i) {
        const platform::DialogItemTemplate& item = dialog.items[i];
        SCOPED_TRACE(item.id);
        EXPECT_EQ(item.id, expected[i].id);
        const bool named = !item.windowClass.isOrdinal;
        if (!named) {
            EXPECT_EQ(item.windowClass.ordinal, expected[i].kind);
        }
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
        EXPECT_EQ(item.style & expected[i].styleBits, expected[i].styleBits);
        EXPECT_EQ(item.style & 0x40000000u, 0x40000000u) << "controls are children";
    }
    EXPECT_EQ(dialog.items[2].text.name, "OK");
}

TEST(Templates, ExtendedDialogIsRead)
{
    uitest::FixtureResources fixture;
    const std::vector<uint8_t> bytes = fixture.Bytes(IDD_CHECKS, RT_DIALOG);
    DialogTemplate dialog;
    ASSERT_TRUE(platform::ParseDialogTemplate(bytes.data(), bytes.size(), dialog));
    EXPECT_TRUE(dialog.extended);
    ASSERT_EQ(dialog.items.size(), 1u);
    EXPECT_EQ(dialog.items[0].id, static_cast<DWORD>(IDC_FIRST_BOX));
    EXPECT_EQ(dialog.typeface, "MS Sans Serif");
}

TEST(Templates, MenuKeepsPopupsSeparatorsAndAcceleratorText)
{
    uitest::FixtureResources fixture;
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_FRAME));
    ASSERT_EQ(menu.GetMenuItemCount(), 2u);
    EXPECT_EQ(menu.GetMenuItemID(0), static_cast<UINT>(-1));
    CMenu* file = menu.GetSubMenu(0);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->GetMenuItemCount(), 3u);
    EXPECT_EQ(file->GetMenuItemID(0), static_cast<UINT>(IDM_NEW));
    EXPECT_EQ(file->GetMenuItemID(1), 0u);
    EXPECT_NE(file->GetMenuState(1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    CString text;
    file->GetMenuString(IDM_NEW, text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&New\tCtrl+N");
    EXPECT_EQ(menu.GetMenuState(IDM_UNDO, MF_BYCOMMAND) & MF_GRAYED, 0u);

    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(999));
    EXPECT_EQ(missing.GetMenuItemCount(), 0u);
}

TEST(Templates, AcceleratorsKeepKeysAndModifiers)
{
    uitest::FixtureResources fixture;
    const std::vector<uint8_t> bytes = fixture.Bytes(IDR_FRAME, RT_ACCELERATOR);
    std::vector<platform::AcceleratorEntry> table;
    ASSERT_TRUE(platform::ParseAcceleratorTable(bytes.data(), bytes.size(), table));
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[0].key, 'A');
    EXPECT_EQ(table[0].command, IDM_TOOL_SELECT);
    EXPECT_EQ(table[0].flags, FVIRTKEY);
    EXPECT_EQ(table[2].flags, FVIRTKEY | FCONTROL);
    EXPECT_EQ(table[5].key, 0x08);
    EXPECT_EQ(table[5].flags, FVIRTKEY | FALT);
}

// Every cut of each resource is refused or read within its bytes (the
// sanitizers watch the reading), and random damage never faults.
TEST(Templates, CutAndDamagedResourcesAreRefusedOrReadWithinTheirBytes)
{
    uitest::FixtureResources fixture;
    struct Source {
        UINT id;
        const char* type;
        int (*fuzz)(const uint8_t*, size_t);
    };
    // The fuzz targets hold the finer checks of what a reader accepts.
    auto dialog = [](const uint8_t* data, size_t size) {
        DialogTemplate parsed;
        return static_cast<int>(platform::ParseDialogTemplate(data, size, parsed));
    };
    auto menu = [](const uint8_t* data, size_t size) {
        std::vector<platform::MenuItemTemplate> parsed;
        return static_cast<int>(platform::ParseMenuTemplate(data, size, parsed));
    };
    auto accelerators = [](const uint8_t* data, size_t size) {
        std::vector<platform::AcceleratorEntry> parsed;
        return static_cast<int>(platform::ParseAcceleratorTable(data, size, parsed));
    };
    const Source sources[] = {{IDD_SIGNIN, RT_DIALOG, dialog},
                              {IDD_SETTINGS, RT_DIALOG, dialog},
                              {IDD_CHECKS, RT_DIALOG, dialog},
                              {IDR_FRAME, RT_MENU, menu},
                              {IDR_FRAME, RT_ACCELERATOR, accelerators}};
    std::mt19937 random(7);
    for (const Source& source : sources) {
        const std::vector<uint8_t> good = fixture.Bytes(source.id, source.type);
        ASSERT_FALSE(good.empty());
        for (size_t length = 0; length < good.size(); ++length) {
            // A copy of exactly the cut length, so that reading past it is seen.
            std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(length));
            source.fuzz(cut.data(), cut.size());
        }
        for (int round = 0; round < 2000; ++round) {
            std::vector<uint8_t> damaged = good;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int f = 0; f < flips; ++f)
                damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
            source.fuzz(damaged.data(), damaged.size());
        }
    }
}

TEST(Templates, CountsBeyondTheBytesAreRefused)
{
    // A dialog claiming 0xFFFF items with none present.
    const uint8_t dialog[] = {0, 0, 0, 0x80, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 10, 0, 10, 0, 0, 0, 0, 0, 0, 0};
    DialogTemplate parsed;
    EXPECT_FALSE(platform::ParseDialogTemplate(dialog, sizeof dialog, parsed));
    EXPECT_TRUE(parsed.items.empty());
    // A string without its terminating zero.
    const uint8_t menu[] = {0, 0, 0, 0, 0x80, 0, 1, 0, 'A', 0};
    std::vector<platform::MenuItemTemplate> items;
    EXPECT_FALSE(platform::ParseMenuTemplate(menu, sizeof menu, items));
    // An accelerator table without its last-entry mark.
    const uint8_t accel[] = {1, 0, 'A', 0, 1, 0, 0, 0};
    std::vector<platform::AcceleratorEntry> table;
    EXPECT_FALSE(platform::ParseAcceleratorTable(accel, sizeof accel, table));
    EXPECT_FALSE(platform::ParseAcceleratorTable(nullptr, 0, table));
    // Popups nested deeper than any menu needs.
    std::vector<uint8_t> deep = {0, 0, 0, 0};
    for (int i = 0; i < 40; ++i)
        deep.insert(deep.end(), {0x10, 0, 'P', 0, 0, 0});
    EXPECT_FALSE(platform::ParseMenuTemplate(deep.data(), deep.size(), items));
}

}  // namespace
