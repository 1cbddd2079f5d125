#include "platform/gdi/rgn.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

namespace {

constexpr int64_t kRowLimit = int64_t(1) << 24;

bool Keep(int mode, bool a, bool b)
{
    switch (mode) {
    case RGN_AND:
        return a && b;
    case RGN_OR:
        return a || b;
    case RGN_XOR:
        return a != b;
    case RGN_DIFF:
        return a && !b;
    default:
        return a;
    }
}

// Spans of a op b, both sorted lists of [x0, x1) pairs.
std::vector<int> CombineSpans(const std::vector<int>* a, const std::vector<int>* b, int mode)
{
    static const std::vector<int> none;
    const std::vector<int>& sa = a ? *a : none;
    const std::vector<int>& sb = b ? *b : none;
    std::vector<int> out;
    size_t i = 0, j = 0;
    bool inA = false, inB = false, inOut = false;
    while (i < sa.size() || j < sb.size()) {
        const int x = j >= sb.size() || (i < sa.size() && sa[i] <= sb[j]) ? sa[i] : sb[j];
        while (i < sa.size() && sa[i] == x) {
            inA = !inA;
            ++i;
        }
        while (j < sb.size() && sb[j] == x) {
            inB = !inB;
            ++j;
        }
        const bool now = Keep(mode, inA, inB);
        if (now != inOut) {
            if (!now && !out.empty() && out.back() == x)
                out.pop_back();  // empty span
            else
                out.push_back(x);
            inOut = now;
        }
    }
    return out;
}

}  // namespace

void CRgn::Append(std::vector<Band>& bands, int top, int bottom, std::vector<int>&& spans)
{
    if (spans.empty() || top >= bottom)
        return;
    if (!bands.empty() && bands.back().bottom == top && bands.back().spans == spans) {
        bands.back().bottom = bottom;
        return;
    }
    bands.push_back(Band{top, bottom, std::move(spans)});
}

