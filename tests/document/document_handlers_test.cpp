#include <gtest/gtest.h>

#include <string>

#include "document/brick_command.h"
#include "platform/core/cmd_ui.h"
#include "platform/ui/controls.h"
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
    CCmdUI ui(IDM_EDIT_UNDO);
    doc.OnUpdateEditUndo(&ui);
    return ui.m_bEnabled ? ui.m_strText : CString("(disabled)");
}

}  // namespace

TEST_F(DocumentTest, DirectionWithNothingSelectedTurnsTheNewBrickAndTellsThePanes)
{
    MakeAt(Root(), 0, 0, 0);
    auto* held = new CBrickCommand(CBrickCommand::labelAdd);
    doc->SetLastAction(held);
    for (UINT id = IDM_MOVE_BACK_LEFT; id <= IDM_TURN_RIGHT; ++id) {
        doc->SetCurrentOrientationIndex(3);
        pane.Clear();
        doc->OnDirection(id);
        EXPECT_EQ(doc->GetCurrentOrientationIndex(), 0) << id;
        EXPECT_EQ(pane.codes, std::vector<UINT>{NOTIFY_DOC_ORIENTATION_CHANGED}) << id;
        EXPECT_EQ(pane.senders, std::vector<UINT>{NOTIFY_ID_DOCUMENT}) << id;
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
            fromDocument += pane.senders[i] == NOTIFY_ID_DOCUMENT && pane.codes[i] == NOTIFY_DOC_ORIENTATION_CHANGED;
        EXPECT_EQ(fromDocument, c.tellsPanes ? 1 : 0) << c.id;
    }
}

TEST_F(DocumentTest, ColourSwitchesToPaintExceptFromTheNewBrickTool)
{
    const struct {
        UINT before, after;
    } cases[] = {
        {IDM_TOOL_SELECT, IDM_TOOL_PAINT},
        {IDM_TOOL_PAINT, IDM_TOOL_PAINT},
        {IDM_TOOL_ERASE, IDM_TOOL_PAINT},
        {IDM_TOOL_NEW_BRICK, IDM_TOOL_NEW_BRICK},
    };
    for (const auto& c : cases) {
        doc->OnTool(c.before);
        shell.checked.clear();
        doc->OnColor(IDM_COLOR_FIRST + 5);
        EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(c.after)) << c.before;
        EXPECT_EQ(doc->GetCurrentColorIndex(), 5);
        ASSERT_FALSE(shell.checked.empty());
        EXPECT_EQ(shell.checked[0].id, IDM_COLOR_FIRST + 5);
    }
    CCmdUI ui(IDM_COLOR_FIRST + 5);
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
    doc->OnColor(IDM_COLOR_FIRST + 2);
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
    doc->OnColor(IDM_COLOR_FIRST + 6);
    ASSERT_NE(doc->GetLastAction(), nullptr);
    EXPECT_EQ(doc->GetLastAction()->GetLabel(), CBrickCommand::labelColor);
    EXPECT_EQ(brick->GetColorIndex(), 6);
}

TEST_F(DocumentTest, ToolsPickTheirCursorAndTabTogglesSelect)
{
    const struct {
        UINT tool, cursor, afterTab;
    } cases[] = {
        {IDM_TOOL_SELECT, IDC_TOOL_SELECT, IDM_TOOL_NEW_BRICK},
        {IDM_TOOL_PAINT, IDC_TOOL_PAINT, IDM_TOOL_SELECT},
        {IDM_TOOL_NEW_BRICK, IDC_TOOL_NEW_BRICK, IDM_TOOL_SELECT},
        {IDM_TOOL_ERASE, IDC_TOOL_ERASE, IDM_TOOL_SELECT},
        {700, IDC_TOOL_OTHER, IDM_TOOL_SELECT},
    };
    for (const auto& c : cases) {
        shell.checked.clear();
        doc->OnTool(c.tool);
        EXPECT_EQ(doc->GetToolCursorId(), c.cursor) << c.tool;
        ASSERT_EQ(shell.checked.size(), 1u);
        EXPECT_EQ(shell.checked[0].first, IDM_TOOL_SELECT);
        EXPECT_EQ(shell.checked[0].last, IDM_TOOL_ERASE);
        EXPECT_EQ(shell.checked[0].id, c.tool);
        doc->OnToggleTool();
        EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(c.afterTab)) << c.tool;
    }
    shell.kidFrame = FALSE;
    shell.checked.clear();
    doc->OnTool(IDM_TOOL_PAINT);
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
    doc->OnTool(IDM_TOOL_ERASE);
    shell.listAnswer = -1;
    doc->OnBrickListSelChange();
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(IDM_TOOL_ERASE));

    shell.listAnswer = 1042;
    pane.Clear();
    doc->OnBrickListSelChange();
    EXPECT_EQ(doc->GetCurrentBrickType(), 1042);
    EXPECT_EQ(pane.Count(NOTIFY_DOC_CLASS_CHANGED), 1);
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(IDM_TOOL_NEW_BRICK));
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
    EXPECT_TRUE(RouteCommand(route, 1, IDM_TOOL_ERASE));
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(IDM_TOOL_ERASE));
    EXPECT_TRUE(RouteCommand(route, 1, IDM_COLOR_FIRST + 3));
    EXPECT_EQ(doc->GetCurrentColorIndex(), 3);
    shell.listAnswer = 1030;
    EXPECT_TRUE(RouteControlNotification(route, 1, IDM_BRICK_LIST, LBN_SELCHANGE));
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(IDM_TOOL_NEW_BRICK));

    // Disabled items do not run: nothing to paste, nothing to undo.
    EXPECT_FALSE(RouteCommand(route, 1, IDM_EDIT_PASTE));
    EXPECT_FALSE(RouteCommand(route, 1, IDM_EDIT_UNDO));

    CCmdUI tool(IDM_TOOL_NEW_BRICK);
    EXPECT_TRUE(RouteCommandUI(route, 1, tool));
    EXPECT_EQ(tool.m_nCheck, 1);
    for (UINT always : {IDM_PRINT_PLANS, IDM_PRINT_PARTS, IDM_PRINT_PREVIEW_PLANS,
                        IDM_PRINT_PREVIEW_PARTS, IDM_FILE_SAVE, IDM_FILE_PRINT}) {
        CCmdUI ui(always);
        RouteCommandUI(route, 1, ui);
        EXPECT_TRUE(ui.m_bEnabled) << always;
    }
}
