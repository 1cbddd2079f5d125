// The preview picture saved beside every model (.pbk): an ordinary 8-bit
// bitmap file with the program's shared palette, read back by the file
// browser as a thumbnail.
#pragma once

#include "platform/core/global_memory.h"
#include "platform/core/types.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/gdi_types.h"

class CDC;
class CFile;

// What the preview asks of the document's first view: its client area, and a
// drawing of itself into a context as it paints on screen, without the
// blinking selection outline. The panes provide it.
class IPreviewSource {
public:
    virtual ~IPreviewSource() = default;
    virtual void GetPreviewClientRect(RECT* rect) = 0;
    virtual void DrawPreview(CDC* dc) = 0;
};

constexpr int kPreviewWidth = 80;
constexpr int kPreviewHeight = 60;
constexpr DWORD kPaletteDibColours = 256;
// File header, information header and the 256-entry colour table.
constexpr DWORD kPaletteDibPixelOffset = 14 + 40 + 4 * kPaletteDibColours;

// The 256 colours of the program's "MYPALETTE" resource as a bitmap colour
// table, each entry's flags in the reserved byte. FALSE when the resource is
// missing or damaged; entries the palette lacks are black.
BOOL LoadPreviewColourTable(RGBQUAD table[kPaletteDibColours]);

// One movable block with the information header, the colour table and, when
// `pixels` is given, room for the rows (whose address it receives). Null when
// the palette is missing or the block cannot be had; `outOfMemory` tells
// which.
HGLOBAL CreatePaletteDIB(int width, int height, int bitCount, BITMAPINFOHEADER** header, BYTE** pixels,
                         BOOL* outOfMemory = nullptr);

// Writes the file header, then header, colour table and rows of a packed
// bitmap in one piece. FALSE, with nothing written, for a missing or
// unlockable block, a header that is not 40 bytes, or a block too short for
// the image it describes.
BOOL WriteDIBFile(HGLOBAL packed, CFile* file);

// Whether the two paths name one file: the same path, or links to one file.
BOOL IsSameFile(const char* first, const char* second);

// The index of the table entry equal to the colour, else of the nearest one.
BYTE NearestTableIndex(const RGBQUAD table[kPaletteDibColours], COLORREF colour);
