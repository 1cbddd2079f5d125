// Device contexts: drawing state (pen, mix mode, current position, palette,
// mapping, clip rectangle) over one of the layer's surfaces. Drawing is the
// layer's own pixel code, by the rules the program was written against: a line
// leaves out its end point, every pen pixel goes through the binary raster
// operation, rectangles leave out their right and bottom edges.
//
// Coordinates passed to drawing calls are logical: they go through the mapping
// (window origin and extent to viewport origin and extent) to device pixels,
// rounding half away from zero; device coordinates are held within +-2^40, so
// no caller value overflows. Everything drawn is clipped to the surface and to
// the clip rectangle.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/object.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"

class CDC : public CObject {
public:
    CDC();
    // Draws into `surface`, which must outlive the context; null draws nothing.
    explicit CDC(platform::Surface* surface);
    ~CDC() override = default;

    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    platform::Surface* GetSurface() const { return m_surface; }
    void SetSurface(platform::Surface* surface) { m_surface = surface; }

    // Printer contexts draw into a page raster; the program asks this to
    // choose between the screen and the page.
    BOOL IsPrinting() const { return m_bPrinting; }
    void SetPrinting(BOOL printing) { m_bPrinting = printing ? TRUE : FALSE; }

    // Capabilities of the surface: HORZRES, VERTRES, HORZSIZE, VERTSIZE (mm),
    // LOGPIXELSX/Y, BITSPIXEL (32), PLANES, NUMCOLORS (-1: true colour),
    // SIZEPALETTE, NUMRESERVED, COLORRES, RASTERCAPS. 0 for anything else or
    // without a surface.
    int GetDeviceCaps(int index) const;

    // --- Objects -----------------------------------------------------------

    // Answers the pen selected before; null (and nothing changes) for null.
    // The context keeps the pen's attributes from the moment of selection.
    CPen* SelectObject(CPen* pen);

    // Answers the palette selected before (at first the default palette);
    // null (and nothing changes) for null. The context keeps the pointer and
    // reads the palette whenever it resolves palette colours, so the palette
    // must outlive its selection: select the previous one back before it goes.
    // An uncreated palette has no entries: everything drawn through it is
    // black. `forceBackground` is accepted and has no effect.
    CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
    CPalette* GetCurrentPalette() const { return m_state.palette; }
    // Surfaces are true colour: nothing to map. Answers the entry count.
    UINT RealizePalette();

    // The colour drawn for `colour`: PALETTEINDEX colours become the selected
    // palette's entry (black when it has none), PALETTERGB and plain colours
    // their RGB value.
    COLORREF GetNearestColor(COLORREF colour) const;

