// Edit/Duplicate: the selection is copied beside itself, the copies selected
// in its place. Undo takes the copies out; redo puts the same copies back.
#pragma once

#include "document/brick_command.h"
#include "foundation/geometry3d.h"

class CBrickGroup;
class CDetachedSet;
class CDizadOet;
class CDuplicateBrickList;

class CDuplicateDizadoCommand : public CBrickCommand {
public:
    CDuplicateDizadoCommand(CBrickGroup* root, const CPoint3D& offset);
    // Destroys the copies while they are out of the model.
    ~CDuplicateDizadoCommand() override;

    // Top-level groups holding a selected brick are copied whole, the root's
    // own selected bricks one by one.
    void Do() override;
    void Toggle() override;

    BOOL IsPresent() const { return m_bPresent; }

private:
    CDuplicateBrickList* m_pSource;
    // The selection as it was, brick by brick: the copies take it over and
    // undo hands it back exactly, however little of a group it held.
    CDizadOet* m_pPrevious = nullptr;
    CDetachedSet* m_pCopies = nullptr;
    BOOL m_bPresent = FALSE;
    CBrickGroup* m_pRoot;
};
