#include "document/server_item.h"

#include <memory>

#include "document/clipboard_format.h"
#include "document/dizado_doc.h"
#include "model/brick_services.h"
#include "platform/gdi/dc.h"
#include "platform/ui/view.h"

IMPLEMENT_DYNAMIC(CDizadoSrvrItem, COleServerItem)

CDizadoSrvrItem::CDizadoSrvrItem(CDizadoDoc* document) : COleServerItem(document, TRUE) {}

CDizadoDoc* CDizadoSrvrItem::GetDizadoDoc() const
{
    return static_cast<CDizadoDoc*>(GetDocument());
}

void CDizadoSrvrItem::Serialize(CArchive& ar)
{
    if (!IsLinkedItem() && GetDizadoDoc())
        GetDizadoDoc()->Serialize(ar);
}

BOOL CDizadoSrvrItem::OnGetExtent(DVASPECT aspect, SIZE& size)
{
    if (aspect != DVASPECT_CONTENT)
        return COleServerItem::OnGetExtent(aspect, size);
    size.cx = kContentExtent;
    size.cy = kContentExtent;
    return TRUE;
}

BOOL CDizadoSrvrItem::OnDraw(CDC* dc, SIZE&)
{
    CDizadoDoc* document = GetDizadoDoc();
    if (!dc || !document)
        return TRUE;
    POSITION position = document->GetFirstViewPosition();
    auto* view = position ? dynamic_cast<IServerItemView*>(document->GetNextView(position)) : nullptr;
    if (!view)
        return TRUE;
    const RECT rect{0, 0, kContentExtent, kContentExtent};
    dc->SetMapMode(MM_TEXT);
    dc->SetWindowOrg(0, 0);
    // The container's context knows nothing of the bricks' colours.
    CPalette* palette = GetBrickServices()->GetPalette();
    CPalette* previous = palette ? dc->SelectPalette(palette, FALSE) : nullptr;
    if (palette)
        dc->RealizePalette();
    view->DrawItemBricks(dc, rect);
    if (previous)
        dc->SelectPalette(previous, FALSE);
    return TRUE;
}

COleDataSource* CDizadoSrvrItem::OnGetClipboardData(BOOL includeLink, POINT* offset, SIZE* size)
{
    auto source = std::make_unique<COleDataSource>();
    GetClipboardData(source.get(), includeLink, offset, size);
    return source.release();
}

void CDizadoSrvrItem::GetClipboardData(COleDataSource* source, BOOL includeLink, POINT* offset, SIZE* size)
{
    COleServerItem::GetClipboardData(source, includeLink, offset, size);
    CDizadoDoc* document = GetDizadoDoc();
    const UINT format = CDizadoDoc::GetClipboardFormat();
    if (!source || !document || format == 0)
        return;
    source->CacheGlobalData(format, WriteNativeBlock(*document->GetBrickList()));
}
