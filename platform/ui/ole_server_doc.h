// The server document's window-free side: what a document that containers can
// embed adds to a plain one. Embedding itself (the item's drawing, the
// container's window) is the window layer's; here a document is never
// embedded and has no item until its class makes one.
#pragma once

#include "platform/ui/document.h"

// Defined by the window layer.
class COleServerItem;

class COleServerDoc : public CDocument {
    DECLARE_DYNAMIC(COleServerDoc)
public:
    COleServerDoc() = default;
    // Gives the item back.
    ~COleServerDoc() override;

    BOOL IsEmbedded() const { return m_bEmbedded; }
    BOOL IsInPlaceActive() const { return FALSE; }
    // The item that stands for the whole document, made by OnGetEmbeddedItem
    // the first time it is asked for and kept. The item deletes itself when
    // no longer used; the window layer that releases it calls ForgetEmbeddedItem.
    COleServerItem* GetEmbeddedItem();
    void ForgetEmbeddedItem(const COleServerItem* item);

protected:
    // Null: the document has no item.
    virtual COleServerItem* OnGetEmbeddedItem() { return nullptr; }

private:
    COleServerItem* m_pEmbeddedItem = nullptr;
};

// The application stays alive while locks are held (documents, objects that
// containers hold); the window layer asks before it ends the program.
void AfxOleLockApp();
void AfxOleUnlockApp();
BOOL AfxOleCanExitApp();
LONG AfxOleGetLockCount();
