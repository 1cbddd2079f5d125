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
ON_COMMAND_RANGE(doc_id::kToolSelect, doc_id::kToolErase, OnTool)
ON_UPDATE_COMMAND_UI_RANGE(doc_id::kToolSelect, doc_id::kToolErase, OnUpdateTool)
ON_COMMAND_RANGE(doc_id::kDirectionFirst, doc_id::kDirectionLast, OnDirection)
ON_COMMAND_RANGE(doc_id::kColorFirst, doc_id::kColorLast, OnColor)
ON_UPDATE_COMMAND_UI_RANGE(doc_id::kColorFirst, doc_id::kColorLast, OnUpdateColor)
ON_CONTROL(doc_id::kBrickListSelChange, doc_id::kBrickList, OnBrickListSelChange)
ON_UPDATE_COMMAND_UI(doc_id::kBrickList, OnUpdateBrickList)
ON_COMMAND(doc_id::kEditCopy, OnEditCopy)
ON_UPDATE_COMMAND_UI(doc_id::kEditCopy, OnUpdateEditCopy)
ON_COMMAND(doc_id::kEditPaste, OnEditPaste)
ON_UPDATE_COMMAND_UI(doc_id::kEditPaste, OnUpdateEditPaste)
ON_COMMAND(doc_id::kEditCut, OnEditCut)
ON_UPDATE_COMMAND_UI(doc_id::kEditCut, OnUpdateEditCut)
ON_COMMAND(doc_id::kEditUndo, OnEditUndo)
ON_UPDATE_COMMAND_UI(doc_id::kEditUndo, OnUpdateEditUndo)
ON_COMMAND(doc_id::kToggleTool, OnToggleTool)
ON_COMMAND(doc_id::kEditClear, OnEditClear)
ON_UPDATE_COMMAND_UI(doc_id::kEditClear, OnUpdateEditClear)
ON_COMMAND(doc_id::kEditDuplicate, OnEditDuplicate)
ON_UPDATE_COMMAND_UI(doc_id::kEditDuplicate, OnUpdateEditDuplicate)
ON_COMMAND(doc_id::kEditSelectAll, OnEditSelectAll)
ON_UPDATE_COMMAND_UI(doc_id::kEditSelectAll, OnUpdateEditSelectAll)
ON_COMMAND(doc_id::kEditSelectNone, OnEditSelectNone)
ON_UPDATE_COMMAND_UI(doc_id::kEditSelectNone, OnUpdateEditSelectNone)
ON_COMMAND(doc_id::kGroup, OnGroup)
ON_UPDATE_COMMAND_UI(doc_id::kGroup, OnUpdateGroup)
ON_COMMAND(doc_id::kUngroup, OnUngroup)
ON_UPDATE_COMMAND_UI(doc_id::kUngroup, OnUpdateUngroup)
ON_COMMAND(doc_id::kShowBaseplate, OnShowBaseplate)
ON_UPDATE_COMMAND_UI(doc_id::kShowBaseplate, OnUpdateShowBaseplate)
ON_COMMAND(doc_id::kPrintPlans, OnPrintPlans)
ON_UPDATE_COMMAND_UI(doc_id::kPrintPlans, OnUpdatePrintPlans)
ON_COMMAND(doc_id::kPrintParts, OnPrintParts)
ON_UPDATE_COMMAND_UI(doc_id::kPrintParts, OnUpdatePrintParts)
ON_COMMAND(doc_id::kPrintPreviewPlans, OnPrintPreviewPlans)
ON_UPDATE_COMMAND_UI(doc_id::kPrintPreviewPlans, OnUpdatePrintPreviewPlans)
ON_COMMAND(doc_id::kPrintPreviewParts, OnPrintPreviewParts)
ON_UPDATE_COMMAND_UI(doc_id::kPrintPreviewParts, OnUpdatePrintPreviewParts)
ON_COMMAND(doc_id::kBackground, OnBackground)
ON_UPDATE_COMMAND_UI(doc_id::kBackground, OnUpdateBackground)
ON_COMMAND(doc_id::kShowMultiview, OnShowMultiview)
ON_UPDATE_COMMAND_UI(doc_id::kShowMultiview, OnUpdateShowMultiview)
ON_COMMAND(doc_id::kFileSave, OnFileSave)
ON_UPDATE_COMMAND_UI(doc_id::kFileSave, OnUpdateFileSave)
ON_UPDATE_COMMAND_UI(doc_id::kFilePrint, OnUpdateFilePrint)
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
    case doc_id::kToolSelect:
        m_nToolCursorId = doc_id::kCursorSelect;
        break;
    case doc_id::kToolPaint:
        m_nToolCursorId = doc_id::kCursorPaint;
        break;
    case doc_id::kToolNewBrick:
        m_nToolCursorId = doc_id::kCursorNewBrick;
        break;
    case doc_id::kToolErase:
        m_nToolCursorId = doc_id::kCursorErase;
        break;
    default:
        m_nToolCursorId = doc_id::kCursorOther;
        break;
    }
    IDocumentShell* shell = GetDocumentShell();
    if (shell->HasKidFrame())
        shell->CheckButtonRange(doc_id::kToolSelect, doc_id::kToolErase, static_cast<UINT>(m_nCurrentTool));
}

void CDizadoDoc::OnUpdateTool(CCmdUI* cmdUI)
{
    cmdUI->SetCheck(static_cast<LONG>(cmdUI->m_nID) == m_nCurrentTool ? 1 : 0);
}

void CDizadoDoc::OnToggleTool()
{
    OnTool(m_nCurrentTool == static_cast<SHORT>(doc_id::kToolSelect) ? doc_id::kToolNewBrick : doc_id::kToolSelect);
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
    case 604:
        Nudge(0, 1, 0);
        break;
    case 605:
        Nudge(0, 0, 1);
        break;
    case 606:
        Nudge(1, 0, 0);
        break;
    case 607:
        Rotate(1);
        break;
    case 608:
        Nudge(-1, 0, 0);
        break;
    case 609:
        Nudge(0, 0, -1);
        break;
    case 610:
        Nudge(0, -1, 0);
        break;
    case 611:
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
        shell->CheckButtonRange(doc_id::kColorFirst, doc_id::kColorLast, id);
    m_nCurrentColor = static_cast<LONG>(id - doc_id::kColorFirst);
    if (KeyHeld(VK_SHIFT)) {
        {
            CPaneHold hold(&m_brickList, CPaneHold::rebuild);
            m_brickList.SelectByColor(TRUE, m_nCurrentColor);
        }
        SetLastAction(nullptr);
    }
    if (KeyHeld(VK_CONTROL) && HasSelection())
        Perform([&] { return new CColorDizadoCommand(&m_brickList, m_nCurrentColor); });
    if (m_nCurrentTool != static_cast<SHORT>(doc_id::kToolNewBrick))
        OnTool(doc_id::kToolPaint);
}

void CDizadoDoc::OnUpdateColor(CCmdUI* cmdUI)
{
    cmdUI->SetCheck(static_cast<LONG>(cmdUI->m_nID - doc_id::kColorFirst) == m_nCurrentColor ? 1 : 0);
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
    OnTool(doc_id::kToolNewBrick);
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
    UpdateAllViews(nullptr, doc_id::kShowBaseplate);
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
