// The system's region object: a set of device pixels held as horizontal bands
// of disjoint spans, the way window update areas and polygon outlines are
// described. Coordinates are device pixels; rectangles are half-open.
#pragma once

#include <vector>

#include "platform/core/rect.h"
#include "platform/gdi/gdi_object.h"

// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// Combination modes of CombineRgn.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// ERROR is what region calls answer on failure (RGN_ERROR, 0).
constexpr int ERROR = RGN_ERROR;

class CRgn : public CGdiObject {
public:
    CRgn() = default;

    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(const RECT* rect);
    // The pixels whose centres the polygon encloses by the fill mode, so a
    // rectangle given as a polygon covers exactly that rectangle. FALSE for
    // fewer than two points, a null array or an unknown mode. Rows further
    // than 2^24 from the origin are left out.
    BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode);
    // Replaces the region by the rectangle.
    void SetRectRgn(int left, int top, int right, int bottom);
    void SetRectRgn(const RECT* rect);
    BOOL DeleteObject() override;

    // This := a op b (a alone for RGN_COPY). Either may be this region. An
    // uncreated region counts as empty; this one is created by the call.
    // Answers the result's kind (NULLREGION, SIMPLEREGION, COMPLEXREGION) or
    // ERROR for an unknown mode or a missing operand.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    int CopyRgn(const CRgn* from) { return CombineRgn(from, nullptr, RGN_COPY); }
    int OffsetRgn(int dx, int dy);
    int OffsetRgn(POINT point) { return OffsetRgn(point.x, point.y); }
    // The bounding box; (0, 0, 0, 0) for an empty region.
    int GetRgnBox(RECT* rect) const;
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
    // TRUE when some pixel of the rectangle lies in the region.
    BOOL RectInRegion(const RECT* rect) const;
    BOOL EqualRgn(const CRgn* other) const;
    BOOL IsEmpty() const { return m_bands.empty(); }

    // The region as disjoint rectangles, top to bottom, left to right.
    std::vector<RECT> GetRects() const;
    int Kind() const;

private:
    struct Band {
        int top = 0, bottom = 0;
        std::vector<int> spans;  // pairs [x0, x1), sorted, disjoint, not touching
    };
    static std::vector<Band> Combine(const std::vector<Band>& a, const std::vector<Band>& b, int mode);
    static void Append(std::vector<Band>& bands, int top, int bottom, std::vector<int>&& spans);

    std::vector<Band> m_bands;
};
