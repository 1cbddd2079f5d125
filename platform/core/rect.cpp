#include "platform/core/rect.h"

#include <algorithm>
#include <utility>

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(RECT* to, const RECT* from)
{
    if (!to || !from)
        return FALSE;
    *to = *from;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect)
{
    return !rect || rect->left >= rect->right || rect->top >= rect->bottom;
}

BOOL PtInRect(const RECT* rect, POINT point)
{
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
           point.y < rect->bottom;
}

BOOL OffsetRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL InflateRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(RECT* result, const RECT* a, const RECT* b)
{
    if (!result || !a || !b)
        return FALSE;
    const RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                 std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *result = RECT{};
        return FALSE;
    }
    *result = r;
    return TRUE;
}

BOOL UnionRect(RECT* result, const RECT* a, const RECT* b)
{
    if (!result || !a || !b)
        return FALSE;
    const bool emptyA = IsRectEmpty(a);
    const bool emptyB = IsRectEmpty(b);
    if (emptyA && emptyB) {
        *result = RECT{};
        return FALSE;
    }
    if (emptyA || emptyB) {
        *result = emptyA ? *b : *a;
        return TRUE;
    }
    *result = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                   std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}
