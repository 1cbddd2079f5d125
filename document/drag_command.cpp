#include "document/drag_command.h"

#include "document/mouse_pane.h"
#include "platform/gdi/dc.h"
#include "platform/ui/drag_loop.h"
#include "platform/ui/wnd.h"

namespace {

LPARAM PackPoint(POINT p)
{
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

}  // namespace

void CDragCommand::Track(IMousePane* pane, UINT keyFlags, POINT point)
{
    CClientDC dc(pane->GetMouseWindow());
    pane->PrepareMouseDC(&dc);
    m_nKeyFlags = static_cast<WORD>(keyFlags);
    m_pTrackPane = pane;
    BOOL begun = FALSE;
    try {
        BeginDrag(&dc, point.x, point.y);
        begun = TRUE;
        RunLoop();
    } catch (...) {
        // The feedback comes off and the edit is finished where the drag got
        // to, so the model and the undo record agree; then the caller hears.
        if (begun) {
            try {
                EndDrag(m_current.x, m_current.y, m_last.x, m_last.y, m_start.x, m_start.y);
            } catch (...) {
            }
        }
        ReleaseOwnCapture();
        throw;
    }
    try {
        EndDrag(m_current.x, m_current.y, m_last.x, m_last.y, m_start.x, m_start.y);
    } catch (...) {
        ReleaseOwnCapture();
        throw;
    }
    ReleaseOwnCapture();
}

void CDragCommand::BeginDrag(CDC*, int x, int y)
{
    m_start = m_last = m_current = POINT{x, y};
    if (CWnd* wnd = m_pTrackPane->GetMouseWindow(); wnd && wnd->GetSafeHwnd())
        wnd->SetCapture();
}

void CDragCommand::RunLoop()
{
    CWnd* wnd = m_pTrackPane->GetMouseWindow();
    CClientDC dc(wnd);
    m_pTrackPane->PrepareMouseDC(&dc);
    POINT device = m_current;
    dc.LPtoDP(&device);
    LPARAM last = PackPoint(device);
    for (;;) {
        MSG msg;
        platform::GetDragMessage(wnd, last, &msg);
        last = msg.lParam;
        POINT p{static_cast<SHORT>(LOWORD(msg.lParam)), static_cast<SHORT>(HIWORD(msg.lParam))};
        dc.DPtoLP(&p);
        m_current = p;
        if (m_current.x != m_last.x || m_current.y != m_last.y) {
            DragTo(m_current.x, m_current.y, m_last.x, m_last.y, m_start.x, m_start.y);
            m_last = m_current;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP)
            break;
    }
}

void CDragCommand::DragTo(int, int, int, int, int, int) {}

void CDragCommand::EndDrag(int, int, int, int, int, int)
{
    ReleaseOwnCapture();
}

void CDragCommand::ReleaseOwnCapture()
{
    // Only this pane's capture: another window's is not the drag's to end.
    CWnd* wnd = m_pTrackPane ? m_pTrackPane->GetMouseWindow() : nullptr;
    if (wnd && CWnd::GetCapture() == wnd)
        ReleaseCapture();
}
