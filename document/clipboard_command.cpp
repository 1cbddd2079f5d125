#include "document/clipboard_command.h"

#include "document/detached_set.h"
#include "document/dizado_doc.h"
#include "foundation/sound_player.h"
#include "model/brick.h"
#include "model/brick_group.h"

CClipboardCommand::CClipboardCommand(CBrickGroup* root, SHORT code)
    : CBrickCommand(static_cast<WORD>(code - 31)),
      m_pRoot(root),
      m_pSet(new CDetachedSet(root, CDizadOet::modeGroups)),
      m_nCode(code),
      m_bTakesOut(code == codeCut || code == codeClear)
{
    m_pSet->Collect(0);
}

CClipboardCommand::~CClipboardCommand()
{
    if (!m_bPresent)
        m_pSet->DestroyMembers();
    delete m_pSet;
}

void CClipboardCommand::Do()
{
    // Bricks that never reached the clipboard stay in the model, and the
    // command stays unperformed, so that it is not kept as the undo.
    if (m_nCode == codeCopy) {
        if (m_pDocument && m_pDocument->CopyToClipboard())
            SetPerformed(1);
        return;
    }
    // One hold over the Cut's copy and its taking out: the panes rebuild once.
    CPaneHold hold(m_pRoot);
    if (m_nCode == codeCut && (!m_pDocument || !CopyToClipboard())) {
        m_bTakesOut = FALSE;
        return;
    }
    PlaySoundEffect("eras");
    m_pSet->Flip(m_bPresent);
    SetPerformed(1);
}

BOOL CClipboardCommand::CopyToClipboard()
{
    if (m_nCode != codeCut)
        return m_pDocument->CopyToClipboard();
    // A Cut takes its groups out whole, so the clipboard gets them whole: the
    // writer takes only selected bricks, so the rest of each group is
    // selected for the writing and deselected again after it.
    std::vector<CBrick*> widened;
    auto restore = [&] {
        for (CBrick* brick : widened)
            brick->SetSelected(FALSE);
    };
    BOOL copied = FALSE;
    try {
        CMyObList* groups = m_pSet->GetGroupList();
        for (int i = 0; i < groups->GetSize(); ++i)
            if (auto* group = dynamic_cast<CBrickGroup*>(groups->GetAt(i)))
                SelectWhole(group, widened);
        copied = m_pDocument->CopyToClipboard();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return copied;
}

void CClipboardCommand::SelectWhole(CBrickGroup* group, std::vector<CBrick*>& widened)
{
    // A list rather than recursion: a group may be nested very deep.
    std::vector<CBrickGroup*> pending{group};
    while (!pending.empty()) {
        CBrickGroup* next = pending.back();
        pending.pop_back();
        for (int i = 0; i < next->GetBrickCount(); ++i) {
            CBrick* brick = next->GetBrickAt(i);
            if (brick && !brick->IsSelectedFlag()) {
                widened.push_back(brick);
                brick->SetSelected(TRUE);
            }
        }
        for (int i = 0; i < next->GetSubGroupCount(); ++i)
            if (CBrickGroup* sub = next->GetSubGroupAt(i))
                pending.push_back(sub);
    }
}

void CClipboardCommand::Toggle()
{
    CBrickCommand::Toggle();
    if (m_bTakesOut)
        Move();
}

void CClipboardCommand::Move()
{
    CPaneHold hold(m_pRoot);
    m_pSet->Flip(m_bPresent);
}
