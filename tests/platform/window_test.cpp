#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/cmd_ui.h"
#include "platform/core/tick_count.h"
#include "platform/gdi/dc.h"
#include "platform/ui/app.h"
#include "platform/ui/cursor.h"
#include "platform/ui/synthetic_input.h"
#include "platform/ui/wnd.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Records the window messages its map sends it, then gives them default
// processing, as a window of the program does.
class RecordingWnd : public CWnd {
public:
    std::vector<Message> m_log;
    std::vector<RECT> m_paintClips;
    COLORREF m_paintColour = RGB(0, 0, 0);
    int m_createResult = 0;

    int Count(UINT message) const
    {
        int n = 0;
        for (const Message& m : m_log)
            n += m.message == message;
        return n;
    }
    const Message* Last(UINT message) const
    {
        for (auto it = m_log.rbegin(); it != m_log.rend(); ++it)
            if (it->message == message)
                return &*it;
        return nullptr;
    }

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        m_log.push_back({WM_CREATE, 0, 0});
        if (CWnd::OnCreate(cs) == -1)
            return -1;
        return m_createResult;
    }
    void OnSize(UINT type, int cx, int cy)
    {
        m_log.push_back({WM_SIZE, type, MAKELONG(static_cast<WORD>(cx), static_cast<WORD>(cy))});
        CWnd::OnSize(type, cx, cy);
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        RECT clip;
        dc.GetClipBox(&clip);
        m_paintClips.push_back(clip);
        m_log.push_back({WM_PAINT, 0, 0});
        RECT client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, m_paintColour);
    }
    BOOL OnEraseBkgnd(CDC* dc)
    {
        m_log.push_back({WM_ERASEBKGND, 0, 0});
        return CWnd::OnEraseBkgnd(dc);
    }
    void OnLButtonDown(UINT flags, CPoint point)
    {
        m_log.push_back({WM_LBUTTONDOWN, flags, MAKELONG(static_cast<WORD>(point.x), static_cast<WORD>(point.y))});
        CWnd::OnLButtonDown(flags, point);
    }
    void OnMouseMove(UINT flags, CPoint point)
    {
        m_log.push_back({WM_MOUSEMOVE, flags, MAKELONG(static_cast<WORD>(point.x), static_cast<WORD>(point.y))});
        CWnd::OnMouseMove(flags, point);
    }
    void OnKeyDown(UINT key, UINT repeat, UINT flags)
    {
        m_log.push_back({WM_KEYDOWN, key, MAKELONG(static_cast<WORD>(repeat), static_cast<WORD>(flags))});
        CWnd::OnKeyDown(key, repeat, flags);
    }
    void OnKeyUp(UINT key, UINT repeat, UINT flags)
    {
        m_log.push_back({WM_KEYUP, key, MAKELONG(static_cast<WORD>(repeat), static_cast<WORD>(flags))});
        CWnd::OnKeyUp(key, repeat, flags);
    }
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
    {
        m_log.push_back({WM_SETCURSOR, hitTest, static_cast<LPARAM>(message)});
        return CWnd::OnSetCursor(wnd, hitTest, message);
    }
    LRESULT OnHelpHitTest(WPARAM, LPARAM)
    {
        m_log.push_back({WM_HELPHITTEST, 0, 0});
        return 0x1E140;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

// A class whose own map handles one message and leaves the rest to its
// base's map.
class DerivedWnd : public RecordingWnd {
public:
    int m_ownDowns = 0;

protected:
    void OnLButtonDown(UINT flags, CPoint point)
    {
        ++m_ownDowns;
        RecordingWnd::OnLButtonDown(flags, point);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, RecordingWnd)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::EnsureToolkit();
        platform::ProcessPendingEvents();
    }
    void TearDown() override
    {
        platform::ClearTestCursorPos();
        ReleaseCapture();
        platform::ProcessPendingEvents();
    }

    // A visible top-level window at `rect`, its first paint done.
    template <class W>
    void Make(W& wnd, RECT rect = RECT{100, 100, 164, 148})
    {
        ASSERT_TRUE(wnd.Create(nullptr, "test", WS_VISIBLE, rect, nullptr, 0));
        platform::ProcessPendingEvents();
        wnd.m_log.clear();
        wnd.m_paintClips.clear();
    }
};

