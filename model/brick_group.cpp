#include "model/brick_group.h"

#include "foundation/list_iterator.h"
#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_walkers.h"

IMPLEMENT_SERIAL(CBrickGroup, CMyObList, 1)

namespace {

SHORT Low(const CBox3D& box, int axis)
{
    return Min16(box.Min()[axis], box.Max()[axis]);
}

SHORT High(const CBox3D& box, int axis)
{
    return Max16(box.Min()[axis], box.Max()[axis]);
}

// Whether taking `before` out of `bounds` and putting `after` (or nothing)
// in may pull a face of the bounds inwards: `before` reached the face and
// `after` does not, so only the other contributions can tell.
bool MayShrink(const CBox3D& bounds, const CBox3D& before, const CBox3D* after)
{
    for (int axis = 0; axis < 3; ++axis) {
        if (Low(before, axis) <= bounds.Min()[axis] && (!after || Low(*after, axis) > bounds.Min()[axis]))
            return true;
        if (High(before, axis) >= bounds.Max()[axis] && (!after || High(*after, axis) < bounds.Max()[axis]))
            return true;
    }
    return false;
}

CBrickGroup* RootOf(CBrickGroup* group)
{
    while (group && group->GetParent())
        group = group->GetParent();
    return group;
}

void Accumulate(const CBrickGroup* group, CBox3D& bounds, BOOL& any)
{
    for (int i = 0; i < group->GetBrickCount(); ++i) {
        if (const CBrick* brick = group->GetBrickAt(i)) {
            bounds.IncludeBox(brick->GetWorldBox(), any);
            any = TRUE;
        }
    }
    for (int i = 0; i < group->GetSubGroupCount(); ++i)
        if (const CBrickGroup* sub = group->GetSubGroupAt(i))
            Accumulate(sub, bounds, any);
}

bool AnySelectedBelow(const CBrickGroup* group)
{
    for (int i = 0; i < group->GetBrickCount(); ++i) {
        const CBrick* brick = group->GetBrickAt(i);
        if (brick && brick->IsSelectedFlag())
            return true;
    }
    for (int i = 0; i < group->GetSubGroupCount(); ++i) {
        const CBrickGroup* sub = group->GetSubGroupAt(i);
        if (sub && AnySelectedBelow(sub))
            return true;
    }
    return false;
}

}  // namespace

CBrickGroup::CBrickGroup() : m_pSubGroups(new CMyObList)
{
    EnableAutomation();
}

CBrickGroup::~CBrickGroup()
{
    if (!m_pParent) {
        NotifyListeners(NOTIFY_ROOT_DESTROYING, 0);
    } else {
        CMyObList* siblings = m_pParent->m_pSubGroups;
        for (int i = 0; i < siblings->GetSize(); ++i) {
            if (siblings->GetAt(i) == this) {
                siblings->RemoveAt(i);
                siblings->NotifyRemove(i + 1);
                break;
            }
        }
        CBrickGroup* parent = m_pParent;
        m_pParent = nullptr;
        if (m_bStale)
            parent->MarkStale();
        else if (m_bHasBounds)
            parent->UpdateContribution(&m_bounds, nullptr);
    }
    DeleteContents();
    delete m_pSubGroups;
}

CBrickGroup* CBrickGroup::GetSubGroupAt(int index) const
{
    if (index < 0 || index >= m_pSubGroups->GetSize())
        return nullptr;
    return dynamic_cast<CBrickGroup*>(m_pSubGroups->GetAt(index));
}

CBrick* CBrickGroup::GetBrickAt(int index) const
{
    if (index < 0 || index >= GetSize())
        return nullptr;
    return dynamic_cast<CBrick*>(GetAt(index));
}

int CBrickGroup::IndexOfBrick(const CBrick* brick) const
{
    for (int i = 0; i < GetSize(); ++i)
        if (GetAt(i) == brick)
            return i + 1;
    return -1;
}

CBrick* CBrickGroup::GetBrick(LONG index) const
{
    return GetBrickAt(index);
}

CBrickGroup* CBrickGroup::GetList(LONG index) const
{
    return GetSubGroupAt(index);
}

