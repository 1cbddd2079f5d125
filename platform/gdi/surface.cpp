#include "platform/gdi/surface.h"

#include <algorithm>

namespace platform {

Surface::Surface(int width, int height, COLORREF fill)
{
    Resize(width, height, fill);
}

void Surface::Resize(int width, int height, COLORREF fill)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(static_cast<size_t>(m_width) * m_height, ToPixel(fill));
}

void Surface::Fill(COLORREF colour)
{
    std::fill(m_pixels.begin(), m_pixels.end(), ToPixel(colour));
}

void Surface::SetDotsPerInch(int x, int y)
{
    if (x >= 1)
        m_dpiX = x;
    if (y >= 1)
        m_dpiY = y;
}

COLORREF Surface::GetPixel(int x, int y) const
{
    if (!Contains(x, y))
        return CLR_INVALID;
    return ToColour(ScanLine(y)[x]);
}

void Surface::SetPixel(int x, int y, COLORREF colour)
{
    if (Contains(x, y))
        ScanLine(y)[x] = ToPixel(colour);
}

}  // namespace platform