TEST_F(WindowTest, CreationSendsCreateAndSizeAndAFailedCreateMakesNoWindow)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "a", 0, RECT{0, 0, 40, 30}, nullptr, 0));
    ASSERT_GE(wnd.m_log.size(), 2u);
    EXPECT_EQ(wnd.m_log[0].message, WM_CREATE);
    EXPECT_EQ(wnd.m_log[1].message, WM_SIZE);
    EXPECT_EQ(wnd.m_log[1].lParam, MAKELONG(40, 30));
    RECT client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(client.right, 40);
    EXPECT_EQ(client.bottom, 30);
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(wnd.DestroyWindow());

    RecordingWnd refused;
    refused.m_createResult = -1;
    EXPECT_FALSE(refused.Create(nullptr, "b", 0, RECT{0, 0, 10, 10}, nullptr, 0));
    EXPECT_EQ(refused.GetSafeHwnd(), nullptr);
    // Without a window every call is harmless.
    refused.Invalidate();
    refused.GetClientRect(&client);
    EXPECT_TRUE(IsRectEmpty(&client));
    CClientDC dc(&refused);
    dc.FillSolidRect(0, 0, 5, 5, 0);
}

// Changes what it is made with before it is made.
class ReshapingWnd : public RecordingWnd {
public:
    bool m_refuse = false;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.cx = 20;
        cs.cy = 10;
        cs.style |= WS_BORDER;
        return m_refuse ? FALSE : TRUE;
    }
};

TEST_F(WindowTest, PreCreateWindowShapesTheWindowOrRefusesIt)
{
    ReshapingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "c", 0, RECT{0, 0, 40, 30}, nullptr, 0));
    RECT client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(client.right, 20);
    EXPECT_EQ(client.bottom, 10);
    EXPECT_TRUE(wnd.GetStyle() & WS_BORDER);
    EXPECT_EQ(wnd.GetBackingSurface()->Width(), 20);
    wnd.DestroyWindow();

    ReshapingWnd refused;
    refused.m_refuse = true;
    EXPECT_FALSE(refused.Create(nullptr, "d", 0, RECT{0, 0, 40, 30}, nullptr, 0));
    EXPECT_EQ(refused.GetSafeHwnd(), nullptr);
    EXPECT_EQ(refused.Count(WM_CREATE), 0);
}

