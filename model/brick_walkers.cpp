#include "model/brick_walkers.h"

#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "model/dizad_oet.h"

CCollectDizadoWalker::CCollectDizadoWalker(CBrickGroup* group, CDizadOet* set, LPARAM argument)
    : CListWalker(group, TRUE, TRUE, FALSE), m_pSet(set), m_argument(argument)
{
}

BOOL CCollectDizadoWalker::VisitBrick(CObject* item)
{
    auto* brick = dynamic_cast<CBrick*>(item);
    if (!brick)
        return TRUE;
    if (m_pSet->AcceptBrick(brick, m_argument))
        m_pSet->CollectBrick(brick, m_argument);
    return FALSE;
}

BOOL CCollectGroupsWalker::WalkGroup(CWalkableGroup* group)
{
    if (group == m_pRoot)
        return WalkGroupDefault(group);
    auto* brickGroup = dynamic_cast<CBrickGroup*>(group);
    if (brickGroup && m_pSet->AcceptGroup(brickGroup, m_argument))
        m_pSet->CollectGroup(brickGroup, m_argument);
    return FALSE;
}

CDetachGroupWalker::CDetachGroupWalker(CBrickGroup* group) : CListWalker(group, TRUE, TRUE, TRUE) {}

BOOL CDetachGroupWalker::VisitBrick(CObject* item)
{
    if (auto* brick = dynamic_cast<CBrick*>(item))
        brick->Notify(NOTIFY_BRICK_LEAVING);
    return FALSE;
}

CAttachGroupWalker::CAttachGroupWalker(CBrickGroup* group) : CListWalker(group, TRUE, TRUE, FALSE) {}

BOOL CAttachGroupWalker::VisitBrick(CObject* item)
{
    if (auto* brick = dynamic_cast<CBrick*>(item)) {
        brick->Notify(NOTIFY_BRICK_JOINED);
        brick->Notify(NOTIFY_POSITION_CHANGED);
    }
    return FALSE;
}

CBroadcastWalker::CBroadcastWalker(CBrickGroup* group) : CListWalker(group, TRUE, TRUE, FALSE), m_pGroup(group) {}

BOOL CBroadcastWalker::VisitBrick(CObject* item)
{
    if (auto* brick = dynamic_cast<CBrick*>(item))
        m_pGroup->OnBrickNotify(brick, NOTIFY_BRICK_BROADCAST);
    return FALSE;
}

CDuplicateWalker::CDuplicateWalker(CBrickGroup* group, const CPoint3D& offset, CBrickGroup* destination)
    : CListWalker(group, FALSE, FALSE, FALSE), m_offset(offset), m_pDestination(destination)
{
}

BOOL CDuplicateWalker::WalkGroup(CWalkableGroup* group)
{
    if (m_copies.count(group))
        return FALSE;
    auto* copy = new CBrickGroup;
    m_copies.insert(copy);
    copy->SetParent(m_pDestination);
    if (!m_pResult)
        m_pResult = copy;
    CBrickGroup* outer = m_pDestination;
    m_pDestination = copy;
    const BOOL stopped = VisitDizado(group) || VisitSubGroups(group);
    m_pDestination = outer;
    return stopped;
}

BOOL CDuplicateWalker::VisitBrick(CObject* item)
{
    if (auto* brick = dynamic_cast<CBrick*>(item))
        brick->Duplicate(m_offset, m_pDestination);
    return FALSE;
}
