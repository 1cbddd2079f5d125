// Ctrl with a colour button: every selected brick takes the colour, and undo
// gives each its own former colour back.
#pragma once

#include "document/brick_command.h"

class CBrickGroup;
class CColorBrickList;

class CColorDizadoCommand : public CBrickCommand {
public:
    // Collects the selected bricks, at any depth, with their colours now.
    CColorDizadoCommand(CBrickGroup* root, LONG colour);
    ~CColorDizadoCommand() override;

    void Do() override;
    void Toggle() override;

private:
    void Paint();

    LONG m_nColor;
    CColorBrickList* m_pSet;
};
