// The walkers of the brick tree that the brick sets and the groups use.
#pragma once

#include <unordered_set>

#include "foundation/geometry3d.h"
#include "foundation/list_walker.h"
#include "platform/core/types.h"

class CBrick;
class CBrickGroup;
class CDizadOet;

// Offers every brick below the group to the set, depth-first.
class CCollectDizadoWalker : public CListWalker {
public:
    CCollectDizadoWalker(CBrickGroup* group, CDizadOet* set, LPARAM argument);
    // A null item ends the walk.
    BOOL VisitBrick(CObject* item) override;

protected:
    CDizadOet* m_pSet;
    LPARAM m_argument;
};

// The starting group's bricks one by one, each of its sub-groups whole.
class CCollectGroupsWalker : public CCollectDizadoWalker {
public:
    using CCollectDizadoWalker::CCollectDizadoWalker;
    BOOL WalkGroup(CWalkableGroup* group) override;
};

// Announces every brick below the group as leaving (NOTIFY_BRICK_LEAVING),
// last first.
class CDetachGroupWalker : public CListWalker {
public:
    explicit CDetachGroupWalker(CBrickGroup* group);
    BOOL VisitBrick(CObject* item) override;
};

// Announces every brick below the group as joined (NOTIFY_BRICK_JOINED) and
// placed (NOTIFY_POSITION_CHANGED), so that panes paint a group put back into
// the model.
class CAttachGroupWalker : public CListWalker {
public:
    explicit CAttachGroupWalker(CBrickGroup* group);
    BOOL VisitBrick(CObject* item) override;
};

// NOTIFY_BRICK_BROADCAST for every brick below the group, relayed from the
// group.
class CBroadcastWalker : public CListWalker {
public:
    explicit CBroadcastWalker(CBrickGroup* group);
    BOOL VisitBrick(CObject* item) override;

private:
    CBrickGroup* m_pGroup;
};

// Copies a subtree: each group reached gets a new group under the current
// destination (as its first sub-group), which receives the copies of its
// bricks and sub-groups.
class CDuplicateWalker : public CListWalker {
public:
    CDuplicateWalker(CBrickGroup* group, const CPoint3D& offset, CBrickGroup* destination);
    BOOL WalkGroup(CWalkableGroup* group) override;
    BOOL VisitBrick(CObject* item) override;
    // The first group made; null before the walk.
    CBrickGroup* GetResult() const { return m_pResult; }

private:
    CPoint3D m_offset;
    CBrickGroup* m_pDestination;
    CBrickGroup* m_pResult = nullptr;
    // Copies are not copied again when the destination lies inside the source.
    std::unordered_set<const CWalkableGroup*> m_copies;
};
