#include "document/duplicate_command.h"

#include "document/detached_set.h"
#include "model/brick_group.h"
#include "model/brick_set_lists.h"

CDuplicateDizadoCommand::CDuplicateDizadoCommand(CBrickGroup* root, const CPoint3D& offset)
    : CBrickCommand(labelDuplicate), m_pSource(new CDuplicateBrickList(root, offset, root)), m_pRoot(root)
{
}

CDuplicateDizadoCommand::~CDuplicateDizadoCommand()
{
    delete m_pSource;
    delete m_pPrevious;
    if (m_pCopies && !m_bPresent)
        m_pCopies->DestroyMembers();
    delete m_pCopies;
}

void CDuplicateDizadoCommand::Do()
{
    m_pSource->Collect(0);
    m_pPrevious = new CDizadOet(m_pRoot, CDizadOet::modeDizado);
    m_pPrevious->Collect(0);
    CPaneHold hold(m_pRoot);
    m_pCopies = new CDetachedSet(m_pRoot, CDizadOet::modeGroups);
    m_bPresent = TRUE;
    const CDetachedSet::Snapshot before = m_pCopies->TakeSnapshot();
    try {
        m_pSource->ApplyAll(0);
    } catch (...) {
        // The copies made before the failure stay in the tree; the command
        // still knows them, should its caller keep it.
        m_pCopies->CollectAdded(before);
        throw;
    }
    m_pCopies->CollectAdded(before);
}

void CDuplicateDizadoCommand::Toggle()
{
    CBrickCommand::Toggle();
    if (!m_pCopies)
        return;
    CPaneHold hold(m_pRoot);
    const BOOL wasPresent = m_bPresent;
    m_pCopies->Flip(m_bPresent);
    m_pPrevious->SetSelection(wasPresent);
}
