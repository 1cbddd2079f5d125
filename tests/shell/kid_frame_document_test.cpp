// The kid frame with the document and the isometric pane, as the template
// makes them: the pane placed by the frame, buttons that tick the document's
// tool and colour, the brick list's row that becomes the current class, the
// direction and Print buttons.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/hooks.h"
#include "platform/ui/document.h"
#include "platform/ui/menu.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/scoped_hook.h"
#include "tests/support/temp_home.h"
#include "document/document_services.h"
#include "model/brick_class_library.h"
#include "model/kit_list.h"
#include "platform/ui/app.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/print.h"
#include "shell/kid_frame.h"
#include "shell/kid_frame_host.h"
#include "tests/shell/kit_shell.h"
#include "views/iso_brick_pane.h"

namespace {

// The kid frame's calls reach the frame while `forward` is set.
class Shell : public shelltest::KitShell {
public:
    using KitShell::KitShell;

    BOOL HasKidFrame() override { return forward && Frame(); }
    void CheckButtonRange(UINT first, UINT last, UINT id) override
    {
        if (forward && Frame())
            Frame()->CheckButtonRange(first, last, id);
    }
    int OnBrickListSelect() override { return Frame() ? Frame()->OnBrickListSelect() : -1; }

    static CKidFrame* Frame() { return dynamic_cast<CKidFrame*>(AfxGetThread()->m_pMainWnd); }
    bool forward = true;
};

class KidFrameDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        classes.ScanKits();
        classes.LoadPalette();
        SetBrickServices(&classes);
        SetKidFrameHost(&shell);
        SetDocumentShell(&shell);
        platform::EnsureToolkit();
        previousFrames = platform::SetDocumentFrames(platform::WindowDocumentFrames());
        doc = dynamic_cast<CDizadoDoc*>(docTemplate.OpenDocumentFile(nullptr, TRUE));
        ASSERT_NE(doc, nullptr);
        frame = Shell::Frame();
        ASSERT_NE(frame, nullptr);
        frame->MoveWindow(0, 0, 640, 480);
        platform::ProcessPendingEvents();
    }
    void TearDown() override
    {
        // The frame is the application's main window, and the end of that
        // window would post the program's quit: left over, it ends the modal
        // loop of every later test in the process at once.
        if (CWinThread* thread = AfxGetThread(); thread && thread->m_pMainWnd == frame)
            thread->m_pMainWnd = nullptr;
        docTemplate.CloseAllDocuments(FALSE);
        platform::ProcessPendingEvents();
        platform::SetDocumentFrames(previousFrames);
        SetDocumentShell(nullptr);
        SetKidFrameHost(nullptr);
        SetBrickServices(nullptr);
    }
    int ImageOf(UINT id) { return frame->GetButton(id)->GetCurrentImage(); }

    CBrickClassLibrary classes{CString(DIZADO_PROGRAM_FOLDER)};
    Shell shell{classes};
    CWinThread app;
    CSingleDocTemplate docTemplate{IDR_MAINFRAME, RUNTIME_CLASS(CDizadoDoc), RUNTIME_CLASS(CKidFrame),
                                   RUNTIME_CLASS(CIsoBrickPane)};
    platform::IDocumentFrames* previousFrames = nullptr;
    CDizadoDoc* doc = nullptr;
    CKidFrame* frame = nullptr;
};

TEST_F(KidFrameDocument, ThePaneSitsWhereTheFramePutsIt)
{
    CView* pane = frame->GetActiveView();
    ASSERT_NE(pane, nullptr);
    RECT r;
    pane->GetWindowRect(&r);
    frame->ScreenToClient(&r);
    EXPECT_EQ(r.left, 58);
    EXPECT_EQ(r.top, -1);
    EXPECT_EQ(r.right - r.left, 508);
    EXPECT_EQ(r.bottom - r.top, 425);
    EXPECT_GT(frame->GetBrickListBox().GetCount(), 0);
}

TEST_F(KidFrameDocument, ToolAndColourButtonsTickWhatTheDocumentChose)
{
    ASSERT_TRUE(platform::ClickControl(frame, 600));
    EXPECT_EQ(doc->GetCurrentTool(), 600);
    EXPECT_EQ(ImageOf(600), 1);
    EXPECT_EQ(ImageOf(602), 0);
    // A colour with the select tool switches to the paint tool.
    ASSERT_TRUE(platform::ClickControl(frame, 615));
    EXPECT_EQ(doc->GetCurrentColorIndex(), 3);
    EXPECT_EQ(ImageOf(615), 1);
    EXPECT_EQ(ImageOf(612), 0);
    EXPECT_EQ(doc->GetCurrentTool(), 601);
    EXPECT_EQ(ImageOf(601), 1);
    EXPECT_EQ(ImageOf(600), 0);

    // Without the document's calls the update handlers tick them on the idle pass.
    shell.forward = false;
    doc->OnTool(603);
    EXPECT_EQ(ImageOf(603), 0);
    frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(ImageOf(603), 1);
    EXPECT_EQ(ImageOf(601), 0);
    // Page up is disabled at the top of the list.
    EXPECT_FALSE(frame->GetButton(624)->IsWindowEnabled());
}

