// The item through which a document shows itself to other programs: its
// drawing and size, and what it puts on the clipboard. Other programs get the
// item's own formats and, as the presentation picture, a PNG of its drawing,
// which office documents and paint programs paste as a picture.
#pragma once

#include <utility>
#include <vector>

#include "platform/core/cmd_target.h"
#include "platform/core/global_memory.h"
#include "platform/gdi/gdi_types.h"

class CArchive;
class CDC;
class COleServerDoc;

// Aspects a container may ask the size of.
using DVASPECT = DWORD;
constexpr DVASPECT DVASPECT_CONTENT = 1;
constexpr DVASPECT DVASPECT_THUMBNAIL = 2;

// The registered format of the presentation picture: a PNG file's bytes.
inline constexpr const char* kPngClipboardFormatName = "PNG";

// Blocks waiting to go on the clipboard together. Owns them until SetClipboard.
class COleDataSource {
public:
    COleDataSource() = default;
    ~COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Takes the block; a second block of one format replaces the first.
    void CacheGlobalData(UINT format, HGLOBAL block);
    HGLOBAL GetCachedData(UINT format) const;
    int GetCount() const { return static_cast<int>(m_blocks.size()); }
    // Empties the clipboard and hands it every block. FALSE, keeping them,
    // when the clipboard cannot be opened or refuses one (those before it stay).
    BOOL SetClipboard();

private:
    std::vector<std::pair<UINT, HGLOBAL>> m_blocks;
};

class COleServerItem : public CCmdTarget {
    DECLARE_DYNAMIC(COleServerItem)
public:
    COleServerItem(COleServerDoc* document, BOOL autoDelete);
    // Tells the document that its item is gone.
    ~COleServerItem() override;

    COleServerDoc* GetDocument() const { return m_pDocument; }
    BOOL IsLinkedItem() const { return FALSE; }
    BOOL IsAutoDelete() const { return m_bAutoDelete; }

    virtual void Serialize(CArchive& ar);
    // Draws the item into `dc`; `size` is the extent it was asked to fill.
    virtual BOOL OnDraw(CDC* dc, SIZE& size) = 0;
    // The item's size in hundredths of a millimetre; FALSE: no answer.
    virtual BOOL OnGetExtent(DVASPECT aspect, SIZE& size);
    // A new data source with what the item puts on the clipboard.
    virtual COleDataSource* OnGetClipboardData(BOOL includeLink, POINT* offset, SIZE* size);
    // The standard formats: the presentation picture. Throws CMemoryException.
    void GetClipboardData(COleDataSource* source, BOOL includeLink, POINT* offset, SIZE* size);
    // Puts the item on the clipboard; FALSE when the clipboard cannot be had.
    BOOL CopyToClipboard(BOOL includeLink = FALSE);

    // The drawing as a PNG block: drawn into a `width` by `height` picture,
    // then cut to what was drawn, the rest transparent. Null when nothing was
    // drawn or the size is beyond kMaxPresentationSide. Throws CMemoryException.
    HGLOBAL RenderPresentationPng(int width, int height);
    static constexpr int kMaxPresentationSide = 4096;

private:
    COleServerDoc* m_pDocument;
    BOOL m_bAutoDelete;
};

// The presentation format's id, registered on first use.
UINT GetPngClipboardFormat();
