// List boxes: sorting by text or by the parent's comparison, rows measured
// once they are in the list, the LB_ERR answers, clicks that notify.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWheelEvent>

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/synthetic_input.h"
#include "platform/ui/window_peer.h"

namespace {

constexpr UINT kListId = 626;

struct Item {
    const char* kit;
    int id;
    int height;
};

// A parent that measures and orders owner-drawn rows, as the kid frame's
// list is measured and ordered, and counts the list's notifications.
class ListParent : public CWnd {
public:
    CListBox list;
    int selChanges = 0;
    std::vector<std::pair<UINT, DWORD_PTR>> measured;  // index and the item the list held there
    std::vector<UINT> drawnStates;

    void Make(DWORD style)
    {
        ASSERT_TRUE(Create(nullptr, "parent", WS_OVERLAPPED, RECT{0, 0, 200, 300}, nullptr, 0));
        ASSERT_TRUE(list.Create(style | WS_VISIBLE, RECT{10, 10, 74, 210}, this, kListId));
    }

protected:
    LRESULT OnMeasure(WPARAM, LPARAM lParam)
    {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        measured.emplace_back(m->itemID, list.GetItemData(static_cast<int>(m->itemID)));
        m->itemHeight = static_cast<UINT>(reinterpret_cast<const Item*>(m->itemData)->height);
        return TRUE;
    }
    LRESULT OnCompare(WPARAM, LPARAM lParam)
    {
        auto* c = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam);
        const auto* a = reinterpret_cast<const Item*>(c->itemData1);
        const auto* b = reinterpret_cast<const Item*>(c->itemData2);
        const int byKit = std::strcmp(a->kit, b->kit);
        return byKit != 0 ? byKit : a->id - b->id;
    }
    LRESULT OnDraw(WPARAM, LPARAM lParam)
    {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        drawnStates.push_back(d->itemState);
        return TRUE;
    }
    void OnSelChange() { ++selChanges; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ListParent, CWnd)
    ON_MESSAGE(WM_MEASUREITEM, OnMeasure)
    ON_MESSAGE(WM_COMPAREITEM, OnCompare)
    ON_MESSAGE(WM_DRAWITEM, OnDraw)
    ON_CONTROL(LBN_SELCHANGE, kListId, OnSelChange)
END_MESSAGE_MAP()

TEST(ListBox, OwnerDrawnRowsSortByTheParentAndAreMeasuredInPlace)
{
    ListParent parent;
    parent.Make(LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWVARIABLE | WS_BORDER);
    static const Item items[] = {{"basic", 30, 40}, {"Zoo", 5, 20}, {"basic", 2, 33}, {"animals", 7, 50}};
    for (const Item& item : items)
        parent.list.AddString(reinterpret_cast<LPCTSTR>(&item));
    ASSERT_EQ(parent.list.GetCount(), 4);
    // Byte order of the kit names (upper case first), then the id.
    const Item* expected[] = {&items[1], &items[3], &items[2], &items[0]};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(parent.list.GetItemDataPtr(i), expected[i]) << i;
        EXPECT_EQ(parent.list.GetItemHeight(i), expected[i]->height) << i;
    }
    // Each measure saw its own item at the index it was told.
    for (const auto& [index, data] : parent.measured)
        EXPECT_NE(data, static_cast<DWORD_PTR>(LB_ERR));
    EXPECT_EQ(parent.measured.size(), 4u);
    EXPECT_EQ(parent.list.GetItemHeight(4), LB_ERR) << "a missing row of varying height";
    RECT third;
    ASSERT_EQ(parent.list.GetItemRect(2, &third), 0);
    EXPECT_EQ(third.top, 20 + 50);
    EXPECT_EQ(third.bottom, 20 + 50 + 33);

    // Selecting by the program sends nothing; a click selects and notifies.
    EXPECT_EQ(parent.list.SetCurSel(0), 0);
    EXPECT_EQ(parent.selChanges, 0);
    parent.drawnStates.clear();
    platform::SendMouseInput(&parent.list, platform::MouseAction::Press, platform::MouseButton::Left,
                             POINT{5, third.top + 1}, MK_LBUTTON, 0);
    platform::SendMouseInput(&parent.list, platform::MouseAction::Release, platform::MouseButton::Left,
                             POINT{5, third.top + 1}, 0, 0);
    EXPECT_EQ(parent.list.GetCurSel(), 2);
    EXPECT_EQ(parent.selChanges, 1);
    // The row losing the selection and the one gaining it are told at once.
    ASSERT_EQ(parent.drawnStates.size(), 2u);
    EXPECT_EQ(parent.drawnStates[0] & ODS_SELECTED, 0u);
    EXPECT_NE(parent.drawnStates[1] & ODS_SELECTED, 0u);
    parent.DestroyWindow();
}

