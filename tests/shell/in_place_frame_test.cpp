// A model edited in place: a small container (a frame with a document window
// inside it) embeds the in-place frame, which holds the isometric pane and
// puts its toolbar in the container's frame.
#include <gtest/gtest.h>

#include <set>

#include "document/dizado_doc.h"
#include "document/document_services.h"
#include "model/brick.h"
#include "model/brick_class_library.h"
#include "model/kit_list.h"
#include "platform/ui/app.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/synthetic_input.h"
#include "shell/in_place_frame.h"
#include "shell/kid_frame.h"
#include "tests/support/message_box_recorder.h"
#include "views/iso_brick_pane.h"

namespace {

class Shell : public CHeadlessDocumentShell {};

// A frame whose toolbar cannot be put in the container.
class NoBarsFrame : public CInPlaceFrame {
    DECLARE_DYNCREATE(NoBarsFrame)
public:
    BOOL OnCreateControlBars(CFrameWnd*, CFrameWnd*) override { return FALSE; }
};
IMPLEMENT_DYNCREATE(NoBarsFrame, CInPlaceFrame)

// The container's own frame, kept by the test rather than deleting itself.
class ContainerFrame : public CFrameWnd {
protected:
    void PostNcDestroy() override {}
};

class InPlaceFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        classes.ScanKits();
        classes.LoadPalette();
        SetBrickServices(&classes);
        SetDocumentShell(&shell);
        platform::EnsureToolkit();
        // No frame of its own: the document lives only in the container.
        doc = dynamic_cast<CDizadoDoc*>(docTemplate.OpenDocumentFile(nullptr, FALSE));
        ASSERT_NE(doc, nullptr);
        docTemplate.SetServerInfo(5, 4, RUNTIME_CLASS(CInPlaceFrame));

        ASSERT_TRUE(containerFrame.Create(nullptr, "Container", WS_OVERLAPPEDWINDOW, RECT{0, 0, 640, 480}));
        ASSERT_TRUE(containerDoc.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{40, 60, 440, 360},
                                        &containerFrame, 1));
        containerFrame.ShowWindow(SW_SHOW);
        platform::ProcessPendingEvents();
    }
    void TearDown() override
    {
        if (frame)
            frame->DestroyWindow();
        containerDoc.DestroyWindow();
        containerFrame.DestroyWindow();
        docTemplate.CloseAllDocuments(FALSE);
        platform::ProcessPendingEvents();
        SetDocumentShell(nullptr);
        SetBrickServices(nullptr);
    }
    CInPlaceFrame* Activate()
    {
        frame = dynamic_cast<CInPlaceFrame*>(
            platform::ActivateInPlace(docTemplate, *doc, containerDoc, containerFrame));
        platform::ProcessPendingEvents();
        return frame;
    }
    void ClickToolbarButton(UINT id)
    {
        CToolBar& bar = frame->GetToolBar();
        int left = 0;
        for (int index = 0; index < bar.GetCount(); ++index) {
            const bool gap = bar.GetItemID(index) == ID_SEPARATOR;
            if (bar.GetItemID(index) == id)
                break;
            left += gap ? CToolBar::kSeparatorWidth : CToolBar::kButtonWidth;
        }
        const POINT point{left + 5, 5};
        platform::SendMouseInput(&bar, platform::MouseAction::Press, platform::MouseButton::Left, point, MK_LBUTTON,
                                 0);
        platform::SendMouseInput(&bar, platform::MouseAction::Release, platform::MouseButton::Left, point, 0, 0);
        platform::ProcessPendingEvents();
    }

    CBrickClassLibrary classes{CString(DIZADO_PROGRAM_FOLDER)};
    Shell shell;
    CWinThread app;
    CSingleDocTemplate docTemplate{IDR_MAINFRAME, RUNTIME_CLASS(CDizadoDoc), RUNTIME_CLASS(CKidFrame),
                                   RUNTIME_CLASS(CIsoBrickPane)};
    ContainerFrame containerFrame;
    CWnd containerDoc;
    CDizadoDoc* doc = nullptr;
    CInPlaceFrame* frame = nullptr;
};