TEST_F(WindowTest, MouseAndKeyEventsArriveAsMessagesThroughTheMaps)
{
    DerivedWnd wnd;
    Make(wnd);
    platform::SendMouseInput(&wnd, platform::MouseAction::Press, platform::MouseButton::Left, POINT{5, 7}, MK_LBUTTON,
                             MK_SHIFT | MK_CONTROL);
    EXPECT_EQ(wnd.m_ownDowns, 1);
    const Message* down = wnd.Last(WM_LBUTTONDOWN);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->wParam, MK_LBUTTON | MK_SHIFT | MK_CONTROL);
    EXPECT_EQ(down->lParam, MAKELONG(5, 7));
    // The cursor message comes first, for the client area, naming the message.
    const Message* cursor = wnd.Last(WM_SETCURSOR);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->wParam, HTCLIENT);
    EXPECT_EQ(cursor->lParam, static_cast<LPARAM>(WM_LBUTTONDOWN));

    // A quick second press is a press.
    platform::SendMouseInput(&wnd, platform::MouseAction::Release, platform::MouseButton::Left, POINT{5, 7}, 0, 0);
    platform::SendMouseInput(&wnd, platform::MouseAction::DoubleClick, platform::MouseButton::Left, POINT{5, 7},
                             MK_LBUTTON, 0);
    EXPECT_EQ(wnd.Count(WM_LBUTTONDOWN), 2);
    EXPECT_EQ(wnd.m_ownDowns, 2);

    platform::SendMouseInput(&wnd, platform::MouseAction::Move, platform::MouseButton::None, POINT{9, 3}, 0, 0);
    ASSERT_NE(wnd.Last(WM_MOUSEMOVE), nullptr);
    EXPECT_EQ(wnd.Last(WM_MOUSEMOVE)->lParam, MAKELONG(9, 3));

    const struct {
        int key;
    } keys[] = {{VK_CONTROL}, {'A'}, {'7'}, {VK_LEFT}, {VK_DELETE}, {VK_ESCAPE}, {VK_F1}};
    for (const auto& k : keys) {
        platform::SendKeyInput(&wnd, k.key, true);
        const Message* key = wnd.Last(WM_KEYDOWN);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->wParam, static_cast<WPARAM>(k.key));
        EXPECT_EQ(LOWORD(key->lParam), 1);  // repeat count
        EXPECT_EQ(HIWORD(key->lParam) & 0x4000, 0);
        platform::SendKeyInput(&wnd, k.key, false);
        ASSERT_NE(wnd.Last(WM_KEYUP), nullptr);
        EXPECT_EQ(wnd.Last(WM_KEYUP)->wParam, static_cast<WPARAM>(k.key));
    }
    platform::SendKeyInput(&wnd, VK_CONTROL, true, true);
    EXPECT_NE(HIWORD(wnd.Last(WM_KEYDOWN)->lParam) & 0x4000, 0);  // held: previous state down

    EXPECT_EQ(wnd.SendMessage(WM_HELPHITTEST), 0x1E140);
    // No entry for it: default processing.
    EXPECT_EQ(wnd.SendMessage(WM_USER + 5, 1, 2), 0);
}

TEST_F(WindowTest, InvalidationsBecomeOnePaintClippedToTheirUnion)
{
    RecordingWnd wnd;
    Make(wnd);
    platform::Surface& backing = *wnd.GetBackingSurface();
    backing.Fill(kWhite);
    wnd.m_paintColour = RGB(0, 0, 255);
    const RECT a{2, 2, 6, 6};
    const RECT b{20, 10, 30, 14};
    wnd.InvalidateRect(&a, FALSE);
    wnd.InvalidateRect(&b, FALSE);
    wnd.InvalidateRect(&a, FALSE);
    RECT update;
    EXPECT_TRUE(wnd.GetUpdateRect(&update));
    EXPECT_EQ(update.left, 2);
    EXPECT_EQ(update.right, 30);
    EXPECT_EQ(wnd.Count(WM_PAINT), 0);  // not before the queue is empty
    platform::ProcessPendingEvents();
    EXPECT_EQ(wnd.Count(WM_PAINT), 1);
    EXPECT_EQ(wnd.Count(WM_ERASEBKGND), 0);
    ASSERT_EQ(wnd.m_paintClips.size(), 1u);
    EXPECT_EQ(wnd.m_paintClips[0].left, 2);
    EXPECT_EQ(wnd.m_paintClips[0].top, 2);
    EXPECT_EQ(wnd.m_paintClips[0].right, 30);
    EXPECT_EQ(wnd.m_paintClips[0].bottom, 14);
    // The paint filled the whole client area; only the two rectangles took it.
    int painted = 0;
    for (int y = 0; y < backing.Height(); ++y)
        for (int x = 0; x < backing.Width(); ++x) {
            const bool inside = PtInRect(&a, POINT{x, y}) || PtInRect(&b, POINT{x, y});
            EXPECT_EQ(backing.GetPixel(x, y), inside ? RGB(0, 0, 255) : kWhite) << x << "," << y;
            painted += inside;
        }
    EXPECT_EQ(painted, 16 + 40);
    EXPECT_FALSE(wnd.GetUpdateRect(&update));

    // Nothing to paint: no message. Outside the client area counts as nothing.
    const RECT outside{500, 500, 600, 600};
    wnd.InvalidateRect(&outside, TRUE);
    platform::ProcessPendingEvents();
    EXPECT_EQ(wnd.Count(WM_PAINT), 1);

    // Validated parts are not painted; erasing comes before painting.
    wnd.Invalidate(TRUE);
    const RECT left{0, 0, 32, 48};
    wnd.ValidateRect(&left);
    platform::ProcessPendingEvents();
    ASSERT_EQ(wnd.Count(WM_PAINT), 2);
    EXPECT_EQ(wnd.m_paintClips[1].left, 32);
    ASSERT_EQ(wnd.Count(WM_ERASEBKGND), 1);
    EXPECT_LT(wnd.Last(WM_ERASEBKGND), wnd.Last(WM_PAINT));

    // A polygon region invalidates its pixels only.
    const POINT triangle[] = {{0, 0}, {16, 0}, {0, 16}};
    CRgn region;
    region.CreatePolygonRgn(triangle, 3, WINDING);
    wnd.InvalidateRgn(&region, FALSE);
    wnd.UpdateWindow();
    ASSERT_EQ(wnd.Count(WM_PAINT), 3);
    // Pixel centres inside the slanted edge: 15 on the top row.
    EXPECT_EQ(wnd.m_paintClips[2].right, 15);
    wnd.DestroyWindow();
}

