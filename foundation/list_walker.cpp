#include "foundation/list_walker.h"

#include "foundation/iterable_list.h"
#include "foundation/list_iterator.h"
#include "platform/core/object.h"

BOOL CListWalker::Walk()
{
    return WalkGroup(m_pRoot);
}

BOOL CListWalker::WalkGroup(CWalkableGroup* group)
{
    return WalkGroupDefault(group);
}

BOOL CListWalker::VisitBrick(CObject*)
{
    return FALSE;
}

BOOL CListWalker::VisitDizado(CWalkableGroup* group)
{
    CIterableList* items = group ? group->GetItemList() : nullptr;
    if (!items)
        return FALSE;
    CListIterator iterator(items, m_bBackward ? -1 : 0);
    CObject* item = nullptr;
    while (m_bBackward ? iterator.Prev(item) : iterator.Next(item)) {
        if (VisitBrick(item))
            return TRUE;
    }
    return FALSE;
}

BOOL CListWalker::VisitSubGroups(CWalkableGroup* group)
{
    CIterableList* subGroups = group ? group->GetSubGroupList() : nullptr;
    if (!subGroups)
        return FALSE;
    CListIterator iterator(subGroups, m_bBackward ? -1 : 0);
    CObject* item = nullptr;
    while (m_bBackward ? iterator.Prev(item) : iterator.Next(item)) {
        auto* subGroup = dynamic_cast<CWalkableGroup*>(item);
        if (subGroup && WalkGroup(subGroup))
            return TRUE;
    }
    return FALSE;
}

BOOL CListWalker::WalkGroupDefault(CWalkableGroup* group)
{
    if (!group)
        return FALSE;
    if (m_bVisit && VisitDizado(group))
        return TRUE;
    if (m_bRecurse)
        return VisitSubGroups(group);
    return FALSE;
}
