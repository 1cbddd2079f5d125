// Grid points, extents and boxes of the brick model: x and y horizontal, z
// vertical, each a signed 16-bit number whose arithmetic wraps.
#pragma once

#include "platform/core/types.h"

namespace grid {
// 16-bit wrap made explicit: the sum of two shorts is an int in C++.
constexpr SHORT Wrap(int value)
{
    return static_cast<SHORT>(static_cast<WORD>(static_cast<unsigned>(value) & 0xFFFFu));
}
}  // namespace grid

constexpr SHORT Min16(SHORT a, SHORT b) { return a < b ? a : b; }
constexpr SHORT Max16(SHORT a, SHORT b) { return a > b ? a : b; }
// 0 for a negative value, 1 for zero, 2 for a positive one.
constexpr int SignIndex(SHORT value) { return value < 0 ? 0 : (value == 0 ? 1 : 2); }

class CPoint3D {
public:
    constexpr CPoint3D() = default;
    // Values wrap to 16 bits, so int arithmetic can be passed straight in.
    constexpr CPoint3D(int x, int y, int z) : m_x(grid::Wrap(x)), m_y(grid::Wrap(y)), m_z(grid::Wrap(z)) {}

    SHORT& X() { return m_x; }
    SHORT& Y() { return m_y; }
    SHORT& Z() { return m_z; }
    constexpr SHORT X() const { return m_x; }
    constexpr SHORT Y() const { return m_y; }
    constexpr SHORT Z() const { return m_z; }

    // 0 is x, 1 is y, any other index is z.
    SHORT& operator[](int index) { return index == 0 ? m_x : (index == 1 ? m_y : m_z); }
    constexpr SHORT operator[](int index) const { return index == 0 ? m_x : (index == 1 ? m_y : m_z); }

    void Get(SHORT& x, SHORT& y, SHORT& z) const
    {
        x = m_x;
        y = m_y;
        z = m_z;
    }
    constexpr CPoint3D Copy() const { return *this; }

    constexpr bool operator==(const CPoint3D& other) const = default;
    // True only when the relation holds on all three axes: a partial order.
    constexpr bool operator>=(const CPoint3D& o) const { return m_x >= o.m_x && m_y >= o.m_y && m_z >= o.m_z; }
    constexpr bool operator<=(const CPoint3D& o) const { return m_x <= o.m_x && m_y <= o.m_y && m_z <= o.m_z; }

    constexpr CPoint3D operator+(const CPoint3D& o) const
    {
        return CPoint3D(grid::Wrap(m_x + o.m_x), grid::Wrap(m_y + o.m_y), grid::Wrap(m_z + o.m_z));
    }
    constexpr CPoint3D operator-(const CPoint3D& o) const
    {
        return CPoint3D(grid::Wrap(m_x - o.m_x), grid::Wrap(m_y - o.m_y), grid::Wrap(m_z - o.m_z));
    }
    CPoint3D& operator+=(const CPoint3D& o) { return *this = *this + o; }
    CPoint3D& operator-=(const CPoint3D& o) { return *this = *this - o; }
    // Truncates toward zero; the divisor is never 0 (the caller's limit).
    constexpr CPoint3D operator/(SHORT divisor) const
    {
        return CPoint3D(grid::Wrap(m_x / divisor), grid::Wrap(m_y / divisor), grid::Wrap(m_z / divisor));
    }

private:
    SHORT m_x = 0;
    SHORT m_y = 0;
    SHORT m_z = 0;
};

class CSize3D {
public:
    constexpr CSize3D() = default;
    constexpr CSize3D(int cx, int cy, int cz) : m_cx(grid::Wrap(cx)), m_cy(grid::Wrap(cy)), m_cz(grid::Wrap(cz)) {}

    SHORT& CX() { return m_cx; }
    SHORT& CY() { return m_cy; }
    SHORT& CZ() { return m_cz; }
    constexpr SHORT CX() const { return m_cx; }
    constexpr SHORT CY() const { return m_cy; }
    constexpr SHORT CZ() const { return m_cz; }
    constexpr bool operator==(const CSize3D& other) const = default;

private:
    SHORT m_cx = 0;
    SHORT m_cy = 0;
    SHORT m_cz = 0;
};

// An axis-aligned box. IsEmpty and Overlaps treat it as half-open; Contains is
// closed at both ends. Draw order, hit tests and cached bounds rely on both.
class CBox3D {
public:
    constexpr CBox3D() = default;
    constexpr CBox3D(const CPoint3D& min, const CPoint3D& max) : m_min(min), m_max(max) {}
    constexpr CBox3D(int x1, int y1, int z1, int x2, int y2, int z2) : m_min(x1, y1, z1), m_max(x2, y2, z2) {}

    CPoint3D& Min() { return m_min; }
    CPoint3D& Max() { return m_max; }
    constexpr const CPoint3D& Min() const { return m_min; }
    constexpr const CPoint3D& Max() const { return m_max; }

    constexpr bool operator==(const CBox3D& other) const = default;
    constexpr CBox3D operator+(const CPoint3D& offset) const { return CBox3D(m_min + offset, m_max + offset); }

    BOOL Overlaps(const CBox3D& other) const;
    // grow 1: widen to take in the point; grow 0: both corners become the point.
    void Include(const CPoint3D& point, BOOL grow);
    void IncludeBox(const CBox3D& box, BOOL grow);
    BOOL IsEmpty() const;
    // Axis 0 is x, 1 is y, any other value z.
    SHORT Extent(int axis) const;
    CSize3D Size() const;
    // Halves round up, for negative sums too.
    CPoint3D Center() const;
    BOOL Contains(const CPoint3D& point) const;

private:
    CPoint3D m_min;
    CPoint3D m_max;
};

// Built before any other code runs.
inline constexpr CPoint3D kOrigin3D(0, 0, 0);
inline constexpr CPoint3D kUnit3D(1, 1, 1);