TEST_F(WindowTest, InvertingOutsideAPaintTwiceGivesThePixelsBack)
{
    RecordingWnd wnd;
    Make(wnd);
    platform::Surface& backing = *wnd.GetBackingSurface();
    for (int y = 0; y < backing.Height(); ++y)
        for (int x = 0; x < backing.Width(); ++x)
            backing.SetPixel(x, y, RGB(x * 3, y * 5, (x ^ y) & 0xFF));
    const platform::Surface before = backing;
    for (int round = 0; round < 2; ++round) {
        CClientDC dc(&wnd);
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        dc.SelectObject(&pen);
        dc.SetROP2(R2_NOTXORPEN);
        for (int y = 3; y < 30; y += 2) {
            dc.MoveTo(1, y);
            dc.LineTo(60, y + 7);
        }
        if (round == 0) {
            EXPECT_NE(backing.GetPixel(1, 3), before.GetPixel(1, 3));
        }
    }
    for (int y = 0; y < backing.Height(); ++y)
        for (int x = 0; x < backing.Width(); ++x)
            ASSERT_EQ(backing.GetPixel(x, y), before.GetPixel(x, y)) << x << "," << y;
    // The toolkit shows the backing image as it is.
    const platform::Surface shown = platform::GrabPresented(&wnd);
    ASSERT_EQ(shown.Width(), backing.Width());
    for (int y = 0; y < backing.Height(); ++y)
        for (int x = 0; x < backing.Width(); ++x)
            ASSERT_EQ(shown.GetPixel(x, y), backing.GetPixel(x, y)) << x << "," << y;
    CDC* dc = wnd.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(wnd.ReleaseDC(dc), 1);
    wnd.DestroyWindow();
}

TEST_F(WindowTest, MaximisedWindowFillsTheScreensWorkArea)
{
    RecordingWnd wnd;
    Make(wnd);
    ASSERT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(99), 0);
    wnd.ShowWindow(SW_SHOWMAXIMIZED);
    for (int i = 0; i < 5; ++i)
        platform::ProcessPendingEvents();
    RECT client;
    wnd.GetClientRect(&client);
    EXPECT_GT(client.right, 64);
    EXPECT_LE(client.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(wnd.GetBackingSurface()->Width(), client.right);
    ASSERT_NE(wnd.Last(WM_SIZE), nullptr);
    EXPECT_EQ(LOWORD(wnd.Last(WM_SIZE)->lParam), client.right);
    wnd.DestroyWindow();
}

