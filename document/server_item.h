// The document's server item: what other programs see of a model. It draws
// the bricks through the document's first view and, on Copy, puts the
// selected bricks on the clipboard in the program's own format beside the
// picture of the model.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/ui/ole_server_item.h"

class CDC;
class CDizadoDoc;

// What the item asks of the document's first view: its bricks drawn into a
// context, without background and baseplate. The panes provide it.
class IServerItemView {
public:
    virtual ~IServerItemView() = default;
    virtual void DrawItemBricks(CDC* dc, const RECT& rect) = 0;
};

class CDizadoSrvrItem : public COleServerItem {
    DECLARE_DYNAMIC(CDizadoSrvrItem)
public:
    explicit CDizadoSrvrItem(CDizadoDoc* document);

    CDizadoDoc* GetDizadoDoc() const;

    void Serialize(CArchive& ar) override;
    // Always TRUE; draws nothing without a view.
    BOOL OnDraw(CDC* dc, SIZE& size) override;
    // The content is 1000 by 1000 hundredths of a millimetre.
    BOOL OnGetExtent(DVASPECT aspect, SIZE& size) override;
    COleDataSource* OnGetClipboardData(BOOL includeLink, POINT* offset, SIZE* size) override;
    // The standard formats, then the selected bricks in the program's own
    // format. Throws CMemoryException.
    void GetClipboardData(COleDataSource* source, BOOL includeLink, POINT* offset, SIZE* size);

    static constexpr LONG kContentExtent = 1000;
};
