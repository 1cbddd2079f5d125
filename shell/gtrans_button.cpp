#include "shell/gtrans_button.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/core/find_file.h"
#include "platform/core/hooks.h"
#include "platform/core/regular_file.h"
#include "platform/gdi/dib.h"
#include "platform/ui/res_templates.h"
#include "platform/gdi/palette.h"

IMPLEMENT_DYNCREATE(CGTransButton, CButton)

BEGIN_MESSAGE_MAP(CGTransButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

namespace {

constexpr size_t kFileHeaderSize = 14;

uint32_t Read32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Read16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// Where the pixels of a checked picture start.
size_t PixelOffset(const unsigned char* p)
{
    const uint32_t headerSize = Read32(p);
    const uint16_t bits = Read16(p + 14);
    uint32_t colours = 0;
    if (Read32(p + 32) != 0)
        colours = Read32(p + 32);
    else if (bits <= 8)
        colours = 1u << bits;
    return headerSize + 4u * colours;
}

}  // namespace

CGTransButton::CGTransButton() : m_images(2, nullptr) {}

CGTransButton::~CGTransButton()
{
    for (HGLOBAL& image : m_images)
        if (image) {
            GlobalUnlock(image);
            GlobalFree(image);
            image = nullptr;
        }
    m_images.clear();
}

size_t CGTransButton::CheckPackedPicture(const void* bytes, size_t size)
{
    if (!bytes || size < 40)
        return 0;
    const auto* p = static_cast<const unsigned char*>(bytes);
    const uint32_t headerSize = Read32(p);
    // Core headers (12 bytes) are refused: the drawing reads information
    // headers only.
    if ((headerSize != 40 && headerSize != 108 && headerSize != 124) || size < headerSize)
        return 0;
    const int64_t width = static_cast<int32_t>(Read32(p + 4));
    const int64_t height = static_cast<int32_t>(Read32(p + 8));
    const uint32_t planes = Read16(p + 12);
    const uint32_t bits = Read16(p + 14);
    const uint32_t compression = Read32(p + 16);
    const uint32_t sizeImage = Read32(p + 20);
    const uint32_t used = Read32(p + 32);
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF || planes != 1 || compression != 0)
        return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return 0;
    if (bits <= 8 && used > (1u << bits))
        return 0;
    if (bits > 8 && used > 256)
        return 0;
    const uint64_t colours = used != 0 ? used : (bits <= 8 ? (1u << bits) : 0);
    const uint64_t stride = ((static_cast<uint64_t>(bits) * width + 31) / 32) * 4;
    const uint64_t pixels = std::max<uint64_t>(sizeImage, stride * height);
    const uint64_t whole = headerSize + 4 * colours + pixels;
    return whole <= size ? static_cast<size_t>(whole) : 0;
}

void CGTransButton::EmptySlot(int slot)
{
    HGLOBAL& image = m_images[static_cast<size_t>(slot)];
    if (image) {
        GlobalUnlock(image);
        GlobalFree(image);
        image = nullptr;
    }
}

void CGTransButton::TakeSizeFromSlotZero()
{
    m_nWidth = 0;
    m_nHeight = 0;
    if (!HasImage(0))
        return;
    const auto* p = static_cast<const unsigned char*>(GlobalLock(m_images[0]));
    GlobalUnlock(m_images[0]);
    m_nWidth = static_cast<int32_t>(Read32(p + 4));
    m_nHeight = static_cast<int32_t>(Read32(p + 8));
}

BOOL CGTransButton::StoreImage(const void* bytes, size_t size, int slot)
{
    if (slot < 0)
        return FALSE;
    if (m_images.size() < static_cast<size_t>(slot) + 1)
        m_images.resize(static_cast<size_t>(slot) + 1, nullptr);
    EmptySlot(slot);
    BOOL stored = FALSE;
    const size_t whole = CheckPackedPicture(bytes, size);
    if (whole != 0) {
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, whole);
        void* target = copy ? GlobalLock(copy) : nullptr;
        if (target) {
            std::memcpy(target, bytes, whole);
            m_images[static_cast<size_t>(slot)] = copy;  // kept locked while held
            stored = TRUE;
        } else if (copy) {
            GlobalFree(copy);
        }
    }
    // Whatever happened to this slot, the button keeps the size of picture 0.
    TakeSizeFromSlotZero();
    return stored;
}

BOOL CGTransButton::LoadImageResource(HMODULE module, UINT id, int slot)
{
    if (slot < 0)
        return FALSE;
    if (id == 0) {
        if (m_images.size() < static_cast<size_t>(slot) + 1)
            m_images.resize(static_cast<size_t>(slot) + 1, nullptr);
        EmptySlot(slot);
        TakeSizeFromSlotZero();
        return TRUE;
    }
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCE(id), RT_BITMAP);
    HGLOBAL data = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    const size_t size = bytes ? SizeofResource(module, resource) : 0;
    const BOOL stored = StoreImage(bytes, size, slot);
    if (data)
        FreeResource(data);
    return stored;
}

