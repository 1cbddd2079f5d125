#include "platform/gdi/gdi_object.h"

BOOL CGdiObject::DeleteObject()
{
    const BOOL was = m_created;
    m_created = FALSE;
    return was;
}

CPen::CPen(int style, int width, COLORREF colour)
{
    CreatePen(style, width, colour);
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour)
{
    m_style = style;
    m_width = width < 1 ? 1 : width;
    // Palette-index colours keep their flag; other top bytes mean nothing.
    m_colour = (colour >> 24) <= 0x02 ? colour : colour & 0x00FFFFFF;
    m_created = TRUE;
    return TRUE;
}

BOOL CPen::DeleteObject()
{
    m_style = PS_NULL;
    m_width = 0;
    m_colour = 0;
    return CGdiObject::DeleteObject();
}

CPen* CPen::BlackPen()
{
    static CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    return &pen;
}

CBrush::CBrush(COLORREF colour)
{
    CreateSolidBrush(colour);
}

BOOL CBrush::CreateSolidBrush(COLORREF colour)
{
    m_colour = (colour >> 24) <= 0x02 ? colour : colour & 0x00FFFFFF;
    m_hollow = FALSE;
    m_created = TRUE;
    return TRUE;
}

BOOL CBrush::DeleteObject()
{
    m_colour = 0;
    m_hollow = FALSE;
    return CGdiObject::DeleteObject();
}

CPen* CPen::StockPen(int index)
{
    static CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    static CPen none(PS_NULL, 1, RGB(0, 0, 0));
    switch (index) {
    case WHITE_PEN:
        return &white;
    case BLACK_PEN:
        return BlackPen();
    case NULL_PEN:
        return &none;
    default:
        return nullptr;
    }
}

CBrush* CBrush::StockBrush(int index)
{
    static CBrush brushes[] = {CBrush(RGB(255, 255, 255)), CBrush(RGB(192, 192, 192)), CBrush(RGB(128, 128, 128)),
                               CBrush(RGB(64, 64, 64)), CBrush(RGB(0, 0, 0))};
    static CBrush hollow = [] {
        CBrush brush(RGB(0, 0, 0));
        brush.m_hollow = TRUE;
        return brush;
    }();
    if (index >= WHITE_BRUSH && index <= BLACK_BRUSH)
        return &brushes[index];
    return index == NULL_BRUSH ? &hollow : nullptr;
}
