// Small visitors over the document's brick tree that answer the pane's
// questions: the brick under a point, the bricks inside a rubber band, the
// screen outline of the selection, of a group or of the bricks being dragged,
// and the screen rectangle of the whole model. The pane supplies every
// projection and region, so they work for any pane.
#pragma once

#include <vector>

#include "foundation/geometry3d.h"
#include "foundation/region.h"
#include "foundation/list_walker.h"
#include "platform/core/types.h"

class CBrick;
class CBrickGroup;
class CBrickPane;

// Walks backward, so that of two bricks the draw order cannot tell apart the
// one met first (the later in the tree) is kept.
class CHitTestWalker : public CListWalker {
public:
    CHitTestWalker(CBrickPane* pane, CBrick** brick, POINT point);
    BOOL VisitBrick(CObject* item) override;

private:
    CBrickPane* m_pPane;
    CBrick** m_ppBrick;
    POINT m_point;
    CBox3D m_bestBox;
};

class CMarqueeSelectWalker : public CListWalker {
public:
    CMarqueeSelectWalker(CBrickPane* pane, const RECT& rect, BOOL toggle);
    BOOL VisitBrick(CObject* item) override;
    BOOL WalkGroup(CWalkableGroup* group) override;
    // Both corners inside the outer rectangle, right and bottom edges excluded.
    static BOOL RectInRect(const RECT& inner, const RECT& outer);

private:
    CBrickPane* m_pPane;
    RECT m_rect;
    BOOL m_bToggle;
};

// Unites many regions at a cost that grows as n log n, not n squared: equal
// sized partial unions are united pairwise, as a binary counter adds. Union
// does not depend on the order: the same pixels come out.
class CRegionAccumulator {
public:
    void Add(const CRegion& region);
    // Unites everything added into `target`.
    void Finish(CRegion* target);

private:
    struct Part {
        CRegion region;
        int level;
    };
    std::vector<Part> m_parts;
};

class CGroupRegionWalker : public CListWalker {
public:
    CGroupRegionWalker(CBrickPane* pane, CBrickGroup* group, CRegion* target);
    BOOL Walk() override;
    BOOL VisitBrick(CObject* item) override;

private:
    CBrickPane* m_pPane;
    CRegion* m_pTarget;
    CRegionAccumulator m_parts;
};

// The selected bricks' regions.
class CRegionUnionWalker : public CListWalker {
public:
    CRegionUnionWalker(CBrickPane* pane, CRegion* target);
    BOOL Walk() override;
    BOOL VisitBrick(CObject* item) override;

private:
    CBrickPane* m_pPane;
    CRegion* m_pTarget;
    CRegionAccumulator m_parts;
};

// The ground footprints of the selected moveable bricks.
class CBrickRegionWalker : public CListWalker {
public:
    CBrickRegionWalker(CBrickPane* pane, CRegion* target);
    BOOL Walk() override;
    BOOL VisitBrick(CObject* item) override;

private:
    CBrickPane* m_pPane;
    CRegion* m_pTarget;
    CRegionAccumulator m_parts;
};

class CUnionBoundsWalker : public CListWalker {
public:
    CUnionBoundsWalker(CBrickPane* pane, RECT* target);
    BOOL VisitBrick(CObject* item) override;

private:
    CBrickPane* m_pPane;
    RECT* m_pTarget;
    BOOL m_bFirst = TRUE;
};

// Rectangle helpers of the pane code: half-open, as the system's own.
BOOL RectsMeet(const RECT& a, const RECT& b);
BOOL PointInRect(const RECT& r, POINT p);
void UnionRects(RECT* target, const RECT& other);
