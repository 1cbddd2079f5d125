#include "shell/dialog_art.h"

#include "model/bitmap_check.h"
#include "model/brick.h"
#include "platform/core/resources.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"

namespace {

// The checked layout of a bitmap file image, with the bytes locked; null
// bytes when it fails (nothing stays locked then).
const unsigned char* LockChecked(HGLOBAL image, BitmapLayout& layout)
{
    if (!image)
        return nullptr;
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(image));
    if (bytes && CheckPackedBitmap(bytes, GlobalSize(image), true, &layout))
        return bytes;
    if (bytes)
        GlobalUnlock(image);
    return nullptr;
}

}  // namespace

BOOL GetFileImageSize(HGLOBAL image, int& width, int& height)
{
    BitmapLayout layout;
    if (!LockChecked(image, layout))
        return FALSE;
    GlobalUnlock(image);
    width = layout.width;
    height = layout.height;
    return TRUE;
}

BOOL DrawFileImage(CDC* dc, HGLOBAL image, int x, int y)
{
    BitmapLayout layout;
    const unsigned char* bytes = dc ? LockChecked(image, layout) : nullptr;
    if (!bytes)
        return FALSE;
    dc->SetDIBitsToDevice(x, y, static_cast<DWORD>(layout.width), static_cast<DWORD>(layout.height), 0, 0, 0,
                          static_cast<UINT>(layout.height), bytes + layout.pixelOffset,
                          reinterpret_cast<const BITMAPINFO*>(bytes + layout.infoOffset), DIB_RGB_COLORS);
    GlobalUnlock(image);
    return TRUE;
}

BOOL TileBrickImage(CDC* dc, UINT imageId, CPalette* palette)
{
    if (!dc)
        return FALSE;
    HGLOBAL image = CBrick::LoadImage(AfxGetResourceHandle(), imageId);
    int width = 0;
    int height = 0;
    if (!GetFileImageSize(image, width, height)) {
        if (image)
            GlobalFree(image);
        return FALSE;
    }
    CPalette* oldPalette = palette ? dc->SelectPalette(palette, FALSE) : nullptr;
    if (palette)
        dc->RealizePalette();
    RECT clip{};
    dc->GetClipBox(&clip);
    // Drawn once into a tile, then copied: one picture decode per paint.
    CDC memory;
    CBitmap tile;
    if (memory.CreateCompatibleDC(dc) && tile.CreateCompatibleBitmap(dc, width, height)) {
        CBitmap* oldBitmap = memory.SelectObject(&tile);
        DrawFileImage(&memory, image, 0, 0);
        for (int y = 0; y < clip.bottom; y += height) {
            if (y + height <= clip.top)
                continue;
            for (int x = 0; x < clip.right; x += width)
                if (x + width > clip.left)
                    dc->BitBlt(x, y, width, height, &memory, 0, 0, SRCCOPY);
        }
        memory.SelectObject(oldBitmap);
    }
    GlobalFree(image);
    if (palette)
        dc->SelectPalette(oldPalette, FALSE);
    return TRUE;
}