TEST_F(WindowTest, CaptureSendsMovesOutsideInClientCoordinates)
{
    RecordingWnd a, b;
    Make(a, RECT{100, 100, 150, 150});
    Make(b, RECT{300, 100, 350, 150});
    EXPECT_EQ(a.SetCapture(), nullptr);
    EXPECT_EQ(CWnd::GetCapture(), &a);
    // A move over b goes to a, in a's coordinates, without cursor messages.
    platform::SendMouseInput(&b, platform::MouseAction::Move, platform::MouseButton::None, POINT{10, 20}, 0, 0);
    ASSERT_NE(a.Last(WM_MOUSEMOVE), nullptr);
    EXPECT_EQ(b.Count(WM_MOUSEMOVE), 0);
    EXPECT_EQ(a.Count(WM_SETCURSOR), 0);
    POINT expected{10, 20};
    b.ClientToScreen(&expected);
    a.ScreenToClient(&expected);
    EXPECT_EQ(CPoint(a.Last(WM_MOUSEMOVE)->lParam), CPoint(expected));
    // Left of the window: negative, as the drag commands expect.
    platform::SendMouseInput(&a, platform::MouseAction::Move, platform::MouseButton::None, POINT{-7, -3}, 0, 0);
    EXPECT_EQ(CPoint(a.Last(WM_MOUSEMOVE)->lParam), CPoint(-7, -3));
    // Leaving the window without a button held is told as a move to where
    // the pointer is.
    POINT away{-30, 10};
    a.ClientToScreen(&away);
    platform::SetTestCursorPos(away);
    const int moves = a.Count(WM_MOUSEMOVE);
    platform::SendMouseInput(&a, platform::MouseAction::Leave, platform::MouseButton::None, POINT{}, 0, 0);
    ASSERT_EQ(a.Count(WM_MOUSEMOVE), moves + 1);
    EXPECT_EQ(CPoint(a.Last(WM_MOUSEMOVE)->lParam), CPoint(-30, 10));
    ReleaseCapture();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    platform::SendMouseInput(&b, platform::MouseAction::Move, platform::MouseButton::None, POINT{1, 2}, 0, 0);
    EXPECT_EQ(b.Count(WM_MOUSEMOVE), 1);

    POINT p{3, 4};
    a.ClientToScreen(&p);
    EXPECT_EQ(p.x, 103);
    EXPECT_EQ(p.y, 104);
    EXPECT_EQ(CWnd::WindowFromPoint(p), &a);
    a.ScreenToClient(&p);
    EXPECT_EQ(p.x, 3);
    // A destroyed window lets the capture go.
    b.SetCapture();
    b.DestroyWindow();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    a.DestroyWindow();
}

TEST_F(WindowTest, CursorNudgeIsOneMoveAtThePresentPosition)
{
    RecordingWnd wnd;
    Make(wnd, RECT{500, 400, 560, 460});
    POINT inside{20, 30};
    wnd.ClientToScreen(&inside);
    platform::SetTestCursorPos(inside);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, inside.x);
    SetCursorPos(p.x + 1, p.y);
    SetCursorPos(p.x, p.y);
    EXPECT_EQ(wnd.Count(WM_MOUSEMOVE), 0);
    platform::ProcessPendingEvents();
    EXPECT_EQ(wnd.Count(WM_MOUSEMOVE), 1);
    EXPECT_EQ(CPoint(wnd.Last(WM_MOUSEMOVE)->lParam), CPoint(20, 30));
    EXPECT_EQ(wnd.Count(WM_SETCURSOR), 1);
    wnd.DestroyWindow();
}

TEST_F(WindowTest, WaitCursorIsCountedAcrossCommandTargets)
{
    CCmdTarget target;
    EXPECT_EQ(platform::WaitCursorDepth(), 0);
    target.BeginWaitCursor();
    target.BeginWaitCursor();
    EXPECT_EQ(platform::WaitCursorDepth(), 2);
    target.EndWaitCursor();
    target.EndWaitCursor();
    target.EndWaitCursor();  // one too many changes nothing
    EXPECT_EQ(platform::WaitCursorDepth(), 0);
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);
    EXPECT_NE(LoadCursor(nullptr, IDC_WAIT), arrow);
    SetCursor(arrow);
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(65000)), nullptr);
}

