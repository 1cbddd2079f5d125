// Bricks are never sorted. Each brick is drawn through the part of its screen
// region that no brick in front of it covers: the draw walker visits every
// brick that meets the area being drawn, and for each one a depth walker
// carves the regions of the bricks in front out of its region.
#pragma once

#include "foundation/geometry3d.h"
#include "foundation/list_walker.h"
#include "platform/core/types.h"

class CBrick;
class CBrickPane;
class CDC;
class CRegion;

class CBrickDrawWalker : public CListWalker {
public:
    CBrickDrawWalker(CBrickPane* pane, const RECT& clip, SHORT filter, SHORT level);

    void SetTarget(CDC* dc) { m_pTarget = dc; }

    BOOL WalkGroup(CWalkableGroup* group) override;
    BOOL VisitBrick(CObject* item) override;
    BOOL VisitSubGroups(CWalkableGroup* group) override;

    // Filters 0 and 1, the only ones used, both take every visible brick.
    static BOOL Admits(const CBrick* brick, SHORT filter, SHORT level);

private:
    CBrickPane* m_pPane;
    SHORT m_nFilter;
    SHORT m_nLevel;
    RECT m_clip;
    CDC* m_pTarget = nullptr;
};

class CBrickDepthWalker : public CListWalker {
public:
    CBrickDepthWalker(CBrickPane* pane, CBrick* drawn, CRegion* region, SHORT filter, SHORT level);

    BOOL WalkGroup(CWalkableGroup* group) override;
    BOOL VisitBrick(CObject* item) override;
    BOOL VisitSubGroups(CWalkableGroup* group) override;

private:
    CBrickPane* m_pPane;
    CBrick* m_pDrawn;
    CRegion* m_pRegion;
    CBox3D m_box;
    SHORT m_nFilter;
    SHORT m_nLevel;
    CBox3D m_depthBox;
};
