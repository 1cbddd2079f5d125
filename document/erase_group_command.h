// The erase tool on a brick inside a group: the brick's outermost group below
// the root leaves the model whole and is kept for undo.
#pragma once

#include "document/brick_command.h"

class CBrickGroup;

class CEraseGroupCommand : public CBrickCommand {
public:
    // `group` is the clicked brick's outer group (CBrick::GetOuterGroup).
    CEraseGroupCommand(CBrickGroup* root, CBrickGroup* group);
    // Destroys the group and everything in it while it is out of the model.
    ~CEraseGroupCommand() override;

    void Do() override;
    void Toggle() override;

    BOOL IsPresent() const { return m_bPresent; }

private:
    void Move();

    CBrickGroup* m_pRoot;
    CBrickGroup* m_pGroup;
    BOOL m_bPresent = TRUE;
};
