// The program's own pixel region: horizontal runs grouped into bands of rows,
// kept as one block of little-endian 16-bit words that is the same in a
// "REGION" resource and in memory.
//
// Block: header {total bytes, band count, longest band's x count, left, top,
// right, bottom}, then per band {n, top, bottom, x0, x1, ... (n values), n}.
// Rows [top, bottom) and runs [x0, x1) are half-open.
//
// A "REGION" resource is bounded by its 16-bit size word and checked against
// it. Regions built in memory grow as far as they need (a selection outline
// of thousands of scattered bricks): the object keeps the block's size and
// band count in 32 bits, and a header word that cannot hold its value reads 0.
#pragma once

#include "platform/core/object.h"
#include "platform/core/resources.h"
#include "platform/core/types.h"
#include "platform/gdi/gdi_types.h"

class CDC;

class CRegion : public CObject {
public:
    static constexpr DWORD kHeaderBytes = 14;
    // The largest block a resource (or a header size word) can describe.
    static constexpr DWORD kMaxBlockBytes = 32767;

    CRegion();
    CRegion(const CRegion& other);
    CRegion& operator=(const CRegion& other);
    ~CRegion() override;

    // Frees the block; the bounds keep their last value.
    void Empty();
    BOOL IsEmpty() const { return m_pData == nullptr; }

    // Region `id` of type "REGION" in `module`; empty when there is none or its
    // data does not hold together.
    void LoadResource(HMODULE module, UINT id);
    // Takes a copy of a region block of `size` bytes after checking it; FALSE
    // (and an empty region) when it is damaged.
    BOOL LoadData(const void* bytes, DWORD size);

    // The block's size and band count, in full; 0 for an empty region.
    DWORD GetSize() const { return m_dwSize; }
    int GetSpanCount() const { return m_nBands; }
    // Header words; 0 for an empty region.
    SHORT GetLongestSpan() const { return Word(2); }
    SHORT GetLeft() const { return Word(3); }
    SHORT GetTop() const { return Word(4); }
    SHORT GetRight() const { return Word(5); }
    SHORT GetBottom() const { return Word(6); }
    // Write into the block; ignored for an empty region. The bounds follow
    // only on RefreshBounds.
    void SetSize(SHORT value) { SetWord(0, value); }
    void SetSpanCount(SHORT value) { SetWord(1, value); }
    void SetLongestSpan(SHORT value) { SetWord(2, value); }
    void SetLeft(SHORT value) { SetWord(3, value); }
    void SetTop(SHORT value) { SetWord(4, value); }
    void SetRight(SHORT value) { SetWord(5, value); }
    void SetBottom(SHORT value) { SetWord(6, value); }
    void RefreshBounds();

    const RECT& GetBounds() const { return m_rcBounds; }
    const BYTE* GetData() const { return m_pData; }
    DWORD GetBlockSize() const { return m_dwSize; }

    // Inside the bounds (half-open), a point hits when it lies on a band's rows
    // or a run's columns counting both ends.
    BOOL PtInRegion(POINT point) const;

    void OffsetX(SHORT dx);
    void OffsetY(SHORT dy);
    void SetRect(SHORT left, SHORT top, SHORT right, SHORT bottom);


    // Becomes a ∪ b; TRUE when the result holds a band.
    BOOL Union(const CRegion& a, const CRegion& b);
    // Becomes a − b, keeping a's extent in the header and the bounds.
    void Subtract(const CRegion& a, const CRegion& b);
    // Scan-converts the projected outline of a box: top, upper left, lower
    // left, bottom, upper right, lower right corner.
    void SetPolygon(const POINT points[6]);

    // colour 0: the context's pen and mix; -1: inverts; else a 1-pixel pen of
    // that colour. Answers 0.
    int FillRows(CDC* dc, COLORREF colour) const;
    // Edges `width` pixels long at both ends of every run, full top edges on
    // every band's first row and a bottom edge on the last row. colour -1
    // draws `second` in not-xor mix so that drawing twice restores the pixels.
    int DrawOutline(CDC* dc, COLORREF colour, int width, COLORREF second) const;

    // Reads the bands in order: Next() steps to the following band (the first
    // one on the first call) and answers false past the last.
    class BandReader {
    public:
        explicit BandReader(const CRegion& region);
        bool Next();
        SHORT Top() const { return m_top; }
        SHORT Bottom() const { return m_bottom; }
        int RunCount() const { return m_n / 2; }
        SHORT RunStart(int i) const;
        SHORT RunEnd(int i) const;

    private:
        const BYTE* m_next;
        const BYTE* m_end;
        const BYTE* m_band = nullptr;
        long m_left;
        SHORT m_n = 0, m_top = 0, m_bottom = 0;
    };

private:
    SHORT Word(int index) const;
    void SetWord(int index, SHORT value);
    void CopyFrom(const CRegion& other);
    void Adopt(BYTE* data, DWORD size, int bands);

    BYTE* m_pData;
    DWORD m_dwSize;
    int m_nBands = 0;
    RECT m_rcBounds;
};
