// The pane in a window of the layer (headless): made by the single-document
// template, painted by the layer's paint cycle on its backing image.
#include "views_fixture.h"

#include <chrono>
#include <thread>

#include "foundation/notification_codes.h"
#include "platform/core/exceptions.h"
#include "platform/core/tick_count.h"
#include "platform/ui/app.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/frame_wnd.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/scoped_hook.h"

namespace viewstest {
namespace {

void Spin(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        platform::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < end);
}

// The thread's idle pass as the application's: nothing by time of its own,
// the tick for the pane, and always more; until it has a pane, the class
// library's default.
class IdleThread : public CWinThread {
public:
    BOOL OnIdle(LONG count) override
    {
        if (!pane)
            return CWinThread::OnIdle(count);
        ++passes;
        platform::IdleDue(-1);
        pane->OnNotify(NOTIFY_ID_APP, NOTIFY_IDLE, 0);
        return TRUE;
    }
    CBrickPane* pane = nullptr;
    int passes = 0;
};

class PaneWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.ScanKits();
        library.LoadPalette();
        SetBrickServices(&library);
        platform::EnsureToolkit();
        previousFrames = platform::SetDocumentFrames(platform::WindowDocumentFrames());
        doc = dynamic_cast<CDizadoDoc*>(docTemplate.OpenDocumentFile(nullptr, TRUE));
        ASSERT_NE(doc, nullptr);
        POSITION position = doc->GetFirstViewPosition();
        pane = dynamic_cast<CIsoBrickPane*>(doc->GetNextView(position));
        ASSERT_NE(pane, nullptr);
        pane->GetParentFrame()->MoveWindow(0, 0, 480, 360);
        Spin(20);
    }
    void TearDown() override
    {
        docTemplate.CloseAllDocuments(FALSE);
        platform::ProcessPendingEvents();
        platform::SetDocumentFrames(previousFrames);
        SetBrickServices(nullptr);
    }

    // The pane's drawing of the whole client area, off screen.
    platform::Surface Expected()
    {
        RECT client;
        pane->GetClientRect(&client);
        platform::Surface surface(client.right, client.bottom);
        CDC dc(&surface);
        pane->OnDraw(&dc);
        return surface;
    }
    static long Differences(const platform::Surface& a, const platform::Surface& b)
    {
        long n = 0;
        for (int y = 0; y < std::min(a.Height(), b.Height()); ++y)
            for (int x = 0; x < std::min(a.Width(), b.Width()); ++x)
                n += a.GetPixel(x, y) != b.GetPixel(x, y);
        return n;
    }

    CBrickClassLibrary library{CString(DIZADO_PROGRAM_FOLDER)};
    IdleThread app;
    CSingleDocTemplate docTemplate{0, RUNTIME_CLASS(CDizadoDoc), RUNTIME_CLASS(CFrameWnd),
                                   RUNTIME_CLASS(CIsoBrickPane)};
    platform::IDocumentFrames* previousFrames = nullptr;
    CDizadoDoc* doc = nullptr;
    CIsoBrickPane* pane = nullptr;
};

TEST_F(PaneWindow, PaintsTheModelAndRepaintsWhatABrickChange)
{
    CBrick* brick = CBrick::Make(doc->GetBrickList(), CPoint3D(2, 2, 0), 2009, 1, 0, 0);
    CBrick::Make(doc->GetBrickList(), CPoint3D(6, 1, 0), 2007, 3, 0, 0);
    Spin(20);
    EXPECT_FALSE(pane->IsPaintPending());
    platform::Surface* shown = pane->GetBackingSurface();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(Differences(*shown, Expected()), 0);

    // A move repaints the brick's outline at both places, nothing else.
    shown->SetPixel(5, 5, RGB(1, 2, 3));
    brick->ChangePosition(CPoint3D(3, 5, 0));
    EXPECT_TRUE(pane->IsPaintPending());
    Spin(20);
    EXPECT_EQ(shown->GetPixel(5, 5), RGB(1, 2, 3));
    shown->SetPixel(5, 5, Expected().GetPixel(5, 5));
    EXPECT_EQ(Differences(*shown, Expected()), 0);
    EXPECT_EQ(pane->SendMessage(WM_HELPHITTEST), static_cast<LRESULT>(0x1E140));
}

