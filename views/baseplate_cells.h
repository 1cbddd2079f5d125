// The baseplate's grid cells that can meet an area, without visiting the
// others: a baseplate may be 262,136 cells a side. A cell (x, y) is the
// rectangle `cell` placed at the projection p of (x, y, 0); p is affine in x
// and y (p = p00 + x ex + y ey), so for each x the cells meeting the area form
// one run of y, found by division. 64-bit throughout.
#pragma once

#include <algorithm>

#include "platform/core/types.h"

namespace baseplate {

inline long long FloorDiv(long long n, long long d)
{
    const long long q = n / d;
    return (n % d != 0 && ((n < 0) != (d < 0))) ? q - 1 : q;
}

inline long long CeilDiv(long long n, long long d)
{
    return -FloorDiv(-n, d);
}

// Narrows [lo, hi] to the y with c + k y < m.
inline void Below(long long c, long long k, long long m, long long& lo, long long& hi)
{
    if (k == 0) {
        if (!(c < m))
            hi = lo - 1;
    } else if (k > 0) {
        hi = std::min(hi, CeilDiv(m - c, k) - 1);
    } else {
        lo = std::max(lo, FloorDiv(m - c, k) + 1);
    }
}

// Narrows [lo, hi] to the y with c + k y > m.
inline void Above(long long c, long long k, long long m, long long& lo, long long& hi)
{
    Below(-c, -k, -m, lo, hi);
}

// Calls visit(x, y, rect) for x from xCount down to 1 and, within, y from
// yCount down to 1, for the cells whose rectangle meets `area`.
template <class Visit>
void ForEachCell(long long xCount, long long yCount, POINT p00, POINT ex, POINT ey, const RECT& cell,
                 const RECT& area, Visit visit)
{
    for (long long x = xCount; x >= 1; --x) {
        const long long cx = p00.x + x * ex.x;
        const long long cy = p00.y + x * ex.y;
        long long lo = 1;
        long long hi = yCount;
        Below(cx + cell.left, ey.x, area.right, lo, hi);
        Above(cx + cell.right, ey.x, area.left, lo, hi);
        Below(cy + cell.top, ey.y, area.bottom, lo, hi);
        Above(cy + cell.bottom, ey.y, area.top, lo, hi);
        for (long long y = hi; y >= lo; --y) {
            const long long px = cx + y * ey.x;
            const long long py = cy + y * ey.y;
            const RECT r{static_cast<LONG>(px + cell.left), static_cast<LONG>(py + cell.top),
                         static_cast<LONG>(px + cell.right), static_cast<LONG>(py + cell.bottom)};
            visit(x, y, r);
        }
    }
}

}  // namespace baseplate
