#include "views/pane_window.h"

#include <algorithm>

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
    // The window's update region is clipped to its client area: a polygon
    // wholly outside it adds nothing, and a model has many such.
    if (HasWindow() && count > 0) {
        RECT client;
        GetClientRect(&client);
        LONG left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
        for (int i = 1; i < count; ++i) {
            left = std::min(left, points[i].x);
            right = std::max(right, points[i].x);
            top = std::min(top, points[i].y);
            bottom = std::max(bottom, points[i].y);
        }
        // With room for the rectangle a failed polygon falls back to.
        constexpr LONG kRoom = 8;
        if (left >= client.right + kRoom || right < client.left - kRoom || top >= client.bottom + kRoom ||
            bottom < client.top - kRoom)
            return TRUE;
    }
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