TEST(TickCount, IsMonotonicAndCanBeReplaced)
{
    const DWORD first = GetTickCount();
    const DWORD second = GetTickCount();
    EXPECT_LE(static_cast<DWORD>(second - first), 1000u);
    DWORD fake = 0xFFFFFFF0u;
    auto previous = platform::SetTickSource([&] { return fake; });
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    fake += 0x20;  // wraps
    EXPECT_EQ(GetTickCount(), 0x10u);
    platform::SetTickSource(previous);
}

}  // namespace

namespace {

TEST_F(WindowTest, TrackingLoopGetsOnlyMouseMessagesAndTheRestWaits)
{
    RecordingWnd wnd;
    Make(wnd);
    MSG msg;
    // The loop's first poll finds nothing and starts the tracking.
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
    wnd.Invalidate(FALSE);
    platform::SendKeyInput(&wnd, 'K', true);
    platform::SendMouseInput(&wnd, platform::MouseAction::Move, platform::MouseButton::None, POINT{4, 5}, MK_LBUTTON, 0);
    platform::SendMouseInput(&wnd, platform::MouseAction::Release, platform::MouseButton::Left, POINT{6, 7}, 0, 0);
    EXPECT_EQ(wnd.Count(WM_MOUSEMOVE), 0);  // queued, not dispatched

    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    EXPECT_EQ(msg.hwnd, wnd.GetSafeHwnd());
    EXPECT_EQ(CPoint(msg.lParam), CPoint(4, 5));
    EXPECT_EQ(msg.wParam, MK_LBUTTON);
    // Paint and keys wait while the loop polls.
    EXPECT_EQ(wnd.Count(WM_PAINT), 0);
    EXPECT_EQ(wnd.Count(WM_KEYDOWN), 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_LBUTTONUP);
    EXPECT_EQ(CPoint(msg.lParam), CPoint(6, 7));

    // The release ends the tracking: what waited is handled, in order.
    for (int i = 0; i < 10 && (wnd.Count(WM_PAINT) == 0 || wnd.Count(WM_KEYDOWN) == 0); ++i)
        platform::ProcessPendingEvents();
    EXPECT_EQ(wnd.Count(WM_KEYDOWN), 1);
    EXPECT_EQ(wnd.Count(WM_MOUSEMOVE), 0);
    for (int i = 0; i < 50 && wnd.Count(WM_PAINT) == 0; ++i) {
        platform::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(wnd.Count(WM_PAINT), 1);
    wnd.DestroyWindow();
}

TEST_F(WindowTest, TrackingLoopShowsClientDrawingAndWaitsForNewMessages)
{
    RecordingWnd wnd;
    Make(wnd);
    platform::Surface& backing = *wnd.GetBackingSurface();
    backing.Fill(kWhite);
    wnd.ValidateRect(nullptr);
    MSG msg;
    {
        // The drag's feedback context stays open for the whole loop.
        CClientDC dc(&wnd);
        EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
        dc.SetROP2(R2_NOT);
        dc.MoveTo(0, 10);
        dc.LineTo(40, 10);
        const RECT drawn = dc.GetDrawnBounds();
        EXPECT_FALSE(IsRectEmpty(&drawn));
        // A message already here since the last poll: no wait.
        platform::SendMouseInput(&wnd, platform::MouseAction::Move, platform::MouseButton::None, POINT{8, 9},
                                 MK_LBUTTON, 0);
        EXPECT_TRUE(WaitMessage());
        // The poll showed what the context drew so far.
        const RECT shown = dc.GetDrawnBounds();
        EXPECT_TRUE(IsRectEmpty(&shown));
        // A message posted meanwhile ends the wait.
        wnd.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELONG(9, 9));
        EXPECT_TRUE(WaitMessage());
        ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
        EXPECT_EQ(CPoint(msg.lParam), CPoint(8, 9));
        ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
        EXPECT_EQ(CPoint(msg.lParam), CPoint(9, 9));
        wnd.PostMessage(WM_LBUTTONUP, 0, MAKELONG(9, 9));
        EXPECT_TRUE(WaitMessage());
        ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
        EXPECT_EQ(msg.message, WM_LBUTTONUP);
        dc.MoveTo(0, 10);
        dc.LineTo(40, 10);
    }
    platform::ProcessPendingEvents();
    EXPECT_EQ(backing.GetPixel(5, 10), kWhite);
    EXPECT_EQ(wnd.Count(WM_MOUSEMOVE), 0);  // taken by the loop, not dispatched
    wnd.DestroyWindow();
}

TEST_F(WindowTest, ClientContextOutlivingItsWindowDrawsNowhere)
{
    auto* wnd = new RecordingWnd;
    Make(*wnd);
    CClientDC dc(wnd);
    delete wnd;
    dc.FillSolidRect(0, 0, 10, 10, RGB(0, 0, 0));  // must not touch the old image
    platform::PresentClientDrawing();
    dc.FillSolidRect(0, 0, 10, 10, RGB(0, 0, 0));
}

TEST(ClientContext, ResizedSurfaceUnderALiveContextIsNotOverrun)
{
    platform::Surface surface(100, 100, kWhite);
    CDC dc(&surface);
    dc.FillSolidRect(0, 0, 100, 100, RGB(1, 1, 1));  // caches the clip
    surface.Resize(10, 10, kWhite);
    dc.FillSolidRect(0, 0, 100, 100, RGB(2, 2, 2));
    EXPECT_EQ(surface.GetPixel(9, 9), RGB(2, 2, 2));
}

}  // namespace

