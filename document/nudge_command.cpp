#include "document/nudge_command.h"

#include "foundation/sound_player.h"
#include "model/brick_group.h"
#include "model/brick_set_lists.h"

CNudgeDizadoCommand::CNudgeDizadoCommand(CBrickGroup* root, const CPoint3D& offset)
    : CBrickCommand(labelMove), m_pRoot(root), m_offset(offset), m_pSet(new CNudgeBrickList(root))
{
    m_pSet->Collect(0);
}

CNudgeDizadoCommand::~CNudgeDizadoCommand()
{
    delete m_pSet;
}

void CNudgeDizadoCommand::Do()
{
    PlaySoundEffect("nudg");
    {
        CPaneHold hold(m_pRoot);
        m_pSet->ApplyAll(reinterpret_cast<LPARAM>(&m_offset));
    }
    m_offset = CPoint3D() - m_offset;
}

void CNudgeDizadoCommand::Toggle()
{
    CBrickCommand::Toggle();
    Do();
}
