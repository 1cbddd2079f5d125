// Fonts for the little text the program writes into its drawings. Glyphs are
// the toolkit's (the only drawing the layer leaves to it); a context keeps a
// selected font's attributes, as it keeps a pen's.
#pragma once

#include <string>

#include "platform/gdi/gdi_object.h"

constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;

class CFont : public CGdiObject {
public:
    CFont() = default;

    // `height` in logical units: negative is the characters' height, positive
    // the cell's (with the line's leading), 0 a default. Escapement,
    // orientation, strike-out, character set and the precisions are recorded
    // only. `faceName` may be null: then the family in `pitchAndFamily`
    // chooses.
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, const char* faceName);
    // Tenths of a point at the screen's 96 dots per inch.
    BOOL CreatePointFont(int pointSize, const char* faceName);
    BOOL DeleteObject() override;

    struct Attributes {
        int height = 0;
        int weight = FW_NORMAL;
        bool italic = false;
        bool underline = false;
        BYTE family = FF_DONTCARE;
        std::string face;
    };
    const Attributes& GetAttributes() const { return m_attributes; }

    // The font a context holds before one is selected.
    static CFont* SystemFont();

private:
    Attributes m_attributes;
};
