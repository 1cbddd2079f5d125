#include "platform/gdi/dc.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#include "platform/gdi/raster_ops.h"

namespace {

using platform::raster::Mix;
using platform::raster::Wide;

// Device coordinates stay within this, so that sums and differences of them
// never overflow and lines far off the surface cost nothing.
constexpr int64_t kFar = int64_t(1) << 40;

int64_t Saturate(Wide v)
{
    return v > kFar ? kFar : v < -kFar ? -kFar : static_cast<int64_t>(v);
}

LONG Clamp32(int64_t v)
{
    return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

Wide Abs(Wide v)
{
    return v < 0 ? -v : v;
}

// (v - fromOrg) * toExt / fromExt + toOrg, rounded half away from zero.
int64_t Scale(int64_t v, LONG fromOrg, LONG fromExt, LONG toExt, LONG toOrg)
{
    const Wide n = (Wide(v) - fromOrg) * toExt;
    Wide q = n / fromExt;
    const Wide r = n % fromExt;
    if (2 * Abs(r) >= Abs(fromExt))
        q += (n < 0) != (fromExt < 0) ? -1 : 1;
    return Saturate(q + toOrg);
}

// ceil(n / d) for d > 0.
Wide CeilDiv(Wide n, Wide d)
{
    return n <= 0 ? -((-n) / d) : (n + d - 1) / d;
}

}  // namespace

CDC::CDC()
{
    m_state.palette = CPalette::DefaultPalette();
    SelectObject(CBrush::StockBrush(WHITE_BRUSH));
    SelectObject(CPen::BlackPen());
    SelectObject(CFont::SystemFont());
}

CDC::CDC(platform::Surface* surface) : CDC()
{
    m_surface = surface;
}

CDC::~CDC()
{
    DeleteDC();
}

void CDC::SetSurface(platform::Surface* surface)
{
    m_surface = surface;
    ClipChanged();
}

BOOL CDC::CreateCompatibleDC(CDC*)
{
    if (m_surface)
        return FALSE;
    m_memory = true;
    m_bitmap = CBitmap::StockBitmap();
    SetSurface(m_bitmap->GetSurface());
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (m_memory && m_bitmap && m_bitmap != CBitmap::StockBitmap())
        m_bitmap->m_selectedInto = nullptr;
    m_bitmap = nullptr;
    m_memory = false;
    SetSurface(nullptr);
    return TRUE;
}

void CDC::Touch(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    if (!m_surface || left >= right || top >= bottom)
        return;
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, m_surface->Width());
    bottom = std::min<int64_t>(bottom, m_surface->Height());
    if (left >= right || top >= bottom)
        return;
    if (m_drawn.Empty()) {
        m_drawn = Box{left, top, right, bottom};
        return;
    }
    m_drawn.left = std::min(m_drawn.left, left);
    m_drawn.top = std::min(m_drawn.top, top);
    m_drawn.right = std::max(m_drawn.right, right);
    m_drawn.bottom = std::max(m_drawn.bottom, bottom);
}

RECT CDC::GetDrawnBounds() const
{
    if (m_drawn.Empty())
        return RECT{};
    return RECT{static_cast<LONG>(m_drawn.left), static_cast<LONG>(m_drawn.top), static_cast<LONG>(m_drawn.right),
                static_cast<LONG>(m_drawn.bottom)};
}

void CDC::SetVisibleRegion(const CRgn* region)
{
    if (region) {
        auto copy = std::make_shared<CRgn>();
        copy->CopyRgn(region);
        m_visible = std::move(copy);
    } else {
        m_visible.reset();
    }
    ClipChanged();
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    if (!bitmap || !m_memory || !bitmap->GetSurface())
        return nullptr;
    CBitmap* stock = CBitmap::StockBitmap();
    if (bitmap != stock && bitmap->m_selectedInto && bitmap->m_selectedInto != this)
        return nullptr;
    CBitmap* previous = m_bitmap;
    if (previous && previous != stock)
        previous->m_selectedInto = nullptr;
    m_bitmap = bitmap;
    if (bitmap != stock)
        bitmap->m_selectedInto = this;
    SetSurface(bitmap->GetSurface());
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (!brush)
        return nullptr;
    m_state.brushFills = brush->IsCreated() && !brush->IsHollow();
    m_state.brushColour = brush->GetColor();
    return std::exchange(m_state.brush, brush);
}

