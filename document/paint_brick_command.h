// The paint tool on one brick: the brick takes the document's colour, and
// undo paints back the colour it had.
#pragma once

#include "document/brick_command.h"

class CBrick;

class CPaintBrickCommand : public CBrickCommand {
public:
    CPaintBrickCommand(CBrick* brick, LONG colour);

    void Do() override;
    void Toggle() override;

private:
    CBrick* m_pBrick;
    LONG m_nOtherColor;
    LONG m_nColor;
};
