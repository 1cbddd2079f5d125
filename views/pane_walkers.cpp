#include "views/pane_walkers.h"

#include <algorithm>

#include "foundation/region.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "views/brick_pane.h"

BOOL RectsMeet(const RECT& a, const RECT& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

BOOL PointInRect(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void UnionRects(RECT* target, const RECT& other)
{
    const bool targetEmpty = target->left >= target->right || target->top >= target->bottom;
    const bool otherEmpty = other.left >= other.right || other.top >= other.bottom;
    if (otherEmpty)
        return;
    if (targetEmpty) {
        *target = other;
        return;
    }
    target->left = std::min(target->left, other.left);
    target->top = std::min(target->top, other.top);
    target->right = std::max(target->right, other.right);
    target->bottom = std::max(target->bottom, other.bottom);
}

CHitTestWalker::CHitTestWalker(CBrickPane* pane, CBrick** brick, POINT point)
    : CListWalker(pane->GetBrickList(), TRUE, TRUE, TRUE), m_pPane(pane), m_ppBrick(brick), m_point(point)
{
    *m_ppBrick = nullptr;
}

BOOL CHitTestWalker::VisitBrick(CObject* item)
{
    auto* brick = dynamic_cast<CBrick*>(item);
    if (!brick)
        return FALSE;
    const CBox3D& box = brick->GetWorldBox();
    RECT rect;
    m_pPane->ProjectBox(&rect, box);
    if (!PointInRect(rect, m_point))
        return FALSE;
    if (!m_pPane->BuildBoxRegion(box).PtInRegion(m_point))
        return FALSE;
    CRegion region;
    m_pPane->BuildBrickRegion(&region, brick);
    if (!region.PtInRegion(m_point))
        return FALSE;
    if (!*m_ppBrick || m_pPane->CompareDrawOrder(box, m_bestBox)) {
        *m_ppBrick = brick;
        m_bestBox = box;
    }
    return FALSE;
}

CMarqueeSelectWalker::CMarqueeSelectWalker(CBrickPane* pane, const RECT& rect, BOOL toggle)
    : CListWalker(pane->GetBrickList()), m_pPane(pane), m_rect(rect), m_bToggle(toggle)
{
}

BOOL CMarqueeSelectWalker::RectInRect(const RECT& inner, const RECT& outer)
{
    return PointInRect(outer, POINT{inner.left, inner.top}) && PointInRect(outer, POINT{inner.right, inner.bottom});
}

BOOL CMarqueeSelectWalker::VisitBrick(CObject* item)
{
    auto* brick = dynamic_cast<CBrick*>(item);
    if (!brick)
        return FALSE;
    const BOOL was = brick->IsSelectedFlag();
    CRegion region;
    m_pPane->BuildBrickRegion(&region, brick);
    if (RectInRect(region.GetBounds(), m_rect)) {
        const BOOL selected = (m_bToggle ? !was : TRUE) && brick->IsSelectableFlag();
        brick->UpdateSelected(selected);
    } else if (!m_bToggle && was) {
        brick->UpdateSelected(FALSE);
    }
    return FALSE;
}

BOOL CMarqueeSelectWalker::WalkGroup(CWalkableGroup* walkable)
{
    auto* group = dynamic_cast<CBrickGroup*>(walkable);
    if (!group || !group->GetParent())
        return WalkGroupDefault(walkable);
    const BOOL was = group->CountSelectedGroups() + group->CountSelectedDizado() > 0;
    CRegion region;
    CGroupRegionWalker regions(m_pPane, group, &region);
    regions.Walk();
    if (RectInRect(region.GetBounds(), m_rect))
        group->SelectAll(m_bToggle ? !was : TRUE);
    else if (!m_bToggle && was)
        group->SelectAll(FALSE);
    return FALSE;
}

void CRegionAccumulator::Add(const CRegion& region)
{
    if (region.IsEmpty())
        return;
    m_parts.push_back(Part{region, 0});
    while (m_parts.size() >= 2 && m_parts[m_parts.size() - 2].level == m_parts.back().level) {
        Part& below = m_parts[m_parts.size() - 2];
        below.region.Union(below.region, m_parts.back().region);
        ++below.level;
        m_parts.pop_back();
    }
}

void CRegionAccumulator::Finish(CRegion* target)
{
    while (!m_parts.empty()) {
        target->Union(*target, m_parts.back().region);
        m_parts.pop_back();
    }
}

CGroupRegionWalker::CGroupRegionWalker(CBrickPane* pane, CBrickGroup* group, CRegion* target)
    : CListWalker(group), m_pPane(pane), m_pTarget(target)
{
}

BOOL CGroupRegionWalker::Walk()
{
    const BOOL stopped = CListWalker::Walk();
    m_parts.Finish(m_pTarget);
    return stopped;
}

BOOL CGroupRegionWalker::VisitBrick(CObject* item)
{
    auto* brick = dynamic_cast<CBrick*>(item);
    if (!brick)
        return FALSE;
    CRegion region;
    m_pPane->BuildBrickRegion(&region, brick);
    m_parts.Add(region);
    return FALSE;
}

CRegionUnionWalker::CRegionUnionWalker(CBrickPane* pane, CRegion* target)
    : CListWalker(pane->GetBrickList()), m_pPane(pane), m_pTarget(target)
{
}

BOOL CRegionUnionWalker::Walk()
{
    const BOOL stopped = CListWalker::Walk();
    m_parts.Finish(m_pTarget);
    return stopped;
}

BOOL CRegionUnionWalker::VisitBrick(CObject* item)
{
    auto* brick = dynamic_cast<CBrick*>(item);
    if (!brick || !brick->IsSelectedFlag())
        return FALSE;
    CRegion region;
    m_pPane->BuildBrickRegion(&region, brick);
    m_parts.Add(region);
    return FALSE;
}

CBrickRegionWalker::CBrickRegionWalker(CBrickPane* pane, CRegion* target)
    : CListWalker(pane->GetBrickList()), m_pPane(pane), m_pTarget(target)
{
}

BOOL CBrickRegionWalker::VisitBrick(CObject* item)
{
    auto* brick = dynamic_cast<CBrick*>(item);
    if (!brick || !brick->IsSelectedFlag() || !brick->IsMoveableFlag())
        return FALSE;
    CBox3D footprint = brick->GetWorldBox();
    footprint.Min().Z() = 0;
    footprint.Max().Z() = 0;
    m_parts.Add(m_pPane->BuildBoxRegion(footprint));
    return FALSE;
}

BOOL CBrickRegionWalker::Walk()
{
    const BOOL stopped = CListWalker::Walk();
    m_parts.Finish(m_pTarget);
    return stopped;
}

CUnionBoundsWalker::CUnionBoundsWalker(CBrickPane* pane, RECT* target)
    : CListWalker(pane->GetBrickList()), m_pPane(pane), m_pTarget(target)
{
}

BOOL CUnionBoundsWalker::VisitBrick(CObject* item)
{
    auto* brick = dynamic_cast<CBrick*>(item);
    if (!brick)
        return FALSE;
    RECT r;
    m_pPane->ProjectBox(&r, brick->GetWorldBox());
    if (m_bFirst) {
        *m_pTarget = r;
        m_bFirst = FALSE;
    } else {
        UnionRects(m_pTarget, r);
    }
    return FALSE;
}