TEST(ListBox, PlainSortedListAndItsErrorAnswers)
{
    ListParent parent;
    parent.Make(LBS_NOTIFY | LBS_SORT | WS_VSCROLL);
    CListBox& list = parent.list;
    for (const char* name : {"zoe", "Ann", "bob", "anna"})
        list.AddString(name);
    CString text;
    const char* order[] = {"Ann", "anna", "bob", "zoe"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.GetText(i, text), static_cast<int>(std::strlen(order[i])));
        EXPECT_STREQ(text, order[i]);
    }
    struct Case {
        const char* what;
        int answer;
        int expected;
    };
    const Case cases[] = {
        {"text of a missing row", list.GetText(4, text), LB_ERR},
        {"text of row -1", list.GetText(-1, text), LB_ERR},
        {"select past the end", list.SetCurSel(9), LB_ERR},
        {"top past the end", list.SetTopIndex(4), LB_ERR},
        {"top below 0", list.SetTopIndex(-1), LB_ERR},
        {"data of a missing row", static_cast<int>(list.GetItemData(7)), LB_ERR},
        {"delete a missing row", list.DeleteString(4), LB_ERR},
        {"prefix search, any case", list.FindString(-1, "AN"), 0},
        {"prefix search after row 0", list.FindString(0, "an"), 1},
        {"exact search", list.FindStringExact(-1, "BOB"), 2},
        {"no match", list.FindString(-1, "x"), LB_ERR},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.answer, c.expected) << c.what;
    EXPECT_EQ(list.GetCurSel(), LB_ERR);
    EXPECT_EQ(list.SelectString(-1, "BO"), 2);
    EXPECT_EQ(list.GetCurSel(), 2);
    // -1 clears the selection and answers LB_ERR, as the system does.
    EXPECT_EQ(list.SetCurSel(-1), LB_ERR);
    EXPECT_EQ(list.GetCurSel(), LB_ERR);
    EXPECT_EQ(list.SetTopIndex(3), 0);
    EXPECT_EQ(list.GetTopIndex(), 3);
    EXPECT_EQ(list.DeleteString(3), 3);
    EXPECT_EQ(list.GetTopIndex(), 2) << "the top follows a deleted last row";
    EXPECT_EQ(parent.selChanges, 0);
    parent.DestroyWindow();
}

// Many rows, with runs that compare equal regardless of case: the sorted list
// holds them as a stable sort of their arrival order does.
TEST(ListBox, SortedRowsKeepTheArrivalOrderOfEqualOnes)
{
    ListParent parent;
    parent.Make(LBS_SORT | WS_VSCROLL);
    CListBox& list = parent.list;
    std::vector<std::string> arrived;
    unsigned seed = 7;
    for (int i = 0; i < 300; ++i) {
        seed = seed * 1103515245u + 12345u;
        std::string name = {static_cast<char>('a' + (seed >> 16) % 4), static_cast<char>('a' + (seed >> 20) % 3)};
        if ((seed >> 24) & 1)
            name[0] = static_cast<char>(name[0] - 'a' + 'A');
        name += std::to_string(i);  // tells equal rows apart, past the compared letters
        arrived.push_back(name);
    }
    for (const std::string& name : arrived)
        list.AddString(std::string(name, 0, 2).c_str());
    // The rows hold the first two letters; the reference keeps the numbers.
    std::vector<std::string> expected = arrived;
    std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return strncasecmp(a.c_str(), b.c_str(), 2) < 0;
    });
    ASSERT_EQ(list.GetCount(), 300);
    CString text;
    for (int i = 0; i < 300; ++i) {
        list.GetText(i, text);
        ASSERT_EQ(std::string(text), expected[static_cast<size_t>(i)].substr(0, 2)) << "row " << i;
    }
    parent.DestroyWindow();
}

TEST(ListBox, KeysAndWheelScrollThePlainList)
{
    ListParent parent;
    parent.Make(LBS_NOTIFY | WS_VSCROLL);  // 200 pixels: twelve rows of 16 shown whole
    CListBox& list = parent.list;
    for (int i = 0; i < 30; ++i)
        list.AddString(CString(std::to_string(100 + i)));
    list.SetCurSel(11);
    platform::SendKeyInput(&list, VK_DOWN, true);
    EXPECT_EQ(list.GetCurSel(), 12);
    EXPECT_EQ(list.GetTopIndex(), 1) << "the new row is scrolled into view";
    EXPECT_EQ(parent.selChanges, 1);
    QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -360), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(list.GetSafeHwnd(), &down);
    EXPECT_EQ(list.GetTopIndex(), 4);
    QWheelEvent up(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 1200), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(list.GetSafeHwnd(), &up);
    EXPECT_EQ(list.GetTopIndex(), 0) << "never above row 0";
    parent.DestroyWindow();
}

}  // namespace
