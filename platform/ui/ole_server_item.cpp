#include "platform/ui/ole_server_item.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/core/archive.h"
#include "platform/core/clipboard.h"
#include "platform/core/exceptions.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "platform/ui/ole_server_doc.h"

IMPLEMENT_DYNAMIC(COleServerItem, CCmdTarget)

UINT GetPngClipboardFormat()
{
    static const UINT format = RegisterClipboardFormatA(kPngClipboardFormatName);
    return format;
}

COleDataSource::~COleDataSource()
{
    for (auto& [format, block] : m_blocks)
        GlobalFree(block);
}

void COleDataSource::CacheGlobalData(UINT format, HGLOBAL block)
{
    if (!block)
        return;
    for (auto& [held, old] : m_blocks) {
        if (held == format) {
            GlobalFree(old);
            old = block;
            return;
        }
    }
    m_blocks.emplace_back(format, block);
}

HGLOBAL COleDataSource::GetCachedData(UINT format) const
{
    for (const auto& [held, block] : m_blocks) {
        if (held == format)
            return block;
    }
    return nullptr;
}

BOOL COleDataSource::SetClipboard()
{
    if (!OpenClipboard(nullptr))
        return FALSE;
    EmptyClipboard();
    BOOL all = TRUE;
    while (!m_blocks.empty()) {
        auto [format, block] = m_blocks.front();
        if (!SetClipboardData(format, block)) {
            all = FALSE;
            break;
        }
        m_blocks.erase(m_blocks.begin());
    }
    CloseClipboard();
    return all;
}

COleServerItem::COleServerItem(COleServerDoc* document, BOOL autoDelete)
    : m_pDocument(document), m_bAutoDelete(autoDelete)
{
}

COleServerItem::~COleServerItem()
{
    if (m_pDocument)
        m_pDocument->ForgetEmbeddedItem(this);
}

void COleServerItem::Serialize(CArchive&) {}

BOOL COleServerItem::OnGetExtent(DVASPECT, SIZE&)
{
    return FALSE;
}

COleDataSource* COleServerItem::OnGetClipboardData(BOOL includeLink, POINT* offset, SIZE* size)
{
    auto source = std::make_unique<COleDataSource>();
    GetClipboardData(source.get(), includeLink, offset, size);
    return source.release();
}

void COleServerItem::GetClipboardData(COleDataSource* source, BOOL, POINT*, SIZE*)
{
    // Links to a running item have no meaning outside this program; only the
    // picture goes out.
    const UINT format = GetPngClipboardFormat();
    if (source && format != 0) {
        if (HGLOBAL picture = RenderPresentationPng(1000, 1000))
            source->CacheGlobalData(format, picture);
    }
}

BOOL COleServerItem::CopyToClipboard(BOOL includeLink)
{
    std::unique_ptr<COleDataSource> source(OnGetClipboardData(includeLink, nullptr, nullptr));
    return source && source->SetClipboard();
}

HGLOBAL COleServerItem::RenderPresentationPng(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxPresentationSide || height > kMaxPresentationSide)
        return nullptr;
    // Drawn twice, on black and on white: a pixel that differs between the
    // two was not drawn and stays transparent.
    platform::Surface onBlack(width, height, RGB(0, 0, 0));
    platform::Surface onWhite(width, height, RGB(255, 255, 255));
    for (platform::Surface* surface : {&onBlack, &onWhite}) {
        CDC dc(surface);
        SIZE size{width, height};
        OnDraw(&dc, size);
    }
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        AfxThrowMemoryException();
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const uint32_t* black = onBlack.ScanLine(y);
        const uint32_t* white = onWhite.ScanLine(y);
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (black[x] != white[x]) {
                out[x] = 0;
                continue;
            }
            out[x] = black[x] | platform::Surface::kOpaque;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return nullptr;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.copy(left, top, right - left + 1, bottom - top + 1).save(&buffer, "PNG") || bytes.isEmpty())
        AfxThrowMemoryException();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<size_t>(bytes.size()));
    if (!block)
        AfxThrowMemoryException();
    void* at = GlobalLock(block);
    if (!at) {
        GlobalFree(block);
        AfxThrowMemoryException();
    }
    std::memcpy(at, bytes.constData(), static_cast<size_t>(bytes.size()));
    GlobalUnlock(block);
    return block;
}