CFont* CDC::SelectObject(CFont* font)
{
    if (!font)
        return nullptr;
    m_state.fontAttributes = font->GetAttributes();
    return std::exchange(m_state.font, font);
}

CGdiObject* CDC::SelectStockObject(int index)
{
    if (CPen* pen = CPen::StockPen(index))
        return SelectObject(pen);
    if (CBrush* brush = CBrush::StockBrush(index))
        return SelectObject(brush);
    return nullptr;
}

int CDC::GetDeviceCaps(int index) const
{
    if (!m_surface)
        return 0;
    const int64_t w = m_surface->Width();
    const int64_t h = m_surface->Height();
    const int64_t dpiX = m_surface->DotsPerInchX();
    const int64_t dpiY = m_surface->DotsPerInchY();
    switch (index) {
    case HORZRES:
        return static_cast<int>(w);
    case VERTRES:
        return static_cast<int>(h);
    case HORZSIZE:  // millimetres, rounded
        return static_cast<int>((w * 254 + dpiX * 5) / (dpiX * 10));
    case VERTSIZE:
        return static_cast<int>((h * 254 + dpiY * 5) / (dpiY * 10));
    case LOGPIXELSX:
        return static_cast<int>(dpiX);
    case LOGPIXELSY:
        return static_cast<int>(dpiY);
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case SIZEPALETTE:
    case NUMRESERVED:
        return 0;
    case COLORRES:
        return 24;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    default:
        return 0;
    }
}

// --- Objects ------------------------------------------------------------------

CPen* CDC::SelectObject(CPen* pen)
{
    if (!pen)
        return nullptr;
    CPen* previous = m_state.pen;
    m_state.pen = pen;
    m_state.penStyle = pen->IsCreated() ? pen->GetStyle() : PS_NULL;
    m_state.penColour = pen->GetColor();
    UpdatePenPixel();
    return previous;
}

CPalette* CDC::SelectPalette(CPalette* palette, BOOL /*forceBackground*/)
{
    if (!palette)
        return nullptr;
    CPalette* previous = m_state.palette;
    m_state.palette = palette;
    UpdatePenPixel();
    return previous;
}

UINT CDC::RealizePalette()
{
    return m_state.palette ? m_state.palette->GetEntryCount() : 0;
}

COLORREF CDC::GetNearestColor(COLORREF colour) const
{
    if ((colour >> 24) == 0x01)
        return m_state.palette ? m_state.palette->ColourOf(colour & 0xFFFF) : RGB(0, 0, 0);
    return colour & platform::raster::kColourBits;
}

void CDC::UpdatePenPixel()
{
    m_state.penPixel = PixelOf(m_state.penColour);
}

int CDC::SetROP2(int mode)
{
    if (mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    return std::exchange(m_state.rop2, mode);
}

COLORREF CDC::SetBkColor(COLORREF colour)
{
    return std::exchange(m_state.bkColour, colour);
}

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(m_state.bkMode, mode);
}

COLORREF CDC::SetTextColor(COLORREF colour)
{
    return std::exchange(m_state.textColour, colour);
}

int CDC::SetStretchBltMode(int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return std::exchange(m_state.stretchMode, mode);
}