TEST_F(InPlaceFrame, HoldsThePaneInsideTheContainerWithItsBars)
{
    ASSERT_NE(Activate(), nullptr);
    EXPECT_EQ(frame->GetParent(), &containerDoc);
    CRect inner, outer;
    frame->GetClientRect(&inner);
    containerDoc.GetClientRect(&outer);
    EXPECT_EQ(inner.Size(), outer.Size());

    auto* pane = dynamic_cast<CIsoBrickPane*>(frame->GetActiveView());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->GetParent(), frame);
    EXPECT_EQ(pane->GetDocument(), doc);

    EXPECT_EQ(frame->GetDlgItem(AFX_IDW_RESIZE_BAR), &frame->GetResizeBar());
    EXPECT_EQ(frame->GetDropTarget().GetRegisteredWindow(), frame);

    CToolBar& bar = frame->GetToolBar();
    EXPECT_EQ(bar.GetParent(), &containerFrame);
    EXPECT_EQ(bar.GetDlgCtrlID(), AFX_IDW_TOOLBAR);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(bar.GetOwner(), frame);
    EXPECT_EQ(bar.GetBitmapID(), 4u);
    const std::vector<UINT> expected{57635, 57634, 57637, ID_SEPARATOR, 57664, 57669};
    std::vector<UINT> buttons;
    for (int index = 0; index < bar.GetCount(); ++index)
        buttons.push_back(bar.GetItemID(index));
    EXPECT_EQ(buttons, expected);
    // Each button shows its picture: the Cut button's face is not one colour.
    const platform::Surface shown = platform::GrabPresented(&bar);
    std::set<COLORREF> cutColours;
    for (int y = 3; y < 18; ++y)
        for (int x = 3; x < 19; ++x)
            cutColours.insert(shown.GetPixel(x, y));
    EXPECT_GT(cutColours.size(), 1u);

    // Ending the activation takes the toolbar out of the container's frame.
    frame->DestroyWindow();
    frame = nullptr;
    platform::ProcessPendingEvents();
    EXPECT_EQ(containerFrame.GetDlgItem(AFX_IDW_TOOLBAR), nullptr);
    EXPECT_NE(containerDoc.GetSafeHwnd(), nullptr);
}

TEST_F(InPlaceFrame, PaneDrawsTheModelInsideTheContainer)
{
    ASSERT_NE(Activate(), nullptr);
    const platform::Surface empty = platform::GrabPresented(&containerDoc);
    CBrick::Make(doc->GetBrickList(), CPoint3D(2, 2, 0), 2009, 1, 0, 0);
    doc->UpdateAllViews(nullptr);
    frame->GetActiveView()->Invalidate();
    platform::ProcessPendingEvents();
    const platform::Surface built = platform::GrabPresented(&containerDoc);
    ASSERT_EQ(built.Width(), empty.Width());
    ASSERT_EQ(built.Height(), empty.Height());
    int changed = 0;
    for (int y = 0; y < built.Height(); ++y)
        for (int x = 0; x < built.Width(); ++x)
            changed += built.GetPixel(x, y) != empty.GetPixel(x, y);
    EXPECT_GT(changed, 50);
}

TEST_F(InPlaceFrame, ToolbarCutAndPasteActOnTheSelection)
{
    ASSERT_NE(Activate(), nullptr);
    CBrick::Make(doc->GetBrickList(), CPoint3D(2, 2, 0), 2009, 1, 0, 0)->SetSelected(TRUE);
    CBrick::Make(doc->GetBrickList(), CPoint3D(6, 1, 0), 2007, 3, 0, 0);
    ASSERT_EQ(doc->GetBrickList()->GetBrickCount(), 2);

    ClickToolbarButton(57635);
    EXPECT_EQ(doc->GetBrickList()->GetBrickCount(), 1);
    ClickToolbarButton(57637);
    EXPECT_EQ(doc->GetBrickList()->GetBrickCount(), 2);
}

TEST_F(InPlaceFrame, HelpCommandsReachTheApplicationsHelp)
{
    ASSERT_NE(Activate(), nullptr);
    // Help index, using help, help, default help, context help: each asks the
    // application's help, which says that it has no viewer.
    for (const UINT id : {57666u, 57668u, 57670u, 57671u, 57669u}) {
        MessageBoxRecorder boxes;
        EXPECT_TRUE(frame->OnCmdMsg(id, CN_COMMAND, nullptr, nullptr)) << id;
        ASSERT_EQ(boxes.texts.size(), 1u) << id;
        EXPECT_NE(boxes.texts[0].find("help"), std::string::npos) << boxes.texts[0];
    }
}

TEST_F(InPlaceFrame, NoActivationWithoutAWorkingInPlaceFrame)
{
    docTemplate.SetServerInfo(5, 4, nullptr);
    EXPECT_EQ(Activate(), nullptr);
    docTemplate.SetServerInfo(5, 4, RUNTIME_CLASS(CFrameWnd));
    EXPECT_EQ(Activate(), nullptr);
    // A failed control-bar step fails the activation and leaves no pane behind.
    docTemplate.SetServerInfo(5, 4, RUNTIME_CLASS(NoBarsFrame));
    EXPECT_EQ(Activate(), nullptr);
    EXPECT_EQ(doc->GetFirstViewPosition(), nullptr);
    EXPECT_EQ(containerDoc.GetWindow(GW_CHILD), nullptr);
}

}  // namespace