TEST_F(KidFrameDocument, AChosenRowBecomesTheClassOfTheNewBrickTool)
{
    doc->OnTool(600);
    CBrickListBox& list = frame->GetBrickListBox();
    ASSERT_GT(list.GetCount(), 2);
    list.SetCurSel(2);
    const auto* entry = static_cast<CBrickModData*>(list.GetItemDataPtr(2));
    frame->SendMessage(WM_COMMAND, MAKELONG(IDM_BRICK_LIST, LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list.GetSafeHwnd()));
    EXPECT_EQ(doc->GetCurrentBrickType(), entry->m_nClassId);
    EXPECT_EQ(doc->GetCurrentTool(), 602);
    EXPECT_EQ(ImageOf(602), 1);
}

TEST_F(KidFrameDocument, DirectionAndPrintButtonsReachTheDocumentAndThePane)
{
    const LONG before = doc->GetCurrentOrientationIndex();
    ASSERT_TRUE(platform::ClickControl(frame, 604));
    EXPECT_EQ(doc->GetCurrentOrientationIndex(), (before + 1) % 4);

    platform::ImagePrintBackend printer(850, 1100, 100);
    ScopedHook printTo(platform::SetPrintBackend, &printer);
    EXPECT_TRUE(frame->GetButton(57607)->IsWindowVisible());
    ASSERT_TRUE(platform::ClickControl(frame, 57607));
    EXPECT_EQ(printer.m_completedJobs, 1);
    EXPECT_EQ(printer.m_pages.size(), 1u);
}

TEST_F(KidFrameDocument, TheEditMenuNamesTheEditThatUndoTakesBack)
{
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    const auto undoItem = [&] {
        const std::vector<CString> items = platform::OpenMenuBarPopup(frame, 1);
        return items.empty() ? CString() : items.front();
    };
    EXPECT_EQ(undoItem(), "&Undo\tCtrl+Z");
    CBrick::Make(doc->GetBrickList(), CPoint3D(0, 0, 0), 1030, 0, 0, 0)->SetSelected(TRUE);
    struct Step {
        UINT command;
        const char* item;
    } steps[] = {
        {606, "&Undo Move Dizado\tCtrl+Z"},      {57643, "&Redo Move Dizado\tCtrl+Z"},
        {57643, "&Undo Move Dizado\tCtrl+Z"},    {607, "&Undo Rotate Dizado\tCtrl+Z"},
        {32773, "&Undo Duplicate Dizado\tCtrl+Z"}, {57632, "&Undo Clear Dizado\tCtrl+Z"},
        {57643, "&Redo Clear Dizado\tCtrl+Z"},
    };
    for (const Step& step : steps) {
        frame->SendMessage(WM_COMMAND, step.command);
        EXPECT_EQ(undoItem(), step.item) << step.command;
        CString kept;
        frame->GetMenu()->GetMenuString(57643, kept, MF_BYCOMMAND);
        EXPECT_EQ(kept, step.item);
    }
}

TEST_F(KidFrameDocument, SaveAsWritesTheModelWhereTheUserChoseAndHelpSaysThereIsNone)
{
    TempHome home;
    const std::string chosen = (home.root / "tower.brk").string();
    CString offered = "unchanged";
    platform::SavePathPromptHook previous = platform::SetSavePathPromptHook([&](CDocument&, CString& path) {
        offered = path;
        path = chosen.c_str();
        return true;
    });
    CBrick::Make(doc->GetBrickList(), CPoint3D(0, 0, 0), 1030, 0, 0, 0);
    frame->SendMessage(WM_COMMAND, 57604);
    platform::SetSavePathPromptHook(previous);
    EXPECT_EQ(offered, "");
    EXPECT_TRUE(std::filesystem::is_regular_file(chosen));
    EXPECT_EQ(doc->GetPathName(), chosen.c_str());

    MessageBoxRecorder boxes;
    for (UINT help : {57670u, 57666u, 57668u, 57669u})
        frame->SendMessage(WM_COMMAND, help);
    ASSERT_EQ(boxes.texts.size(), 4u);
    EXPECT_NE(boxes.texts[0].find("no help viewer"), std::string::npos) << boxes.texts[0];
}

}  // namespace
