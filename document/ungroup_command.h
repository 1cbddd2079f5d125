// Edit/Ungroup: every top-level group that holds a selected brick is
// dissolved by one level, its bricks and sub-groups moving to the root. The
// dissolved groups are kept, empty and out of the model, so that undo can
// rebuild them as they were.
#pragma once

#include <vector>

#include "document/brick_command.h"

class CBrick;
class CBrickGroup;

class CUngroupDizadoCommand : public CBrickCommand {
public:
    explicit CUngroupDizadoCommand(CBrickGroup* root);
    // Destroys the dissolved groups while they are out of the model.
    ~CUngroupDizadoCommand() override;

    void Do() override;
    void Toggle() override;

    int GetDissolvedCount() const { return static_cast<int>(m_dissolved.size()); }

private:
    struct Dissolved {
        CBrickGroup* group;
        std::vector<CBrick*> bricks;       // in their order in the group
        std::vector<CBrickGroup*> groups;  // likewise
    };
    void Dissolve();
    void Rebuild();

    CBrickGroup* m_pRoot;
    std::vector<Dissolved> m_dissolved;
    BOOL m_bDissolved = FALSE;
};
