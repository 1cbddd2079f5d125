// The layer's own drawing surface: an owned 32-bit image that device contexts
// draw into and that windows present. Pixels are kept as 0xFFRRGGBB so that the
// toolkit can show the buffer without converting it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace platform {

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, COLORREF fill = RGB(0, 0, 0));

    // Keeps nothing of the old pixels.
    void Resize(int width, int height, COLORREF fill = RGB(0, 0, 0));
    void Fill(COLORREF colour);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    // The device resolution that contexts report; a printer's page raster
    // carries the printer's. Values below 1 are ignored.
    void SetDotsPerInch(int x, int y);
    int DotsPerInchX() const { return m_dpiX; }
    int DotsPerInchY() const { return m_dpiY; }
    static constexpr int kScreenDotsPerInch = 96;

    // CLR_INVALID outside the surface.
    COLORREF GetPixel(int x, int y) const;
    // Ignored outside the surface.
    void SetPixel(int x, int y, COLORREF colour);

    // Rows of Width() pixels, top row first, no padding.
    uint32_t* Bits() { return m_pixels.data(); }
    const uint32_t* Bits() const { return m_pixels.data(); }
    uint32_t* ScanLine(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    const uint32_t* ScanLine(int y) const { return m_pixels.data() + static_cast<size_t>(y) * m_width; }

    static constexpr uint32_t kOpaque = 0xFF000000u;
    static constexpr uint32_t ToPixel(COLORREF c)
    {
        return kOpaque | (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
               GetBValue(c);
    }
    static constexpr COLORREF ToColour(uint32_t pixel)
    {
        return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
    }

private:
    int m_width = 0;
    int m_height = 0;
    int m_dpiX = kScreenDotsPerInch;
    int m_dpiY = kScreenDotsPerInch;
    std::vector<uint32_t> m_pixels;
};

}  // namespace platform
