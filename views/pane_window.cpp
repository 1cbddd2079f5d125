#include "views/pane_window.h"

#include "platform/gdi/dc.h"

IMPLEMENT_DYNAMIC(CPaneWindow, CView)

namespace {
CNotifier* g_pApplication = nullptr;
}

void CPaneWindow::OnPrepareDC(CDC*, CPrintInfo*) {}

void CPaneWindow::GetPaneClientRect(RECT* rect) const
{
    *rect = RECT{0, 0, m_drawWidth, m_drawHeight};
}

void CPaneWindow::SetDrawingSize(int width, int height)
{
    m_drawWidth = width > 0 ? width : 0;
    m_drawHeight = height > 0 ? height : 0;
}

void CPaneWindow::WithClientDC(const std::function<void(CDC*)>&) {}

void CPaneWindow::WithDeviceDC(const std::function<void(CDC*)>&) {}

void CPaneWindow::InvalidateDeviceRect(const RECT*, BOOL) {}

BOOL CPaneWindow::InvalidateDevicePolygon(const POINT*, int)
{
    return TRUE;
}

BOOL CPaneWindow::MeetsClient(const RECT& r) const
{
    RECT client;
    GetPaneClientRect(&client);
    return r.left < client.right && r.right > client.left && r.top < client.bottom && r.bottom > client.top &&
           r.left < r.right && r.top < r.bottom;
}

void CPaneWindow::SetPaneCapture() {}
void CPaneWindow::ReleasePaneCapture() {}
void CPaneWindow::BeginWait() {}
void CPaneWindow::EndWait() {}
void CPaneWindow::NudgeCursor() {}

void CPaneWindow::SetApplicationNotifier(CNotifier* application)
{
    g_pApplication = application;
}

CNotifier* CPaneWindow::GetApplicationNotifier()
{
    return g_pApplication;
}