int CDC::SaveDC()
{
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

BOOL CDC::RestoreDC(int level)
{
    const int64_t saved = static_cast<int64_t>(m_saved.size());
    const int64_t target = level < 0 ? saved + 1 + level : level;
    if (target < 1 || target > saved)
        return FALSE;
    m_state = m_saved[static_cast<size_t>(target - 1)];
    m_saved.resize(static_cast<size_t>(target - 1));
    ClipChanged();
    // The palette's entries may have changed since the save.
    UpdatePenPixel();
    return TRUE;
}

// --- Mapping ------------------------------------------------------------------

int CDC::SetMapMode(int mode)
{
    if (mode != MM_TEXT && mode != MM_ISOTROPIC && mode != MM_ANISOTROPIC)
        return 0;
    const int previous = std::exchange(m_state.mapMode, mode);
    if (mode == MM_TEXT) {
        m_state.windowExt = SIZE{1, 1};
        m_state.viewportExt = SIZE{1, 1};
    } else if (mode == MM_ISOTROPIC) {
        AdjustIsotropic();
    }
    return previous;
}

POINT CDC::SetWindowOrg(int x, int y)
{
    return std::exchange(m_state.windowOrg, POINT{x, y});
}

POINT CDC::SetViewportOrg(int x, int y)
{
    return std::exchange(m_state.viewportOrg, POINT{x, y});
}

SIZE CDC::SetWindowExt(int cx, int cy)
{
    if (m_state.mapMode == MM_TEXT)
        return m_state.windowExt;
    if (cx == 0 || cy == 0)
        return SIZE{0, 0};
    const SIZE previous = std::exchange(m_state.windowExt, SIZE{cx, cy});
    if (m_state.mapMode == MM_ISOTROPIC)
        AdjustIsotropic();
    return previous;
}

SIZE CDC::SetViewportExt(int cx, int cy)
{
    if (m_state.mapMode == MM_TEXT)
        return m_state.viewportExt;
    if (cx == 0 || cy == 0)
        return SIZE{0, 0};
    const SIZE previous = std::exchange(m_state.viewportExt, SIZE{cx, cy});
    if (m_state.mapMode == MM_ISOTROPIC)
        AdjustIsotropic();
    return previous;
}

void CDC::AdjustIsotropic()
{
    const int64_t wx = std::abs(int64_t{m_state.windowExt.cx});
    const int64_t wy = std::abs(int64_t{m_state.windowExt.cy});
    const int64_t vx = std::abs(int64_t{m_state.viewportExt.cx});
    const int64_t vy = std::abs(int64_t{m_state.viewportExt.cy});
    // The scales are vx / wx and vy / wy; the larger one gives way. The new
    // extent is below the old one, so it fits.
    if (vx * wy > vy * wx) {
        const int64_t x = std::max<int64_t>(1, vy * wx / wy);
        m_state.viewportExt.cx = static_cast<LONG>(m_state.viewportExt.cx < 0 ? -x : x);
    } else if (vx * wy < vy * wx) {
        const int64_t y = std::max<int64_t>(1, vx * wy / wx);
        m_state.viewportExt.cy = static_cast<LONG>(m_state.viewportExt.cy < 0 ? -y : y);
    }
}

int64_t CDC::MapX(int64_t x) const
{
    const State& s = m_state;
    return Scale(x, s.windowOrg.x, s.windowExt.cx, s.viewportExt.cx, s.viewportOrg.x);
}

int64_t CDC::MapY(int64_t y) const
{
    const State& s = m_state;
    return Scale(y, s.windowOrg.y, s.windowExt.cy, s.viewportExt.cy, s.viewportOrg.y);
}

int64_t CDC::UnmapX(int64_t x) const
{
    const State& s = m_state;
    return Scale(x, s.viewportOrg.x, s.viewportExt.cx, s.windowExt.cx, s.windowOrg.x);
}

int64_t CDC::UnmapY(int64_t y) const
{
    const State& s = m_state;
    return Scale(y, s.viewportOrg.y, s.viewportExt.cy, s.windowExt.cy, s.windowOrg.y);
}

void CDC::LPtoDP(POINT* points, int count) const
{
    for (int i = 0; points && i < count; ++i)
        points[i] = POINT{Clamp32(MapX(points[i].x)), Clamp32(MapY(points[i].y))};
}

void CDC::LPtoDP(RECT* rect) const
{
    if (rect)
        *rect = RECT{Clamp32(MapX(rect->left)), Clamp32(MapY(rect->top)), Clamp32(MapX(rect->right)),
                     Clamp32(MapY(rect->bottom))};
}

void CDC::DPtoLP(POINT* points, int count) const
{
    for (int i = 0; points && i < count; ++i)
        points[i] = POINT{Clamp32(UnmapX(points[i].x)), Clamp32(UnmapY(points[i].y))};
}

void CDC::DPtoLP(RECT* rect) const
{
    if (rect)
        *rect = RECT{Clamp32(UnmapX(rect->left)), Clamp32(UnmapY(rect->top)), Clamp32(UnmapX(rect->right)),
                     Clamp32(UnmapY(rect->bottom))};
}

CDC::Box CDC::MapBox(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const
{
    const int64_t dx0 = MapX(x0);
    const int64_t dx1 = MapX(x1);
    const int64_t dy0 = MapY(y0);
    const int64_t dy1 = MapY(y1);
    return Box{std::min(dx0, dx1), std::min(dy0, dy1), std::max(dx0, dx1), std::max(dy0, dy1)};
}

// --- Clipping -----------------------------------------------------------------

const std::vector<CDC::Box>& CDC::ClipRects() const
{
    // A window's surface may be resized while a context on it lives.
    const int width = m_surface ? m_surface->Width() : 0;
    const int height = m_surface ? m_surface->Height() : 0;
    if (m_clipValid && width == m_clipWidth && height == m_clipHeight)
        return m_clipRects;
    m_clipValid = true;
    m_clipWidth = width;
    m_clipHeight = height;
    m_clipRects.clear();
    Box box;
    if (m_surface) {
        box.right = m_surface->Width();
        box.bottom = m_surface->Height();
    }
    if (m_state.clipped) {
        box.left = std::max(box.left, m_state.clipLeft);
        box.top = std::max(box.top, m_state.clipTop);
        box.right = std::min(box.right, m_state.clipRight);
        box.bottom = std::min(box.bottom, m_state.clipBottom);
    }
    if (box.Empty())
        return m_clipRects;
    if (!m_state.clipRgn && !m_visible) {
        m_clipRects.push_back(box);
        return m_clipRects;
    }
    // The box lies within the surface, so it fits 32 bits.
    CRgn area;
    area.CreateRectRgn(static_cast<int>(box.left), static_cast<int>(box.top), static_cast<int>(box.right),
                       static_cast<int>(box.bottom));
    if (m_state.clipRgn)
        area.CombineRgn(&area, m_state.clipRgn.get(), RGN_AND);
    if (m_visible)
        area.CombineRgn(&area, m_visible.get(), RGN_AND);
    for (const RECT& r : area.GetRects())
        m_clipRects.push_back(Box{r.left, r.top, r.right, r.bottom});
    return m_clipRects;
}

CDC::Box CDC::ClipBox() const
{
    const std::vector<Box>& rects = ClipRects();
    if (rects.empty())
        return Box{};
    Box box = rects.front();
    for (const Box& r : rects) {
        box.left = std::min(box.left, r.left);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    return box;
}

int CDC::ClipResult() const
{
    const size_t n = ClipRects().size();
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool CDC::Visible(int64_t x, int64_t y) const
{
    for (const Box& r : ClipRects())
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom)
{
    const Box box = MapBox(left, top, right, bottom);
    State& s = m_state;
    if (!s.clipped) {
        s.clipped = true;
        s.clipLeft = box.left;
        s.clipTop = box.top;
        s.clipRight = box.right;
        s.clipBottom = box.bottom;
    } else {
        s.clipLeft = std::max(s.clipLeft, box.left);
        s.clipTop = std::max(s.clipTop, box.top);
        s.clipRight = std::min(s.clipRight, box.right);
        s.clipBottom = std::min(s.clipBottom, box.bottom);
    }
    ClipChanged();
    return ClipResult();
}

int CDC::IntersectClipRect(const RECT* rect)
{
    if (!rect)
        return RGN_ERROR;
    return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom);
}

int CDC::SelectClipRect(const RECT* deviceRect)
{
    State& s = m_state;
    s.clipped = deviceRect != nullptr;
    if (deviceRect) {
        s.clipLeft = std::min(deviceRect->left, deviceRect->right);
        s.clipTop = std::min(deviceRect->top, deviceRect->bottom);
        s.clipRight = std::max(deviceRect->left, deviceRect->right);
        s.clipBottom = std::max(deviceRect->top, deviceRect->bottom);
    }
    s.clipRgn.reset();
    ClipChanged();
    return ClipResult();
}

int CDC::SelectClipRgn(const CRgn* region)
{
    State& s = m_state;
    s.clipped = false;
    if (region) {
        auto copy = std::make_shared<CRgn>();
        copy->CopyRgn(region);
        s.clipRgn = std::move(copy);
    } else {
        s.clipRgn.reset();
    }
    ClipChanged();
    return ClipResult();
}

int CDC::GetClipBox(RECT* rect) const
{
    if (!rect)
        return RGN_ERROR;
    const Box box = ClipBox();
    if (box.Empty()) {
        *rect = RECT{};
        return NULLREGION;
    }
    const int64_t x0 = UnmapX(box.left);
    const int64_t x1 = UnmapX(box.right);
    const int64_t y0 = UnmapY(box.top);
    const int64_t y1 = UnmapY(box.bottom);
    *rect = RECT{Clamp32(std::min(x0, x1)), Clamp32(std::min(y0, y1)), Clamp32(std::max(x0, x1)),
                 Clamp32(std::max(y0, y1))};
    return ClipResult();
}

int CDC::GetClipRects(std::vector<RECT>* deviceRects) const
{
    const std::vector<Box>& rects = ClipRects();
    if (deviceRects) {
        deviceRects->clear();
        // Every box lies within the surface, so it fits 32 bits.
        for (const Box& b : rects)
            deviceRects->push_back(RECT{static_cast<LONG>(b.left), static_cast<LONG>(b.top), static_cast<LONG>(b.right),
                                        static_cast<LONG>(b.bottom)});
    }
    return static_cast<int>(rects.size());
}

BOOL CDC::RectVisible(const RECT* rect) const
{
    if (!rect)
        return FALSE;
    const Box box = MapBox(rect->left, rect->top, rect->right, rect->bottom);
    for (const Box& r : ClipRects())
        if (std::max(box.left, r.left) < std::min(box.right, r.right) &&
            std::max(box.top, r.top) < std::min(box.bottom, r.bottom))
            return TRUE;
    return FALSE;
}

// --- Lines and pixels -----------------------------------------------------------

POINT CDC::MoveTo(int x, int y)
{
    return std::exchange(m_state.position, POINT{x, y});
}

BOOL CDC::LineTo(int x, int y)
{
    const POINT from = std::exchange(m_state.position, POINT{x, y});
    if (m_surface && m_state.penStyle != PS_NULL)
        DrawDeviceLine(MapX(from.x), MapY(from.y), MapX(x), MapY(y));
    return TRUE;
}

void CDC::DrawDeviceLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1)
{
    Touch(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1);
    // The clip rectangles are disjoint, so each pixel is drawn once.
    for (const Box& clip : ClipRects())
        DrawDeviceLineIn(x0, y0, x1, y1, clip);
}

void CDC::DrawDeviceLineIn(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Box& clip)
{
    if (y0 == y1) {
        // Rows are most of what the program draws (region fills and outlines).
        if (x0 < x1)
            PlotPenRow(x0, x1, y0, clip);
        else if (x0 > x1)
            PlotPenRow(x1 + 1, x0 + 1, y0, clip);
        return;
    }

    // Bresenham over the major axis, stopping before the end point, in closed
    // form so that only the steps inside the clip box are visited. Step i of M
    // moves the minor axis ceil((i * m - M / 2) / M) times, which is where the
    // classic error term (started at M / 2) puts it.
    const int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1;
    const int64_t dy = y1 > y0 ? y1 - y0 : y0 - y1;
    const int64_t sx = x1 > x0 ? 1 : -1;
    const int64_t sy = y1 > y0 ? 1 : -1;
    const bool xMajor = dx > dy;
    const int64_t major = xMajor ? dx : dy;
    const int64_t minor = xMajor ? dy : dx;
    const int64_t start = xMajor ? x0 : y0;
    const int64_t step = xMajor ? sx : sy;
    const int64_t low = xMajor ? clip.left : clip.top;
    const int64_t high = xMajor ? clip.right : clip.bottom;
    // Steps whose major coordinate start + step * i lies in [low, high).
    int64_t first = step > 0 ? low - start : start - high + 1;
    int64_t end = step > 0 ? high - start : start - low + 1;
    first = std::max<int64_t>(first, 0);
    end = std::min(end, major);
    const uint32_t pen = m_state.penPixel;
    const unsigned table = static_cast<unsigned>(m_state.rop2 - 1);
    for (int64_t i = first; i < end; ++i) {
        const int64_t k = static_cast<int64_t>(CeilDiv(Wide(i) * minor - major / 2, major));
        const int64_t px = xMajor ? x0 + sx * i : x0 + sx * k;
        const int64_t py = xMajor ? y0 + sy * k : y0 + sy * i;
        if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom)
            continue;
        uint32_t& pixel = m_surface->ScanLine(static_cast<int>(py))[px];
        pixel = Mix(table, pen, pixel);
    }
}

void CDC::PlotPenRow(int64_t x0, int64_t x1, int64_t y, const Box& clip)
{
    if (y < clip.top || y >= clip.bottom)
        return;
    const int64_t first = std::max(x0, clip.left);
    const int64_t end = std::min(x1, clip.right);
    const uint32_t pen = m_state.penPixel;
    const unsigned table = static_cast<unsigned>(m_state.rop2 - 1);
    uint32_t* row = m_surface->ScanLine(static_cast<int>(y));
    for (int64_t x = first; x < end; ++x)
        row[x] = Mix(table, pen, row[x]);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (!m_surface)
        return CLR_INVALID;
    const int64_t dx = MapX(x);
    const int64_t dy = MapY(y);
    if (!Visible(dx, dy))
        return CLR_INVALID;
    return platform::Surface::ToColour(m_surface->ScanLine(static_cast<int>(dy))[dx]);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour)
{
    if (!m_surface)
        return CLR_INVALID;
    const int64_t dx = MapX(x);
    const int64_t dy = MapY(y);
    if (!Visible(dx, dy))
        return CLR_INVALID;
    const COLORREF drawn = GetNearestColor(colour);
    Touch(dx, dy, dx + 1, dy + 1);
    m_surface->ScanLine(static_cast<int>(dy))[dx] = platform::Surface::ToPixel(drawn);
    return drawn;
}

// --- Fills ----------------------------------------------------------------------

void CDC::FillBox(const Box& box, uint32_t pixel)
{
    if (!m_surface)
        return;
    Touch(box.left, box.top, box.right, box.bottom);
    for (const Box& clip : ClipRects()) {
        const int64_t left = std::max(box.left, clip.left);
        const int64_t right = std::min(box.right, clip.right);
        for (int64_t y = std::max(box.top, clip.top); y < std::min(box.bottom, clip.bottom) && left < right; ++y) {
            uint32_t* row = m_surface->ScanLine(static_cast<int>(y));
            std::fill(row + left, row + right, pixel);
        }
    }
}

void CDC::MixBox(const Box& box, uint32_t pixel)
{
    if (!m_surface)
        return;
    const unsigned table = static_cast<unsigned>(m_state.rop2 - 1);
    if (table == 0xC) {
        FillBox(box, pixel);
        return;
    }
    Touch(box.left, box.top, box.right, box.bottom);
    for (const Box& clip : ClipRects()) {
        const int64_t left = std::max(box.left, clip.left);
        const int64_t right = std::min(box.right, clip.right);
        for (int64_t y = std::max(box.top, clip.top); y < std::min(box.bottom, clip.bottom) && left < right; ++y) {
            uint32_t* row = m_surface->ScanLine(static_cast<int>(y));
            for (int64_t x = left; x < right; ++x)
                row[x] = Mix(table, pixel, row[x]);
        }
    }
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom)
{
    if (!m_surface)
        return TRUE;
    const Box box = MapBox(left, top, right, bottom);
    const bool pen = m_state.penStyle != PS_NULL;
    const bool fill = m_state.brushFills;
    const uint32_t brush = PixelOf(m_state.brushColour);
    if (!pen) {
        if (fill)
            MixBox(Box{box.left, box.top, box.right - 1, box.bottom - 1}, brush);
        return TRUE;
    }
    if (box.Empty())
        return TRUE;
    if (fill)
        MixBox(Box{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, brush);
    // The border, each pixel once: top and bottom rows whole, then the sides
    // between them.
    MixBox(Box{box.left, box.top, box.right, box.top + 1}, m_state.penPixel);
    if (box.bottom - 1 > box.top)
        MixBox(Box{box.left, box.bottom - 1, box.right, box.bottom}, m_state.penPixel);
    MixBox(Box{box.left, box.top + 1, box.left + 1, box.bottom - 1}, m_state.penPixel);
    if (box.right - 1 > box.left)
        MixBox(Box{box.right - 1, box.top + 1, box.right, box.bottom - 1}, m_state.penPixel);
    return TRUE;
}

BOOL CDC::Rectangle(const RECT* rect)
{
    if (!rect)
        return FALSE;
    return Rectangle(rect->left, rect->top, rect->right, rect->bottom);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour)
{
    if (!rect)
        return;
    m_state.bkColour = colour;
    FillBox(MapBox(rect->left, rect->top, rect->right, rect->bottom), PixelOf(colour));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour)
{
    m_state.bkColour = colour;
    FillBox(MapBox(x, y, int64_t{x} + cx, int64_t{y} + cy), PixelOf(colour));
}

void CDC::FillRect(const RECT* rect, CBrush* brush)
{
    if (!rect || !brush || !brush->IsCreated())
        return;
    FillBox(MapBox(rect->left, rect->top, rect->right, rect->bottom), PixelOf(brush->GetColor()));
}
