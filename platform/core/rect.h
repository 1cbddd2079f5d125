// The class library's point, size and rectangle classes and the system's
// rectangle functions. Rectangles are half-open: the right and bottom edges
// lie outside.
#pragma once

#include "platform/core/types.h"

constexpr POINT MakePoint(LONG x, LONG y) { return POINT{x, y}; }

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL CopyRect(RECT* to, const RECT* from);
// TRUE when the rectangle has no area (or is null).
BOOL IsRectEmpty(const RECT* rect);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL InflateRect(RECT* rect, int dx, int dy);
// Each answers FALSE and an empty (all-zero) result when the result is empty.
BOOL IntersectRect(RECT* result, const RECT* a, const RECT* b);
// An empty operand does not count.
BOOL UnionRect(RECT* result, const RECT* a, const RECT* b);
BOOL EqualRect(const RECT* a, const RECT* b);

class CPoint : public POINT {
public:
    CPoint() = default;
    CPoint(int px, int py) { x = px, y = py; }
    CPoint(POINT p) : POINT(p) {}
    // The packed form of mouse messages: x in the low word, y in the high
    // word, each a signed 16-bit value.
    explicit CPoint(LPARAM packed)
    {
        x = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(packed)));
        y = static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(packed)));
    }

    void Offset(int dx, int dy) { x += dx, y += dy; }
    bool operator==(const POINT& o) const { return x == o.x && y == o.y; }
    bool operator!=(const POINT& o) const { return !(*this == o); }
    CPoint operator+(const POINT& o) const { return CPoint(x + o.x, y + o.y); }
    CPoint operator-(const POINT& o) const { return CPoint(x - o.x, y - o.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
    CPoint& operator+=(const POINT& o) { return Offset(o.x, o.y), *this; }
    CPoint& operator-=(const POINT& o) { return Offset(-o.x, -o.y), *this; }
};

class CSize : public SIZE {
public:
    CSize() = default;
    CSize(int w, int h) { cx = w, cy = h; }
    CSize(SIZE s) : SIZE(s) {}
    bool operator==(const SIZE& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const SIZE& o) const { return !(*this == o); }
};

class CRect : public RECT {
public:
    CRect() = default;
    CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    CRect(const RECT& r) : RECT(r) {}
    CRect(POINT topLeft, SIZE size) : CRect(topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy) {}
    CRect(POINT topLeft, POINT bottomRight) : CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y) {}

    operator RECT*() { return this; }
    operator const RECT*() const { return this; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
    void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT p) { ::OffsetRect(this, p.x, p.y); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    void NormalizeRect();
    BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }
    BOOL EqualRect(const RECT* o) const { return ::EqualRect(this, o); }
    bool operator==(const RECT& o) const { return ::EqualRect(this, &o) != FALSE; }
    bool operator!=(const RECT& o) const { return !(*this == o); }
};
