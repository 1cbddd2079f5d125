// The brick list: rows from every class of every kit, ordered by kit name in
// byte order and then by class id, measured from the item itself, kits
// closed and opened in place.
#include <gtest/gtest.h>

#include "model/kit_list.h"
#include "platform/ui/app.h"
#include "shell/brick_list_box.h"
#include "shell_fixture.h"

namespace {

CBrickKitListData* AddKit(CKitList& kits, const char* label, std::initializer_list<SHORT> ids, LONG rowHeight = 20)
{
    auto* kit = new CBrickKitListData;
    kit->m_strLabel = label;
    for (SHORT id : ids) {
        auto* entry = new CBrickModData;
        entry->m_nClassId = id;
        entry->m_nRowHeight = rowHeight;
        entry->m_pKit = kit;
        kit->m_classes.AddTail(entry);
    }
    kits.AddTail(kit);
    return kit;
}

struct ListWindow {
    CWnd parent;
    CBrickListBox list;
    ListWindow()
    {
        EXPECT_TRUE(parent.Create(nullptr, "parent", WS_OVERLAPPED, RECT{0, 0, 200, 400}, nullptr, 0));
        EXPECT_TRUE(list.Create(WS_VISIBLE | WS_BORDER | LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWVARIABLE,
                                RECT{10, 10, 74, 300}, &parent, 626));
    }
    ~ListWindow() { parent.DestroyWindow(); }
    SHORT IdAt(int row) { return static_cast<CBrickModData*>(list.GetItemDataPtr(row))->m_nClassId; }
};

TEST(BrickList, RowsComeByKitNameInByteOrderThenByClassId)
{
    CKitList kits;
    AddKit(kits, "basic", {3005, 3001, 3004});
    AddKit(kits, "Basic", {3010, 3002}, 32);
    ListWindow window;
    kits.FillListBox(&window.list);
    ASSERT_EQ(window.list.GetCount(), 5);
    const SHORT expected[] = {3002, 3010, 3001, 3004, 3005};
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(window.IdAt(row), expected[row]) << row;
    // Each row is as high as its class's row.
    EXPECT_EQ(window.list.GetItemHeight(0), 32);
    EXPECT_EQ(window.list.GetItemHeight(2), 20);
    EXPECT_EQ(kits.GetListBox(), &window.list);
}

TEST(BrickList, MeasuringReadsTheRecordsItem)
{
    CKitList kits;
    CBrickKitListData* kit = AddKit(kits, "k", {7}, 44);
    CBrickListBox list;
    MEASUREITEMSTRUCT measure;
    measure.itemID = 5;  // no such row: the item is what counts
    measure.itemData = reinterpret_cast<DWORD_PTR>(kit->GetClassAt(0));
    list.MeasureItem(&measure);
    EXPECT_EQ(measure.itemHeight, 44u);
    measure.itemData = 0;
    list.MeasureItem(&measure);
    EXPECT_EQ(measure.itemHeight, 20u);
}

TEST(BrickList, AKitClosesAndOpensInPlace)
{
    CKitList kits;
    AddKit(kits, "a", {1, 2});
    CBrickKitListData* second = AddKit(kits, "b", {3, 4, 5});
    ListWindow window;
    kits.FillListBox(&window.list);
    ASSERT_EQ(window.list.GetCount(), 5);
    EXPECT_EQ(kits.FindRow(second->GetClassAt(1)), 3);

    kits.ExpandKit(second, FALSE);
    EXPECT_EQ(window.list.GetCount(), 2);
    EXPECT_TRUE(second->m_bClosed);
    EXPECT_EQ(kits.FindRow(second->GetClassAt(1)), -1);

    kits.ExpandKit(second, TRUE);
    EXPECT_FALSE(second->m_bClosed);
    ASSERT_EQ(window.list.GetCount(), 5);
    EXPECT_EQ(window.IdAt(4), 5);
    EXPECT_EQ(kits.FindRow(nullptr), -1);
}

TEST(BrickList, AClassWithoutAPreviewIsNamedByItsIdInTheListsFont)
{
    platform::EnsureToolkit();
    CKitList kits;
    AddKit(kits, "a", {3001, 3002});
    kits.GetKitAt(0)->GetClassAt(0)->m_strText = "3001";
    CBrickListBox list;
    struct Case {
        int index;
        const char* what;
    } cases[] = {{0, "with its id text"}, {1, "with no text kept: the id itself"}};
    for (const Case& c : cases) {
        shelltest::Canvas canvas(64, 20, RGB(1, 2, 3));
        CFont* before = canvas.dc.SelectObject(CFont::SystemFont());
        DRAWITEMSTRUCT item;
        item.hDC = &canvas.dc;
        item.rcItem = RECT{0, 0, 64, 20};
        item.itemData = reinterpret_cast<DWORD_PTR>(kits.GetKitAt(0)->GetClassAt(c.index));
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = 0;
        list.DrawItem(&item);
        // Dark glyph pixels inside the frame, no taller than the 12-pixel font.
        int dark = 0;
        int lowest = -1;
        for (int y = 1; y < 19; ++y)
            for (int x = 1; x < 63; ++x) {
                const COLORREF p = canvas.dc.GetPixel(x, y);
                if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 384) {
                    ++dark;
                    lowest = y;
                }
            }
        EXPECT_GT(dark, 10) << c.what;
        EXPECT_LE(lowest, 16) << c.what;
        EXPECT_EQ(canvas.dc.SelectObject(before), CFont::SystemFont()) << "the row's font is given back";
    }
}

TEST(BrickList, SelectedRowsAreFramedRedAndLoseItWhenLeft)
{
    CKitList kits;
    AddKit(kits, "a", {1});
    CBrickListBox list;
    shelltest::Canvas canvas(64, 20, RGB(1, 2, 3));
    DRAWITEMSTRUCT item;
    item.hDC = &canvas.dc;
    item.rcItem = RECT{0, 0, 64, 20};
    item.itemData = reinterpret_cast<DWORD_PTR>(kits.GetKitAt(0)->GetClassAt(0));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = ODS_SELECTED;
    list.DrawItem(&item);
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(63, 19), RGB(255, 0, 0));
    item.itemAction = ODA_SELECT;
    item.itemState = 0;
    list.DrawItem(&item);
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), RGB(0, 0, 0));
    // A focus-only action draws nothing.
    shelltest::Canvas untouched(64, 20, RGB(1, 2, 3));
    item.hDC = &untouched.dc;
    item.itemAction = ODA_FOCUS;
    list.DrawItem(&item);
    EXPECT_EQ(untouched.dc.GetPixel(0, 0), RGB(1, 2, 3));
}

}  // namespace
