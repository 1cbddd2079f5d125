// Device contexts: drawing state (pen, brush, mix mode, current position,
// palette, mapping, clip area) over one of the layer's surfaces. Drawing is the
// layer's own pixel code, by the rules the program was written against: a line
// leaves out its end point, every pen pixel goes through the binary raster
// operation, rectangles leave out their right and bottom edges.
//
// Coordinates passed to drawing calls are logical: they go through the mapping
// (window origin and extent to viewport origin and extent) to device pixels,
// rounding half away from zero; device coordinates are held within +-2^40, so
// no caller value overflows. Everything drawn is clipped to the surface, the
// clip rectangle, the clip region and the layer's visible region.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/object.h"
#include "platform/core/rect.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/rgn.h"
#include "platform/gdi/surface.h"

class CDC : public CObject {
public:
    CDC();
    // Draws into `surface`, which must outlive the context; null draws nothing.
    explicit CDC(platform::Surface* surface);
    // A memory context gives its bitmap back.
    ~CDC() override;

    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    platform::Surface* GetSurface() const { return m_surface; }
    void SetSurface(platform::Surface* surface);

    // Makes this a memory context: it draws into the bitmap selected into
    // it, at first a 1 x 1 one. Every bitmap is true colour, so bitmaps made
    // compatible with a memory context are as good as the screen's. `dc`
    // (may be null: the screen) gives the resolution. FALSE when this context
    // already draws somewhere.
    BOOL CreateCompatibleDC(CDC* dc);
    // Gives the selected bitmap back and draws nowhere any more.
    BOOL DeleteDC();
    BOOL IsMemoryDC() const { return m_memory; }

    // The layer's visible region of a window's context (a paint context is
    // limited to the update region), device pixels; null removes it. Not
    // part of the saved state, and not changed by SelectClipRgn.
    void SetVisibleRegion(const CRgn* region);

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

    // Memory contexts only: answers the bitmap selected before, or null (and
    // nothing changes) for null, for another context, or for a bitmap that
    // is not made or is selected into another context.
    CBitmap* SelectObject(CBitmap* bitmap);
    CBitmap* GetCurrentBitmap() const { return m_bitmap; }

    // Answers the brush selected before; null (and nothing changes) for null.
    // At first the stock white brush. As with pens, the context keeps the
    // brush's attributes from the moment of selection.
    CBrush* SelectObject(CBrush* brush);
    CBrush* GetCurrentBrush() const { return m_state.brush; }
    CPen* GetCurrentPen() const { return m_state.pen; }

    // Answers the font selected before (at first the system font); null (and
    // nothing changes) for null.
    CFont* SelectObject(CFont* font);

    // WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH,
    // NULL_BRUSH, WHITE_PEN, BLACK_PEN, NULL_PEN; answers the object of the
    // same kind selected before, null for another index.
    CGdiObject* SelectStockObject(int index);

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
    // Device coordinates; replaces the clip area by the rectangle, null
    // removes it.
    int SelectClipRect(const RECT* deviceRect);
    // Device coordinates; replaces the clip area by a copy of the region,
    // null removes it. COMPLEXREGION when the area left is no rectangle.
    int SelectClipRgn(const CRgn* region);
    // The bounding box of the part of the surface drawing reaches, in
    // logical coordinates.
    int GetClipBox(RECT* rect) const;
    // The disjoint device-pixel rectangles drawing reaches (the surface, the
    // clip rectangle, the clip region and the layer's visible region
    // together), top to bottom; answers their count.
    int GetClipRects(std::vector<RECT>* deviceRects) const;
    // TRUE when some of the logical rectangle can be drawn on.
    BOOL RectVisible(const RECT* rect) const;

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

