#include "platform/gdi/font.h"

BOOL CFont::CreateFont(int height, int, int, int, int weight, BYTE italic, BYTE underline, BYTE, BYTE, BYTE, BYTE,
                       BYTE, BYTE pitchAndFamily, const char* faceName)
{
    m_attributes = Attributes{};
    m_attributes.height = height;
    m_attributes.weight = weight == FW_DONTCARE ? FW_NORMAL : weight;
    m_attributes.italic = italic != 0;
    m_attributes.underline = underline != 0;
    m_attributes.family = static_cast<BYTE>(pitchAndFamily & 0xF0);
    if (faceName)
        m_attributes.face = faceName;
    m_created = TRUE;
    return TRUE;
}

BOOL CFont::CreatePointFont(int pointSize, const char* faceName)
{
    // Points are 1/72 inch; the screen has 96 dots to the inch.
    const int pixels = (pointSize * 96 + 360) / 720;
    return CreateFont(-pixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName);
}

BOOL CFont::DeleteObject()
{
    m_attributes = Attributes{};
    return CGdiObject::DeleteObject();
}

CFont* CFont::SystemFont()
{
    static CFont* font = [] {
        auto* f = new CFont;
        f->CreateFont(16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, nullptr);
        return f;
    }();
    return font;
}
