#include "model/dizad_oet.h"

#include "foundation/list_iterator.h"
#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_walkers.h"

IMPLEMENT_DYNAMIC(CDizadOet, CMyObList)

CDizadOet::CDizadOet(CBrickGroup* owner, int mode) : m_pOwner(owner), m_pGroups(new CMyObList), m_nMode(mode) {}

CDizadOet::~CDizadOet()
{
    delete m_pGroups;
}

LPARAM CDizadOet::Collect(LPARAM argument)
{
    if (!m_pOwner)
        return 0;
    if (m_nMode == modeGroups) {
        CCollectGroupsWalker walker(m_pOwner, this, argument);
        walker.Walk();
    } else {
        CCollectDizadoWalker walker(m_pOwner, this, argument);
        walker.Walk();
    }
    return 0;
}

void CDizadOet::Traverse(BrickAccept acceptBrick, BrickHook brickHook, GroupAccept acceptGroup, GroupHook groupHook,
                         LPARAM argument, bool dropHandled)
{
    {
        CListIterator members(this, 0);
        CObject* item = nullptr;
        while (members.Next(item)) {
            auto* brick = dynamic_cast<CBrick*>(item);
            if (!brick || !(this->*acceptBrick)(brick, argument))
                continue;
            (this->*brickHook)(brick, argument);
            if (dropHandled && members.GetCurrentPosition() > 0)
                SetItemAt(members.GetCurrentPosition(), nullptr);
        }
    }
    CListIterator members(m_pGroups, 0);
    CObject* item = nullptr;
    while (members.Next(item)) {
        auto* group = dynamic_cast<CBrickGroup*>(item);
        if (!group || !(this->*acceptGroup)(group, argument))
            continue;
        (this->*groupHook)(group, argument);
        if (dropHandled && members.GetCurrentPosition() > 0)
            m_pGroups->SetItemAt(members.GetCurrentPosition(), nullptr);
    }
}

LPARAM CDizadOet::DeleteAll(LPARAM argument)
{
    // A deleted member must not stay behind as a dangling entry.
    Traverse(&CDizadOet::AcceptBrickForDelete, &CDizadOet::DeleteBrick, &CDizadOet::AcceptGroupForDelete,
             &CDizadOet::DeleteGroup, argument, true);
    return 0;
}

LPARAM CDizadOet::ApplyAll(LPARAM argument)
{
    Traverse(&CDizadOet::AcceptBrickForApply, &CDizadOet::ApplyBrick, &CDizadOet::AcceptGroupForApply,
             &CDizadOet::ApplyGroup, argument);
    return 0;
}

LPARAM CDizadOet::DetachAll(LPARAM argument)
{
    Traverse(&CDizadOet::AcceptBrickForDetach, &CDizadOet::DetachBrick, &CDizadOet::AcceptGroupForDetach,
             &CDizadOet::DetachGroup, argument);
    return 0;
}

LPARAM CDizadOet::AttachAll(LPARAM argument)
{
    Traverse(&CDizadOet::AcceptBrickForAttach, &CDizadOet::AttachBrick, &CDizadOet::AcceptGroupForAttach,
             &CDizadOet::AttachGroup, argument);
    return 0;
}

LPARAM CDizadOet::SetSelection(BOOL state)
{
    {
        CListIterator members(this, 0);
        CObject* item = nullptr;
        while (members.Next(item))
            if (auto* brick = dynamic_cast<CBrick*>(item))
                brick->SetSelected(state);
    }
    CListIterator members(m_pGroups, 0);
    CObject* item = nullptr;
    while (members.Next(item))
        if (auto* group = dynamic_cast<CBrickGroup*>(item))
            group->SelectAll(state);
    return 0;
}

BOOL CDizadOet::AcceptGroup(CBrickGroup* group, LPARAM)
{
    return group->HasSelection();
}

BOOL CDizadOet::AcceptBrick(CBrick* brick, LPARAM)
{
    return brick->IsSelectedFlag();
}

LPARAM CDizadOet::CollectGroup(CBrickGroup* group, LPARAM)
{
    m_pGroups->Add(group);
    m_pGroups->NotifyInsert(m_pGroups->GetSize());
    return 0;
}

LPARAM CDizadOet::CollectBrick(CBrick* brick, LPARAM)
{
    Add(brick);
    NotifyInsert(GetSize());
    return 0;
}

BOOL CDizadOet::AcceptGroupForDelete(CBrickGroup*, LPARAM)
{
    return TRUE;
}

BOOL CDizadOet::AcceptBrickForDelete(CBrick*, LPARAM)
{
    return TRUE;
}

LPARAM CDizadOet::DeleteGroup(CBrickGroup* group, LPARAM)
{
    group->DeleteContents();
    delete group;
    return 0;
}

LPARAM CDizadOet::DeleteBrick(CBrick* brick, LPARAM)
{
    delete brick;
    return 0;
}

BOOL CDizadOet::AcceptGroupForApply(CBrickGroup*, LPARAM)
{
    return TRUE;
}

BOOL CDizadOet::AcceptBrickForApply(CBrick*, LPARAM)
{
    return TRUE;
}

LPARAM CDizadOet::ApplyGroup(CBrickGroup*, LPARAM)
{
    return 0;
}

LPARAM CDizadOet::ApplyBrick(CBrick*, LPARAM)
{
    return 0;
}

BOOL CDizadOet::AcceptGroupForDetach(CBrickGroup*, LPARAM)
{
    return TRUE;
}

BOOL CDizadOet::AcceptBrickForDetach(CBrick*, LPARAM)
{
    return TRUE;
}

LPARAM CDizadOet::DetachGroup(CBrickGroup* group, LPARAM)
{
    CDetachGroupWalker walker(group);
    walker.Walk();
    group->SetParent(nullptr);
    return 0;
}

LPARAM CDizadOet::DetachBrick(CBrick* brick, LPARAM)
{
    brick->Detach();
    return 0;
}

BOOL CDizadOet::AcceptGroupForAttach(CBrickGroup*, LPARAM)
{
    return TRUE;
}

BOOL CDizadOet::AcceptBrickForAttach(CBrick*, LPARAM)
{
    return TRUE;
}

LPARAM CDizadOet::AttachGroup(CBrickGroup* group, LPARAM)
{
    group->SetParent(m_pOwner);
    CAttachGroupWalker walker(group);
    walker.Walk();
    return 0;
}

LPARAM CDizadOet::AttachBrick(CBrick* brick, LPARAM)
{
    brick->SetOwner(m_pOwner);
    brick->Notify(NOTIFY_POSITION_CHANGED);
    return 0;
}
