#include "platform/gdi/dib_source.h"

#include <cstring>

#include "platform/gdi/surface.h"

namespace platform {

namespace {

// More than any picture of the program; refusing it keeps a damaged header
// from sending reads across the address space.
constexpr uint64_t kMaxImageBytes = uint64_t(1) << 31;

bool KnownHeaderSize(DWORD size)
{
    return size == 40 || size == 108 || size == 124;
}

}  // namespace

bool DibSource::Open(const BITMAPINFO* info, UINT usage, const void* bits, const CPalette* palette)
{
    if (!info || !bits || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS))
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (!KnownHeaderSize(h.biSize) || h.biPlanes != 1 || h.biCompression != BI_RGB)
        return false;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    if (h.biWidth <= 0 || h.biHeight == 0)
        return false;
    const int64_t rows = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
    const uint64_t stride = DibRowStride(h.biWidth, h.biBitCount);
    if (static_cast<uint64_t>(rows) > kMaxImageBytes / stride)
        return false;

    m_bits = static_cast<const BYTE*>(bits);
    m_stride = stride;
    m_width = h.biWidth;
    m_rows = rows;
    m_topDown = h.biHeight < 0;
    m_bitCount = h.biBitCount;
    m_paletteIndices = usage == DIB_PAL_COLORS;
    m_palette = palette;
    m_table = reinterpret_cast<const BYTE*>(info) + h.biSize;
    m_tableEntries = 0;
    if (m_bitCount <= 8) {
        const unsigned all = 1u << m_bitCount;
        m_tableEntries = h.biClrUsed == 0 || h.biClrUsed > all ? all : h.biClrUsed;
    }
    if (m_paletteIndices && m_tableEntries && !m_palette)
        return false;
    return true;
}

uint32_t DibSource::FromTable(unsigned value) const
{
    if (value >= m_tableEntries)
        return Surface::kOpaque;
    if (m_paletteIndices) {
        WORD index;
        std::memcpy(&index, m_table + 2 * value, sizeof index);
        return Surface::ToPixel(m_palette->ColourOf(index));
    }
    const BYTE* q = m_table + 4 * value;  // blue, green, red, reserved
    return Surface::kOpaque | (uint32_t{q[2]} << 16) | (uint32_t{q[1]} << 8) | q[0];
}

uint32_t DibSource::Pixel(const BYTE* row, int64_t column) const
{
    switch (m_bitCount) {
    case 1:
        return FromTable((row[column >> 3] >> (7 - (column & 7))) & 1u);
    case 4:
        return FromTable((column & 1) ? row[column >> 1] & 0x0Fu : row[column >> 1] >> 4);
    case 8:
        return FromTable(row[column]);
    case 16: {
        const BYTE* p = row + 2 * column;
        const unsigned w = p[0] | (unsigned{p[1]} << 8);
        const auto widen = [](unsigned five) { return (five << 3) | (five >> 2); };
        return Surface::kOpaque | (widen((w >> 10) & 31u) << 16) | (widen((w >> 5) & 31u) << 8) | widen(w & 31u);
    }
    case 24: {
        const BYTE* p = row + 3 * column;
        return Surface::kOpaque | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
    }
    default: {
        const BYTE* p = row + 4 * column;
        return Surface::kOpaque | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
    }
    }
}

}  // namespace platform
