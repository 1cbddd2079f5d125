#include "views/direct_paint.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"

namespace views {

bool DirectPainter::Prepare(CDC* dc)
{
    m_ready = false;
    platform::Surface* surface = dc ? dc->GetSurface() : nullptr;
    CPalette* palette = dc ? dc->GetCurrentPalette() : nullptr;
    if (!surface || !palette || dc->GetMapMode() != MM_TEXT)
        return false;
    const POINT wo = dc->GetWindowOrg();
    const POINT vo = dc->GetViewportOrg();
    m_dx = static_cast<long long>(vo.x) - wo.x;
    m_dy = static_cast<long long>(vo.y) - wo.y;
    if (dc->GetClipRects(&m_clip) == 0)
        return false;
    m_surface = surface;
    m_palette = palette;
    m_ready = true;
    return true;
}

void DirectPainter::Paint(const Mask& mask, int maskDx, int maskDy, long long left, long long top, const BYTE* pixels,
                          int width, int height, size_t stride, const WORD table[256])
{
    if (!m_ready || mask.Empty())
        return;
    uint32_t lut[256];
    for (int i = 0; i < 256; ++i)
        lut[i] = platform::Surface::ToPixel(m_palette->ColourOf(table[i]));
    const long long right = left + width;
    const long long bottom = top + height;
    for (int r = 0; r < mask.rows; ++r) {
        const long long y = static_cast<long long>(mask.top) + maskDy + r;
        if (y < top || y >= bottom)
            continue;
        const long long dy = y + m_dy;
        const BYTE* src = pixels + static_cast<size_t>(height - 1 - (y - top)) * stride;
        const uint64_t* row = mask.Row(r);
        for (const RECT& clip : m_clip) {
            if (dy < clip.top || dy >= clip.bottom)
                continue;
            const long long clipLeft = static_cast<long long>(clip.left) - m_dx;
            const long long clipRight = static_cast<long long>(clip.right) - m_dx;
            uint32_t* dst = m_surface->ScanLine(static_cast<int>(dy));
            for (int k = 0; k < mask.words; ++k) {
                uint64_t word = row[k];
                while (word) {
                    const int a = std::countr_zero(word);
                    const uint64_t shifted = word >> a;
                    const int n = (~shifted == 0) ? 64 - a : std::countr_zero(~shifted);
                    word = (a + n >= 64) ? 0 : word & ~((uint64_t{1} << (a + n)) - 1);
                    long long x0 = static_cast<long long>(mask.left) + maskDx + 64LL * k + a;
                    long long x1 = x0 + n;
                    x0 = std::max({x0, left, clipLeft});
                    x1 = std::min({x1, right, clipRight});
                    for (long long x = x0; x < x1; ++x)
                        dst[x + m_dx] = lut[src[x - left]];
                }
            }
        }
    }
}

}  // namespace views
