// Copies between device contexts and reading bitmaps back as
// device-independent pixels.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/raster_ops.h"

using platform::raster::Wide;

namespace {

constexpr uint32_t kColour = platform::raster::kColourBits;

unsigned Code(DWORD rop)
{
    return (rop >> 16) & 0xFFu;
}

bool NeedsSource(unsigned code)
{
    return ((code >> 2) & 0x33u) != (code & 0x33u);
}

// Truth table bit (P << 2) | (S << 1) | D.
uint32_t Ternary(unsigned code, uint32_t p, uint32_t s, uint32_t d)
{
    switch (code) {
    case 0xCC:
        return s;
    case 0x66:
        return s ^ d;
    case 0x88:
        return s & d;
    case 0xEE:
        return s | d;
    case 0x55:
        return ~d;
    case 0x00:
        return 0;
    case 0xFF:
        return ~0u;
    case 0xF0:
        return p;
    case 0x5A:
        return p ^ d;
    default:
        break;
    }
    uint32_t result = 0;
    for (unsigned i = 0; i < 8; ++i)
        if (code & (1u << i))
            result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    return result;
}

// Source offset of destination pixel `i`, nearest pixel centre.
int64_t Nearest(int64_t i, int64_t src, int64_t dest)
{
    return static_cast<int64_t>((Wide(2 * i + 1) * src) / (Wide(2) * dest));
}

}  // namespace

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop)
{
    return StretchBlt(x, y, width, height, source, xSrc, ySrc, width, height, rop);
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop)
{
    if (NeedsSource(Code(rop)))
        return FALSE;
    return StretchBlt(x, y, width, height, nullptr, 0, 0, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, DWORD rop)
{
    const unsigned code = Code(rop);
    const bool needsSource = NeedsSource(code);
    if (needsSource && (!source || !source->m_surface))
        return FALSE;
    if (!m_surface || width == 0 || height == 0)
        return TRUE;

    const int64_t x0 = MapX(x), x1 = MapX(int64_t{x} + width);
    const int64_t y0 = MapY(y), y1 = MapY(int64_t{y} + height);
    const Box dest{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
    if (dest.Empty())
        return TRUE;

    Box src{0, 0, dest.right - dest.left, dest.bottom - dest.top};
    bool mirrorX = false, mirrorY = false;
    if (needsSource) {
        if (srcWidth == 0 || srcHeight == 0)
            return TRUE;
        const int64_t s0 = source->MapX(xSrc), s1 = source->MapX(int64_t{xSrc} + srcWidth);
        const int64_t t0 = source->MapY(ySrc), t1 = source->MapY(int64_t{ySrc} + srcHeight);
        src = Box{std::min(s0, s1), std::min(t0, t1), std::max(s0, s1), std::max(t0, t1)};
        if (src.Empty())
            return TRUE;
        mirrorX = (x1 < x0) != (s1 < s0);
        mirrorY = (y1 < y0) != (t1 < t0);
    }
    const platform::Surface* from = needsSource ? source->m_surface : nullptr;

    // A copy within one surface reads the source before anything is written.
    platform::Surface copy;
    if (from && from == m_surface) {
        const int64_t left = std::max<int64_t>(src.left, 0), top = std::max<int64_t>(src.top, 0);
        const int64_t right = std::min<int64_t>(src.right, from->Width());
        const int64_t bottom = std::min<int64_t>(src.bottom, from->Height());
        if (left >= right || top >= bottom)
            return TRUE;
        copy.Resize(static_cast<int>(right - left), static_cast<int>(bottom - top));
        for (int64_t row = top; row < bottom; ++row)
            std::copy(from->ScanLine(static_cast<int>(row)) + left, from->ScanLine(static_cast<int>(row)) + right,
                      copy.ScanLine(static_cast<int>(row - top)));
        src = Box{src.left - left, src.top - top, src.right - left, src.bottom - top};
        from = &copy;
    }
    StretchCopy(dest, mirrorX, mirrorY, from, src, rop);
    return TRUE;
}

void CDC::StretchCopy(const Box& dest, bool mirrorX, bool mirrorY, const platform::Surface* source,
                      const Box& src, DWORD rop)
{
    const unsigned code = Code(rop);
    const uint32_t pattern = m_state.brushFills ? PixelOf(m_state.brushColour) : 0;
    const int64_t destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
    const int64_t srcWidth = src.right - src.left, srcHeight = src.bottom - src.top;
    Touch(dest.left, dest.top, dest.right, dest.bottom);
    const bool stretchedX = destWidth != srcWidth || mirrorX;
    const bool stretchedY = destHeight != srcHeight || mirrorY;

    for (const Box& clip : ClipRects()) {
        const int64_t left = std::max(dest.left, clip.left), right = std::min(dest.right, clip.right);
        const int64_t top = std::max(dest.top, clip.top), bottom = std::min(dest.bottom, clip.bottom);
        if (left >= right || top >= bottom)
            continue;
        std::vector<int64_t> columns;
        if (source && stretchedX) {
            columns.resize(static_cast<size_t>(right - left));
            for (int64_t px = left; px < right; ++px) {
                int64_t j = Nearest(px - dest.left, srcWidth, destWidth);
                if (mirrorX)
                    j = srcWidth - 1 - j;
                columns[static_cast<size_t>(px - left)] = src.left + j;
            }
        }
        for (int64_t py = top; py < bottom; ++py) {
            uint32_t* out = m_surface->ScanLine(static_cast<int>(py));
            if (!source) {
                for (int64_t px = left; px < right; ++px)
                    out[px] = platform::Surface::kOpaque | (Ternary(code, pattern, 0, out[px]) & kColour);
                continue;
            }
            int64_t v = stretchedY ? Nearest(py - dest.top, srcHeight, destHeight) : py - dest.top;
            if (mirrorY)
                v = srcHeight - 1 - v;
            const int64_t row = src.top + v;
            if (row < 0 || row >= source->Height())
                continue;
            const uint32_t* in = source->ScanLine(static_cast<int>(row));
            const int64_t sourceWidth = source->Width();
            if (code == 0xCC && !stretchedX) {
                // Plain copies, most of what is drawn.
                const int64_t shift = src.left - dest.left;
                const int64_t first = std::max(left, -shift), end = std::min(right, sourceWidth - shift);
                if (first < end)
                    std::copy(in + first + shift, in + end + shift, out + first);
                continue;
            }
            for (int64_t px = left; px < right; ++px) {
                const int64_t column = stretchedX ? columns[static_cast<size_t>(px - left)] : src.left + (px - dest.left);
                if (column < 0 || column >= sourceWidth)
                    continue;
                out[px] = platform::Surface::kOpaque | (Ternary(code, pattern, in[column], out[px]) & kColour);
            }
        }
    }
}

int CDC::GetDIBits(CBitmap* bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage)
{
    if (!bitmap || !bitmap->GetSurface() || !info || usage != DIB_RGB_COLORS)
        return 0;
    if (bitmap->m_selectedInto && bitmap->m_selectedInto != this)
        return 0;
    BITMAPINFOHEADER& header = info->bmiHeader;
    const platform::Surface& surface = *bitmap->GetSurface();
    const int bitCount = header.biBitCount;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB ||
        (bitCount != 8 && bitCount != 24 && bitCount != 32) || header.biWidth != surface.Width() ||
        header.biHeight == 0)
        return 0;
    const int64_t rows = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
    if (rows != surface.Height())
        return 0;
    const uint64_t stride = DibRowStride(header.biWidth, bitCount);
    header.biSizeImage = static_cast<DWORD>(stride * static_cast<uint64_t>(rows));
    if (!bits)
        return static_cast<int>(rows);
    if (start >= rows)
        return 0;
    const int64_t end = std::min<int64_t>(int64_t{start} + lines, rows);

    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + header.biSize);
    const UINT entries = bitCount == 8 ? (header.biClrUsed == 0 || header.biClrUsed > 256 ? 256 : header.biClrUsed) : 0;
    std::unordered_map<uint32_t, BYTE> nearest;
    const auto indexOf = [&](uint32_t pixel) -> BYTE {
        const uint32_t rgb = pixel & kColour;
        if (auto found = nearest.find(rgb); found != nearest.end())
            return found->second;
        const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
        int64_t best = INT64_MAX;
        BYTE index = 0;
        for (UINT i = 0; i < entries; ++i) {
            const int dr = table[i].rgbRed - r, dg = table[i].rgbGreen - g, db = table[i].rgbBlue - b;
            const int64_t d = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
            if (d < best) {
                best = d;
                index = static_cast<BYTE>(i);
                if (d == 0)
                    break;
            }
        }
        nearest.emplace(rgb, index);
        return index;
    };

    BYTE* out = static_cast<BYTE*>(bits);
    for (int64_t stored = start; stored < end; ++stored) {
        const int64_t y = header.biHeight < 0 ? stored : rows - 1 - stored;
        const uint32_t* in = surface.ScanLine(static_cast<int>(y));
        BYTE* row = out + static_cast<uint64_t>(stored - start) * stride;
        std::fill(row, row + stride, BYTE{0});
        for (int x = 0; x < surface.Width(); ++x) {
            const uint32_t p = in[x];
            if (bitCount == 8) {
                row[x] = indexOf(p);
            } else {
                BYTE* o = row + static_cast<size_t>(x) * (bitCount / 8);
                o[0] = static_cast<BYTE>(p);
                o[1] = static_cast<BYTE>(p >> 8);
                o[2] = static_cast<BYTE>(p >> 16);
            }
        }
    }
    return static_cast<int>(end - start);
}
