// The idle pass: the tick for the panes on every pass, and an owned popup
// that is active hands the activation back to the main window unless a
// window holds the mouse.
#include "platform/ui/frame_wnd.h"
#include "tests/shell/app_fixture.h"

namespace shelltest {
namespace {

class TickCounter : public CNotifier {
public:
    void OnNotify(UINT sender, UINT code, LPARAM) override
    {
        if (sender == App().GetNotifyId() && code == 13)
            ++ticks;
    }
    int ticks = 0;
};

TEST(Idle, TicksEveryPassAndGivesTheActivationBackToTheMainWindow)
{
    CDizadoApp& app = App();
    TickCounter panes;
    app.AddListener(&panes);
    // A frame deletes itself when its window goes.
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 200, 200}));
    CWnd& main = *frame;
    CWnd popup;
    ASSERT_TRUE(popup.Create(nullptr, "popup", WS_POPUP | WS_VISIBLE, RECT{10, 10, 60, 60}, &main, 0));
    ASSERT_EQ(popup.GetParent() == &main || popup.GetOwner() == &main, true);
    app.m_pMainWnd = &main;

    popup.SetActiveWindow();
    ASSERT_EQ(CWnd::GetActiveWindow(), &popup);
    popup.SetCapture();
    EXPECT_TRUE(app.OnIdle(0));
    EXPECT_EQ(CWnd::GetActiveWindow(), &popup) << "a window holds the mouse";
    ReleaseCapture();
    EXPECT_TRUE(app.OnIdle(1));
    EXPECT_EQ(CWnd::GetActiveWindow(), &popup) << "only the first pass after messages walks the windows";
    EXPECT_TRUE(app.OnIdle(0));
    EXPECT_EQ(CWnd::GetActiveWindow(), &main);
    EXPECT_EQ(panes.ticks, 3);

    app.m_pMainWnd = nullptr;
    popup.DestroyWindow();
    frame->DestroyWindow();
    app.RemoveListener(&panes);
}

}  // namespace
}  // namespace shelltest
