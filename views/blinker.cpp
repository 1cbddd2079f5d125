#include "views/blinker.h"

#include "platform/gdi/dc.h"
#include "platform/ui/app.h"
#include "views/brick_pane.h"

CBlinker::CBlinker(SHORT interval) : m_dwLastTick(CBrickPane::TickCount()), m_nInterval(interval)
{
}

CBlinker::~CBlinker()
{
    m_region.Empty();
}

BOOL CBlinker::HasOutline() const
{
    const RECT& r = m_region.GetBounds();
    return !m_region.IsEmpty() && r.right > r.left && r.bottom > r.top;
}

void CBlinker::Draw(CDC* dc)
{
    if (!m_pOwner)
        return;
    if (!m_bShown || !HasOutline())
        return;
    if (dc) {
        m_pOwner->OnPrepareDC(dc, nullptr);
        m_region.DrawOutline(dc, static_cast<COLORREF>(-1), 2, kPhaseColours[m_nPhase ? 1 : 0]);
        return;
    }
    m_pOwner->WithClientDC([this](CDC* client) {
        m_region.DrawOutline(client, static_cast<COLORREF>(-1), 2, kPhaseColours[m_nPhase ? 1 : 0]);
    });
}

BOOL CBlinker::Show(BOOL show, BOOL apply)
{
    const BOOL previous = m_bShown;
    if ((show ? TRUE : FALSE) == m_bShown || !apply)
        return previous;
    if (m_bShown)
        Draw(nullptr);
    m_bShown = show ? TRUE : FALSE;
    if (m_bShown)
        Draw(nullptr);
    return previous;
}

void CBlinker::SetTarget(CBrickPane* owner, const CRegion* region)
{
    m_pOwner = owner;
    Draw(nullptr);
    if (region)
        m_region = *region;
    else
        m_region.Empty();
    m_nPhase = 0;
    Draw(nullptr);
    // The outline may come without a message (a call over the bus) after the
    // idle passes stopped for want of one.
    if (HasOutline())
        platform::IdleDue(0);
}

void CBlinker::Offset(int dx, int dy)
{
    Draw(nullptr);
    m_region.OffsetX(static_cast<SHORT>(dx));
    m_region.OffsetY(static_cast<SHORT>(dy));
    Draw(nullptr);
}

void CBlinker::OnTick()
{
    if (!HasOutline())
        return;
    const DWORD now = CBrickPane::TickCount();
    // An unsigned difference keeps blinking across the counter's wrap.
    if (static_cast<DWORD>(now - m_dwLastTick) <= static_cast<DWORD>(m_nInterval))
        return;
    m_dwLastTick = now;
    Draw(nullptr);
    m_nPhase = m_nPhase >= 1 ? 0 : static_cast<SHORT>(m_nPhase + 1);
    Draw(nullptr);
}

int CBlinker::UntilNextFlip() const
{
    if (!HasOutline())
        return -1;
    const DWORD elapsed = CBrickPane::TickCount() - m_dwLastTick;
    const DWORD interval = static_cast<DWORD>(m_nInterval);
    return elapsed > interval ? 0 : static_cast<int>(interval + 1 - elapsed);
}