void CBrickGroup::AddBrick(CBrick* brick)
{
    if (!brick)
        return;
    Add(brick);
    NotifyInsert(GetSize());
    UpdateContribution(nullptr, &brick->GetWorldBox());
}

void CBrickGroup::RemoveBrick(CBrick* brick)
{
    // From the back: deleting a group's bricks last first is then linear.
    for (int i = GetSize() - 1; i >= 0; --i) {
        if (GetAt(i) == brick) {
            RemoveAt(i);
            NotifyRemove(i + 1);
            UpdateContribution(&brick->GetWorldBox(), nullptr);
            return;
        }
    }
}

void CBrickGroup::SetParent(CBrickGroup* parent)
{
    for (CBrickGroup* above = parent; above; above = above->m_pParent)
        if (above == this)
            return;

    if (m_pParent) {
        CMyObList* siblings = m_pParent->m_pSubGroups;
        for (int i = 0; i < siblings->GetSize(); ++i) {
            if (siblings->GetAt(i) == this) {
                siblings->RemoveAt(i);
                siblings->NotifyRemove(i + 1);
                break;
            }
        }
        if (m_bStale)
            m_pParent->MarkStale();
        else if (m_bHasBounds)
            m_pParent->UpdateContribution(&m_bounds, nullptr);
    }

    m_pParent = parent;
    m_dwOwner = 0;
    if (!parent) {
        NotifyListeners(NOTIFY_OWNER_REQUEST, reinterpret_cast<LPARAM>(&m_dwOwner));
        return;
    }
    m_dwOwner = parent->GetOwner();
    parent->m_pSubGroups->InsertAt(0, this);
    parent->m_pSubGroups->NotifyInsert(1);
    if (m_bStale)
        parent->MarkStale();
    else if (m_bHasBounds)
        parent->UpdateContribution(nullptr, &m_bounds);
}

void CBrickGroup::DeleteContents()
{
    // Last first: each brick and group takes itself out of its list, and a
    // removal at the end moves nothing.
    {
        CListIterator bricks(this, -1);
        CObject* item = nullptr;
        while (bricks.Prev(item))
            delete item;
    }
    CListIterator groups(m_pSubGroups, -1);
    CObject* item = nullptr;
    while (groups.Prev(item)) {
        if (auto* group = dynamic_cast<CBrickGroup*>(item)) {
            group->DeleteContents();
            delete group;
        }
    }
}

void CBrickGroup::Destroy(BOOL really)
{
    if (!really)
        return;
    DeleteContents();
    delete this;
}

CBox3D CBrickGroup::GetBounds() const
{
    CBox3D bounds;
    BOOL any = FALSE;
    Accumulate(this, bounds, any);
    return bounds;
}

const CBox3D& CBrickGroup::GetCachedBounds() const
{
    Refresh();
    return m_bounds;
}

void CBrickGroup::RecomputeBounds()
{
    for (int i = 0; i < GetSubGroupCount(); ++i)
        if (CBrickGroup* sub = GetSubGroupAt(i))
            sub->RecomputeBounds();
    MarkStale();
    Refresh();
}

void CBrickGroup::UpdateContribution(const CBox3D* before, const CBox3D* after)
{
    if (m_bStale)
        return;
    if (before && m_bHasBounds && MayShrink(m_bounds, *before, after)) {
        MarkStale();
        return;
    }
    // What `before` held is still held by the rest, so the bounds can only grow.
    if (!after)
        return;
    const CBox3D old = m_bounds;
    const BOOL had = m_bHasBounds;
    m_bounds.IncludeBox(*after, had);
    m_bHasBounds = TRUE;
    if (m_pParent && (!had || !(old == m_bounds)))
        m_pParent->UpdateContribution(had ? &old : nullptr, &m_bounds);
}

void CBrickGroup::MarkStale()
{
    for (CBrickGroup* group = this; group && !group->m_bStale; group = group->m_pParent)
        group->m_bStale = TRUE;
}

