#include "platform/gdi/bitmap.h"

#include <new>

#include "platform/gdi/dc.h"

namespace {

constexpr int64_t kMaxPixels = int64_t(1) << 27;

}  // namespace

CBitmap::~CBitmap()
{
    if (m_selectedInto)
        m_selectedInto->SelectObject(StockBitmap());
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    if (width < 1 || height < 1 || int64_t{width} * height > kMaxPixels || m_selectedInto)
        return FALSE;
    try {
        auto surface = std::make_unique<platform::Surface>(width, height);
        if (dc && dc->GetSurface())
            surface->SetDotsPerInch(dc->GetSurface()->DotsPerInchX(), dc->GetSurface()->DotsPerInchY());
        m_surface = std::move(surface);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    m_created = TRUE;
    return TRUE;
}

BOOL CBitmap::DeleteObject()
{
    if (m_selectedInto || this == StockBitmap())
        return FALSE;
    m_surface.reset();
    return CGdiObject::DeleteObject();
}

int CBitmap::GetBitmap(BITMAP* info) const
{
    if (!info || !m_surface)
        return 0;
    *info = BITMAP{0, m_surface->Width(), m_surface->Height(), m_surface->Width() * 4, 1, 32,
                   const_cast<uint32_t*>(m_surface->Bits())};
    return static_cast<int>(sizeof(BITMAP));
}

CSize CBitmap::GetSize() const
{
    return m_surface ? CSize(m_surface->Width(), m_surface->Height()) : CSize();
}

CBitmap* CBitmap::StockBitmap()
{
    static CBitmap* stock = [] {
        auto* bitmap = new CBitmap;
        bitmap->m_surface = std::make_unique<platform::Surface>(1, 1, RGB(255, 255, 255));
        bitmap->m_created = TRUE;
        return bitmap;
    }();
    return stock;
}
