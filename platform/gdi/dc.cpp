#include "platform/gdi/dc.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr uint32_t kColourBits = 0x00FFFFFFu;

// Applies raster operation `rop` bitwise: the four bits of rop - 1 give the
// result for (pen, destination) = (0,0), (0,1), (1,0), (1,1).
inline uint32_t Mix(int rop, uint32_t pen, uint32_t dst)
{
    const unsigned table = static_cast<unsigned>(rop - 1);
    uint32_t result = 0;
    if (table & 1u)
        result |= ~pen & ~dst;
    if (table & 2u)
        result |= ~pen & dst;
    if (table & 4u)
        result |= pen & ~dst;
    if (table & 8u)
        result |= pen & dst;
    return platform::Surface::kOpaque | (result & kColourBits);
}

}  // namespace

CDC::CDC()
{
    SelectObject(CPen::BlackPen());
}

CDC::CDC(platform::Surface* surface) : CDC()
{
    m_surface = surface;
}

CPen* CDC::SelectObject(CPen* pen)
{
    if (!pen)
        return nullptr;
    CPen* previous = m_pen;
    m_pen = pen;
    m_penStyle = pen->IsCreated() ? pen->GetStyle() : PS_NULL;
    m_penPixel = platform::Surface::ToPixel(pen->GetColor());
    return previous;
}

int CDC::SetROP2(int mode)
{
    if (mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    const int previous = m_rop2;
    m_rop2 = mode;
    return previous;
}

POINT CDC::MoveTo(int x, int y)
{
    const POINT previous = m_position;
    m_position = POINT{x, y};
    return previous;
}

BOOL CDC::LineTo(int x, int y)
{
    const POINT from = m_position;
    m_position = POINT{x, y};
    if (!m_surface || m_penStyle == PS_NULL)
        return TRUE;

    if (from.y == y) {
        // Rows are most of what the program draws (region fills and outlines).
        if (from.x < x)
            PlotPenRow(from.x, x, y);
        else if (from.x > x)
            PlotPenRow(x + 1LL, from.x + 1LL, y);
        return TRUE;
    }

    // Bresenham over the major axis; the loop stops before the end point.
    // 64-bit so that any pair of 32-bit coordinates steps without overflow.
    const long long dx = std::llabs(static_cast<long long>(x) - from.x);
    const long long dy = std::llabs(static_cast<long long>(y) - from.y);
    const int sx = x > from.x ? 1 : -1;
    const int sy = y > from.y ? 1 : -1;
    long long px = from.x;
    long long py = from.y;
    const long long steps = std::max(dx, dy);
    long long error = (dx > dy ? dx : -dy) / 2;
    const long long width = m_surface->Width();
    const long long height = m_surface->Height();
    for (long long i = 0; i < steps; ++i) {
        if (px >= 0 && py >= 0 && px < width && py < height)
            PlotPenPixel(static_cast<int>(px), static_cast<int>(py));
        const long long e = error;
        if (e > -dx) {
            error -= dy;
            px += sx;
        }
        if (e < dy) {
            error += dx;
            py += sy;
        }
    }
    return TRUE;
}

void CDC::PlotPenPixel(int x, int y)
{
    uint32_t& pixel = m_surface->ScanLine(y)[x];
    pixel = Mix(m_rop2, m_penPixel, pixel);
}

void CDC::PlotPenRow(long long x0, long long x1, int y)
{
    if (y < 0 || y >= m_surface->Height())
        return;
    const long long width = m_surface->Width();
    const int first = static_cast<int>(std::clamp(x0, 0LL, width));
    const int end = static_cast<int>(std::clamp(x1, 0LL, width));
    uint32_t* row = m_surface->ScanLine(y);
    for (int x = first; x < end; ++x)
        row[x] = Mix(m_rop2, m_penPixel, row[x]);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    return m_surface ? m_surface->GetPixel(x, y) : CLR_INVALID;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour)
{
    if (!m_surface || !m_surface->Contains(x, y))
        return CLR_INVALID;
    m_surface->SetPixel(x, y, colour);
    return colour & kColourBits;
}
