#include "document/add_brick_command.h"

#include "document/mouse_pane.h"
#include "foundation/notification_codes.h"
#include "foundation/sound_player.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/hooks.h"

CAddBrickCommand::CAddBrickCommand(IMousePane* pane, int x, int y, UINT keyFlags, SHORT classId, LONG colour,
                                   SHORT pose, SHORT orientation)
    : CPlaceDizadoCommand(pane, labelAdd, 2, 1)
{
    CBrick* hit = nullptr;
    CPoint3D p;
    if (!m_pPane->HitTest(POINT{x, y}, &hit) || !hit) {
        m_pPane->ScreenToGrid(&p, x, y, 0, 2);
    } else {
        const CBox3D h = hit->GetWorldBox();
        m_pPane->ScreenToGrid(&p, x, y, h.Max().Z(), 2);
        if (!h.Contains(p)) {
            // The pointer is over the brick's side: nowhere to put a brick.
            MessageBeep(0);
            return;
        }
    }
    // The model's Make closes its own extent hold; this one stays open over
    // the drag that follows, so the panes redraw once for both.
    m_pRoot->HoldPaneExtent(FALSE);
    m_bHoldsOpen = TRUE;
    try {
        m_pBrick = CBrick::Make(m_pRoot, p, classId, colour, pose, orientation);
        PlaySoundEffect("newb");
        SelectClicked(keyFlags, m_pBrick);
    } catch (...) {
        m_pRoot->HoldPaneExtent(TRUE);
        m_bHoldsOpen = FALSE;
        throw;
    }
    m_pRoot->HoldPaneRebuild(FALSE);
}

CAddBrickCommand::~CAddBrickCommand()
{
    CloseHolds();
    if (m_pBrick && !m_bPresent)
        delete m_pBrick;
}

void CAddBrickCommand::CloseHolds()
{
    if (!m_bHoldsOpen)
        return;
    m_bHoldsOpen = FALSE;
    m_pRoot->HoldPaneExtent(TRUE);
    m_pRoot->HoldPaneRebuild(TRUE);
}

void CAddBrickCommand::BeginDrag(CDC* dc, int x, int y)
{
    if (m_pBrick)
        CPlaceDizadoCommand::BeginDrag(dc, x, y);
}

void CAddBrickCommand::DragTo(int x, int y, int lastX, int lastY, int startX, int startY)
{
    if (m_pBrick)
        CPlaceDizadoCommand::DragTo(x, y, lastX, lastY, startX, startY);
}

void CAddBrickCommand::EndDrag(int x, int y, int lastX, int lastY, int startX, int startY)
{
    if (!m_pBrick)
        return;
    try {
        CPlaceDizadoCommand::EndDrag(x, y, lastX, lastY, startX, startY);
    } catch (...) {
        CloseHolds();
        throw;
    }
    CloseHolds();
}

void CAddBrickCommand::Toggle()
{
    if (m_pBrick) {
        CPaneHold hold(m_pRoot);
        if (m_bPresent) {
            m_pBrick->Detach();
            m_bPresent = FALSE;
        } else {
            m_pBrick->SetOwner(m_pRoot);
            m_pBrick->Notify(NOTIFY_POSITION_CHANGED);
            m_pBrick->OnCreated();
            m_bPresent = TRUE;
        }
    }
    CPlaceDizadoCommand::Toggle();
}
