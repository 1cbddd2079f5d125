#include "document/rotate_command.h"

#include "foundation/sound_player.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_set_lists.h"

// The selection turns about the centre of the box collected at construction.
// An odd extent across the turn would leave the turned box half a unit off
// the grid, so the turn shifts it one unit towards minus. Turning back by the
// other direction with that same shift does not land where the bricks came
// from; the exact inverse applies the shift along the other axis, so a turn
// and its undo cancel out however often they alternate.
class CRotateDizadoCommand::CTurnList : public CBrickBoundsList {
public:
    explicit CTurnList(CBrickGroup* root) : CBrickBoundsList(root) {}

    void Turn(BOOL direction, BOOL back)
    {
        const CBox3D& box = GetBox();
        const int oddX = box.Extent(0) & 1;
        const int oddY = box.Extent(1) & 1;
        m_pivot = box.Center();
        m_bDirection = back ? !direction : direction;
        if (direction)
            m_shift = back ? CPoint3D(0, -oddX, 0) : CPoint3D(-oddX, 0, 0);
        else
            m_shift = back ? CPoint3D(-oddY, 0, 0) : CPoint3D(0, -oddY, 0);
        CDizadOet::ApplyAll(0);
    }

    LPARAM ApplyBrick(CBrick* brick, LPARAM) override
    {
        brick->Rotate(m_pivot, m_shift, m_bDirection);
        return 0;
    }

private:
    CPoint3D m_pivot;
    CPoint3D m_shift;
    BOOL m_bDirection = TRUE;
};

CRotateDizadoCommand::CRotateDizadoCommand(CBrickGroup* root, LONG direction)
    : CBrickCommand(labelRotate), m_pRoot(root), m_pSet(new CTurnList(root)), m_nDirection(direction ? 1 : 0)
{
    m_pSet->Collect(0);
}

CRotateDizadoCommand::~CRotateDizadoCommand()
{
    delete m_pSet;
}

void CRotateDizadoCommand::Do()
{
    Turn(FALSE);
}

void CRotateDizadoCommand::Toggle()
{
    Turn(IsUndone() ? FALSE : TRUE);
    CBrickCommand::Toggle();
}

void CRotateDizadoCommand::Turn(BOOL back)
{
    PlaySoundEffect("rota");
    CPaneHold hold(m_pRoot);
    m_pSet->Turn(m_nDirection, back);
}