    // The rectangle's border in the pen and its inside in the brush, both
    // through the mix mode; the right and bottom edges are left out, so a
    // pen and brush of one colour cover exactly (left, top)-(right, bottom).
    // With the null pen the inside alone is filled, one pixel smaller at the
    // right and bottom; the null brush leaves the inside. Pens draw one
    // pixel wide. Corners may come in any order.
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT* rect);

    // --- Text ------------------------------------------------------------------

    // Writes `count` bytes of `text` (UTF-8; -1: up to its end) with the
    // selected font and the text colour, its cell's top-left corner at the
    // logical point; in the OPAQUE background mode the cell is first filled
    // with the background colour. Not mixed by the raster operation. FALSE,
    // and nothing drawn, without text or without the toolkit running.
    BOOL TextOut(int x, int y, const char* text, int count = -1);
    // The cell of the text in logical units; (0, 0) without the toolkit.
    CSize GetTextExtent(const char* text, int count = -1) const;

    // --- Bitmap copies -------------------------------------------------------
    //
    // Ternary raster operations over pattern (the selected brush's colour),
    // source and destination, any of the 256. The destination rectangle is
    // logical in this context and the source rectangle logical in `source`'s;
    // when their device sizes differ the copy stretches by nearest pixel,
    // and a mapping or extent that flips an axis on one side only mirrors
    // it. Source pixels outside the source surface leave the destination as
    // it is. Source and destination may be the same surface. FALSE for a
    // missing source when the operation reads one.
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, DWORD rop);
    // Operations without a source: PATCOPY, PATINVERT, DSTINVERT, BLACKNESS,
    // WHITENESS and the like.
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);

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

    // Reads `lines` rows of the bitmap (selected into no context, or into
    // this one) from stored row `start` into `bits` as the header in `info`
    // asks: 8 bits per pixel as the nearest entry (the exact one when there
    // is one) of the colour table that `info` holds (biClrUsed entries, 0:
    // 256), or 24 or 32 bits. With null `bits` only the header's image size
    // is filled in. Answers the rows copied; 0 when refused (other depths,
    // compression, a width other than the bitmap's, DIB_PAL_COLORS).
    int GetDIBits(CBitmap* bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);

    // --- Text -------------------------------------------------------------------

    // Lines (split at line feeds; with DT_SINGLELINE one line) in the layer's
    // dialog font and the text colour, each aligned by DT_LEFT, DT_CENTER or
    // DT_RIGHT inside the rectangle, from its top (DT_VCENTER or DT_BOTTOM
    // move a single line). OPAQUE fills each line's box with the background
    // colour first. Cut to the rectangle unless DT_NOCLIP. `count` -1: up to
    // the terminating zero. Answers the height of the text; 0 when nothing can
    // be drawn (no text, no surface, or no toolkit to give a font).
    int DrawText(const char* text, int count, RECT* rect, UINT format);
    // The height of one line of DrawText.
    static int GetTextLineHeight();

    // --- For the window layer --------------------------------------------------

    // A box holding every device pixel drawn since the last reset (more is
    // allowed), within the surface; empty when nothing was drawn. Windows
    // present it when a client context is released.
    RECT GetDrawnBounds() const;
    void ResetDrawnBounds() { m_drawn = Box{}; }

private:
    struct State {
        CPen* pen = nullptr;
        CBrush* brush = nullptr;
        CFont* font = nullptr;
        CFont::Attributes fontAttributes;
        bool brushFills = true;  // created and not hollow
        COLORREF brushColour = RGB(255, 255, 255);
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
        std::shared_ptr<const CRgn> clipRgn;                                // device
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
    // The bounding box of the clip rectangles.
    Box ClipBox() const;
    // The surface, narrowed by the clip rectangle and regions, as disjoint
    // rectangles; cached until the clip changes.
    const std::vector<Box>& ClipRects() const;
    void ClipChanged() { m_clipValid = false; }
    int ClipResult() const;
    bool Visible(int64_t x, int64_t y) const;
    void MixBox(const Box& box, uint32_t pixel);
    void StretchCopy(const Box& dest, bool mirrorX, bool mirrorY, const platform::Surface* source,
                     const Box& src, DWORD rop);
    uint32_t PixelOf(COLORREF colour) const { return platform::Surface::ToPixel(GetNearestColor(colour)); }
    void UpdatePenPixel();
    void FillBox(const Box& box, uint32_t pixel);
    void DrawDeviceLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
    void DrawDeviceLineIn(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Box& clip);
    void PlotPenRow(int64_t x0, int64_t x1, int64_t y, const Box& clip);  // [x0, x1)

    struct DibCopy;
    void DrawDib(const DibCopy& copy);
    void DrawDibIn(const DibCopy& copy, const Box& clip);

    platform::Surface* m_surface = nullptr;
    BOOL m_bPrinting = FALSE;
    bool m_memory = false;
    CBitmap* m_bitmap = nullptr;
    std::shared_ptr<const CRgn> m_visible;
    Box m_drawn;
    void Touch(int64_t left, int64_t top, int64_t right, int64_t bottom);
    mutable bool m_clipValid = false;
    mutable int m_clipWidth = 0, m_clipHeight = 0;  // the surface's size when cached
    mutable std::vector<Box> m_clipRects;
    State m_state;
    std::vector<State> m_saved;
};
