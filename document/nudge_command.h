// A direction button: the selected bricks move one grid step.
#pragma once

#include "document/brick_command.h"
#include "foundation/geometry3d.h"

class CBrickGroup;
class CNudgeBrickList;

class CNudgeDizadoCommand : public CBrickCommand {
public:
    // Collects the selected bricks, at any depth.
    CNudgeDizadoCommand(CBrickGroup* root, const CPoint3D& offset);
    ~CNudgeDizadoCommand() override;

    // Moves by the offset, moveable or not, and keeps the opposite step for
    // the next toggle.
    void Do() override;
    void Toggle() override;

private:
    CBrickGroup* m_pRoot;
    CPoint3D m_offset;
    CNudgeBrickList* m_pSet;
};