BOOL CGTransButton::LoadImageFile(const char* path, int slot)
{
    std::vector<unsigned char> file;
    // Pictures are small; anything larger than a screenful is no picture.
    constexpr size_t kLargestPicture = 16u << 20;
    if (path)
        platform::ReadRegularFile(platform::NativePath(path), file, kLargestPicture);
    const bool isBitmapFile = file.size() > kFileHeaderSize && file[0] == 'B' && file[1] == 'M';
    return StoreImage(isBitmapFile ? file.data() + kFileHeaderSize : nullptr,
                      isBitmapFile ? file.size() - kFileHeaderSize : 0, slot);
}

void CGTransButton::SizeToImage(int cx, int cy)
{
    if (!GetSafeHwnd())
        return;
    if (HasImage(0))
        SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    else
        SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

BOOL CGTransButton::ShowImage(int slot)
{
    m_nCurrentImage = slot;
    if (GetSafeHwnd()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
    return TRUE;
}

void CGTransButton::SetHighlight(BOOL on)
{
    m_bHighlight = on;
    if (on)
        DrawHighlight();
}

int CGTransButton::ChooseImage(UINT state) const
{
    int index = HasImage(m_nCurrentImage) ? m_nCurrentImage : 0;
    if (m_bAutoState) {
        if ((state & ODS_SELECTED) && HasImage(kPressed))
            index = kPressed;
        else if ((state & ODS_FOCUS) && HasImage(kFocused))
            index = kFocused;
        else if ((state & ODS_DISABLED) && HasImage(kDisabled))
            index = kDisabled;
    }
    return index;
}

void CGTransButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    if (!drawItem || !drawItem->hDC)
        return;
    const int index = ChooseImage(drawItem->itemState);
    if (!HasImage(index))
        return;
    CDC* dc = drawItem->hDC;
    const auto* p = static_cast<const unsigned char*>(GlobalLock(m_images[static_cast<size_t>(index)]));
    GlobalUnlock(m_images[static_cast<size_t>(index)]);
    CPalette* old = nullptr;
    const bool usePalette = !(drawItem->itemState & ODS_DISABLED) && m_pPalette;
    if (usePalette) {
        old = dc->SelectPalette(m_pPalette, FALSE);
        dc->RealizePalette();
    }
    // Each picture is drawn no larger than itself, whatever the size of
    // picture 0 that the button took.
    const LONG width = static_cast<int32_t>(Read32(p + 4));
    const LONG height = static_cast<int32_t>(Read32(p + 8));
    const LONG drawWidth = std::min(width, m_nWidth);
    const LONG drawHeight = std::min(height, m_nHeight);
    if (drawWidth > 0 && drawHeight > 0)
        dc->SetDIBitsToDevice(0, 0, static_cast<DWORD>(drawWidth), static_cast<DWORD>(drawHeight), 0, 0, 0,
                              static_cast<UINT>(height), p + PixelOffset(p), reinterpret_cast<const BITMAPINFO*>(p),
                              DIB_RGB_COLORS);
    if (usePalette)
        dc->SelectPalette(old, FALSE);
    if (m_bHighlight)
        DrawHighlight();
}

void CGTransButton::DrawHighlight()
{
    if (!GetSafeHwnd())
        return;
    RECT window;
    GetWindowRect(&window);
    const int w = window.right - window.left;
    const int h = window.bottom - window.top;
    CClientDC dc(this);
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    dc.FillSolidRect(1, 1, 6, h - 2, white);
    dc.FillSolidRect(w - 7, 1, 6, h - 2, white);
    dc.FillSolidRect(1, h - 7, w - 2, 6, white);
    dc.FillSolidRect(1, 1, w - 2, 6, white);
    dc.FillSolidRect(7, 7, 1, h - 14, black);
    dc.FillSolidRect(w - 8, 7, 1, h - 14, black);
    dc.FillSolidRect(7, h - 8, w - 14, 1, black);
    dc.FillSolidRect(7, 7, w - 14, 1, black);
    dc.FillSolidRect(1, 1, 1, h - 2, black);
    dc.FillSolidRect(w - 1, 1, 1, h - 2, black);
    dc.FillSolidRect(1, h - 1, w - 2, 1, black);
    dc.FillSolidRect(1, 1, w - 2, 1, black);
}

BOOL CGTransButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CGTransButton::OnLButtonUp(UINT, CPoint)
{
    if (m_bToggle)
        m_nCurrentImage = kPressed;
    Default();
}

void CGTransButton::OnKeyDown(UINT key, UINT repeatCount, UINT flags)
{
    if (key == static_cast<UINT>(VK_CONTROL) && repeatCount == 1)
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_KEYDOWN, VK_CONTROL, MAKELONG(1, flags));
    Default();
}

LRESULT CGTransButton::OnHelpHitTest(WPARAM, LPARAM lParam)
{
    POINT point{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    ClientToScreen(&point);
    RECT window;
    GetWindowRect(&window);
    return PtInRect(&window, point) ? GetDlgCtrlID() : 0;
}
