#include "document/detached_set.h"

#include "model/brick.h"
#include "model/brick_group.h"

CDetachedSet::Snapshot CDetachedSet::TakeSnapshot() const
{
    Snapshot items;
    for (int i = 0; i < m_pOwner->GetBrickCount(); ++i)
        items.insert(m_pOwner->GetBrickAt(i));
    for (int i = 0; i < m_pOwner->GetSubGroupCount(); ++i)
        items.insert(m_pOwner->GetSubGroupAt(i));
    return items;
}

void CDetachedSet::CollectAdded(const Snapshot& before)
{
    for (int i = 0; i < m_pOwner->GetBrickCount(); ++i)
        if (CBrick* brick = m_pOwner->GetBrickAt(i); brick && !before.count(brick))
            CollectBrick(brick, 0);
    for (int i = 0; i < m_pOwner->GetSubGroupCount(); ++i)
        if (CBrickGroup* group = m_pOwner->GetSubGroupAt(i); group && !before.count(group))
            CollectGroup(group, 0);
}

void CDetachedSet::Flip(BOOL& present)
{
    try {
        if (present)
            DetachAll(0);
        else
            AttachAll(0);
        present = present ? FALSE : TRUE;
    } catch (...) {
        KeepDetachedOnly();
        present = FALSE;
        throw;
    }
}

void CDetachedSet::KeepDetachedOnly()
{
    for (int i = 0; i < GetSize(); ++i) {
        auto* brick = dynamic_cast<CBrick*>(GetAt(i));
        if (brick && brick->GetOwner())
            SetAt(i, nullptr);
    }
    for (int i = 0; i < m_pGroups->GetSize(); ++i) {
        auto* group = dynamic_cast<CBrickGroup*>(m_pGroups->GetAt(i));
        if (group && group->GetParent())
            m_pGroups->SetAt(i, nullptr);
    }
}
