#include "document/move_command.h"

#include "document/mouse_pane.h"
#include "model/brick_group.h"

CMoveDizadoCommand::CMoveDizadoCommand(IMousePane* pane, UINT keyFlags, SHORT mainAxis, SHORT alternateAxis)
    : CPlaceDizadoCommand(pane, labelMove, mainAxis, alternateAxis), m_nPressFlags(static_cast<WORD>(keyFlags))
{
}

void CMoveDizadoCommand::BeginDrag(CDC* dc, int x, int y)
{
    CBrick* brick = nullptr;
    if (m_pPane->HitTest(POINT{x, y}, &brick) && brick) {
        SelectClicked(m_nPressFlags, brick);
    } else {
        CPaneHold hold(m_pRoot, CPaneHold::rebuild);
        m_pRoot->SelectAll(FALSE);
    }
    CPlaceDizadoCommand::BeginDrag(dc, x, y);
}
