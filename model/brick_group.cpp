#include "model/brick_group.h"

#include <algorithm>
#include <utility>
#include <vector>

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

// While a group deletes what lies below it, the one tree change it noted
// covers every brick and group that goes.
int g_nBulkDeletions = 0;

// Visits `top` and every group below it, each before its sub-groups and
// those first to last, as a recursive walk would, but on a stack of its own:
// a tree built in memory may be deeper than the thread's stack allows.
// `visit` answers true to stop, and then so does this.
template <typename Group, typename Visit>
bool AnyInTree(Group* top, Visit visit)
{
    std::vector<Group*> pending{top};
    while (!pending.empty()) {
        Group* group = pending.back();
        pending.pop_back();
        if (visit(group))
            return true;
        for (int i = group->GetSubGroupCount() - 1; i >= 0; --i)
            if (Group* sub = group->GetSubGroupAt(i))
                pending.push_back(sub);
    }
    return false;
}

// The selected bricks of a group's own list, counted one by one.
int ScanSelected(const CBrickGroup* group)
{
    int count = 0;
    for (int i = 0; i < group->GetSize(); ++i) {
        const CBrick* brick = group->GetBrickAt(i);
        if (brick && brick->IsSelectedFlag())
            ++count;
    }
    return count;
}

// The last sub-group that this group owns; entries that are not its groups
// are not its to delete.
CBrickGroup* LastOwnedSubGroup(const CBrickGroup* group)
{
    for (int i = group->GetSubGroupCount() - 1; i >= 0; --i)
        if (CBrickGroup* sub = group->GetSubGroupAt(i); sub && sub->GetParent() == group)
            return sub;
    return nullptr;
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
        // From the back: deletion takes the last sub-group first.
        CMyObList* siblings = m_pParent->m_pSubGroups;
        for (int i = siblings->GetSize() - 1; i >= 0; --i) {
            if (siblings->GetAt(i) == this) {
                siblings->RemoveAt(i);
                siblings->NotifyRemove(i + 1);
                break;
            }
        }
        CBrickGroup* parent = m_pParent;
        m_pParent = nullptr;
        parent->AdjustSelectedBelow(-m_nSelectedBelow);
        if (g_nBulkDeletions == 0)
            ++RootOf(parent)->m_nTreeChanges;
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
    if (brick->IsSelectedFlag())
        OnBrickSelectedChanged(TRUE);
}

void CBrickGroup::NoteSilentChange()
{
    if (g_nBulkDeletions == 0)
        ++RootOf(this)->m_nTreeChanges;
}

void CBrickGroup::AdjustSelectedBelow(int delta)
{
    if (delta == 0)
        return;
    for (CBrickGroup* group = this; group; group = group->m_pParent)
        group->m_nSelectedBelow += delta;
}

void CBrickGroup::RemoveBrick(CBrick* brick)
{
    // From the back: deleting a group's bricks last first is then linear.
    for (int i = GetSize() - 1; i >= 0; --i) {
        if (GetAt(i) == brick) {
            RemoveAt(i);
            NotifyRemove(i + 1);
            UpdateContribution(&brick->GetWorldBox(), nullptr);
            if (brick->IsSelectedFlag())
                OnBrickSelectedChanged(FALSE);
            return;
        }
    }
}

int CBrickGroup::GetDepth() const
{
    int depth = 0;
    for (const CBrickGroup* above = m_pParent; above; above = above->m_pParent)
        ++depth;
    return depth;
}

int CBrickGroup::GetLevelsBelow() const
{
    int deepest = 0;
    std::vector<std::pair<const CBrickGroup*, int>> pending{{this, 0}};
    while (!pending.empty()) {
        const auto [group, level] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, level);
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            if (const CBrickGroup* sub = group->GetSubGroupAt(i))
                pending.emplace_back(sub, level + 1);
    }
    return deepest;
}

BOOL CBrickGroup::CanHoldLevels(int levels) const
{
    return levels <= kMaxDepth - GetDepth() ? TRUE : FALSE;
}

BOOL CBrickGroup::CanHoldSubGroup(const CBrickGroup* group) const
{
    return CanHoldLevels(1 + (group ? group->GetLevelsBelow() : 0));
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
        m_pParent->AdjustSelectedBelow(-m_nSelectedBelow);
        ++RootOf(m_pParent)->m_nTreeChanges;
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
    parent->AdjustSelectedBelow(m_nSelectedBelow);
    ++RootOf(parent)->m_nTreeChanges;
    if (m_bStale)
        parent->MarkStale();
    else if (m_bHasBounds)
        parent->UpdateContribution(nullptr, &m_bounds);
}

