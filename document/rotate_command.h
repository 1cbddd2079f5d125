// Shift with a sideways direction button: the selected bricks turn a quarter
// about the middle of the selection. Undo turns them back exactly, redo
// repeats the first turn.
#pragma once

#include "document/brick_command.h"

class CBrickGroup;

class CRotateDizadoCommand : public CBrickCommand {
public:
    // Collects the selected bricks and the box around them. Direction 1 turns
    // the plan from +x towards +y, direction 0 the other way.
    CRotateDizadoCommand(CBrickGroup* root, LONG direction);
    ~CRotateDizadoCommand() override;

    void Do() override;
    void Toggle() override;

private:
    class CTurnList;
    void Turn(BOOL back);

    CBrickGroup* m_pRoot;
    CTurnList* m_pSet;
    LONG m_nDirection;
};
