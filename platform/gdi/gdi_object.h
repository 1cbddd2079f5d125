// Drawing objects that are selected into a device context.
#pragma once

#include "platform/core/object.h"
#include "platform/gdi/gdi_types.h"

class CGdiObject : public CObject {
public:
    // Forgets the object's attributes; a pen without them draws nothing.
    virtual BOOL DeleteObject();
    BOOL IsCreated() const { return m_created; }

protected:
    BOOL m_created = FALSE;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour);

    BOOL CreatePen(int style, int width, COLORREF colour);
    BOOL DeleteObject() override;

    int GetStyle() const { return m_style; }
    int GetWidth() const { return m_width; }
    COLORREF GetColor() const { return m_colour; }

    // The pen a device context holds before anything is selected into it.
    static CPen* BlackPen();
    // WHITE_PEN, BLACK_PEN or NULL_PEN; null for another index.
    static CPen* StockPen(int index);

private:
    int m_style = PS_NULL;
    int m_width = 0;
    COLORREF m_colour = 0;
};

// Solid and hollow brushes only: the program fills with plain colours.
class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour);

    BOOL CreateSolidBrush(COLORREF colour);
    BOOL DeleteObject() override;

    // May be a palette-index colour, resolved when the brush is used.
    COLORREF GetColor() const { return m_colour; }
    // The null brush paints nothing.
    BOOL IsHollow() const { return m_hollow; }

    // WHITE_BRUSH ... BLACK_BRUSH, NULL_BRUSH; null for another index.
    static CBrush* StockBrush(int index);

private:
    COLORREF m_colour = 0;
    BOOL m_hollow = FALSE;
};
