#include "shell/picture_button.h"

#include <cstring>

#include "platform/core/resources.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/ui/res_templates.h"
#include "views/iso_brick_pane.h"

namespace {

// A private copy of an RT_BITMAP resource that is a whole 8-bit picture.
HGLOBAL LoadPicture(UINT id, LONG& width, LONG& height)
{
    HMODULE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCE(id), RT_BITMAP);
    if (!resource)
        return nullptr;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL data = LoadResource(module, resource);
    const void* bytes = LockResource(data);
    HGLOBAL copy = nullptr;
    BITMAPINFOHEADER header{};
    if (bytes && size >= sizeof header) {
        std::memcpy(&header, bytes, sizeof header);
        const size_t colours = header.biClrUsed ? header.biClrUsed : 256;
        const size_t stride = (static_cast<size_t>(header.biWidth) + 3) & ~size_t{3};
        const LONG rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
        const bool sane = header.biSize >= sizeof header && header.biWidth > 0 && header.biWidth <= 4096 &&
                          rows > 0 && rows <= 4096 && header.biBitCount == 8 && header.biCompression == 0 &&
                          colours <= 256;
        if (sane && header.biSize + 4 * colours + stride * static_cast<size_t>(rows) <= size) {
            copy = GlobalAlloc(GMEM_MOVEABLE, size);
            if (void* target = copy ? GlobalLock(copy) : nullptr) {
                std::memcpy(target, bytes, size);
                GlobalUnlock(copy);
                width = header.biWidth;
                height = rows;
            }
        }
    }
    FreeResource(data);
    return copy;
}

}  // namespace

CSignInButton::~CSignInButton()
{
    for (HGLOBAL& image : m_images)
        if (image)
            image = GlobalFree(image);
}

BOOL CSignInButton::LoadImages(UINT normal, UINT pressed)
{
    const UINT ids[2] = {normal, pressed};
    BOOL all = TRUE;
    for (int i = 0; i < 2; ++i) {
        if (m_images[i])
            m_images[i] = GlobalFree(m_images[i]);
        LONG width = 0, height = 0;
        m_images[i] = LoadPicture(ids[i], width, height);
        if (!m_images[i])
            all = FALSE;
        else if (i == 0) {
            m_nWidth = width;
            m_nHeight = height;
        }
    }
    return all;
}

void CSignInButton::SizeToImage()
{
    if (m_images[0] && GetSafeHwnd())
        SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER);
}

void CSignInButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* dc = drawItem->hDC;
    HGLOBAL image = m_images[(drawItem->itemState & ODS_SELECTED) && m_images[1] ? 1 : 0];
    CPalette* old = m_pPalette ? dc->SelectPalette(m_pPalette, FALSE) : nullptr;
    if (image)
        DrawDIB(dc, image, drawItem->rcItem, nullptr);
    else
        dc->FillSolidRect(&drawItem->rcItem, RGB(192, 192, 192));
    if (old)
        dc->SelectPalette(old, FALSE);
}
