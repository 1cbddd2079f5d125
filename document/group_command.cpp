#include "document/group_command.h"

#include <algorithm>
#include <vector>

#include "document/hold_guard.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/hooks.h"

CGroupDizadoCommand::CGroupDizadoCommand(CBrickGroup* root) : CBrickCommand(labelGroup), m_pRoot(root) {}

BOOL CGroupDizadoCommand::CanGroup(const CBrickGroup* root)
{
    if (!root)
        return FALSE;
    int levels = 1;
    for (int i = 0; i < root->GetSubGroupCount(); ++i)
        if (const CBrickGroup* group = root->GetSubGroupAt(i); group && group->HasSelection())
            levels = std::max(levels, 2 + group->GetLevelsBelow());
    return root->CanHoldLevels(levels);
}

void CGroupDizadoCommand::Do()
{
    if (!CanGroup(m_pRoot)) {
        MessageBeep(0);
        return;
    }
    {
        CPaneHold hold(m_pRoot);
        m_pNewGroup = new CBrickGroup;
        m_pNewGroup->SetParent(m_pRoot);
        CBrickInvalidationPause pause;

        // Gathered first: moving a member changes the list being read.
        std::vector<CBrick*> bricks;
        for (int i = 0; i < m_pRoot->GetBrickCount(); ++i)
            if (CBrick* brick = m_pRoot->GetBrickAt(i); brick && brick->IsSelectedFlag())
                bricks.push_back(brick);
        std::vector<CBrickGroup*> groups;
        for (int i = 0; i < m_pRoot->GetSubGroupCount(); ++i)
            if (CBrickGroup* group = m_pRoot->GetSubGroupAt(i); group && group != m_pNewGroup && group->HasSelection())
                groups.push_back(group);

        for (CBrick* brick : bricks)
            brick->SetOwner(m_pNewGroup);
        // In reverse, so that the groups keep their order under the new one.
        for (auto group = groups.rbegin(); group != groups.rend(); ++group)
            (*group)->SetParent(m_pNewGroup);
        m_pRoot->RecomputeBounds();
    }
    SetPerformed(1);
}

void CGroupDizadoCommand::Toggle()
{
    if (IsUndone())
        Do();
    else
        Ungroup();
    CBrickCommand::Toggle();
}

void CGroupDizadoCommand::Ungroup()
{
    if (!m_pNewGroup)
        return;
    CPaneHold hold(m_pRoot);
    CBrickInvalidationPause pause;
    // Everything the group holds goes back, selected or not: the group is
    // destroyed afterwards and would take anything left with it.
    while (CBrick* brick = m_pNewGroup->GetBrickAt(0))
        brick->SetOwner(m_pRoot);
    while (CBrickGroup* group = m_pNewGroup->GetSubGroupAt(m_pNewGroup->GetSubGroupCount() - 1))
        group->SetParent(m_pRoot);
    delete m_pNewGroup;
    m_pNewGroup = nullptr;
    m_pRoot->RecomputeBounds();
}