void CBrickGroup::Refresh() const
{
    if (!m_bStale)
        return;
    CBox3D bounds;
    BOOL any = FALSE;
    for (int i = 0; i < GetSize(); ++i) {
        if (const CBrick* brick = GetBrickAt(i)) {
            bounds.IncludeBox(brick->GetWorldBox(), any);
            any = TRUE;
        }
    }
    for (int i = 0; i < GetSubGroupCount(); ++i) {
        const CBrickGroup* sub = GetSubGroupAt(i);
        if (!sub)
            continue;
        sub->Refresh();
        if (sub->m_bHasBounds) {
            bounds.IncludeBox(sub->m_bounds, any);
            any = TRUE;
        }
    }
    m_bounds = bounds;
    m_bHasBounds = any;
    m_bStale = FALSE;
}

int CBrickGroup::CountSelectedDizado() const
{
    int count = 0;
    for (int i = 0; i < GetSize(); ++i) {
        const CBrick* brick = GetBrickAt(i);
        if (brick && brick->IsSelectedFlag())
            ++count;
    }
    return count;
}

SHORT CBrickGroup::CountSelectedGroups() const
{
    int count = 0;
    for (int i = 0; i < GetSubGroupCount(); ++i) {
        const CBrickGroup* sub = GetSubGroupAt(i);
        if (sub && AnySelectedBelow(sub))
            ++count;
    }
    return static_cast<SHORT>(count);
}

BOOL CBrickGroup::HasSelection() const
{
    return AnySelectedBelow(this) ? TRUE : FALSE;
}

int CBrickGroup::CountSelectedDizadoDeep() const
{
    int count = CountSelectedDizado();
    for (int i = 0; i < GetSubGroupCount(); ++i)
        if (const CBrickGroup* sub = GetSubGroupAt(i))
            count += sub->CountSelectedDizadoDeep();
    return count;
}

void CBrickGroup::SelectAll(BOOL state)
{
    {
        CListIterator bricks(this, 0);
        CObject* item = nullptr;
        while (bricks.Next(item))
            if (auto* brick = dynamic_cast<CBrick*>(item))
                brick->SetSelected(state);
    }
    CListIterator groups(m_pSubGroups, 0);
    CObject* item = nullptr;
    while (groups.Next(item))
        if (auto* group = dynamic_cast<CBrickGroup*>(item))
            group->SelectAll(state);
}

void CBrickGroup::SelectByColor(BOOL state, LONG colour)
{
    CListIterator bricks(this, 0);
    CObject* item = nullptr;
    while (bricks.Next(item))
        if (auto* brick = dynamic_cast<CBrick*>(item))
            brick->SetSelected(brick->GetColorIndex() == colour ? state : !state);
}

void CBrickGroup::Broadcast()
{
    CBroadcastWalker walker(this);
    walker.Walk();
}

CBrickGroup* CBrickGroup::Duplicate(const CPoint3D& offset, CBrickGroup* destination)
{
    CDuplicateWalker walker(this, offset, destination);
    walker.Walk();
    return walker.GetResult();
}

void CBrickGroup::OnBrickNotify(CBrick* brick, UINT code)
{
    // Every cache on the way up already follows the brick's box and its
    // joining and leaving, so the relay only has to reach the root.
    RootOf(this)->NotifyListeners(code, reinterpret_cast<LPARAM>(brick));
}

void CBrickGroup::HoldPaneRebuild(BOOL release)
{
    BOOL value = release;
    RootOf(this)->NotifyListeners(NOTIFY_HOLD_REBUILD, reinterpret_cast<LPARAM>(&value));
}

void CBrickGroup::HoldPaneExtent(BOOL release)
{
    BOOL value = release;
    RootOf(this)->NotifyListeners(NOTIFY_HOLD_EXTENT, reinterpret_cast<LPARAM>(&value));
}

CPaneHold::CPaneHold(CBrickGroup* group, int holds) : m_pGroup(RootOf(group)), m_nHolds(group ? holds & both : 0)
{
    if (m_nHolds & rebuild)
        m_pGroup->HoldPaneRebuild(FALSE);
    if (m_nHolds & extent)
        m_pGroup->HoldPaneExtent(FALSE);
}

void CPaneHold::Release()
{
    if (m_nHolds & extent)
        m_pGroup->HoldPaneExtent(TRUE);
    if (m_nHolds & rebuild)
        m_pGroup->HoldPaneRebuild(TRUE);
    m_nHolds = 0;
}
