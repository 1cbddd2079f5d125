#include <gtest/gtest.h>

#include <string>

#include "document/brick_command.h"
#include "platform/core/cmd_ui.h"
#include "tests/document/document_fixture.h"

using namespace doctest;

namespace {

BOOL Enabled(CDizadoDoc& doc, void (CDizadoDoc::*update)(CCmdUI*))
{
    CCmdUI ui;
    (doc.*update)(&ui);
    return ui.m_bEnabled;
}

CString UndoText(CDizadoDoc& doc)
{
    CCmdUI ui(doc_id::kEditUndo);
    doc.OnUpdateEditUndo(&ui);
    return ui.m_bEnabled ? ui.m_strText : CString("(disabled)");
}

}  // namespace

TEST_F(DocumentTest, DirectionWithNothingSelectedTurnsTheNewBrickAndTellsThePanes)
{
    MakeAt(Root(), 0, 0, 0);
    auto* held = new CBrickCommand(CBrickCommand::labelAdd);
    doc->SetLastAction(held);
    for (UINT id = doc_id::kDirectionFirst; id <= doc_id::kDirectionLast; ++id) {
        doc->SetCurrentOrientationIndex(3);
        pane.Clear();
        doc->OnDirection(id);
        EXPECT_EQ(doc->GetCurrentOrientationIndex(), 0) << id;
        EXPECT_EQ(pane.codes, std::vector<UINT>{NOTIFY_DOC_ORIENTATION_CHANGED}) << id;
        EXPECT_EQ(pane.senders, std::vector<UINT>{CDizadoDoc::kNotifyId}) << id;
    }
    EXPECT_EQ(doc->GetLastAction(), held);
    EXPECT_EQ(*Root()->GetBrickAt(0)->GetPositionPtr(), CPoint3D(0, 0, 0));
}

TEST_F(DocumentTest, DirectionWithASelectionBuildsANudgeOrARotation)
{
    const struct {
        UINT id;
        WORD label;
        CPoint3D moved;  // of a selected brick at the origin, for the nudges
        bool tellsPanes;
    } cases[] = {
        {604, CBrickCommand::labelMove, CPoint3D(0, 1, 0), false},
        {605, CBrickCommand::labelMove, CPoint3D(0, 0, 1), false},
        {606, CBrickCommand::labelMove, CPoint3D(1, 0, 0), false},
        {608, CBrickCommand::labelMove, CPoint3D(-1, 0, 0), false},
        {609, CBrickCommand::labelMove, CPoint3D(0, 0, -1), false},
        {610, CBrickCommand::labelMove, CPoint3D(0, -1, 0), false},
        {607, CBrickCommand::labelRotate, CPoint3D(), true},
        {611, CBrickCommand::labelRotate, CPoint3D(), true},
    };
    for (const auto& c : cases) {
        doc->DeleteContents();
        CBrick* brick = MakeAt(Root(), 0, 0, 0);
        brick->SetSelected(TRUE);
        doc->SetCurrentOrientationIndex(1);
        pane.Clear();
        doc->OnDirection(c.id);
        ASSERT_NE(doc->GetLastAction(), nullptr) << c.id;
        EXPECT_EQ(doc->GetLastAction()->GetLabel(), c.label) << c.id;
        EXPECT_EQ(doc->GetCurrentOrientationIndex(), 1) << c.id;
        if (c.label == CBrickCommand::labelMove) {
            EXPECT_EQ(*brick->GetPositionPtr(), c.moved) << c.id;
        }
        int fromDocument = 0;
        for (size_t i = 0; i < pane.codes.size(); ++i)
            fromDocument += pane.senders[i] == CDizadoDoc::kNotifyId && pane.codes[i] == NOTIFY_DOC_ORIENTATION_CHANGED;
        EXPECT_EQ(fromDocument, c.tellsPanes ? 1 : 0) << c.id;
    }
}

TEST_F(DocumentTest, ColourSwitchesToPaintExceptFromTheNewBrickTool)
{
    const struct {
        UINT before, after;
    } cases[] = {
        {doc_id::kToolSelect, doc_id::kToolPaint},
        {doc_id::kToolPaint, doc_id::kToolPaint},
        {doc_id::kToolErase, doc_id::kToolPaint},
        {doc_id::kToolNewBrick, doc_id::kToolNewBrick},
    };
    for (const auto& c : cases) {
        doc->OnTool(c.before);
        shell.checked.clear();
        doc->OnColor(doc_id::kColorFirst + 5);
        EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(c.after)) << c.before;
        EXPECT_EQ(doc->GetCurrentColorIndex(), 5);
        ASSERT_FALSE(shell.checked.empty());
        EXPECT_EQ(shell.checked[0].id, doc_id::kColorFirst + 5);
    }
    CCmdUI ui(doc_id::kColorFirst + 5);
    doc->OnUpdateColor(&ui);
    EXPECT_EQ(ui.m_nCheck, 1);
}

