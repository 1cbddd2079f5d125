#include "views/draw_walkers.h"

#include "foundation/iterable_list.h"
#include "foundation/list_iterator.h"
#include "foundation/region.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "views/brick_pane.h"
#include "views/pane_walkers.h"

namespace {

// The screen rectangle of a group's cached bounds.
RECT GroupRect(CBrickPane* pane, CWalkableGroup* walkable)
{
    RECT r{0, 0, 0, 0};
    if (auto* group = dynamic_cast<CBrickGroup*>(walkable))
        pane->ProjectBox(&r, group->GetCachedBounds());
    return r;
}

}  // namespace

BOOL CBrickDrawWalker::Admits(const CBrick* brick, SHORT, SHORT)
{
    return brick && brick->GetVisibleFlag();
}

CBrickDrawWalker::CBrickDrawWalker(CBrickPane* pane, const RECT& clip, SHORT filter, SHORT level)
    : CListWalker(pane->GetBrickList()), m_pPane(pane), m_nFilter(filter), m_nLevel(level), m_clip(clip)
{
}

BOOL CBrickDrawWalker::WalkGroup(CWalkableGroup* group)
{
    if (!RectsMeet(GroupRect(m_pPane, group), m_clip))
        return TRUE;
    return WalkGroupDefault(group);
}

BOOL CBrickDrawWalker::VisitSubGroups(CWalkableGroup* group)
{
    CIterableList* subGroups = group ? group->GetSubGroupList() : nullptr;
    if (!subGroups)
        return FALSE;
    CListIterator iterator(subGroups, 0);
    CObject* item = nullptr;
    while (iterator.Next(item)) {
        auto* subGroup = dynamic_cast<CWalkableGroup*>(item);
        if (!subGroup || !RectsMeet(GroupRect(m_pPane, subGroup), m_clip))
            continue;
        if (WalkGroup(subGroup))
            return TRUE;
    }
    return FALSE;
}

BOOL CBrickDrawWalker::VisitBrick(CObject* item)
{
    auto* brick = dynamic_cast<CBrick*>(item);
    if (!Admits(brick, m_nFilter, m_nLevel))
        return FALSE;
    RECT rect;
    m_pPane->ProjectBox(&rect, brick->GetWorldBox());
    if (!RectsMeet(rect, m_clip))
        return FALSE;
    CRegion region;
    m_pPane->BuildBrickRegion(&region, brick);
    CBrickDepthWalker carver(m_pPane, brick, &region, m_nFilter, m_nLevel);
    carver.Walk();
    if (!region.IsEmpty())
        m_pPane->DrawBrick(brick, m_pTarget, region);
    region.Empty();
    return FALSE;
}

CBrickDepthWalker::CBrickDepthWalker(CBrickPane* pane, CBrick* drawn, CRegion* region, SHORT filter, SHORT level)
    : CListWalker(pane->GetBrickList()),
      m_pPane(pane),
      m_pDrawn(drawn),
      m_pRegion(region),
      m_box(drawn->GetWorldBox()),
      m_nFilter(filter),
      m_nLevel(level)
{
    pane->GetDepthBox(&m_depthBox, m_box);
}

BOOL CBrickDepthWalker::WalkGroup(CWalkableGroup* group)
{
    if (!RectsMeet(GroupRect(m_pPane, group), m_pRegion->GetBounds()))
        return TRUE;
    return WalkGroupDefault(group);
}

BOOL CBrickDepthWalker::VisitSubGroups(CWalkableGroup* group)
{
    CIterableList* subGroups = group ? group->GetSubGroupList() : nullptr;
    if (!subGroups)
        return FALSE;
    CListIterator iterator(subGroups, 0);
    CObject* item = nullptr;
    while (iterator.Next(item)) {
        auto* subGroup = dynamic_cast<CWalkableGroup*>(item);
        if (!subGroup || !RectsMeet(GroupRect(m_pPane, subGroup), m_pRegion->GetBounds()))
            continue;
        if (WalkGroup(subGroup))
            return TRUE;
    }
    return FALSE;
}

BOOL CBrickDepthWalker::VisitBrick(CObject* item)
{
    auto* other = dynamic_cast<CBrick*>(item);
    if (!other || other == m_pDrawn || !CBrickDrawWalker::Admits(other, m_nFilter, m_nLevel))
        return FALSE;
    CBox3D depth;
    m_pPane->GetDepthBox(&depth, other->GetWorldBox());
    if (!depth.Overlaps(m_depthBox) || !m_pPane->CompareDrawOrder(other->GetWorldBox(), m_box))
        return FALSE;
    CRegion front;
    m_pPane->BuildBrickRegion(&front, other);
    m_pRegion->Subtract(*m_pRegion, front);
    return m_pRegion->IsEmpty();
}
