// The sign-in's OK and Cancel: owner-drawn buttons showing a normal and a
// pressed picture from the program's bitmaps.
#pragma once

#include "platform/core/global_memory.h"
#include "platform/ui/controls.h"

class CPalette;

class CSignInButton : public CButton {
public:
    CSignInButton() = default;
    ~CSignInButton() override;

    // FALSE when either picture is missing or not an 8-bit picture whose
    // pixels lie inside the resource; the button then draws a plain face.
    BOOL LoadImages(UINT normal, UINT pressed);
    void SetPalette(CPalette* palette) { m_pPalette = palette; }
    // To the size of the normal picture, if it loaded.
    void SizeToImage();

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

private:
    HGLOBAL m_images[2] = {nullptr, nullptr};
    CPalette* m_pPalette = nullptr;
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
};