TEST_F(DocumentTest, ShiftColourSelectsTheRootsOwnBricksOfThatColour)
{
    CBrick* red = MakeAt(Root(), 0, 0, 0, 2);
    CBrick* blue = MakeAt(Root(), 4, 0, 0, 5);
    CBrick* grouped = MakeAt(SubGroup(Root()), 8, 0, 0, 2);
    blue->SetSelected(TRUE);
    doc->SetLastAction(new CBrickCommand(CBrickCommand::labelAdd));
    shift = true;
    pane.Clear();
    doc->OnColor(doc_id::kColorFirst + 2);
    EXPECT_TRUE(red->IsSelectedFlag());
    EXPECT_FALSE(blue->IsSelectedFlag());
    EXPECT_FALSE(grouped->IsSelectedFlag());
    EXPECT_EQ(doc->GetLastAction(), nullptr);
    EXPECT_EQ(pane.Count(NOTIFY_HOLD_REBUILD), 2);
    EXPECT_EQ(pane.rebuildOpen, 0);
}

TEST_F(DocumentTest, CtrlColourRepaintsTheSelection)
{
    CBrick* brick = MakeAt(Root(), 0, 0, 0, 2);
    brick->SetSelected(TRUE);
    ctrl = true;
    doc->OnColor(doc_id::kColorFirst + 6);
    ASSERT_NE(doc->GetLastAction(), nullptr);
    EXPECT_EQ(doc->GetLastAction()->GetLabel(), CBrickCommand::labelColor);
    EXPECT_EQ(brick->GetColorIndex(), 6);
}

TEST_F(DocumentTest, ToolsPickTheirCursorAndTabTogglesSelect)
{
    const struct {
        UINT tool, cursor, afterTab;
    } cases[] = {
        {doc_id::kToolSelect, doc_id::kCursorSelect, doc_id::kToolNewBrick},
        {doc_id::kToolPaint, doc_id::kCursorPaint, doc_id::kToolSelect},
        {doc_id::kToolNewBrick, doc_id::kCursorNewBrick, doc_id::kToolSelect},
        {doc_id::kToolErase, doc_id::kCursorErase, doc_id::kToolSelect},
        {700, doc_id::kCursorOther, doc_id::kToolSelect},
    };
    for (const auto& c : cases) {
        shell.checked.clear();
        doc->OnTool(c.tool);
        EXPECT_EQ(doc->GetToolCursorId(), c.cursor) << c.tool;
        ASSERT_EQ(shell.checked.size(), 1u);
        EXPECT_EQ(shell.checked[0].first, doc_id::kToolSelect);
        EXPECT_EQ(shell.checked[0].last, doc_id::kToolErase);
        EXPECT_EQ(shell.checked[0].id, c.tool);
        doc->OnToggleTool();
        EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(c.afterTab)) << c.tool;
    }
    shell.kidFrame = FALSE;
    shell.checked.clear();
    doc->OnTool(doc_id::kToolPaint);
    EXPECT_TRUE(shell.checked.empty());
}

TEST_F(DocumentTest, SelectAllWithShiftOnlyCounts)
{
    MakeAt(Root(), 0, 0, 0)->SetSelected(TRUE);
    MakeAt(SubGroup(Root()), 4, 0, 0)->SetSelected(TRUE);
    MakeAt(Root(), 8, 0, 0);
    auto* held = new CBrickCommand(CBrickCommand::labelAdd);
    doc->SetLastAction(held);
    shift = true;
    doc->OnEditSelectAll();
    EXPECT_EQ(messages, std::vector<std::string>{"count = 2"});
    EXPECT_EQ(Root()->CountSelectedDizadoDeep(), 2);
    EXPECT_EQ(doc->GetLastAction(), held);

    shift = false;
    doc->OnEditSelectAll();
    EXPECT_EQ(Root()->CountSelectedDizadoDeep(), 3);
    EXPECT_EQ(doc->GetLastAction(), nullptr);
    doc->OnEditSelectNone();
    EXPECT_EQ(Root()->CountSelectedDizadoDeep(), 0);
    EXPECT_EQ(pane.rebuildOpen, 0);
}

TEST_F(DocumentTest, UpdateHandlersFollowTheSelection)
{
    using Update = void (CDizadoDoc::*)(CCmdUI*);
    const Update bySelection[] = {&CDizadoDoc::OnUpdateEditCopy, &CDizadoDoc::OnUpdateEditCut,
                                  &CDizadoDoc::OnUpdateEditClear, &CDizadoDoc::OnUpdateEditDuplicate,
                                  &CDizadoDoc::OnUpdateEditSelectNone};
    CBrickGroup* group = SubGroup(Root());
    CBrick* grouped = MakeAt(group, 0, 0, 0);
    // Bricks only inside a group can still be selected all at once.
    EXPECT_TRUE(Enabled(*doc, &CDizadoDoc::OnUpdateEditSelectAll));
    for (Update update : bySelection)
        EXPECT_FALSE(Enabled(*doc, update));
    EXPECT_FALSE(Enabled(*doc, &CDizadoDoc::OnUpdateUngroup));

    grouped->SetSelected(TRUE);
    for (Update update : bySelection)
        EXPECT_TRUE(Enabled(*doc, update));
    EXPECT_TRUE(Enabled(*doc, &CDizadoDoc::OnUpdateUngroup));
    EXPECT_FALSE(Enabled(*doc, &CDizadoDoc::OnUpdateGroup));

    MakeAt(Root(), 4, 0, 0)->SetSelected(TRUE);
    EXPECT_TRUE(Enabled(*doc, &CDizadoDoc::OnUpdateGroup));

    doc->DeleteContents();
    EXPECT_FALSE(Enabled(*doc, &CDizadoDoc::OnUpdateEditSelectAll));
}

