#include "document/erase_group_command.h"

#include "foundation/sound_player.h"
#include "model/brick_group.h"

CEraseGroupCommand::CEraseGroupCommand(CBrickGroup* root, CBrickGroup* group)
    : CBrickCommand(labelClear), m_pRoot(root), m_pGroup(group)
{
}

CEraseGroupCommand::~CEraseGroupCommand()
{
    if (!m_bPresent && m_pGroup)
        m_pGroup->Destroy(TRUE);
}

void CEraseGroupCommand::Do()
{
    PlaySoundEffect("eras");
    Move();
}

void CEraseGroupCommand::Toggle()
{
    CBrickCommand::Toggle();
    Move();
}

void CEraseGroupCommand::Move()
{
    if (!m_pGroup)
        return;
    CPaneHold hold(m_pRoot);
    try {
        // The bricks are announced while the group is in the tree, so that
        // their announcements reach the panes.
        if (m_bPresent) {
            m_pGroup->Broadcast();
            m_pGroup->SetParent(nullptr);
        } else {
            m_pGroup->SetParent(m_pRoot);
            m_pGroup->Broadcast();
        }
    } catch (...) {
        m_bPresent = m_pGroup->GetParent() ? TRUE : FALSE;
        throw;
    }
    m_bPresent = m_pGroup->GetParent() ? TRUE : FALSE;
}
