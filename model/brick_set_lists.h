// The brick sets of the rotate, duplicate, colour and nudge commands.
#pragma once

#include <vector>

#include "foundation/geometry3d.h"
#include "model/dizad_oet.h"

// The selected bricks one by one and the box around them, for the rotate
// command, which turns them about the box's centre.
class CBrickBoundsList : public CDizadOet {
public:
    explicit CBrickBoundsList(CBrickGroup* owner);

    LPARAM CollectBrick(CBrick* brick, LPARAM argument) override;

    const CBox3D& GetBox() const { return m_box; }

private:
    CBox3D m_box;
    BOOL m_bFirstDone = FALSE;
};

// The owner's selected bricks and its sub-groups that hold a selection;
// applying copies each into the destination, moved by the offset, and moves
// the selection to the copies.
class CDuplicateBrickList : public CDizadOet {
public:
    CDuplicateBrickList(CBrickGroup* owner, const CPoint3D& offset, CBrickGroup* destination);

    // Each answers the copy.
    LPARAM ApplyGroup(CBrickGroup* group, LPARAM argument) override;
    LPARAM ApplyBrick(CBrick* brick, LPARAM argument) override;

private:
    CBrickGroup* m_pDestination;
    CPoint3D m_offset;
};

// The selected bricks with the colours they had when collected. Applying with
// a pointer to a 16-bit colour paints them; with null each gets its own
// colour back, in collection order.
class CColorBrickList : public CDizadOet {
public:
    explicit CColorBrickList(CBrickGroup* owner);

    LPARAM CollectBrick(CBrick* brick, LPARAM argument) override;
    LPARAM ApplyAll(LPARAM colour) override;
    LPARAM ApplyBrick(CBrick* brick, LPARAM colour) override;

private:
    std::vector<LONG> m_savedColors;
    size_t m_nRestoreIndex = 0;
};

// The selected bricks; applying with a pointer to a CPoint3D moves each by it.
class CNudgeBrickList : public CDizadOet {
public:
    explicit CNudgeBrickList(CBrickGroup* owner) : CDizadOet(owner, modeDizado) {}

    LPARAM ApplyBrick(CBrick* brick, LPARAM offset) override;
};
