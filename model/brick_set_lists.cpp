#include "model/brick_set_lists.h"

#include "model/brick.h"
#include "model/brick_group.h"

CBrickBoundsList::CBrickBoundsList(CBrickGroup* owner) : CDizadOet(owner, modeDizado) {}

LPARAM CBrickBoundsList::CollectBrick(CBrick* brick, LPARAM argument)
{
    m_box.IncludeBox(brick->GetWorldBox(), m_bFirstDone);
    m_bFirstDone = TRUE;
    return CDizadOet::CollectBrick(brick, argument);
}

CDuplicateBrickList::CDuplicateBrickList(CBrickGroup* owner, const CPoint3D& offset, CBrickGroup* destination)
    : CDizadOet(owner, modeGroups), m_pDestination(destination), m_offset(offset)
{
}

LPARAM CDuplicateBrickList::ApplyGroup(CBrickGroup* group, LPARAM)
{
    CBrickGroup* copy = group->Duplicate(m_offset, m_pDestination);
    group->SelectAll(FALSE);
    if (copy)
        copy->SelectAll(TRUE);
    return reinterpret_cast<LPARAM>(copy);
}

LPARAM CDuplicateBrickList::ApplyBrick(CBrick* brick, LPARAM)
{
    CBrick* copy = brick->Duplicate(m_offset, m_pDestination);
    brick->SetSelected(FALSE);
    copy->SetSelected(TRUE);
    return reinterpret_cast<LPARAM>(copy);
}

CColorBrickList::CColorBrickList(CBrickGroup* owner) : CDizadOet(owner, modeDizado) {}

LPARAM CColorBrickList::CollectBrick(CBrick* brick, LPARAM argument)
{
    m_savedColors.push_back(brick->GetColorIndex());
    return CDizadOet::CollectBrick(brick, argument);
}

LPARAM CColorBrickList::ApplyAll(LPARAM colour)
{
    m_nRestoreIndex = 0;
    return CDizadOet::ApplyAll(colour);
}

LPARAM CColorBrickList::ApplyBrick(CBrick* brick, LPARAM colour)
{
    if (colour) {
        brick->ChangeColor(*reinterpret_cast<const SHORT*>(colour));
    } else if (m_nRestoreIndex < m_savedColors.size()) {
        brick->ChangeColor(m_savedColors[m_nRestoreIndex++]);
    }
    return 0;
}

LPARAM CNudgeBrickList::ApplyBrick(CBrick* brick, LPARAM offset)
{
    if (offset)
        brick->ChangePosition(*brick->GetPositionPtr() + *reinterpret_cast<const CPoint3D*>(offset));
    return 0;
}
