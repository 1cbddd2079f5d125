// Logical palettes: colour tables of at most 256 entries. Palette-index colours
// and DIB_PAL_COLORS bitmaps are resolved through the palette selected into a
// device context when they are drawn; the surfaces themselves are true colour.
#pragma once

#include <vector>

#include "platform/gdi/gdi_object.h"
#include "platform/gdi/gdi_types.h"

namespace platform {
class Surface;
}

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

// Variable length: palNumEntries entries follow the two words, as in the
// palette files the program reads.
struct LOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};

static_assert(sizeof(PALETTEENTRY) == 4);
static_assert(sizeof(LOGPALETTE) == 8);

class CPalette : public CGdiObject {
public:
    static constexpr UINT kMaxEntries = 256;

    CPalette() = default;

    // Copies palNumEntries entries (1 to 256; the version is not checked).
    // Refused for a palette that is already created: delete it first.
    BOOL CreatePalette(const LOGPALETTE* logPalette);
    BOOL DeleteObject() override;

    UINT GetEntryCount() const { return m_count; }
    // Copies the entries from `start` that exist, at most `count`, and answers
    // how many; with null `out`, answers the entry count.
    UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const;
    UINT SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* entries);
    // The first entry equal to the colour, else the nearest by squared RGB
    // distance (the lowest index among equals); CLR_INVALID when empty.
    // A PALETTEINDEX colour answers its index when the palette has it.
    UINT GetNearestPaletteIndex(COLORREF colour) const;

    // Entry `index` as a colour; black for an index the palette lacks.
    COLORREF ColourOf(UINT index) const;

    // The palette a device context holds before one is selected: the twenty
    // colours every display reserves.
    static CPalette* DefaultPalette();

private:
    PALETTEENTRY m_entries[kMaxEntries] = {};
    UINT m_count = 0;
};

namespace platform {

// The palette index a drawn pixel came from: the first exact match, else the
// nearest entry; 0 for an empty palette. For reading pictures back.
BYTE NearestIndex(const CPalette& palette, COLORREF colour);

// The whole surface as palette indices, rows top first.
std::vector<BYTE> ReadIndices(const Surface& surface, const CPalette& palette);

}  // namespace platform

using platform::NearestIndex;
