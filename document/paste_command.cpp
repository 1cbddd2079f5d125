#include "document/paste_command.h"

#include "document/detached_set.h"
#include "document/dizado_doc.h"
#include "foundation/sound_player.h"
#include "model/brick_group.h"
#include "platform/core/exceptions.h"
#include "platform/core/hooks.h"

namespace {

CString DescribeFailure(const CException& error)
{
    char reason[256] = {};
    CString text = "Not all the bricks on the clipboard could be pasted.";
    if (error.GetErrorMessage(reason, sizeof reason) && reason[0]) {
        text += "\n";
        text += reason;
    }
    return text;
}

}  // namespace

CPasteDizadoCommand::CPasteDizadoCommand(CBrickGroup* root)
    : CBrickCommand(labelPaste), m_pRoot(root), m_pPrevious(new CDizadOet(root, CDizadOet::modeDizado))
{
    m_pPrevious->Collect(0);
}

CPasteDizadoCommand::~CPasteDizadoCommand()
{
    delete m_pPrevious;
    if (m_pPasted && !m_bPresent)
        m_pPasted->DestroyMembers();
    delete m_pPasted;
}

const CDizadOet* CPasteDizadoCommand::GetPastedSet() const
{
    return m_pPasted;
}

void CPasteDizadoCommand::Do()
{
    PlaySoundEffect("clik");
    CString failure;
    {
        CPaneHold hold(m_pRoot);
        m_pPrevious->SetSelection(FALSE);
        m_pPasted = new CDetachedSet(m_pRoot, CDizadOet::modeGroups);
        const CDetachedSet::Snapshot before = m_pPasted->TakeSnapshot();
        m_bPresent = TRUE;
        try {
            if (m_pDocument)
                m_pDocument->PasteFromClipboard();
        } catch (const CException& error) {
            failure = DescribeFailure(error);
        } catch (...) {
            // The tree owns whatever arrived; the command must still know it
            // should its caller keep it.
            m_pPasted->CollectAdded(before);
            throw;
        }
        m_pPasted->CollectAdded(before);
    }
    if (!failure.IsEmpty())
        AfxMessageBox(failure, MB_OK | MB_ICONEXCLAMATION);
}

void CPasteDizadoCommand::Toggle()
{
    CBrickCommand::Toggle();
    if (!m_pPasted)
        return;
    CPaneHold hold(m_pRoot);
    const BOOL wasPresent = m_bPresent;
    m_pPasted->Flip(m_bPresent);
    m_pPrevious->SetSelection(wasPresent);
}