TEST_F(DocumentTest, UndoItemNamesTheHeldCommand)
{
    EXPECT_EQ(UndoText(*doc), "(disabled)");
    MakeAt(Root(), 0, 0, 0)->SetSelected(TRUE);
    doc->OnDirection(606);
    EXPECT_EQ(UndoText(*doc), "&Undo Move Dizado\tCtrl+Z");
    doc->OnEditUndo();
    EXPECT_EQ(*Root()->GetBrickAt(0)->GetPositionPtr(), CPoint3D(0, 0, 0));
    EXPECT_EQ(UndoText(*doc), "&Redo Move Dizado\tCtrl+Z");
    doc->OnEditUndo();
    EXPECT_EQ(*Root()->GetBrickAt(0)->GetPositionPtr(), CPoint3D(1, 0, 0));
}

TEST_F(DocumentTest, CancelledBackgroundKeepsThePreviousUndo)
{
    auto* held = new CBrickCommand(CBrickCommand::labelAdd);
    doc->SetLastAction(held);
    doc->OnBackground();
    EXPECT_EQ(doc->GetLastAction(), held);
}

TEST_F(DocumentTest, BrickListChoosesTheClassAndTheNewBrickTool)
{
    doc->OnTool(doc_id::kToolErase);
    shell.listAnswer = -1;
    doc->OnBrickListSelChange();
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(doc_id::kToolErase));

    shell.listAnswer = 1042;
    pane.Clear();
    doc->OnBrickListSelChange();
    EXPECT_EQ(doc->GetCurrentBrickType(), 1042);
    EXPECT_EQ(pane.Count(NOTIFY_DOC_CLASS_CHANGED), 1);
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(doc_id::kToolNewBrick));
}

TEST_F(DocumentTest, BaseplateAndMultiviewLeaveTheModifiedFlag)
{
    doc->OnShowBaseplate();
    EXPECT_FALSE(doc->IsBaseplateShown());
    const struct {
        BOOL before, after;
    } flips[] = {{0, 1}, {1, 0}, {5, 0}};
    for (const auto& f : flips) {
        // The file carries any value; reading one puts it in place.
        Settings s;
        s.multiview = f.before;
        const Bytes bytes = FileHead(SettingsChunks(s)) + GroupHead(0, 0);
        CMemFile in(bytes.data(), bytes.size());
        CArchive ar(&in, CArchive::load);
        doc->Serialize(ar);
        doc->SetModifiedFlag(FALSE);
        doc->OnShowMultiview();
        EXPECT_EQ(doc->IsMultiViewShown(), f.after) << f.before;
        EXPECT_FALSE(doc->IsModified());
    }
}

TEST_F(DocumentTest, CommandsArriveThroughTheMessageMap)
{
    CCmdTarget* route[] = {doc.get()};
    EXPECT_TRUE(RouteCommand(route, 1, doc_id::kToolErase));
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(doc_id::kToolErase));
    EXPECT_TRUE(RouteCommand(route, 1, doc_id::kColorFirst + 3));
    EXPECT_EQ(doc->GetCurrentColorIndex(), 3);
    shell.listAnswer = 1030;
    EXPECT_TRUE(RouteControlNotification(route, 1, doc_id::kBrickList, doc_id::kBrickListSelChange));
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(doc_id::kToolNewBrick));

    // Disabled items do not run: nothing to paste, nothing to undo.
    EXPECT_FALSE(RouteCommand(route, 1, doc_id::kEditPaste));
    EXPECT_FALSE(RouteCommand(route, 1, doc_id::kEditUndo));

    CCmdUI tool(doc_id::kToolNewBrick);
    EXPECT_TRUE(RouteCommandUI(route, 1, tool));
    EXPECT_EQ(tool.m_nCheck, 1);
    for (UINT always : {doc_id::kPrintPlans, doc_id::kPrintParts, doc_id::kPrintPreviewPlans,
                        doc_id::kPrintPreviewParts, doc_id::kFileSave, doc_id::kFilePrint}) {
        CCmdUI ui(always);
        RouteCommandUI(route, 1, ui);
        EXPECT_TRUE(ui.m_bEnabled) << always;
    }
}
