#include "shell/brick_list_box.h"

#include <cstring>

#include "model/bitmap_check.h"
#include "model/kit_list.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/palette.h"
#include "shell/kid_frame_host.h"

IMPLEMENT_DYNCREATE(CBrickListBox, CListBox)

BEGIN_MESSAGE_MAP(CBrickListBox, CListBox)
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

namespace {

constexpr size_t kFileHeaderSize = 14;

CBrickModData* EntryOf(DWORD_PTR data)
{
    auto* object = reinterpret_cast<CObject*>(data);
    if (!object || data == static_cast<DWORD_PTR>(LB_ERR))
        return nullptr;
    return dynamic_cast<CBrickModData*>(object);
}

void Frame(CDC* dc, const RECT& r, COLORREF colour)
{
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    dc->FillSolidRect(r.left, r.top, w, 1, colour);
    dc->FillSolidRect(r.left, r.bottom - 1, w, 1, colour);
    dc->FillSolidRect(r.left, r.top, 1, h, colour);
    dc->FillSolidRect(r.right - 1, r.top, 1, h, colour);
}

}  // namespace

void CBrickListBox::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    if (!drawItem || !drawItem->hDC)
        return;
    CDC* dc = drawItem->hDC;
    const RECT& rect = drawItem->rcItem;
    CFont font;
    font.CreateFont(-12, -5, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, nullptr);
    CFont* oldFont = dc->SelectObject(&font);
    CPalette* palette = GetKidFrameHost()->GetPalette();
    CPalette* oldPalette = nullptr;
    if (palette) {
        oldPalette = dc->SelectPalette(palette, FALSE);
        dc->RealizePalette();
    }
    CBrickModData* entry = EntryOf(drawItem->itemData);
    if (entry && (drawItem->itemAction & ODA_DRAWENTIRE)) {
        dc->Rectangle(&rect);
        const void* bytes = entry->m_hPreview ? GlobalLock(entry->m_hPreview) : nullptr;
        BitmapLayout layout;
        if (bytes && CheckPackedBitmap(bytes, GlobalSize(entry->m_hPreview), true, &layout)) {
            const auto* base = static_cast<const unsigned char*>(bytes);
            // The preview is shared by the whole run: a header that leaves the
            // colour count at 0 is read as 256 by the drawing itself.
            dc->SetDIBitsToDevice(rect.left, rect.top, static_cast<DWORD>(layout.width),
                                  static_cast<DWORD>(layout.height), 0, 0, 0, static_cast<UINT>(layout.height),
                                  base + layout.pixelOffset,
                                  reinterpret_cast<const BITMAPINFO*>(base + layout.infoOffset), DIB_RGB_COLORS);
        } else {
            // No picture (or one that cannot be drawn): the class is named.
            CString text = entry->m_strText;
            if (text.IsEmpty())
                text.Format("%d", entry->m_nClassId);
            dc->TextOut(rect.left, rect.top, text);
        }
        if (bytes)
            GlobalUnlock(entry->m_hPreview);
        Frame(dc, rect, RGB(0, 0, 0));
    }
    if ((drawItem->itemState & ODS_SELECTED) && (drawItem->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        Frame(dc, rect, RGB(255, 0, 0));
    if (!(drawItem->itemState & ODS_SELECTED) && (drawItem->itemAction & ODA_SELECT))
        Frame(dc, rect, RGB(0, 0, 0));
    if (palette)
        dc->SelectPalette(oldPalette, FALSE);
    dc->SelectObject(oldFont);
}

void CBrickListBox::MeasureItem(LPMEASUREITEMSTRUCT measureItem)
{
    if (!measureItem)
        return;
    // The record carries the item itself: the row it will have may not be in
    // the list yet when it is measured.
    const CBrickModData* entry = EntryOf(measureItem->itemData);
    measureItem->itemHeight = entry && entry->m_nRowHeight > 0 ? static_cast<UINT>(entry->m_nRowHeight)
                                                               : static_cast<UINT>(kNoPreviewHeight);
}

int CBrickListBox::CompareItem(LPCOMPAREITEMSTRUCT compareItem)
{
    if (!compareItem)
        return 0;
    const CBrickModData* a = EntryOf(compareItem->itemData1);
    const CBrickModData* b = EntryOf(compareItem->itemData2);
    const char* nameA = a && a->m_pKit ? a->m_pKit->m_strLabel.c_str() : "";
    const char* nameB = b && b->m_pKit ? b->m_pKit->m_strLabel.c_str() : "";
    const int byName = std::strcmp(nameA, nameB);
    if (byName != 0)
        return byName;
    return (a ? a->m_nClassId : 0) - (b ? b->m_nClassId : 0);
}

BOOL CBrickListBox::OnSetCursor(CWnd*, UINT, UINT)
{
    return TRUE;
}

void CBrickListBox::OnMouseMove(UINT, CPoint) {}

LRESULT CBrickListBox::OnHelpHitTest(WPARAM, LPARAM lParam)
{
    POINT point{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    ClientToScreen(&point);
    RECT window;
    GetWindowRect(&window);
    return PtInRect(&window, point) ? GetDlgCtrlID() : 0;
}
