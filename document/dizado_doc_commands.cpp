// The document's command handlers: the kid frame's buttons and list, the
// menus and the accelerators arrive here, change the current choices or
// build one edit command, perform it and keep it for undo.
#include <memory>
#include <new>
#include <vector>

#include "document/brick_command.h"
#include "document/change_background_command.h"
#include "document/clipboard_command.h"
#include "document/color_command.h"
#include "document/dizado_doc.h"
#include "document/document_services.h"
#include "document/drag_command.h"
#include "document/duplicate_command.h"
#include "document/group_command.h"
#include "document/nudge_command.h"
#include "document/paste_command.h"
#include "document/rotate_command.h"
#include "document/ungroup_command.h"
#include "foundation/notification_codes.h"
#include "platform/core/clipboard.h"
#include "platform/core/cmd_ui.h"
#include "platform/core/exceptions.h"
#include "platform/core/hooks.h"
#include "platform/ui/controls.h"

namespace {

bool KeyHeld(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

bool HoldsAnyBrick(const CBrickGroup* top)
{
    // On a stack of its own, like the group tree's walks, however deep the model.
    std::vector<const CBrickGroup*> pending{top};
    while (!pending.empty()) {
        const CBrickGroup* group = pending.back();
        pending.pop_back();
        if (group->GetBrickCount() > 0)
            return true;
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            if (const CBrickGroup* sub = group->GetSubGroupAt(i))
                pending.push_back(sub);
    }
    return false;
}

void Report(const CException& error)
{
    CString text = error.Describe();
    if (text.IsEmpty())
        text = "The command could not be completed.";
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

// Cut and Copy. A clipboard that cannot be had changes nothing: the model
// and the undo held before stay, and the child is told.
void CopyOrCut(CDizadoDoc* doc, SHORT code)
{
    CDizadoDoc::EditPath path;
    path.onlyIfPerformed = TRUE;
    path.notPerformedText = "The bricks could not be put on the clipboard.";
    doc->Perform(
        [doc, code] {
            auto* command = new CClipboardCommand(doc->GetBrickList(), code);
            command->SetDocument(doc);
            return command;
        },
        path);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDizadoDoc, COleServerDoc)
ON_COMMAND_RANGE(IDM_TOOL_SELECT, IDM_TOOL_ERASE, OnTool)
ON_UPDATE_COMMAND_UI_RANGE(IDM_TOOL_SELECT, IDM_TOOL_ERASE, OnUpdateTool)
ON_COMMAND_RANGE(IDM_MOVE_BACK_LEFT, IDM_TURN_RIGHT, OnDirection)
ON_COMMAND_RANGE(IDM_COLOR_FIRST, IDM_COLOR_LAST, OnColor)
ON_UPDATE_COMMAND_UI_RANGE(IDM_COLOR_FIRST, IDM_COLOR_LAST, OnUpdateColor)
ON_CONTROL(LBN_SELCHANGE, IDM_BRICK_LIST, OnBrickListSelChange)
ON_UPDATE_COMMAND_UI(IDM_BRICK_LIST, OnUpdateBrickList)
ON_COMMAND(IDM_EDIT_COPY, OnEditCopy)
ON_UPDATE_COMMAND_UI(IDM_EDIT_COPY, OnUpdateEditCopy)
ON_COMMAND(IDM_EDIT_PASTE, OnEditPaste)
ON_UPDATE_COMMAND_UI(IDM_EDIT_PASTE, OnUpdateEditPaste)
ON_COMMAND(IDM_EDIT_CUT, OnEditCut)
ON_UPDATE_COMMAND_UI(IDM_EDIT_CUT, OnUpdateEditCut)
ON_COMMAND(IDM_EDIT_UNDO, OnEditUndo)
ON_UPDATE_COMMAND_UI(IDM_EDIT_UNDO, OnUpdateEditUndo)
ON_COMMAND(IDM_TOGGLE_TOOL, OnToggleTool)
ON_COMMAND(IDM_EDIT_CLEAR, OnEditClear)
ON_UPDATE_COMMAND_UI(IDM_EDIT_CLEAR, OnUpdateEditClear)
ON_COMMAND(IDM_DUPLICATE, OnEditDuplicate)
ON_UPDATE_COMMAND_UI(IDM_DUPLICATE, OnUpdateEditDuplicate)
ON_COMMAND(IDM_SELECT_ALL, OnEditSelectAll)
ON_UPDATE_COMMAND_UI(IDM_SELECT_ALL, OnUpdateEditSelectAll)
ON_COMMAND(IDM_SELECT_NONE, OnEditSelectNone)
ON_UPDATE_COMMAND_UI(IDM_SELECT_NONE, OnUpdateEditSelectNone)
ON_COMMAND(IDM_GROUP, OnGroup)
ON_UPDATE_COMMAND_UI(IDM_GROUP, OnUpdateGroup)
ON_COMMAND(IDM_UNGROUP, OnUngroup)
ON_UPDATE_COMMAND_UI(IDM_UNGROUP, OnUpdateUngroup)
ON_COMMAND(IDM_SHOW_BASEPLATE, OnShowBaseplate)
ON_UPDATE_COMMAND_UI(IDM_SHOW_BASEPLATE, OnUpdateShowBaseplate)
ON_COMMAND(IDM_PRINT_PLANS, OnPrintPlans)
ON_UPDATE_COMMAND_UI(IDM_PRINT_PLANS, OnUpdatePrintPlans)
ON_COMMAND(IDM_PRINT_PARTS, OnPrintParts)
ON_UPDATE_COMMAND_UI(IDM_PRINT_PARTS, OnUpdatePrintParts)
ON_COMMAND(IDM_PRINT_PREVIEW_PLANS, OnPrintPreviewPlans)
ON_UPDATE_COMMAND_UI(IDM_PRINT_PREVIEW_PLANS, OnUpdatePrintPreviewPlans)
ON_COMMAND(IDM_PRINT_PREVIEW_PARTS, OnPrintPreviewParts)
ON_UPDATE_COMMAND_UI(IDM_PRINT_PREVIEW_PARTS, OnUpdatePrintPreviewParts)
ON_COMMAND(IDM_BACKGROUND, OnBackground)
ON_UPDATE_COMMAND_UI(IDM_BACKGROUND, OnUpdateBackground)
ON_COMMAND(IDM_SHOW_MULTIVIEW, OnShowMultiview)
ON_UPDATE_COMMAND_UI(IDM_SHOW_MULTIVIEW, OnUpdateShowMultiview)
ON_COMMAND(IDM_FILE_SAVE, OnFileSave)
ON_UPDATE_COMMAND_UI(IDM_FILE_SAVE, OnUpdateFileSave)
ON_UPDATE_COMMAND_UI(IDM_FILE_PRINT, OnUpdateFilePrint)
END_MESSAGE_MAP()

BOOL CDizadoDoc::Perform(const std::function<CBrickCommand*()>& make)
{
    return Perform(make, EditPath{});
}

BOOL CDizadoDoc::Perform(const std::function<CBrickCommand*()>& make, const EditPath& path)
{
    std::unique_ptr<CBrickCommand> command;
    // A failed command that is not kept goes before the child is told, as
    // it would leaving a scope: its destructor may close pane holds.
    const auto fail = [&](const CException& error) {
        switch (path.onFailure) {
        case OnFailure::forgetUndo:
            command.reset();
            SetLastAction(nullptr);
            break;
        case OnFailure::keepCommand:
            if (command)
                SetLastAction(command.release());
            break;
        case OnFailure::keepUndo:
            command.reset();
            break;
        }
        Report(error);
        return FALSE;
    };
    try {
        command.reset(make());
        if (path.run)
            path.run(*command);
        else
            command->Do();
    } catch (const CException& error) {
        return fail(error);
    } catch (const std::bad_alloc&) {
        return fail(CMemoryException());
    }
    if (path.onlyIfPerformed && !command->GetPerformed()) {
        if (path.notPerformedText)
            AfxMessageBox(path.notPerformedText, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    SetLastAction(command.release());
    return TRUE;
}

CDizadoDoc::EditPath CDizadoDoc::Tracking(IMousePane* pane, POINT point, UINT keyFlags)
{
    EditPath path;
    path.run = [pane, point, keyFlags](CBrickCommand& command) {
        // Anything but a drag acts at once, as on any other path.
        if (auto* drag = dynamic_cast<CDragCommand*>(&command))
            drag->Track(pane, keyFlags, point);
        else
            command.Do();
    };
    // A failure inside the drag has already ended it where it got to.
    path.onFailure = OnFailure::keepCommand;
    return path;
}

void CDizadoDoc::OnTool(UINT id)
{
    m_nCurrentTool = static_cast<SHORT>(id);
    switch (m_nCurrentTool) {
    case IDM_TOOL_SELECT:
        m_nToolCursorId = IDC_TOOL_SELECT;
        break;
    case IDM_TOOL_PAINT:
        m_nToolCursorId = IDC_TOOL_PAINT;
        break;
    case IDM_TOOL_NEW_BRICK:
        m_nToolCursorId = IDC_TOOL_NEW_BRICK;
        break;
    case IDM_TOOL_ERASE:
        m_nToolCursorId = IDC_TOOL_ERASE;
        break;
    default:
        m_nToolCursorId = IDC_TOOL_OTHER;
        break;
    }
    IDocumentShell* shell = GetDocumentShell();
    if (shell->HasKidFrame())
        shell->CheckButtonRange(IDM_TOOL_SELECT, IDM_TOOL_ERASE, static_cast<UINT>(m_nCurrentTool));
}

void CDizadoDoc::OnUpdateTool(CCmdUI* cmdUI)
{
    cmdUI->SetCheck(static_cast<LONG>(cmdUI->m_nID) == m_nCurrentTool ? 1 : 0);
}

void CDizadoDoc::OnToggleTool()
{
    OnTool(m_nCurrentTool == static_cast<SHORT>(IDM_TOOL_SELECT) ? IDM_TOOL_NEW_BRICK : IDM_TOOL_SELECT);
}

void CDizadoDoc::AdvanceOrientation()
{
    ++m_nCurrentOrientation;
    if (m_nCurrentOrientation < 0 || m_nCurrentOrientation > 3)
        m_nCurrentOrientation = 0;
}

void CDizadoDoc::Nudge(LONG dx, LONG dy, LONG dz)
{
    if (HasSelection()) {
        Perform([&] { return new CNudgeDizadoCommand(&m_brickList, CPoint3D(dx, dy, dz)); });
        return;
    }
    AdvanceOrientation();
    // The new-brick cursor outline turns with the orientation.
    NotifyListeners(NOTIFY_DOC_ORIENTATION_CHANGED, 0);
}

void CDizadoDoc::Rotate(LONG direction)
{
    if (HasSelection())
        Perform([&] { return new CRotateDizadoCommand(&m_brickList, direction); });
    else
        AdvanceOrientation();
    NotifyListeners(NOTIFY_DOC_ORIENTATION_CHANGED, 0);
}

void CDizadoDoc::OnDirection(UINT id)
{
    switch (id) {
    case IDM_MOVE_BACK_LEFT:
        Nudge(0, 1, 0);
        break;
    case IDM_MOVE_UP:
        Nudge(0, 0, 1);
        break;
    case IDM_MOVE_BACK_RIGHT:
        Nudge(1, 0, 0);
        break;
    case IDM_TURN_LEFT:
        Rotate(1);
        break;
    case IDM_MOVE_FRONT_LEFT:
        Nudge(-1, 0, 0);
        break;
    case IDM_MOVE_DOWN:
        Nudge(0, 0, -1);
        break;
    case IDM_MOVE_FRONT_RIGHT:
        Nudge(0, -1, 0);
        break;
    case IDM_TURN_RIGHT:
        Rotate(0);
        break;
    default:
        break;
    }
}

void CDizadoDoc::OnColor(UINT id)
{
    IDocumentShell* shell = GetDocumentShell();
    if (shell->HasKidFrame())
        shell->CheckButtonRange(IDM_COLOR_FIRST, IDM_COLOR_LAST, id);
    m_nCurrentColor = static_cast<LONG>(id - IDM_COLOR_FIRST);
    if (KeyHeld(VK_SHIFT)) {
        {
            CPaneHold hold(&m_brickList, CPaneHold::rebuild);
            m_brickList.SelectByColor(TRUE, m_nCurrentColor);
        }
        SetLastAction(nullptr);
    }
    if (KeyHeld(VK_CONTROL) && HasSelection())
        Perform([&] { return new CColorDizadoCommand(&m_brickList, m_nCurrentColor); });
    if (m_nCurrentTool != static_cast<SHORT>(IDM_TOOL_NEW_BRICK))
        OnTool(IDM_TOOL_PAINT);
}

void CDizadoDoc::OnUpdateColor(CCmdUI* cmdUI)
{
    cmdUI->SetCheck(static_cast<LONG>(cmdUI->m_nID - IDM_COLOR_FIRST) == m_nCurrentColor ? 1 : 0);
}

void CDizadoDoc::OnBrickListSelChange()
{
    IDocumentShell* shell = GetDocumentShell();
    if (!shell->HasKidFrame())
        return;
    const int classId = shell->OnBrickListSelect();
    if (classId == -1)
        return;
    SetCurrentBrickType(static_cast<SHORT>(classId));
    OnTool(IDM_TOOL_NEW_BRICK);
}

void CDizadoDoc::OnUpdateBrickList(CCmdUI*) {}

void CDizadoDoc::OnEditCopy()
{
    CopyOrCut(this, CClipboardCommand::codeCopy);
}

void CDizadoDoc::OnUpdateEditCopy(CCmdUI* cmdUI)
{
    cmdUI->Enable(HasSelection());
}

void CDizadoDoc::OnEditPaste()
{
    Perform([&] {
        auto* command = new CPasteDizadoCommand(&m_brickList);
        command->SetDocument(this);
        return command;
    });
}

void CDizadoDoc::OnUpdateEditPaste(CCmdUI* cmdUI)
{
    const UINT format = GetClipboardFormat();
    cmdUI->Enable(format != 0 && IsClipboardFormatAvailable(format));
}

void CDizadoDoc::OnEditCut()
{
    CopyOrCut(this, CClipboardCommand::codeCut);
}

void CDizadoDoc::OnUpdateEditCut(CCmdUI* cmdUI)
{
    cmdUI->Enable(HasSelection());
}

void CDizadoDoc::OnEditUndo()
{
    CBrickCommand* command = m_pLastAction;
    if (!command)
        return;
    try {
        if (!command->IsUndone())
            command->Toggle();
        else
            command->Undo();
    } catch (const CException& error) {
        SetLastAction(nullptr);
        SetModifiedFlag(TRUE);
        Report(error);
        return;
    } catch (const std::bad_alloc&) {
        SetLastAction(nullptr);
        SetModifiedFlag(TRUE);
        Report(CMemoryException());
        return;
    }
    // Undoing an edit changes the model as much as the edit did.
    if (command->ModifiesDocument())
        SetModifiedFlag(TRUE);
}

void CDizadoDoc::OnUpdateEditUndo(CCmdUI* cmdUI)
{
    if (!m_pLastAction) {
        cmdUI->Enable(FALSE);
        return;
    }
    cmdUI->Enable(TRUE);
    CString text;
    m_pLastAction->GetMenuText(text, m_pLastAction->IsUndone());
    cmdUI->SetText(text);
}

void CDizadoDoc::OnEditClear()
{
    Perform([&] {
        auto* command = new CClipboardCommand(&m_brickList, CClipboardCommand::codeClear);
        command->SetDocument(this);
        return command;
    });
}

void CDizadoDoc::OnUpdateEditClear(CCmdUI* cmdUI)
{
    cmdUI->Enable(HasSelection());
}

void CDizadoDoc::OnEditDuplicate()
{
    Perform([&] { return new CDuplicateDizadoCommand(&m_brickList, CPoint3D(2, -2, 0)); });
}

void CDizadoDoc::OnUpdateEditDuplicate(CCmdUI* cmdUI)
{
    cmdUI->Enable(HasSelection());
}

void CDizadoDoc::OnEditSelectAll()
{
    if (KeyHeld(VK_SHIFT)) {
        CString text;
        text.Format("count = %ld", static_cast<long>(m_brickList.CountSelectedDizadoDeep()));
        AfxMessageBox(text, MB_OK);
        return;
    }
    {
        CPaneHold hold(&m_brickList, CPaneHold::rebuild);
        m_brickList.SelectAll(TRUE);
    }
    SetLastAction(nullptr);
}

void CDizadoDoc::OnUpdateEditSelectAll(CCmdUI* cmdUI)
{
    // Bricks inside groups count: a model made only of groups can be selected too.
    cmdUI->Enable(HoldsAnyBrick(&m_brickList) ? TRUE : FALSE);
}

void CDizadoDoc::OnEditSelectNone()
{
    {
        CPaneHold hold(&m_brickList, CPaneHold::rebuild);
        m_brickList.SelectAll(FALSE);
    }
    SetLastAction(nullptr);
}

void CDizadoDoc::OnUpdateEditSelectNone(CCmdUI* cmdUI)
{
    cmdUI->Enable(HasSelection());
}

void CDizadoDoc::OnGroup()
{
    // Refused before any command is made, so that the last one stays for undo.
    if (!CGroupDizadoCommand::CanGroup(&m_brickList)) {
        MessageBeep(0);
        return;
    }
    Perform([&] { return new CGroupDizadoCommand(&m_brickList); });
}

void CDizadoDoc::OnUpdateGroup(CCmdUI* cmdUI)
{
    cmdUI->Enable(m_brickList.CountSelectedDizado() + m_brickList.CountSelectedGroups() > 1 ? TRUE : FALSE);
}

void CDizadoDoc::OnUngroup()
{
    Perform([&] { return new CUngroupDizadoCommand(&m_brickList); });
}

void CDizadoDoc::OnUpdateUngroup(CCmdUI* cmdUI)
{
    cmdUI->Enable(m_brickList.CountSelectedGroups() > 0 ? TRUE : FALSE);
}

void CDizadoDoc::OnShowBaseplate()
{
    m_bBaseplateShown = m_bBaseplateShown ? FALSE : TRUE;
    UpdateAllViews(nullptr, IDM_SHOW_BASEPLATE);
}

void CDizadoDoc::OnUpdateShowBaseplate(CCmdUI* cmdUI)
{
    cmdUI->SetCheck(m_bBaseplateShown ? 1 : 0);
}

void CDizadoDoc::OnShowMultiview()
{
    m_bMultiView = m_bMultiView == 0 ? 1 : 0;
}

void CDizadoDoc::OnUpdateShowMultiview(CCmdUI* cmdUI)
{
    cmdUI->SetCheck(m_bMultiView != 0 ? 1 : 0);
}

// The program makes no plans or parts views, so these print nothing.
void CDizadoDoc::OnPrintPlans() {}
void CDizadoDoc::OnPrintParts() {}
void CDizadoDoc::OnPrintPreviewPlans() {}
void CDizadoDoc::OnPrintPreviewParts() {}

void CDizadoDoc::OnUpdatePrintPlans(CCmdUI* cmdUI)
{
    cmdUI->Enable(TRUE);
}

void CDizadoDoc::OnUpdatePrintParts(CCmdUI* cmdUI)
{
    cmdUI->Enable(TRUE);
}

void CDizadoDoc::OnUpdatePrintPreviewPlans(CCmdUI* cmdUI)
{
    cmdUI->Enable(TRUE);
}

void CDizadoDoc::OnUpdatePrintPreviewParts(CCmdUI* cmdUI)
{
    cmdUI->Enable(TRUE);
}

void CDizadoDoc::OnBackground()
{
    // A cancelled dialog keeps the previous undo.
    EditPath path;
    path.onlyIfPerformed = TRUE;
    path.onFailure = OnFailure::keepUndo;
    Perform(
        [this] {
            std::unique_ptr<CChangeBackgroundCommand> command(new CChangeBackgroundCommand(this));
            command->SetOwnerWindow(GetDocumentShell()->GetMainWindow());
            return command.release();
        },
        path);
}

void CDizadoDoc::OnUpdateBackground(CCmdUI*) {}

void CDizadoDoc::OnUpdateFileSave(CCmdUI* cmdUI)
{
    cmdUI->Enable(TRUE);
}

void CDizadoDoc::OnUpdateFilePrint(CCmdUI* cmdUI)
{
    cmdUI->Enable(TRUE);
}
