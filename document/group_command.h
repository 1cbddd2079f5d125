// Edit/Group: the selection is gathered into one new group directly below
// the root. Undo empties that group back into the root and destroys it.
#pragma once

#include "document/brick_command.h"

class CBrickGroup;

class CGroupDizadoCommand : public CBrickCommand {
public:
    explicit CGroupDizadoCommand(CBrickGroup* root);

    // Whether the selection can be grouped without nesting past the model's
    // depth limit: the new group adds a level above every group it takes.
    static BOOL CanGroup(const CBrickGroup* root);

    // The root's selected bricks join the new group; the root's sub-groups
    // that hold a selected brick move under it whole. Where CanGroup says no,
    // it beeps and changes nothing.
    void Do() override;
    // Redo groups the selection afresh, which while the command is the last
    // one is what the first grouping took.
    void Toggle() override;

    // Null while undone.
    CBrickGroup* GetNewGroup() const { return m_pNewGroup; }

private:
    void Ungroup();

    CBrickGroup* m_pRoot;
    CBrickGroup* m_pNewGroup = nullptr;
};
