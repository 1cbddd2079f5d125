#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/cmd_ui.h"
#include "platform/ui/app.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/idle.h"
#include "platform/ui/print.h"
#include "platform/ui/view.h"
#include "tests/support/scoped_hook.h"

namespace {

constexpr UINT kViewCommand = 100;
constexpr UINT kDocCommand = 101;
constexpr UINT kFrameCommand = 102;
constexpr UINT kAppCommand = 103;
constexpr UINT kSharedCommand = 104;
constexpr UINT kDisabledCommand = 105;

std::vector<std::string>& Handled()
{
    static std::vector<std::string> handled;
    return handled;
}

class TestApp : public CWinThread {
public:
    LONG m_passes = 0;
    LONG m_lastCount = -1;
    LONG m_wantPasses = 0;  // passes that ask for more

    BOOL OnIdle(LONG count) override
    {
        ++m_passes;
        m_lastCount = count;
        return count + 1 < m_wantPasses;
    }

protected:
    void OnApp() { Handled().push_back("app"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinThread)
    ON_COMMAND(kAppCommand, OnApp)
    ON_COMMAND(kSharedCommand, OnApp)
END_MESSAGE_MAP()

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
protected:
    void OnDoc() { Handled().push_back("doc"); }
    void OnShared() { Handled().push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(TestDoc, CDocument)
BEGIN_MESSAGE_MAP(TestDoc, CDocument)
    ON_COMMAND(kDocCommand, OnDoc)
    ON_COMMAND(kSharedCommand, OnShared)
END_MESSAGE_MAP()

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
public:
    int m_initialUpdates = 0;
    int m_activations = 0;
    int m_draws = 0;
    int m_beginPrinting = 0;
    int m_endPrinting = 0;
    bool m_sawPrinting = false;
    int m_scale = 2;

    void OnInitialUpdate() override
    {
        ++m_initialUpdates;
        CView::OnInitialUpdate();
    }
    void OnActivateView(BOOL activate, CView* on, CView* off) override
    {
        m_activations += activate ? 1 : 0;
        CView::OnActivateView(activate, on, off);
    }
    // A red square at (10, 10), 20 units; printing doubles the scale.
    void OnDraw(CDC* dc) override
    {
        ++m_draws;
        m_sawPrinting = dc->IsPrinting() != FALSE;
        dc->FillSolidRect(10, 10, 20, 20, RGB(255, 0, 0));
    }
    void OnPrepareDC(CDC* dc, CPrintInfo* info) override
    {
        CView::OnPrepareDC(dc, info);
        if (dc->IsPrinting()) {
            dc->SetMapMode(MM_ISOTROPIC);
            dc->SetWindowExt(1, 1);
            dc->SetViewportExt(m_scale, m_scale);
        }
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { ++m_beginPrinting; }
    void OnEndPrinting(CDC*, CPrintInfo*) override { ++m_endPrinting; }

protected:
    void OnView() { Handled().push_back("view"); }
    void OnShared() { Handled().push_back("view"); }
    void OnDisabled() { Handled().push_back("disabled"); }
    void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(TestView, CView)
BEGIN_MESSAGE_MAP(TestView, CView)
    ON_COMMAND(kViewCommand, OnView)
    ON_COMMAND(kSharedCommand, OnShared)
    ON_COMMAND(kDisabledCommand, OnDisabled)
    ON_UPDATE_COMMAND_UI(kDisabledCommand, OnUpdateDisabled)
END_MESSAGE_MAP()

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
protected:
    void OnFrame() { Handled().push_back("frame"); }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_COMMAND(kFrameCommand, OnFrame)
    ON_COMMAND(kSharedCommand, OnFrame)
END_MESSAGE_MAP()

// Runs the toolkit's loop for `ms` milliseconds.
void Spin(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        platform::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::EnsureToolkit();
        m_previousFrames = platform::SetDocumentFrames(platform::WindowDocumentFrames());
        Handled().clear();
    }
    void TearDown() override
    {
        m_template.CloseAllDocuments(FALSE);
        platform::ProcessPendingEvents();
        platform::SetDocumentFrames(m_previousFrames);
    }

    TestView* OpenView()
    {
        CDocument* doc = m_template.OpenDocumentFile(nullptr, TRUE);
        if (!doc)
            return nullptr;
        POSITION position = doc->GetFirstViewPosition();
        return position ? dynamic_cast<TestView*>(doc->GetNextView(position)) : nullptr;
    }

    TestApp m_app;
    CSingleDocTemplate m_template{0, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestFrame), RUNTIME_CLASS(TestView)};
    platform::IDocumentFrames* m_previousFrames = nullptr;
};

TEST_F(FrameTest, TemplateMakesDocumentFrameAndViewAndTheViewFillsTheFrame)
{
    TestView* view = OpenView();
    ASSERT_NE(view, nullptr);
    CFrameWnd* frame = view->GetParentFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsKindOf(RUNTIME_CLASS(TestFrame)));
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(frame->GetActiveDocument(), view->GetDocument());
    EXPECT_EQ(AfxGetThread()->m_pMainWnd, frame);
    EXPECT_EQ(view->m_initialUpdates, 1);
    EXPECT_GE(view->m_activations, 1);
    EXPECT_TRUE(frame->IsWindowVisible());

    RECT frameClient, viewClient;
    frame->GetClientRect(&frameClient);
    view->GetClientRect(&viewClient);
    EXPECT_TRUE(EqualRect(&frameClient, &viewClient));
    frame->MoveWindow(0, 0, 300, 200);
    platform::ProcessPendingEvents();
    view->GetClientRect(&viewClient);
    EXPECT_EQ(viewClient.right, 300);
    EXPECT_EQ(viewClient.bottom, 200);

    // The view paints through OnDraw on its own backing image.
    platform::ProcessPendingEvents();
    EXPECT_GE(view->m_draws, 1);
    EXPECT_EQ(view->GetBackingSurface()->GetPixel(15, 15), RGB(255, 0, 0));
    EXPECT_FALSE(view->m_sawPrinting);

    // A second open reuses document, frame and view.
    EXPECT_NE(m_template.OpenDocumentFile(nullptr, TRUE), nullptr);
    EXPECT_EQ(view->m_initialUpdates, 2);
}

TEST_F(FrameTest, CommandsRouteViewDocumentFrameApplication)
{
    TestView* view = OpenView();
    ASSERT_NE(view, nullptr);
    CFrameWnd* frame = view->GetParentFrame();
    const struct {
        UINT id;
        const char* handler;
    } cases[] = {{kViewCommand, "view"}, {kDocCommand, "doc"}, {kFrameCommand, "frame"}, {kAppCommand, "app"},
                 {kSharedCommand, "view"}};
    for (const auto& c : cases) {
        Handled().clear();
        frame->SendMessage(WM_COMMAND, c.id);
        ASSERT_EQ(Handled().size(), 1u) << c.id;
        EXPECT_EQ(Handled()[0], c.handler);
    }
    Handled().clear();
    frame->SendMessage(WM_COMMAND, kDisabledCommand);
    EXPECT_TRUE(Handled().empty());
    frame->SendMessage(WM_COMMAND, 9999);
    EXPECT_TRUE(Handled().empty());
}

TEST_F(FrameTest, ClosingTheFrameDestroysTheViewAndLeavesTheDocumentWithout)
{
    TestView* view = OpenView();
    ASSERT_NE(view, nullptr);
    CDocument* doc = view->GetDocument();
    CFrameWnd* frame = view->GetParentFrame();
    frame->DestroyWindow();  // deletes frame and view
    EXPECT_EQ(doc->GetFirstViewPosition(), nullptr);
    EXPECT_EQ(AfxGetThread()->m_pMainWnd, nullptr);
}

TEST_F(FrameTest, ClosingTheFrameClosesItsDocumentAndEndsTheLoop)
{
    TestView* view = OpenView();
    ASSERT_NE(view, nullptr);
    CDocument* doc = view->GetDocument();
    view->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(doc->GetFirstViewPosition(), nullptr);
    EXPECT_EQ(AfxGetThread()->m_pMainWnd, nullptr);
    // The single template keeps its document and makes a new frame for it.
    TestView* again = OpenView();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetDocument(), doc);
}

class RefusingView : public TestView {
    DECLARE_DYNCREATE(RefusingView)
protected:
    int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(RefusingView, TestView)
BEGIN_MESSAGE_MAP(RefusingView, TestView)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(FrameTest, AViewThatCannotBeMadeLeavesNoDocumentFrameOrView)
{
    CSingleDocTemplate refusing(0, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestFrame), RUNTIME_CLASS(RefusingView));
    EXPECT_EQ(refusing.OpenDocumentFile(nullptr, TRUE), nullptr);
    EXPECT_EQ(refusing.GetFirstDocPosition(), nullptr);
    EXPECT_EQ(AfxGetThread()->m_pMainWnd, nullptr);
}

TEST(IdleScheduler, PassesEvery15MsWhileAskedAndStopsUntilTheNextMessage)
{
    platform::IdleScheduler idle;
    std::vector<LONG> counts;
    bool more = true;
    const auto pass = [&](LONG count) -> BOOL {
        counts.push_back(count);
        return more;
    };
    DWORD now = 0xFFFFFFF8u;  // the clock wraps on the way
    EXPECT_EQ(idle.Run(now, pass), -1);  // nothing before a message
    idle.OnMessage();
    EXPECT_EQ(idle.Run(now, pass), 15);
    EXPECT_EQ(idle.Run(now + 5, pass), 10);  // not yet due
    EXPECT_EQ(idle.Run(now + 14, pass), 1);
    EXPECT_EQ(idle.Run(now + 15, pass), 15);
    EXPECT_EQ(idle.Run(now + 40, pass), 15);
    EXPECT_EQ(counts, (std::vector<LONG>{0, 1, 2}));
    more = false;
    EXPECT_EQ(idle.Run(now + 55, pass), -1);
    EXPECT_EQ(idle.Run(now + 500, pass), -1);
    EXPECT_EQ(counts.size(), 4u);
    idle.OnMessage();  // the count starts over, at once
    more = true;
    EXPECT_EQ(idle.Run(now + 501, pass), 15);
    EXPECT_EQ(counts.back(), 0);
}

// A pass may say when the next one is of use: the earliest time given counts,
// "not by time" from everyone waits for a message, and a pass that says
// nothing keeps the 15 ms cadence.
TEST(IdleScheduler, APassThatSaysWhenItIsDueWaitsForThatTime)
{
    struct Case {
        const char* what;
        std::vector<int> due;
        BOOL more;
        int wait;
    };
    const Case cases[] = {
        {"one time", {40}, TRUE, 40},
        {"the earliest of several", {-1, 70, 25, 90}, TRUE, 25},
        {"due at once", {0}, TRUE, 0},
        {"nobody by time", {-1, -1}, TRUE, -1},
        {"nothing said", {}, TRUE, 15},
        {"asks for nothing", {5}, FALSE, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::IdleScheduler idle;
        int passes = 0;
        const auto pass = [&](LONG) -> BOOL {
            ++passes;
            for (int d : c.due)
                idle.Due(d);
            return c.more;
        };
        const DWORD now = 0xFFFFFFF0u;  // the clock wraps on the way
        idle.OnMessage();
        EXPECT_EQ(idle.Run(now, pass), c.wait);
        EXPECT_EQ(passes, 1);
        if (c.wait > 0) {
            EXPECT_EQ(idle.Run(now + c.wait - 1, pass), 1);  // not yet
            EXPECT_EQ(passes, 1);
            idle.Run(now + c.wait, pass);
            EXPECT_EQ(passes, 2);
        } else if (c.wait < 0) {
            EXPECT_EQ(idle.Run(now + 100000, pass), -1);
            EXPECT_EQ(passes, 1);
            // Something that needs passes again, without a message: one at
            // once, and the count goes on.
            idle.Due(-1);
            EXPECT_EQ(idle.Run(now + 100001, pass), -1);
            EXPECT_EQ(passes, 1);
            idle.Due(250);
            idle.Run(now + 100002, pass);
            EXPECT_EQ(passes, 2);
            EXPECT_EQ(idle.Count(), 2);
        }
    }
}

TEST_F(FrameTest, IdlePassesRunThrottledAndNotInModalLoops)
{
    m_app.m_wantPasses = 1000;
    platform::NoteMessage(WM_LBUTTONDOWN);
    Spin(150);
    // About one pass every 15 ms: never a spinning loop.
    EXPECT_GE(m_app.m_passes, 2);
    EXPECT_LE(m_app.m_passes, 12);
    EXPECT_EQ(m_app.m_lastCount, m_app.m_passes - 1);

    // A pass that wants no more ends them until the next message.
    m_app.m_wantPasses = 0;
    platform::NoteMessage(WM_KEYDOWN);
    Spin(20);
    const LONG after = m_app.m_passes;
    Spin(60);
    EXPECT_EQ(m_app.m_passes, after);

    {
        platform::ModalScope modal;
        m_app.m_wantPasses = 1000;
        platform::NoteMessage(WM_KEYDOWN);
        Spin(50);
        EXPECT_EQ(m_app.m_passes, after);
    }
    Spin(50);
    EXPECT_GT(m_app.m_passes, after);
    // Paints do not restart the count.
    m_app.m_wantPasses = 0;
    Spin(20);
    const LONG settled = m_app.m_passes;
    platform::NoteMessage(WM_PAINT);
    Spin(40);
    EXPECT_EQ(m_app.m_passes, settled);
}

TEST_F(FrameTest, PrintingDrawsOnePageThroughTheViewAtThePrintersResolution)
{
    TestView* view = OpenView();
    ASSERT_NE(view, nullptr);
    platform::ImagePrintBackend printer(200, 300, 600);
    ScopedHook printTo(platform::SetPrintBackend, &printer);
    view->OnFilePrint();
    ASSERT_EQ(printer.m_pages.size(), 1u);
    EXPECT_TRUE(printer.m_askedUser);
    EXPECT_EQ(printer.m_completedJobs, 1);
    EXPECT_EQ(view->m_beginPrinting, 1);
    EXPECT_EQ(view->m_endPrinting, 1);
    EXPECT_TRUE(view->m_sawPrinting);
    const platform::Surface& page = printer.m_pages[0];
    EXPECT_EQ(page.Width(), 200);
    EXPECT_EQ(page.DotsPerInchX(), 600);
    // The view's square at twice the scale, on white.
    EXPECT_EQ(page.GetPixel(19, 19), RGB(255, 255, 255));
    EXPECT_EQ(page.GetPixel(20, 20), RGB(255, 0, 0));
    EXPECT_EQ(page.GetPixel(59, 59), RGB(255, 0, 0));
    EXPECT_EQ(page.GetPixel(60, 60), RGB(255, 255, 255));

    // A cancelled dialog prints nothing.
    printer.SetCancel(true);
    view->OnFilePrint();
    EXPECT_EQ(printer.m_pages.size(), 1u);
    EXPECT_EQ(printer.m_jobs, 1);
    printer.SetCancel(false);

    // The preview shows the same page in a window of its own.
    view->OnFilePrintPreview();
    EXPECT_FALSE(printer.m_askedUser);
    CWnd* preview = platform::GetPrintPreviewWindow();
    ASSERT_NE(preview, nullptr);
    platform::ProcessPendingEvents();
    const platform::Surface& shown = *preview->GetBackingSurface();
    bool red = false;
    for (int y = 0; y < shown.Height() && !red; ++y)
        for (int x = 0; x < shown.Width() && !red; ++x)
            red = shown.GetPixel(x, y) == RGB(255, 0, 0);
    EXPECT_TRUE(red);
    EXPECT_EQ(printer.m_pages.size(), 1u);  // a preview prints nothing
    preview->DestroyWindow();
    EXPECT_EQ(platform::GetPrintPreviewWindow(), nullptr);
}

TEST_F(FrameTest, PrintingToPdfWritesOnePage)
{
    TestView* view = OpenView();
    ASSERT_NE(view, nullptr);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "dizado_print_test.pdf";
    std::filesystem::remove(path);
    platform::QtPrintBackend pdf;
    pdf.SetPdfFile(path.string().c_str());
    pdf.SetDotsPerInch(150);
    platform::IPrintBackend* previous = platform::SetPrintBackend(&pdf);
    view->OnFilePrint();
    platform::SetPrintBackend(previous);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    int pages = 0;
    for (size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
        pages += bytes.compare(at, 12, "/Type /Pages") != 0;
    EXPECT_EQ(pages, 1);
    std::filesystem::remove(path);
}

}  // namespace
