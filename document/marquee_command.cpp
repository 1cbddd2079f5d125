#include "document/marquee_command.h"

#include <algorithm>

#include "document/dizado_doc.h"
#include "document/mouse_pane.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"

CMarqueeCommand::CMarqueeCommand(IMousePane* pane, UINT keyFlags)
    : CDragCommand(labelNone), m_pPane(pane), m_nPressFlags(static_cast<WORD>(keyFlags))
{
}

RECT CMarqueeCommand::Normalized(int x1, int y1, int x2, int y2)
{
    const int ax = static_cast<SHORT>(x1);
    const int ay = static_cast<SHORT>(y1);
    const int bx = static_cast<SHORT>(x2);
    const int by = static_cast<SHORT>(y2);
    return RECT{std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

void CMarqueeCommand::DrawFrame(const RECT& r)
{
    m_pDC->MoveTo(r.left, r.top);
    m_pDC->LineTo(r.right, r.top);
    m_pDC->LineTo(r.right, r.bottom);
    m_pDC->LineTo(r.left, r.bottom);
    m_pDC->LineTo(r.left, r.top);
}

void CMarqueeCommand::BeginDrag(CDC* dc, int x, int y)
{
    CDragCommand::BeginDrag(dc, x, y);
    m_rect = RECT{x, y, x, y};
    m_pDC = dc;
    m_pPane->PrepareMouseDC(dc);
    m_nPreviousRop = dc->SetROP2(R2_NOT);
    DrawFrame(m_rect);
}

void CMarqueeCommand::DragTo(int x, int y, int, int, int startX, int startY)
{
    const RECT next = Normalized(startX, startY, x, y);
    if (EqualRect(&next, &m_rect))
        return;
    DrawFrame(m_rect);
    DrawFrame(next);
    m_rect = next;
}

void CMarqueeCommand::EndDrag(int x, int y, int lastX, int lastY, int startX, int startY)
{
    CDragCommand::EndDrag(x, y, lastX, lastY, startX, startY);
    DrawFrame(m_rect);
    m_pDC->SetROP2(m_nPreviousRop);
    const RECT r = Normalized(startX, startY, x, y);
    const BOOL extend = (m_nPressFlags & 4) != 0;
    CBrickGroup* root = m_pPane->GetMouseDocument()->GetBrickList();
    CPaneHold hold(root, CPaneHold::rebuild);
    m_pPane->SelectInRect(r, extend);
}