    // Answers the previous mode; 0 (and nothing changes) for an unknown one.
    int SetROP2(int mode);
    int GetROP2() const { return m_state.rop2; }

    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_state.bkColour; }
    int SetBkMode(int mode);  // 0 and no change for an unknown mode
    int GetBkMode() const { return m_state.bkMode; }
    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_state.textColour; }
    int SetStretchBltMode(int mode);  // 0 and no change for an unknown mode
    int GetStretchBltMode() const { return m_state.stretchMode; }

    // Saves the whole drawing state (objects, colours, modes, mapping, clip
    // and position) and answers its level, counted from 1.
    int SaveDC();
    // Restores the state saved at `level` and forgets every later save; a
    // negative level counts back from the last save (-1: the last). FALSE,
    // and nothing changes, for a level that was not saved.
    BOOL RestoreDC(int level);

    // --- Mapping -----------------------------------------------------------

    // MM_TEXT, MM_ISOTROPIC or MM_ANISOTROPIC; answers the previous mode, or 0
    // (and nothing changes) for another. MM_TEXT resets both extents to 1:1;
    // the scaling modes start from the extents there are.
    int SetMapMode(int mode);
    int GetMapMode() const { return m_state.mapMode; }

    // Origins work in every mode. Extents are ignored (and the previous ones
    // answered) in MM_TEXT; a zero extent is refused, answering (0, 0). In
    // MM_ISOTROPIC every extent change shrinks the viewport extent on the axis
    // of the larger scale so that both use the smaller one, keeping its sign.
    POINT SetWindowOrg(int x, int y);
    POINT SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
    SIZE SetWindowExt(int cx, int cy);
    SIZE SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
    POINT SetViewportOrg(int x, int y);
    POINT SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    SIZE SetViewportExt(int cx, int cy);
    SIZE SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
    POINT GetWindowOrg() const { return m_state.windowOrg; }
    SIZE GetWindowExt() const { return m_state.windowExt; }
    POINT GetViewportOrg() const { return m_state.viewportOrg; }
    SIZE GetViewportExt() const { return m_state.viewportExt; }

    // Results beyond the 32-bit range are clamped to it. Rectangles map both
    // corners and are not reordered.
    void LPtoDP(POINT* points, int count = 1) const;
    void LPtoDP(RECT* rect) const;
    void DPtoLP(POINT* points, int count = 1) const;
    void DPtoLP(RECT* rect) const;

    // --- Clipping ------------------------------------------------------------
    // Each answers NULLREGION when nothing of the surface is left to draw on,
    // SIMPLEREGION otherwise, RGN_ERROR for a null argument.

    // Logical coordinates; narrows the clip rectangle.
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(const RECT* rect);
    int IntersectClipRect(const RECT& rect) { return IntersectClipRect(&rect); }
    // Device coordinates; replaces the clip rectangle, null removes it.
    int SelectClipRect(const RECT* deviceRect);
    // The part of the surface drawing reaches, in logical coordinates.
    int GetClipBox(RECT* rect) const;

    // --- Lines and pixels ----------------------------------------------------

    // Answers the previous position.
    POINT MoveTo(int x, int y);
    POINT MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    // Draws from the current position up to, not including, (x, y), which
    // becomes the current position.
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    POINT GetCurrentPosition() const { return m_state.position; }

    // CLR_INVALID outside the surface or the clip rectangle.
    COLORREF GetPixel(int x, int y) const;
    // Copies the colour regardless of the mix mode; answers the colour drawn,
    // or CLR_INVALID outside the surface or the clip rectangle.
    COLORREF SetPixel(int x, int y, COLORREF colour);

    // --- Fills ---------------------------------------------------------------

    // Fills with the colour as it is, whatever the mix mode; leaves it as the
    // background colour, as the class library's own does.
    void FillSolidRect(const RECT* rect, COLORREF colour);
    void FillSolidRect(const RECT& rect, COLORREF colour) { FillSolidRect(&rect, colour); }
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    // Null or uncreated brushes fill nothing.
    void FillRect(const RECT* rect, CBrush* brush);

    // --- Device-independent bitmaps --------------------------------------------
    //
    // Drawn: uncompressed (BI_RGB) bitmaps of 1, 4, 8, 16 (5-5-5), 24 or 32 bits
    // per pixel, one plane, information header of 40, 108 or 124 bytes with the
    // colour table right after it, positive width, bottom-up (positive height)
    // or top-down (negative height) rows of DibRowStride bytes, at most 2^31
    // bytes of rows. With DIB_RGB_COLORS the table holds RGBQUADs, with
    // DIB_PAL_COLORS WORD indices into the selected palette; it has biClrUsed
    // entries (0: all 2^bits). A pixel value past the table, or a table index
    // past the palette, draws black; nothing outside either is read. Bitmaps
    // of more than 8 bits have no table, whatever `usage` says.
    //
    // `bits` is not sized (as on the original): the caller guarantees that row
    // r (0 = the first row stored) starts at bits + r * stride. Only the bytes
    // of pixels inside the source rectangle are read, never a row's padding,
    // so `bits` may point into the middle of a larger picture's row, with
    // biWidth and biHeight set to the part wanted.
    //
    // Anything refused answers 0 and touches nothing.

    // Copies the source rectangle (xSrc, ySrc, srcWidth, srcHeight) onto the
    // destination rectangle (logical), stretching by nearest pixel. The source
    // rectangle is measured from the first row stored, which is the bottom
    // row of a bottom-up bitmap (ySrc = 0 takes the bottom rows) and the top
    // row of a top-down one. Either pair of extents negative, or a mapping
    // that flips an axis, mirrors the picture. Source pixels outside the
    // bitmap leave the destination as it is. `rop` is one of the copy codes
    // above that ignore the pattern; SRCCOPY is what the program uses.
    // Answers the number of source rows inside the bitmap, however much of the
    // destination the clip lets through; 0 when refused or when the source
    // rectangle misses the bitmap.
    int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                      int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

    // Copies width x height pixels unscaled to the device pixel that (xDest,
    // yDest) maps to, from the rectangle whose first stored row is ySrc (as
    // above). `bits` holds only the rows startScan to startScan + numScans - 1
    // (stored order); rows of the rectangle outside that band are not drawn.
    // Answers the number of rows of the band inside the bitmap.
    int SetDIBitsToDevice(int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                          UINT numScans, const void* bits, const BITMAPINFO* info, UINT usage);

private:
    struct State {
        CPen* pen = nullptr;
        int penStyle = PS_SOLID;
        COLORREF penColour = 0;
        uint32_t penPixel = platform::Surface::kOpaque;
        int rop2 = R2_COPYPEN;
        CPalette* palette = nullptr;
        int mapMode = MM_TEXT;
        POINT windowOrg;
        SIZE windowExt{1, 1};
        POINT viewportOrg;
        SIZE viewportExt{1, 1};
        bool clipped = false;
        int64_t clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;  // device
        COLORREF bkColour = RGB(255, 255, 255);
        COLORREF textColour = RGB(0, 0, 0);
        int bkMode = OPAQUE;
        int stretchMode = BLACKONWHITE;
        POINT position;
    };

    // Device pixels [left, right) x [top, bottom).
    struct Box {
        int64_t left = 0, top = 0, right = 0, bottom = 0;
        bool Empty() const { return left >= right || top >= bottom; }
    };

    int64_t MapX(int64_t x) const;
    int64_t MapY(int64_t y) const;
    int64_t UnmapX(int64_t x) const;
    int64_t UnmapY(int64_t y) const;
    void AdjustIsotropic();
    // The logical rectangle from (x0, y0) to (x1, y1) in device pixels.
    Box MapBox(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const;
    // The surface, narrowed by the clip rectangle.
    Box ClipBox() const;
    int ClipResult() const;
    uint32_t PixelOf(COLORREF colour) const { return platform::Surface::ToPixel(GetNearestColor(colour)); }
    void UpdatePenPixel();
    void FillBox(const Box& box, uint32_t pixel);
    void DrawDeviceLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
    void PlotPenRow(int64_t x0, int64_t x1, int64_t y, const Box& clip);  // [x0, x1)

    struct DibCopy;
    void DrawDib(const DibCopy& copy);

    platform::Surface* m_surface = nullptr;
    BOOL m_bPrinting = FALSE;
    State m_state;
    std::vector<State> m_saved;
};