void CBrickGroup::DeleteContents()
{
    // Each group's bricks, then its sub-groups deepest first, climbing back
    // by the parent links instead of recursing: a tree built in memory may be
    // far deeper than the stack, and a destructor must not need memory. Last
    // first: each brick and group takes itself out of its list, and a removal
    // at the end moves nothing. A group deleted here has nothing left below
    // it, so its own destructor has nothing to walk.
    ++RootOf(this)->m_nTreeChanges;
    struct Bulk {
        Bulk() { ++g_nBulkDeletions; }
        ~Bulk() { --g_nBulkDeletions; }
    } bulk;
    CBrickGroup* group = this;
    for (;;) {
        {
            CListIterator bricks(group, -1);
            CObject* item = nullptr;
            while (bricks.Prev(item))
                delete item;
        }
        if (CBrickGroup* last = LastOwnedSubGroup(group)) {
            group = last;
            continue;
        }
        if (group == this)
            return;
        CBrickGroup* parent = group->m_pParent;
        delete group;
        group = parent;
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
    AnyInTree(this, [&](const CBrickGroup* group) {
        for (int i = 0; i < group->GetBrickCount(); ++i) {
            if (const CBrick* brick = group->GetBrickAt(i)) {
                bounds.IncludeBox(brick->GetWorldBox(), any);
                any = TRUE;
            }
        }
        return false;
    });
    return bounds;
}

const CBox3D& CBrickGroup::GetCachedBounds() const
{
    Refresh();
    return m_bounds;
}

void CBrickGroup::RecomputeBounds()
{
    AnyInTree(this, [this](CBrickGroup* group) {
        if (group != this)
            group->m_bStale = TRUE;
        return false;
    });
    MarkStale();
    Refresh();
}

void CBrickGroup::UpdateContribution(const CBox3D* before, const CBox3D* after)
{
    // Up the tree one group at a time, for as long as the bounds change.
    CBox3D old;
    for (CBrickGroup* group = this; group; group = group->m_pParent) {
        if (group->m_bStale)
            return;
        if (before && group->m_bHasBounds && MayShrink(group->m_bounds, *before, after)) {
            group->MarkStale();
            return;
        }
        // What `before` held is still held by the rest, so the bounds can only grow.
        if (!after)
            return;
        const CBox3D previous = group->m_bounds;
        const BOOL had = group->m_bHasBounds;
        group->m_bounds.IncludeBox(*after, had);
        group->m_bHasBounds = TRUE;
        if (had && previous == group->m_bounds)
            return;
        old = previous;
        before = had ? &old : nullptr;
        after = &group->m_bounds;
    }
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
    // A fresh group has nothing stale below it, so the stale groups form a
    // tree from here down: listed parents first, recomputed children first.
    std::vector<const CBrickGroup*> stale{this};
    for (size_t next = 0; next < stale.size(); ++next) {
        const CBrickGroup* group = stale[next];
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            if (const CBrickGroup* sub = group->GetSubGroupAt(i); sub && sub->m_bStale)
                stale.push_back(sub);
    }
    for (auto at = stale.rbegin(); at != stale.rend(); ++at) {
        const CBrickGroup* group = *at;
        CBox3D bounds;
        BOOL any = FALSE;
        for (int i = 0; i < group->GetSize(); ++i) {
            if (const CBrick* brick = group->GetBrickAt(i)) {
                bounds.IncludeBox(brick->GetWorldBox(), any);
                any = TRUE;
            }
        }
        for (int i = 0; i < group->GetSubGroupCount(); ++i) {
            const CBrickGroup* sub = group->GetSubGroupAt(i);
            if (sub && sub->m_bHasBounds) {
                bounds.IncludeBox(sub->m_bounds, any);
                any = TRUE;
            }
        }
        group->m_bounds = bounds;
        group->m_bHasBounds = any;
        group->m_bStale = FALSE;
    }
}

int CBrickGroup::CountSelectedDizado() const
{
    return m_nSelectedOwn;
}

SHORT CBrickGroup::CountSelectedGroups() const
{
    int count = 0;
    for (int i = 0; i < GetSubGroupCount(); ++i) {
        const CBrickGroup* sub = GetSubGroupAt(i);
        if (sub && sub->m_nSelectedBelow > 0)
            ++count;
    }
    return static_cast<SHORT>(count);
}

BOOL CBrickGroup::HasSelection() const
{
    return m_nSelectedBelow > 0 ? TRUE : FALSE;
}

int CBrickGroup::CountSelectedDizadoDeep() const
{
    int count = 0;
    AnyInTree(this, [&](const CBrickGroup* group) {
        count += ScanSelected(group);
        return false;
    });
    return count;
}

void CBrickGroup::SelectAll(BOOL state)
{
    AnyInTree(this, [state](CBrickGroup* group) {
        CListIterator bricks(group, 0);
        CObject* item = nullptr;
        while (bricks.Next(item))
            if (auto* brick = dynamic_cast<CBrick*>(item))
                brick->SetSelected(state);
        return false;
    });
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
