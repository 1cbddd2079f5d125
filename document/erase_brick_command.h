// The erase tool on a brick that belongs to no group below the root: the
// brick leaves the model and is kept, alive, for undo.
#pragma once

#include "document/brick_command.h"

class CBrick;
class CBrickGroup;

class CEraseBrickCommand : public CBrickCommand {
public:
    // `root` takes the brick back on undo.
    CEraseBrickCommand(CBrickGroup* root, CBrick* brick);
    // Destroys the brick while it is out of the model.
    ~CEraseBrickCommand() override;

    void Do() override;
    void Toggle() override;

    BOOL IsPresent() const { return m_bPresent; }

private:
    void Move();

    CBrickGroup* m_pRoot;
    CBrick* m_pBrick;
    BOOL m_bPresent = TRUE;
};
