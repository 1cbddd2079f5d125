// The kid frame: its controls at their places, the menu bar behind Ctrl+M,
// the brick list's paging, the buttons ticked by range, the brick chosen from
// the list, the mouse capture around accelerators.
#include <gtest/gtest.h>

#include "foundation/sound_player.h"
#include "platform/core/hooks.h"
#include "model/kit_list.h"
#include "platform/ui/menu.h"
#include "resources/resource_ids.h"
#include "shell/kid_frame.h"
#include "shell/kid_frame_host.h"
#include "shell_fixture.h"
#include "tests/support/scoped_hook.h"

namespace {

class TestHost : public IKidFrameHost {
public:
    explicit TestHost(int classes, LONG rowHeight = 20)
    {
        auto* kit = new CBrickKitListData;
        kit->m_strLabel = "kit";
        for (int i = 0; i < classes; ++i) {
            auto* entry = new CBrickModData;
            entry->m_nClassId = static_cast<SHORT>(3001 + i);
            entry->m_nRowHeight = rowHeight;
            entry->m_pKit = kit;
            kit->m_classes.AddTail(entry);
        }
        kits.AddTail(kit);
        SetKidFrameHost(this);
    }
    ~TestHost() override { SetKidFrameHost(nullptr); }
    CPalette* GetPalette() override { return nullptr; }
    void FillBrickList(CListBox* list) override { kits.FillListBox(list); }
    BOOL GetPrintOn() override { return printOn; }
    CKitList* GetKitList() override { return &kits; }

