#include "platform/gdi/palette.h"

#include <algorithm>

#include "platform/gdi/surface.h"

BOOL CPalette::CreatePalette(const LOGPALETTE* logPalette)
{
    if (!logPalette || m_created)
        return FALSE;
    const UINT count = logPalette->palNumEntries;
    if (count == 0 || count > kMaxEntries)
        return FALSE;
    // The entries run on past the declared one-element array.
    const PALETTEENTRY* entries = logPalette->palPalEntry;
    std::copy(entries, entries + count, m_entries);
    m_count = count;
    m_created = TRUE;
    return TRUE;
}

BOOL CPalette::DeleteObject()
{
    m_count = 0;
    return CGdiObject::DeleteObject();
}

UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const
{
    if (!out)
        return m_count;
    if (start >= m_count)
        return 0;
    const UINT n = std::min(count, m_count - start);
    std::copy(m_entries + start, m_entries + start + n, out);
    return n;
}

UINT CPalette::SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* entries)
{
    if (!entries || start >= m_count)
        return 0;
    const UINT n = std::min(count, m_count - start);
    std::copy(entries, entries + n, m_entries + start);
    return n;
}

UINT CPalette::GetNearestPaletteIndex(COLORREF colour) const
{
    if (m_count == 0)
        return CLR_INVALID;
    if ((colour >> 24) == 0x01 && (colour & 0xFFFF) < m_count)
        return colour & 0xFFFF;
    const int r = GetRValue(colour);
    const int g = GetGValue(colour);
    const int b = GetBValue(colour);
    UINT best = 0;
    int bestDistance = 1 << 30;
    for (UINT i = 0; i < m_count; ++i) {
        const int dr = m_entries[i].peRed - r;
        const int dg = m_entries[i].peGreen - g;
        const int db = m_entries[i].peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance == 0)
            return i;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

COLORREF CPalette::ColourOf(UINT index) const
{
    if (index >= m_count)
        return RGB(0, 0, 0);
    const PALETTEENTRY& e = m_entries[index];
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

CPalette* CPalette::DefaultPalette()
{
    static CPalette palette = [] {
        static constexpr BYTE kColours[20][3] = {
            {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
        };
        CPalette p;
        for (const auto& c : kColours)
            p.m_entries[p.m_count++] = PALETTEENTRY{c[0], c[1], c[2], 0};
        p.m_created = TRUE;
        return p;
    }();
    return &palette;
}

namespace platform {

BYTE NearestIndex(const CPalette& palette, COLORREF colour)
{
    const UINT index = palette.GetNearestPaletteIndex(colour & 0x00FFFFFF);
    return index == CLR_INVALID ? 0 : static_cast<BYTE>(index);
}

std::vector<BYTE> ReadIndices(const Surface& surface, const CPalette& palette)
{
    std::vector<BYTE> indices;
    indices.reserve(static_cast<size_t>(surface.Width()) * surface.Height());
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            indices.push_back(NearestIndex(palette, surface.GetPixel(x, y)));
    return indices;
}

}  // namespace platform
