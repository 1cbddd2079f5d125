#include "views/pane_window.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/rgn.h"
#include "platform/ui/cursor.h"

IMPLEMENT_DYNAMIC(CPaneWindow, CView)

namespace {
CNotifier* g_pApplication = nullptr;
}

void CPaneWindow::GetPaneClientRect(RECT* rect) const
{
    if (HasWindow()) {
        GetClientRect(rect);
        return;
    }
    *rect = RECT{0, 0, m_drawWidth, m_drawHeight};
}

void CPaneWindow::SetDrawingSize(int width, int height)
{
    m_drawWidth = width > 0 ? width : 0;
    m_drawHeight = height > 0 ? height : 0;
}

void CPaneWindow::WithClientDC(const std::function<void(CDC*)>& draw)
{
    if (!HasWindow())
        return;
    CClientDC dc(this);
    OnPrepareDC(&dc);
    draw(&dc);
}

void CPaneWindow::WithDeviceDC(const std::function<void(CDC*)>& draw)
{
    if (!HasWindow())
        return;
    CClientDC dc(this);
    draw(&dc);
}

void CPaneWindow::InvalidateDeviceRect(const RECT* rect, BOOL erase)
{
    InvalidateRect(rect, erase);
}

BOOL CPaneWindow::InvalidateDevicePolygon(const POINT* points, int count)
{
    CRgn region;
    if (!region.CreatePolygonRgn(points, count, WINDING))
        return FALSE;
    InvalidateRgn(&region, FALSE);
    region.DeleteObject();
    return TRUE;
}

BOOL CPaneWindow::MeetsClient(const RECT& r) const
{
    RECT client;
    GetPaneClientRect(&client);
    return r.left < r.right && r.top < r.bottom && r.left < client.right && r.right > client.left &&
           r.top < client.bottom && r.bottom > client.top;
}

void CPaneWindow::SetPaneCapture()
{
    if (HasWindow())
        SetCapture();
}

void CPaneWindow::ReleasePaneCapture()
{
    if (HasWindow() && GetCapture() == this)
        ReleaseCapture();
}

void CPaneWindow::BeginWait()
{
    if (HasWindow())
        BeginWaitCursor();
}

void CPaneWindow::EndWait()
{
    if (HasWindow())
        EndWaitCursor();
}

void CPaneWindow::NudgeCursor()
{
    if (!HasWindow())
        return;
    POINT p;
    if (!GetCursorPos(&p))
        return;
    SetCursorPos(p.x + 1, p.y);
    SetCursorPos(p.x, p.y);
}

void CPaneWindow::SetApplicationNotifier(CNotifier* application)
{
    g_pApplication = application;
}

CNotifier* CPaneWindow::GetApplicationNotifier()
{
    return g_pApplication;
}