    CKitList kits;
    BOOL printOn = FALSE;
};

// The frame deletes itself when its window goes.
struct FrameScope {
    CKidFrame* frame = new CKidFrame;
    FrameScope(int cx = 640, int cy = 480)
    {
        EXPECT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
        frame->MoveWindow(0, 0, cx, cy);
    }
    ~FrameScope()
    {
        if (frame->GetSafeHwnd())
            frame->DestroyWindow();
    }
    POINT PlaceOf(UINT id)
    {
        CWnd* child = frame->GetDlgItem(static_cast<int>(id));
        RECT r{};
        if (child) {
            child->GetWindowRect(&r);
            frame->ScreenToClient(&r);
        }
        return POINT{r.left, r.top};
    }
};

TEST(KidFrame, ControlsSitAtTheirPlacesFor640By480)
{
    TestHost host(3);
    FrameScope scope;
    CKidFrame* frame = scope.frame;
    RECT client;
    frame->GetClientRect(&client);
    ASSERT_EQ(client.right, 640);
    ASSERT_EQ(client.bottom, 480);
    EXPECT_EQ(frame->GetStyle() & 0xFFFF0000, CKidFrame::kFrameStyle);
    struct Place {
        UINT id;
        int x, y;
    } places[] = {{600, 5, 5},     {601, 5, 53},    {602, 5, 101},   {603, 5, 149},   {612, 5, 199},
                  {613, 29, 199},  {623, 29, 319},  {57600, 5, 345}, {57601, 5, 374}, {57603, 5, 403},
                  {57665, 5, 432}, {57607, 58, 430}, {57643, 103, 430}, {32779, 148, 430}, {604, 206, 430},
                  {605, 251, 430}, {606, 296, 430}, {607, 341, 430}, {608, 386, 430}, {609, 431, 430},
                  {610, 476, 430}, {611, 521, 430}, {624, 571, 5},   {625, 571, 443}, {626, 571, 37}};
    for (const Place& p : places) {
        const POINT at = scope.PlaceOf(p.id);
        EXPECT_EQ(at.x, p.x) << p.id;
        EXPECT_EQ(at.y, p.y) << p.id;
    }
    RECT list;
    frame->GetBrickListBox().GetWindowRect(&list);
    EXPECT_EQ(list.right - list.left, 64);
    EXPECT_EQ(list.bottom - list.top, 405);
    // Sized from their pictures.
    RECT tool;
    frame->GetButton(600)->GetWindowRect(&tool);
    EXPECT_EQ(tool.right - tool.left, 48);
    EXPECT_EQ(frame->GetLoadReports(), 0);
    const RECT view = frame->GetViewRect();
    EXPECT_EQ(view.left, 58);
    EXPECT_EQ(view.right - view.left, 508);
    EXPECT_EQ(view.bottom - view.top, 425);
    // Print stays hidden while PrintOn is off, after every size change.
    EXPECT_FALSE(frame->GetButton(57607)->IsWindowVisible());
    frame->MoveWindow(0, 0, 800, 600);
    EXPECT_FALSE(frame->GetButton(57607)->IsWindowVisible());
    EXPECT_EQ(scope.PlaceOf(611).x, 800 - 119);
    EXPECT_EQ(scope.PlaceOf(625).y, 600 - 37);
    host.printOn = TRUE;
    frame->MoveWindow(0, 0, 640, 480);
    EXPECT_TRUE(frame->GetButton(57607)->IsWindowVisible());
}

TEST(KidFrame, CtrlMShowsAndHidesTheMenu)
{
    TestHost host(1);
    FrameScope scope;
    CKidFrame* frame = scope.frame;
    EXPECT_FALSE(frame->IsMenuBarShown());
    EXPECT_EQ(frame->GetMenu(), nullptr);
    const LONG before = frame->GetWindowLong(GWL_STYLE);
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    EXPECT_TRUE(frame->IsMenuBarShown());
    ASSERT_NE(frame->GetMenu(), nullptr);
    EXPECT_EQ(frame->GetMenu()->GetMenuItemCount(), 4u);
    EXPECT_EQ(static_cast<DWORD>(frame->GetWindowLong(GWL_STYLE)), CKidFrame::kFrameStyle);
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    EXPECT_FALSE(frame->IsMenuBarShown());
    EXPECT_EQ(frame->GetMenu(), nullptr);
    EXPECT_EQ(frame->GetWindowLong(GWL_STYLE), before);
}

TEST(KidFrame, TheShownMenuTakesTheTopOfTheWindowAndTheControlsMoveBelowIt)
{
    TestHost host(40);
    FrameScope scope(800, 600);
    CKidFrame* frame = scope.frame;
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    const int bar = platform::MenuBarHeight(frame);
    ASSERT_GT(bar, 0);
    // Each control keeps its place in the area below the bar; those that
    // follow the bottom edge stay where they were.
    struct Place {
        UINT id;
        int x, y;
    } shown[] = {{600, 5, 5 + bar},      {624, 800 - 69, 5 + bar}, {626, 800 - 69, 37 + bar},
                 {57665, 5, 432 + bar},  {625, 800 - 69, 600 - 37}, {611, 800 - 119, 600 - 50}};
    for (const Place& p : shown) {
        const POINT at = scope.PlaceOf(p.id);
        EXPECT_EQ(at.x, p.x) << p.id;
        EXPECT_EQ(at.y, p.y) << p.id;
    }
    RECT list;
    frame->GetBrickListBox().GetWindowRect(&list);
    EXPECT_EQ(list.bottom - list.top, 600 - bar - 75);
    EXPECT_EQ(frame->GetViewRect().top, bar);
    EXPECT_EQ(frame->GetViewRect().bottom - frame->GetViewRect().top, 600 - bar - 55);
    EXPECT_EQ(frame->GetListPage(), (600 - bar - 75 - 2) / 20);

    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    EXPECT_EQ(platform::MenuBarHeight(frame), 0);
    EXPECT_EQ(scope.PlaceOf(600).y, 5);
    EXPECT_EQ(scope.PlaceOf(626).y, 37);
    EXPECT_EQ(frame->GetViewRect().top, 0);
}

// What the screen tests click: the bar's titles left to right along its top,
// a popup's items top to bottom inside the popup; nothing for a command no
// popup holds, or with no bar.
TEST(KidFrame, TheBarSaysWhereItsTitlesAndItemsAre)
{
    TestHost host(1);
    FrameScope scope(800, 600);
    CKidFrame* frame = scope.frame;
    RECT rect{};
    SIZE popup{};
    EXPECT_FALSE(platform::MenuBarTitleRect(frame, IDM_FILE_OPEN, &rect));
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    const int bar = platform::MenuBarHeight(frame);
    ASSERT_GT(bar, 0);

    long right = 0;
    for (UINT id : {IDM_FILE_OPEN, IDM_EDIT_UNDO, IDM_SHOW_BASEPLATE, IDM_APP_ABOUT}) {
        ASSERT_TRUE(platform::MenuBarTitleRect(frame, id, &rect)) << id;
        EXPECT_GE(rect.left, right) << id;
        EXPECT_GT(rect.right, rect.left) << id;
        EXPECT_GE(rect.top, 0) << id;
        EXPECT_LE(rect.bottom, bar) << id;
        right = rect.right;
    }
    RECT same{};
    ASSERT_TRUE(platform::MenuBarTitleRect(frame, IDM_FILE_NEW, &same));
    ASSERT_TRUE(platform::MenuBarTitleRect(frame, IDM_APP_EXIT, &rect));
    EXPECT_EQ(same.left, rect.left);

    long bottom = 0;
    for (UINT id : {IDM_HELP_INDEX, IDM_HELP_USING, IDM_APP_ABOUT}) {
        ASSERT_TRUE(platform::MenuBarItemRect(frame, id, &rect, &popup)) << id;
        EXPECT_GE(rect.top, bottom) << id;
        EXPECT_GT(rect.bottom, rect.top) << id;
        EXPECT_LE(rect.right, popup.cx) << id;
        EXPECT_LE(rect.bottom, popup.cy) << id;
        bottom = rect.bottom;
    }
    EXPECT_FALSE(platform::MenuBarTitleRect(frame, IDM_TOOL_SELECT, &rect));
    EXPECT_FALSE(platform::MenuBarItemRect(frame, IDM_TOOL_SELECT, &rect, &popup));
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    EXPECT_FALSE(platform::MenuBarItemRect(frame, IDM_APP_ABOUT, &rect, &popup));
}

TEST(KidFrame, TheWindowIsNeverSmallerThan640By480BelowTheMenu)
{
    TestHost host(3);
    FrameScope scope(300, 200);
    CKidFrame* frame = scope.frame;
    RECT client;
    frame->GetClientRect(&client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_EQ(scope.PlaceOf(57665).y, 432);
    EXPECT_EQ(scope.PlaceOf(604).x, 206);
    // With the menu shown the 640 by 480 are below it.
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    const int bar = platform::MenuBarHeight(frame);
    frame->MoveWindow(0, 0, 320, 240);
    frame->GetClientRect(&client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480 + bar);
    EXPECT_EQ(scope.PlaceOf(625).y, 480 + bar - 37);
    EXPECT_EQ(scope.PlaceOf(57665).y, 432 + bar);
}

TEST(KidFrame, PagingMovesAtLeastARowNeverAboveTheTopAndSoundsOnlyWhenItMoves)
{
    shelltest::RecordingSound sound;
    SetSoundSwitch(TRUE);
    struct Case {
        int rows;
        LONG rowHeight;
        UINT command;
        int startTop;
        int expectedTop;
    } cases[] = {
        {40, 20, IDM_LIST_PAGE_UP, 0, 0},      // at the top already
        {40, 20, IDM_LIST_PAGE_DOWN, 0, 20},   // a page of 20 rows
        {40, 20, IDM_LIST_PAGE_UP, 25, 5},
        {40, 20, IDM_LIST_PAGE_UP, 15, 0},
        {40, 20, IDM_LIST_PAGE_DOWN, 20, 20},  // the last page shows already
        {40, 20, IDM_LIST_PAGE_DOWN, 15, 20},  // less than a page remains: up to the last page
        {40, 20, IDM_LIST_PAGE_DOWN, 19, 20},
        {30, 20, IDM_LIST_PAGE_DOWN, 0, 10},   // from the top, fewer than two pages
        {30, 20, IDM_LIST_PAGE_DOWN, 10, 10},
        {5, 20, IDM_LIST_PAGE_DOWN, 0, 0},     // fewer rows than a page
        {40, 250, IDM_LIST_PAGE_DOWN, 0, 1},   // rows taller than the list
    };
    for (const Case& c : cases) {
        TestHost host(c.rows, c.rowHeight);
        FrameScope scope;  // a list of 403 client pixels
        CBrickListBox& list = scope.frame->GetBrickListBox();
        list.SetTopIndex(c.startTop);
        const int top = list.GetTopIndex();
        const int playsBefore = sound.plays;
        scope.frame->SendMessage(WM_COMMAND, c.command);
        EXPECT_EQ(list.GetTopIndex(), c.expectedTop) << c.rows << " " << c.command << " " << c.startTop;
        EXPECT_EQ(sound.plays - playsBefore, list.GetTopIndex() != top ? 1 : 0) << c.startTop;
    }
}

TEST(KidFrame, ButtonsAreTickedByRangeAndTheListGivesTheClass)
{
    TestHost host(3);
    FrameScope scope;
    CKidFrame* frame = scope.frame;
    // After creation: the new-brick tool and the first colour.
    EXPECT_EQ(frame->GetButton(602)->GetCurrentImage(), 1);
    EXPECT_EQ(frame->GetButton(600)->GetCurrentImage(), 0);
    EXPECT_EQ(frame->GetButton(612)->GetCurrentImage(), 1);
    frame->CheckButtonRange(600, 603, 603);
    EXPECT_EQ(frame->GetButton(602)->GetCurrentImage(), 0);
    EXPECT_EQ(frame->GetButton(603)->GetCurrentImage(), 1);
    EXPECT_EQ(frame->GetButton(603)->GetCheck(), 1);

    CBrickListBox& list = frame->GetBrickListBox();
    EXPECT_EQ(list.GetCurSel(), 0);
    list.SetCurSel(2);
    EXPECT_EQ(frame->OnBrickListSelect(), 3003);
    // With no row chosen the class stays what it was.
    list.SetCurSel(-1);
    EXPECT_EQ(frame->OnBrickListSelect(), 3003);
    EXPECT_EQ(frame->GetCurrentBrickClass(), 3003);
}

// A frame whose backdrop picture is missing.
class NoBackdropFrame : public CKidFrame {
public:
    NoBackdropFrame() { m_nBackdropId = 59999; }
};

TEST(KidFrame, AMissingBackdropIsReportedOnceNotOnEveryPaint)
{
    TestHost host(1);
    int boxes = 0;
    ScopedHook recordBoxes(platform::SetMessageBoxHook, [&](const std::string& text, const std::string&, UINT) {
        EXPECT_EQ(text, "Scream and Yell");
        ++boxes;
        return IDOK;
    });
    auto* frame = new NoBackdropFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
    for (int i = 0; i < 3; ++i) {
        frame->Invalidate();
        frame->UpdateWindow();
    }
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(frame->GetLoadReports(), 1);
    frame->DestroyWindow();
}

// A command that destroys the window holding the mouse.
class CaptureFrame : public CKidFrame {
public:
    CWnd* victim = nullptr;
    void OnSelectTool()
    {
        if (victim)
            victim->DestroyWindow();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CaptureFrame, CKidFrame)
    ON_COMMAND(600, OnSelectTool)
END_MESSAGE_MAP()

TEST(KidFrame, TheCaptureGoesBackAfterAKeyOnlyToAWindowThatStillExists)
{
    TestHost host(1);
    auto* frame = new CaptureFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
    MSG key;
    key.hwnd = frame->GetSafeHwnd();
    key.message = WM_KEYDOWN;
    key.wParam = 'A';  // select tool
    key.lParam = 1;

    frame->GetButton(605)->SetCapture();
    EXPECT_TRUE(frame->PreTranslateMessage(&key));
    EXPECT_EQ(CWnd::GetCapture(), frame->GetButton(605));

    auto* doomed = new CWnd;
    ASSERT_TRUE(doomed->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, frame, 77));
    frame->victim = doomed;
    doomed->SetCapture();
    EXPECT_TRUE(frame->PreTranslateMessage(&key));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    delete doomed;

    // A key that is no accelerator is left to the window.
    key.wParam = 'Q';
    EXPECT_FALSE(frame->PreTranslateMessage(&key));
    frame->DestroyWindow();
}

// Hears what a frame tells the windows around it.
class Listener : public CWnd {
public:
    int cancels = 0;
    CWnd* paletteFrom = nullptr;

protected:
    LRESULT OnCancelMode(WPARAM, LPARAM)
    {
        ++cancels;
        return 0;
    }
    LRESULT OnPaletteChanged(WPARAM wParam, LPARAM)
    {
        paletteFrom = CWnd::FromHandle(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Listener, CWnd)
    ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
    ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
END_MESSAGE_MAP()

TEST(KidFrame, ALeftPressEndsPendingModesAndAnActivatedFrameRealisesItsPalette)
{
    TestHost host(1);
    FrameScope scope;
    CKidFrame* frame = scope.frame;
    Listener child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{100, 100, 120, 120}, frame, 78));
    MSG msg{};
    msg.hwnd = child.GetSafeHwnd();
    struct Case {
        UINT message;
        int cancels;
    } cases[] = {{WM_LBUTTONDOWN, 1}, {WM_LBUTTONUP, 0}, {WM_RBUTTONDOWN, 0}, {WM_MOUSEMOVE, 0}};
    for (const Case& c : cases) {
        child.cancels = 0;
        msg.message = c.message;
        EXPECT_FALSE(frame->PreTranslateMessage(&msg));
        EXPECT_EQ(child.cancels, c.cancels) << c.message;
    }
    child.DestroyWindow();

    Listener other;
    ASSERT_TRUE(other.Create(nullptr, "other", WS_OVERLAPPED, RECT{0, 0, 50, 50}, nullptr, 0));
    EXPECT_TRUE(frame->SendMessage(WM_QUERYNEWPALETTE));
    platform::OfferPalette(frame);
    EXPECT_EQ(other.paletteFrom, frame);
    // A window that realised its own palette is not told of it.
    frame->SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(frame->GetSafeHwnd()));
    other.DestroyWindow();
}

}  // namespace