std::vector<CRgn::Band> CRgn::Combine(const std::vector<Band>& a, const std::vector<Band>& b, int mode)
{
    std::vector<int> edges;
    edges.reserve(2 * (a.size() + b.size()));
    for (const Band& band : a) {
        edges.push_back(band.top);
        edges.push_back(band.bottom);
    }
    for (const Band& band : b) {
        edges.push_back(band.top);
        edges.push_back(band.bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<Band> out;
    size_t ia = 0, ib = 0;
    for (size_t k = 0; k + 1 < edges.size(); ++k) {
        const int top = edges[k];
        const int bottom = edges[k + 1];
        while (ia < a.size() && a[ia].bottom <= top)
            ++ia;
        while (ib < b.size() && b[ib].bottom <= top)
            ++ib;
        const std::vector<int>* sa = ia < a.size() && a[ia].top <= top ? &a[ia].spans : nullptr;
        const std::vector<int>* sb = ib < b.size() && b[ib].top <= top ? &b[ib].spans : nullptr;
        if (!sa && !sb)
            continue;
        Append(out, top, bottom, CombineSpans(sa, sb, mode));
    }
    return out;
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    SetRectRgn(left, top, right, bottom);
    return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rect)
{
    if (!rect)
        return FALSE;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

void CRgn::SetRectRgn(int left, int top, int right, int bottom)
{
    m_bands.clear();
    m_created = TRUE;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    Append(m_bands, top, bottom, left < right ? std::vector<int>{left, right} : std::vector<int>{});
}

void CRgn::SetRectRgn(const RECT* rect)
{
    if (rect)
        SetRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (!points || count < 2 || (fillMode != ALTERNATE && fillMode != WINDING))
        return FALSE;
    m_bands.clear();
    m_created = TRUE;

    int64_t minY = points[0].y, maxY = points[0].y;
    for (int i = 1; i < count; ++i) {
        minY = std::min<int64_t>(minY, points[i].y);
        maxY = std::max<int64_t>(maxY, points[i].y);
    }
    minY = std::max(minY, -kRowLimit);
    maxY = std::min(maxY, kRowLimit);

    struct Crossing {
        int64_t x;  // first pixel whose centre lies right of the edge
        int dir;
    };
    std::vector<Crossing> crossings;
    for (int64_t y = minY; y < maxY; ++y) {
        crossings.clear();
        // The scan line runs through the pixel centres, y + 1/2; vertices lie
        // on whole numbers, so it never passes through one.
        for (int i = 0; i < count; ++i) {
            const POINT& p = points[i];
            const POINT& q = points[(i + 1) % count];
            if (p.y == q.y)
                continue;
            const int64_t y0 = std::min(p.y, q.y);
            const int64_t y1 = std::max(p.y, q.y);
            if (y < y0 || y >= y1)
                continue;
            // Crossing at X = p.x + (y + 1/2 - p.y) (q.x - p.x) / (q.y - p.y);
            // the first pixel covered is ceil(X - 1/2).
            int64_t dy = int64_t{q.y} - p.y;
            int64_t num = 2 * int64_t{p.x} * dy + (2 * y + 1 - 2 * int64_t{p.y}) * (int64_t{q.x} - p.x) - dy;
            int64_t den = 2 * dy;
            if (den < 0) {
                num = -num;
                den = -den;
            }
            const int64_t ceil = num >= 0 ? (num + den - 1) / den : -((-num) / den);
            crossings.push_back(Crossing{ceil, q.y > p.y ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        std::vector<int> spans;
        int winding = 0;
        for (size_t k = 0; k < crossings.size(); ++k) {
            const bool wasIn = fillMode == WINDING ? winding != 0 : (winding & 1) != 0;
            winding += fillMode == WINDING ? crossings[k].dir : 1;
            const bool isIn = fillMode == WINDING ? winding != 0 : (winding & 1) != 0;
            if (wasIn == isIn)
                continue;
            const int x = static_cast<int>(std::clamp<int64_t>(crossings[k].x, INT_MIN, INT_MAX));
            if (!isIn && !spans.empty() && spans.back() >= x)
                spans.pop_back();  // nothing between the two edges
            else if (isIn && !spans.empty() && spans.back() == x)
                spans.pop_back();  // touches the previous span
            else
                spans.push_back(x);
        }
        if (spans.size() % 2)
            spans.pop_back();
        Append(m_bands, static_cast<int>(y), static_cast<int>(y + 1), std::move(spans));
    }
    return TRUE;
}

BOOL CRgn::DeleteObject()
{
    m_bands.clear();
    return CGdiObject::DeleteObject();
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode)
{
    if (!a || mode < RGN_AND || mode > RGN_COPY || (mode != RGN_COPY && !b))
        return ERROR;
    if (mode == RGN_COPY) {
        if (a != this)
            m_bands = a->m_bands;
    } else {
        m_bands = Combine(a->m_bands, b->m_bands, mode);
    }
    m_created = TRUE;
    return Kind();
}

int CRgn::OffsetRgn(int dx, int dy)
{
    const auto shift = [](int v, int d) {
        return static_cast<int>(std::clamp<int64_t>(int64_t{v} + d, INT_MIN, INT_MAX));
    };
    for (Band& band : m_bands) {
        band.top = shift(band.top, dy);
        band.bottom = shift(band.bottom, dy);
        for (int& x : band.spans)
            x = shift(x, dx);
    }
    return Kind();
}

int CRgn::Kind() const
{
    if (m_bands.empty())
        return NULLREGION;
    return m_bands.size() == 1 && m_bands[0].spans.size() == 2 ? SIMPLEREGION : COMPLEXREGION;
}

int CRgn::GetRgnBox(RECT* rect) const
{
    if (!rect)
        return ERROR;
    if (m_bands.empty()) {
        *rect = RECT{};
        return NULLREGION;
    }
    RECT box{INT_MAX, m_bands.front().top, INT_MIN, m_bands.back().bottom};
    for (const Band& band : m_bands) {
        box.left = std::min(box.left, band.spans.front());
        box.right = std::max(box.right, band.spans.back());
    }
    *rect = box;
    return Kind();
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    for (const Band& band : m_bands) {
        if (y < band.top)
            return FALSE;
        if (y >= band.bottom)
            continue;
        for (size_t i = 0; i + 1 < band.spans.size(); i += 2)
            if (x >= band.spans[i] && x < band.spans[i + 1])
                return TRUE;
        return FALSE;
    }
    return FALSE;
}

BOOL CRgn::RectInRegion(const RECT* rect) const
{
    if (!rect)
        return FALSE;
    const int left = std::min(rect->left, rect->right), right = std::max(rect->left, rect->right);
    const int top = std::min(rect->top, rect->bottom), bottom = std::max(rect->top, rect->bottom);
    for (const Band& band : m_bands) {
        if (band.bottom <= top || band.top >= bottom)
            continue;
        for (size_t i = 0; i + 1 < band.spans.size(); i += 2)
            if (band.spans[i] < right && band.spans[i + 1] > left)
                return TRUE;
    }
    return FALSE;
}

BOOL CRgn::EqualRgn(const CRgn* other) const
{
    if (!other || m_bands.size() != other->m_bands.size())
        return FALSE;
    for (size_t i = 0; i < m_bands.size(); ++i) {
        const Band& a = m_bands[i];
        const Band& b = other->m_bands[i];
        if (a.top != b.top || a.bottom != b.bottom || a.spans != b.spans)
            return FALSE;
    }
    return TRUE;
}

std::vector<RECT> CRgn::GetRects() const
{
    std::vector<RECT> rects;
    for (const Band& band : m_bands)
        for (size_t i = 0; i + 1 < band.spans.size(); i += 2)
            rects.push_back(RECT{band.spans[i], band.top, band.spans[i + 1], band.bottom});
    return rects;
}
