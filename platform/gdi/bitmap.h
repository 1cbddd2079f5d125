// Device-dependent bitmaps: 32-bit images that memory device contexts draw
// into, made compatible with a screen or printer context.
#pragma once

#include <memory>

#include "platform/core/rect.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/surface.h"

class CDC;

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 0;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;
};

class CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    ~CBitmap() override;

    // A black width x height image with the resolution of `dc` (the screen's
    // without one). FALSE for a side below 1, an image of more than 2^27
    // pixels, or when memory runs out; a bitmap already made is kept then.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // FALSE while the bitmap is selected into a context.
    BOOL DeleteObject() override;

    int GetBitmap(BITMAP* info) const;
    CSize GetSize() const;

    platform::Surface* GetSurface() { return m_surface.get(); }
    const platform::Surface* GetSurface() const { return m_surface.get(); }

    // The 1 x 1 bitmap a memory context holds before one is selected.
    static CBitmap* StockBitmap();

private:
    friend class CDC;
    std::unique_ptr<platform::Surface> m_surface;
    CDC* m_selectedInto = nullptr;
};
