// Bitmap copies of the device context: where each destination pixel takes its
// source pixel from, and which source bytes may be read.
#include <algorithm>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib_source.h"
#include "platform/gdi/raster_ops.h"

using platform::raster::Wide;

struct CDC::DibCopy {
    platform::DibSource source;
    Box dest;  // device pixels
    int64_t srcLeft = 0, srcWidth = 0;       // columns [srcLeft, srcLeft + srcWidth)
    int64_t srcFirstRow = 0, srcRows = 0;    // stored rows [srcFirstRow, srcFirstRow + srcRows)
    bool mirrorX = false, mirrorY = false;   // against the picture shown upright
    int64_t bandFirst = 0, bandEnd = 0;      // stored rows present at `bits`
    unsigned table = 0xC;                    // SRCCOPY
};

namespace {

// The four-bit source/destination table of a ternary raster operation; false
// for codes that need a pattern.
bool CopyTable(DWORD rop, unsigned* table)
{
    const unsigned code = (rop >> 16) & 0xFFu;
    if ((code >> 4) != (code & 0x0Fu))
        return false;
    *table = code & 0x0Fu;
    return true;
}

// Overlap of [first, first + count) with [0, limit).
int64_t Overlap(int64_t first, int64_t count, int64_t limit)
{
    return std::max<int64_t>(0, std::min(first + count, limit) - std::max<int64_t>(first, 0));
}

// Source offset of destination pixel `i` of `dest`, nearest pixel centre.
int64_t Nearest(int64_t i, int64_t src, int64_t dest)
{
    return static_cast<int64_t>((Wide(2 * i + 1) * src) / (Wide(2) * dest));
}

}  // namespace

int CDC::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                       int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    DibCopy copy;
    if (!copy.source.Open(info, usage, bits, m_state.palette) || !CopyTable(rop, &copy.table))
        return 0;
    if (destWidth == 0 || destHeight == 0 || srcWidth == 0 || srcHeight == 0)
        return 0;
    copy.srcWidth = srcWidth < 0 ? -int64_t{srcWidth} : srcWidth;
    copy.srcLeft = srcWidth < 0 ? int64_t{xSrc} + srcWidth : xSrc;
    copy.srcRows = srcHeight < 0 ? -int64_t{srcHeight} : srcHeight;
    copy.srcFirstRow = srcHeight < 0 ? int64_t{ySrc} + srcHeight : ySrc;
    const int64_t rows = Overlap(copy.srcFirstRow, copy.srcRows, copy.source.Rows());
    if (rows == 0 || Overlap(copy.srcLeft, copy.srcWidth, copy.source.Width()) == 0)
        return 0;

    const int64_t x0 = MapX(xDest);
    const int64_t x1 = MapX(int64_t{xDest} + destWidth);
    const int64_t y0 = MapY(yDest);
    const int64_t y1 = MapY(int64_t{yDest} + destHeight);
    copy.dest = Box{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
    copy.mirrorX = (x1 < x0) != (srcWidth < 0);
    copy.mirrorY = (y1 < y0) != (srcHeight < 0);
    copy.bandFirst = 0;
    copy.bandEnd = copy.source.Rows();
    DrawDib(copy);
    return static_cast<int>(rows);
}

int CDC::SetDIBitsToDevice(int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                           UINT numScans, const void* bits, const BITMAPINFO* info, UINT usage)
{
    DibCopy copy;
    if (!copy.source.Open(info, usage, bits, m_state.palette))
        return 0;
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX || numScans == 0 ||
        startScan >= copy.source.Rows())
        return 0;
    copy.bandFirst = startScan;
    copy.bandEnd = std::min<int64_t>(int64_t{startScan} + numScans, copy.source.Rows());
    copy.srcLeft = xSrc;
    copy.srcWidth = width;
    copy.srcFirstRow = ySrc;
    copy.srcRows = height;
    const int64_t x = MapX(xDest);
    const int64_t y = MapY(yDest);
    copy.dest = Box{x, y, x + copy.srcWidth, y + copy.srcRows};
    DrawDib(copy);
    return static_cast<int>(copy.bandEnd - copy.bandFirst);
}

void CDC::DrawDib(const DibCopy& copy)
{
    if (!m_surface)
        return;
    Touch(copy.dest.left, copy.dest.top, copy.dest.right, copy.dest.bottom);
    for (const Box& clip : ClipRects())
        DrawDibIn(copy, clip);
}

void CDC::DrawDibIn(const DibCopy& copy, const Box& clip)
{
    const Box& dest = copy.dest;
    const int64_t left = std::max(dest.left, clip.left);
    const int64_t right = std::min(dest.right, clip.right);
    const int64_t top = std::max(dest.top, clip.top);
    const int64_t bottom = std::min(dest.bottom, clip.bottom);
    if (left >= right || top >= bottom)
        return;
    const platform::DibSource& source = copy.source;
    const int64_t destWidth = dest.right - dest.left;
    const int64_t destHeight = dest.bottom - dest.top;

    // Source column of every visible destination column; -1 outside the
    // bitmap. Unstretched copies, most of what is drawn, need no table.
    const bool stretched = destWidth != copy.srcWidth || copy.mirrorX;
    std::vector<int64_t> columns;
    if (stretched) {
        columns.resize(static_cast<size_t>(right - left));
        for (int64_t x = left; x < right; ++x) {
            int64_t j = Nearest(x - dest.left, copy.srcWidth, destWidth);
            if (copy.mirrorX)
                j = copy.srcWidth - 1 - j;
            const int64_t column = copy.srcLeft + j;
            columns[static_cast<size_t>(x - left)] = column < source.Width() ? column : -1;
        }
    }

    for (int64_t y = top; y < bottom; ++y) {
        // u counts the source rectangle's rows from the one shown on top.
        int64_t u = destHeight == copy.srcRows ? y - dest.top : Nearest(y - dest.top, copy.srcRows, destHeight);
        if (copy.mirrorY)
            u = copy.srcRows - 1 - u;
        const int64_t stored = source.TopDown() ? copy.srcFirstRow + u : copy.srcFirstRow + copy.srcRows - 1 - u;
        if (stored < copy.bandFirst || stored >= copy.bandEnd)
            continue;
        const BYTE* in = source.Row(stored - copy.bandFirst);
        uint32_t* out = m_surface->ScanLine(static_cast<int>(y));
        for (int64_t x = left; x < right; ++x) {
            const int64_t column = stretched ? columns[static_cast<size_t>(x - left)] : copy.srcLeft + (x - dest.left);
            if (column < 0 || column >= source.Width())
                continue;
            const uint32_t pixel = source.Pixel(in, column);
            out[x] = copy.table == 0xC ? pixel : platform::raster::Mix(copy.table, pixel, out[x]);
        }
    }
}
