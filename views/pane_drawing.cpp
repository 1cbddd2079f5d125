// How a pane paints and what it invalidates.
#include <vector>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "views/baseplate_cells.h"
#include "views/brick_pane.h"
#include "views/draw_walkers.h"
#include "views/pane_walkers.h"

namespace {

constexpr int kInvalidationMargin = 4;
constexpr int kExtentMargin = 20;

// Copies a surface to a context unscaled, as a bitmap copy does: a 32-bit
// top-down picture of the same pixels.
void CopySurface(CDC* dc, const platform::Surface& surface, int x, int y)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = surface.Width();
    info.bmiHeader.biHeight = -surface.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc->StretchDIBits(x, y, surface.Width(), surface.Height(), 0, 0, surface.Width(), surface.Height(),
                      surface.Bits(), &info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace

void CBrickPane::OnDraw(CDC* dc)
{
    m_bPaintPending = TRUE;
    CPalette* previous = GetPalette() ? dc->SelectPalette(GetPalette(), FALSE) : nullptr;
    bool draw = true;
    if (dc->IsPrinting()) {
        dc->RealizePalette();
        RECT client;
        GetPaneClientRect(&client);
        const int width = client.right - client.left;
        const int height = client.bottom - client.top;
        const int pageWidth = dc->GetDeviceCaps(HORZRES);
        const int pageHeight = dc->GetDeviceCaps(VERTRES);
        // A pane of no size has nothing to scale to the page.
        if (width <= 0 || height <= 0 || pageWidth <= 0 || pageHeight <= 0) {
            draw = false;
        } else {
            dc->SetMapMode(MM_ISOTROPIC);
            dc->SetWindowExt(width, height);
            dc->SetViewportExt(pageWidth, pageHeight);
            const SIZE granted = dc->GetViewportExt();
            dc->SetViewportOrg((pageWidth - granted.cx) / 2, (pageHeight - granted.cy) / 2);
        }
    }
    if (draw)
        Redraw(dc, GetBrickList());
    if (draw && !dc->IsPrinting() && m_bSelectionAfterPaint)
        PaintLayer([&] { m_blinker.Draw(dc); });
    if (previous)
        dc->SelectPalette(previous, FALSE);
    m_bPaintPending = FALSE;
}

void CBrickPane::DrawPreview(CDC* dc)
{
    const BOOL saved = m_bSelectionAfterPaint;
    m_bSelectionAfterPaint = FALSE;
    OnDraw(dc);
    m_bSelectionAfterPaint = saved;
}

void CBrickPane::Redraw(CDC* dc, CBrickGroup*)
{
    if (m_bOutlineActive)
        EndCapture();
    BeginWait();
    RECT clip;
    dc->GetClipBox(&clip);
    const int width = clip.right - clip.left;
    const int height = clip.bottom - clip.top;
    bool offscreen = false;
    // Only 1:1 targets: a picture scaled into a preview or a page is drawn
    // straight onto it.
    if (!dc->IsPrinting() && dc->GetMapMode() == MM_TEXT && width > 0 && height > 0 && width <= kOffscreenLimit &&
        height <= kOffscreenLimit) {
        // Background and baseplate of a small area come whole from a bitmap.
        platform::Surface bitmap(width, height);
        CDC memory(&bitmap);
        if (GetPalette())
            memory.SelectPalette(GetPalette(), FALSE);
        memory.SetViewportOrg(-clip.left, -clip.top);
        PaintLayer([&] { DrawBackground(&memory, clip); });
        PaintLayer([&] { DrawBaseplate(&memory, clip); });
        memory.SetViewportOrg(0, 0);
        const POINT corner = [&] {
            POINT p{clip.left, clip.top};
            dc->LPtoDP(&p);
            return p;
        }();
        // The copy goes to device pixels; the context's mapping is 1:1 here.
        const POINT savedWindow = dc->SetWindowOrg(0, 0);
        const POINT savedViewport = dc->SetViewportOrg(0, 0);
        CopySurface(dc, bitmap, corner.x, corner.y);
        dc->SetWindowOrg(savedWindow);
        dc->SetViewportOrg(savedViewport);
        offscreen = true;
    }
    if (!offscreen) {
        PaintLayer([&] { DrawBackground(dc, clip); });
        PaintLayer([&] { DrawBaseplate(dc, clip); });
    }
    PaintLayer([&] { DrawDizado(dc, clip, 0, 0); });
    EndWait();
    NudgeCursor();
}

void CBrickPane::DrawBackground(CDC* dc, const RECT& clip)
{
    COLORREF colour = RGB(255, 255, 255);
    if (!dc->IsPrinting() && m_pDocument)
        colour = m_pDocument->GetBackgroundRGB() & 0xFFFFFF;
    // A rectangle drawn with a pen and a brush of one colour: the whole clip
    // rectangle, border included, takes it.
    dc->FillSolidRect(&clip, 0x02000000u | colour);
}

void CBrickPane::DrawBaseplate(CDC*, const RECT&) {}

void CBrickPane::DrawDizado(CDC* dc, const RECT& clip, SHORT filter, SHORT)
{
    if (!m_pDocument)
        return;
    if (m_drawMode == DrawMode::fast) {
        DrawDizadoFast(dc, clip, filter);
        return;
    }
    CBrickDrawWalker walker(this, clip, filter, 0);
    walker.SetTarget(dc);
    walker.Walk();
}

void CBrickPane::DrawBrick(CBrick* brick, CDC* dc, const CRegion& paint)
{
    RECT rect;
    ProjectBox(&rect, brick->GetWorldBox());
    brick->Draw(dc, paint, rect);
}

void CBrickPane::InvalidateBrick(CBrick* brick)
{
    InvalidateBrickRect(brick);
}

void CBrickPane::InvalidateBrickRect(CBrick* brick)
{
    if (!brick || !brick->GetListFlag())
        return;
    RECT r = BuildBoxRegion(brick->GetWorldBox()).GetBounds();
    r.left -= kInvalidationMargin;
    r.top -= kInvalidationMargin;
    r.right += kInvalidationMargin;
    r.bottom += kInvalidationMargin;
    InvalidateLogicalRect(r, FALSE);
}

void CBrickPane::InvalidateLogicalRect(const RECT& rect, BOOL erase)
{
    RECT device = rect;
    WithClientDC([&device](CDC* dc) { dc->LPtoDP(&device); });
    // Only an invalidation the window will paint holds the new-brick tool back.
    if (MeetsClient(device))
        m_bPaintPending = TRUE;
    InvalidateDeviceRect(&device, erase);
}

void CBrickPane::InvalidateAll()
{
    RECT client;
    GetPaneClientRect(&client);
    if (client.right > client.left && client.bottom > client.top)
        m_bPaintPending = TRUE;
    InvalidateDeviceRect(nullptr, FALSE);
}

RECT CBrickPane::GetLogicalClientRect()
{
    RECT r;
    GetPaneClientRect(&r);
    WithClientDC([&r](CDC* dc) { dc->DPtoLP(&r); });
    return r;
}

void CBrickPane::UpdateChangedArea()
{
    if (m_nExtentHolds != 0)
        return;
    const RECT old = GetLogicalClientRect();
    RECT ground;
    ProjectBox(&ground, CBox3D(0, 0, -1, 16, 16, 0));
    RECT extent = GetKeptDizadoRect();
    UnionRects(&extent, ground);
    extent.left -= kExtentMargin;
    extent.top -= kExtentMargin;
    extent.right += kExtentMargin;
    extent.bottom += kExtentMargin;
    UnionRects(&extent, old);
    RECT client;
    GetPaneClientRect(&client);
    if (extent.left != client.left || extent.top != client.top || extent.right != client.right ||
        extent.bottom != client.bottom)
        SetExtent(extent);
}

void CBrickPane::OnUpdate(CView*, LPARAM hint, CObject*)
{
    RECT client;
    GetPaneClientRect(&client);
    if (hint == IDM_SHOW_BASEPLATE) {
        if (!m_pDocument)
            return;
        const SIZE size = m_pDocument->GetBaseplateSize();
        const long long w = 8LL * size.cx;
        const long long h = 8LL * size.cy;
        if (w < 0 || h < 0)
            return;
        POINT p1, p0, p2, ex, ey;
        ProjectXYZ(&p1, 1, 1, 1);
        ProjectXYZ(&p0, 0, 0, 0);
        ProjectXYZ(&p2, 2, 0, 0);
        ProjectXYZ(&ex, 1, 0, 0);
        ProjectXYZ(&ey, 0, 1, 0);
        const LONG dy = p0.y - p1.y;
        const LONG half = (p2.x - p1.x) / 2;
        ex = POINT{ex.x - p0.x, ex.y - p0.y};
        ey = POINT{ey.x - p0.x, ey.y - p0.y};
        // Only the cells that can meet the visible area are invalidated.
        const RECT area = GetLogicalClientRect();
        baseplate::ForEachCell(w, h, p0, ex, ey, RECT{-half, 0, half + 2, dy}, area,
                               [&](long long, long long, const RECT& cell) { InvalidateLogicalRect(cell, FALSE); });
        return;
    }
    if (hint == IDM_FILE_NEW) {
        m_blinker.SetTarget(this, nullptr);
        m_extent.Forget();
    }
    InvalidateLogicalRect(client, FALSE);
}
