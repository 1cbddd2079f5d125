// Drawing straight into a 1:1 surface, for the pane's fast drawing: regions as
// rows of bits, and an 8-bit picture copied through such a mask with its
// colour table resolved once. The pixels are those a copy of one-row picture
// runs through the context gives; contexts that scale, or have no surface or
// palette, are left to the context's own drawing.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "foundation/region.h"
#include "platform/core/types.h"
#include "platform/gdi/gdi_types.h"

class CDC;
class CPalette;
namespace platform {
class Surface;
}

namespace views {

// Rows of bits: bit b of word k in row r stands for pixel (left + 64k + b, top + r).
struct Mask {
    int left = 0, top = 0, words = 0, rows = 0;
    std::vector<uint64_t> bits;

    bool Empty() const { return rows == 0; }
    uint64_t* Row(int r) { return bits.data() + static_cast<size_t>(r) * words; }
    const uint64_t* Row(int r) const { return bits.data() + static_cast<size_t>(r) * words; }

    static Mask From(const CRegion& region)
    {
        Mask m;
        int x0 = INT32_MAX, x1 = INT32_MIN, y0 = INT32_MAX, y1 = INT32_MIN;
        {
            CRegion::BandReader band(region);
            while (band.Next()) {
                if (band.Top() >= band.Bottom())
                    continue;
                for (int i = 0; i < band.RunCount(); ++i) {
                    if (band.RunStart(i) >= band.RunEnd(i))
                        continue;
                    x0 = std::min<int>(x0, band.RunStart(i));
                    x1 = std::max<int>(x1, band.RunEnd(i));
                    y0 = std::min<int>(y0, band.Top());
                    y1 = std::max<int>(y1, band.Bottom());
                }
            }
        }
        if (x0 >= x1 || y0 >= y1)
            return m;
        m.left = x0;
        m.top = y0;
        m.words = (x1 - x0 + 63) / 64;
        m.rows = y1 - y0;
        m.bits.assign(static_cast<size_t>(m.words) * m.rows, 0);
        CRegion::BandReader band(region);
        while (band.Next()) {
            for (int i = 0; i < band.RunCount(); ++i) {
                const int a = band.RunStart(i) - x0;
                const int b = band.RunEnd(i) - x0;
                if (a >= b)
                    continue;
                for (int y = band.Top(); y < band.Bottom(); ++y)
                    SetRun(m.Row(y - y0), a, b);
            }
        }
        return m;
    }

    static void SetRun(uint64_t* row, int a, int b)
    {
        while (a < b) {
            const int word = a >> 6;
            const int bit = a & 63;
            const int n = std::min(64 - bit, b - a);
            const uint64_t ones = n == 64 ? ~uint64_t{0} : ((uint64_t{1} << n) - 1);
            row[word] |= ones << bit;
            a += n;
        }
    }

    // 64 bits of a row from bit `offset` on (may be negative or past the end).
    static uint64_t Bits64(const uint64_t* row, int words, long long offset)
    {
        if (offset <= -64 || offset >= 64LL * words)
            return 0;
        const long long word = offset >= 0 ? offset >> 6 : -1;
        const int shift = static_cast<int>(offset - word * 64);
        const uint64_t low = word >= 0 ? row[word] : 0;
        const uint64_t high = word + 1 < words ? row[word + 1] : 0;
        return shift == 0 ? low : (low >> shift) | (high << (64 - shift));
    }

    // Takes away the pixels of `other`; answers whether anything is left.
    bool Subtract(const Mask& other)
    {
        const int r0 = std::max(top, other.top);
        const int r1 = std::min(top + rows, other.top + other.rows);
        const long long c0 = std::max<long long>(left, other.left);
        const long long c1 = std::min<long long>(left + 64LL * words, other.left + 64LL * other.words);
        if (r0 < r1 && c0 < c1) {
            const int w0 = static_cast<int>((c0 - left) >> 6);
            const int w1 = static_cast<int>((c1 - left + 63) >> 6);
            for (int y = r0; y < r1; ++y) {
                uint64_t* row = Row(y - top);
                const uint64_t* from = other.Row(y - other.top);
                for (int k = w0; k < w1; ++k)
                    row[k] &= ~Bits64(from, other.words, left + 64LL * k - other.left);
            }
        }
        for (uint64_t word : bits)
            if (word)
                return true;
        return false;
    }
};

class DirectPainter {
public:
    // True when the context draws 1:1 into a surface through a palette.
    bool Prepare(CDC* dc);
    bool Ready() const { return m_ready; }

    // Copies the picture (bottom-up rows, its top-left pixel at (left, top))
    // wherever the mask, moved by (maskDx, maskDy), lies on it. `table` maps
    // pixel values to palette entries.
    void Paint(const Mask& mask, int maskDx, int maskDy, long long left, long long top, const BYTE* pixels, int width,
               int height, size_t stride, const WORD table[256]);

private:
    bool m_ready = false;
    platform::Surface* m_surface = nullptr;
    CPalette* m_palette = nullptr;
    long long m_dx = 0, m_dy = 0;
    // Where the context draws, device pixels: disjoint, top to bottom.
    std::vector<RECT> m_clip;
};

}  // namespace views