namespace {

// A 32 x 32 one-bit cursor image as resources hold it: hot spot, header with
// twice the height, two colours, colour rows, then mask rows.
std::vector<BYTE> CursorImage()
{
    std::vector<BYTE> bytes;
    const auto word = [&](unsigned v) {
        bytes.push_back(static_cast<BYTE>(v));
        bytes.push_back(static_cast<BYTE>(v >> 8));
    };
    const auto dword = [&](unsigned v) {
        word(v & 0xFFFF);
        word(v >> 16);
    };
    word(3);   // hot spot x
    word(4);   // hot spot y
    dword(40);
    dword(32);
    dword(64);
    word(1);
    word(1);
    dword(0);  // BI_RGB
    dword(0);
    dword(0);
    dword(0);
    dword(2);
    dword(0);
    dword(0x000000);  // black
    dword(0xFFFFFF);  // white
    for (int row = 0; row < 32; ++row)
        dword(row < 16 ? 0xFFFFFFFFu : 0);
    for (int row = 0; row < 32; ++row)
        dword(row % 2 ? 0xFFFFFFFFu : 0);
    return bytes;
}

TEST(Cursor, ImageResourcesAreCheckedBeforeUse)
{
    platform::EnsureToolkit();
    const std::vector<BYTE> good = CursorImage();
    EXPECT_NE(CreateIconFromResource(good.data(), static_cast<DWORD>(good.size()), FALSE, 0x30000), nullptr);
    EXPECT_EQ(CreateIconFromResource(good.data(), static_cast<DWORD>(good.size()), TRUE, 0x30000), nullptr);
    EXPECT_EQ(CreateIconFromResource(nullptr, 100, FALSE, 0x30000), nullptr);
    // Every truncation is refused.
    for (DWORD size = 0; size < good.size(); size += 7)
        EXPECT_EQ(CreateIconFromResource(good.data(), size, FALSE, 0x30000), nullptr) << size;
    const struct {
        size_t offset;
        BYTE value;
    } damaged[] = {
        {4, 12},     // header size below 40
        {8, 0},      // no width
        {12, 65},    // odd double height
        {16, 2},     // two planes
        {18, 3},     // three bits per pixel
        {20, 1},     // compressed
        {36, 5},     // more colours than the depth has
    };
    for (const auto& d : damaged) {
        std::vector<BYTE> bad = good;
        bad[d.offset] = d.value;
        EXPECT_EQ(CreateIconFromResource(bad.data(), static_cast<DWORD>(bad.size()), FALSE, 0x30000), nullptr)
            << d.offset;
    }
}

}  // namespace
