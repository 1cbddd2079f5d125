#include "document/ungroup_command.h"

#include <utility>

#include "document/hold_guard.h"
#include "model/brick.h"
#include "model/brick_group.h"

CUngroupDizadoCommand::CUngroupDizadoCommand(CBrickGroup* root) : CBrickCommand(labelUngroup), m_pRoot(root) {}

CUngroupDizadoCommand::~CUngroupDizadoCommand()
{
    if (!m_bDissolved)
        return;
    for (const Dissolved& entry : m_dissolved)
        if (!entry.group->GetParent())
            delete entry.group;
}

void CUngroupDizadoCommand::Do()
{
    // Every member of a group goes, selected or not (a group selected in
    // part is reachable through automation): nothing may be lost with it.
    for (int i = 0; i < m_pRoot->GetSubGroupCount(); ++i) {
        CBrickGroup* group = m_pRoot->GetSubGroupAt(i);
        if (!group || !group->HasSelection())
            continue;
        Dissolved entry{group, {}, {}};
        for (int b = 0; b < group->GetBrickCount(); ++b)
            if (CBrick* brick = group->GetBrickAt(b))
                entry.bricks.push_back(brick);
        for (int g = 0; g < group->GetSubGroupCount(); ++g)
            if (CBrickGroup* sub = group->GetSubGroupAt(g))
                entry.groups.push_back(sub);
        m_dissolved.push_back(std::move(entry));
    }
    Dissolve();
}

void CUngroupDizadoCommand::Toggle()
{
    if (IsUndone())
        Dissolve();
    else
        Rebuild();
    CBrickCommand::Toggle();
}

void CUngroupDizadoCommand::Dissolve()
{
    CPaneHold hold(m_pRoot);
    CBrickInvalidationPause pause;
    m_bDissolved = TRUE;
    for (const Dissolved& entry : m_dissolved) {
        for (CBrick* brick : entry.bricks)
            brick->SetOwner(m_pRoot);
        for (auto sub = entry.groups.rbegin(); sub != entry.groups.rend(); ++sub)
            (*sub)->SetParent(m_pRoot);
        entry.group->SetParent(nullptr);
    }
    m_pRoot->RecomputeBounds();
}

void CUngroupDizadoCommand::Rebuild()
{
    CPaneHold hold(m_pRoot);
    CBrickInvalidationPause pause;
    // Back in reverse, so that the rebuilt groups keep their order among
    // themselves; each returns as the root's first sub-group, ahead of groups
    // the command did not touch.
    for (auto entry = m_dissolved.rbegin(); entry != m_dissolved.rend(); ++entry) {
        entry->group->SetParent(m_pRoot);
        for (CBrick* brick : entry->bricks)
            brick->SetOwner(entry->group);
        for (auto sub = entry->groups.rbegin(); sub != entry->groups.rend(); ++sub)
            (*sub)->SetParent(entry->group);
    }
    m_bDissolved = FALSE;
    m_pRoot->RecomputeBounds();
}