// The selection outline blinks on the screen: inverted in phase 0, gone in
// phase 1, and the pixels come back each time.
TEST_F(PaneWindow, OutlineBlinksOnTheScreen)
{
    DWORD now = 1000000;
    platform::TickSource previous = platform::SetTickSource([&now] { return now; });
    CBrick* brick = CBrick::Make(doc->GetBrickList(), CPoint3D(2, 2, 0), 2009, 1, 0, 0);
    Spin(20);
    const platform::Surface plain = *pane->GetBackingSurface();
    brick->SetSelected(TRUE);
    Spin(20);
    const platform::Surface outlined = *pane->GetBackingSurface();
    EXPECT_GT(Differences(plain, outlined), 50);
    now += 101;
    pane->OnNotify(NOTIFY_ID_APP, NOTIFY_IDLE, 0);
    EXPECT_EQ(pane->GetBlinker().GetPhase(), 1);
    EXPECT_EQ(Differences(*pane->GetBackingSurface(), plain), 0);
    now += 101;
    pane->OnNotify(NOTIFY_ID_APP, NOTIFY_IDLE, 0);
    EXPECT_EQ(Differences(*pane->GetBackingSurface(), outlined), 0);
    platform::SetTickSource(previous);
}

// While the outline blinks, the idle passes come when a flip is due, not on a
// short cadence; with nothing selected they stop until the next message.
TEST_F(PaneWindow, IdlePassesComeOnlyWhenTheOutlineIsDue)
{
    CBrick* brick = CBrick::Make(doc->GetBrickList(), CPoint3D(2, 2, 0), 2009, 1, 0, 0);
    brick->SetSelected(TRUE);
    Spin(20);
    app.pane = pane;
    platform::NoteMessage(WM_LBUTTONDOWN);
    int flips = 0;
    SHORT phase = pane->GetBlinker().GetPhase();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    while (std::chrono::steady_clock::now() < end) {
        Spin(1);
        flips += pane->GetBlinker().GetPhase() != phase;
        phase = pane->GetBlinker().GetPhase();
    }
    // A flip every 101 ms: about ten passes in the second, where a 15 ms
    // cadence makes about 66.
    EXPECT_GE(flips, 3);
    EXPECT_LE(app.passes, 15);

    brick->SetSelected(FALSE);
    Spin(150);
    const int passes = app.passes;
    Spin(300);
    EXPECT_EQ(app.passes, passes);
    // A selection made without a message (as a call over the bus makes it)
    // brings the passes back by itself.
    brick->SetSelected(TRUE);
    Spin(500);
    EXPECT_GE(app.passes, passes + 2);
    app.pane = nullptr;
}

// A pane whose window cannot be made (no document) registers nothing, and
// its destruction takes nothing away from anyone.
TEST_F(PaneWindow, FailedCreationRegistersNothing)
{
    CNotifier application;
    CPaneWindow::SetApplicationNotifier(&application);
    const int groupListeners = doc->GetBrickList()->GetListenerCount();
    // A view whose window fails goes with it.
    auto* orphan = new CIsoBrickPane;
    EXPECT_FALSE(orphan->Create(nullptr, nullptr, 0, RECT{0, 0, 100, 100}, nullptr, 0, nullptr));
    EXPECT_EQ(application.GetListenerCount(), 0);
    EXPECT_EQ(doc->GetBrickList()->GetListenerCount(), groupListeners);
    CPaneWindow::SetApplicationNotifier(nullptr);
}

// A failure inside painting is told once; the rest of the picture is drawn.
class FailingPane : public RecordingPane {
public:
    void DrawBaseplate(CDC*, const RECT&) override { AfxThrowMemoryException(); }
};

TEST(PaintFailure, IsReportedOnceAndPaintingGoesOn)
{
    CBrickClassLibrary library{CString(DIZADO_PROGRAM_FOLDER)};
    library.ScanKits();
    library.LoadPalette();
    ScopedValue services(SetBrickServices, &library, nullptr);
    MessageBoxRecorder boxes;
    {
        CDizadoDoc doc;
        doc.m_bAutoDelete = FALSE;
        FailingPane pane;
        pane.SetDrawingSize(200, 200);
        ASSERT_TRUE(pane.AttachDocument(&doc));
        CBrick* brick = CBrick::Make(doc.GetBrickList(), CPoint3D(0, 0, 0), 2009, 1, 0, 0);
        for (int i = 0; i < 3; ++i) {
            platform::Surface surface(200, 200, RGB(1, 2, 3));
            CDC dc(&surface);
            pane.OnDraw(&dc);
            POINT top;
            pane.ProjectXYZ(&top, 2, 1, 3);
            EXPECT_NE(surface.GetPixel(top.x, top.y + 1), RGB(1, 2, 3)) << "the bricks are drawn";
        }
        (void)brick;
    }
    EXPECT_EQ(boxes.texts.size(), 1u);
}

}  // namespace
}  // namespace viewstest
