#include "platform/ui/ole_server_doc.h"

#include <atomic>

#include "platform/ui/ole_server_item.h"

IMPLEMENT_DYNAMIC(COleServerDoc, CDocument)

COleServerDoc::~COleServerDoc()
{
    if (COleServerItem* item = m_pEmbeddedItem) {
        m_pEmbeddedItem = nullptr;
        item->ExternalRelease();
    }
}

COleServerItem* COleServerDoc::GetEmbeddedItem()
{
    if (!m_pEmbeddedItem)
        m_pEmbeddedItem = OnGetEmbeddedItem();
    return m_pEmbeddedItem;
}

void COleServerDoc::ForgetEmbeddedItem(const COleServerItem* item)
{
    if (item == m_pEmbeddedItem)
        m_pEmbeddedItem = nullptr;
}

namespace {
std::atomic<LONG> g_lockCount{0};
}

void AfxOleLockApp()
{
    ++g_lockCount;
}

void AfxOleUnlockApp()
{
    // An unbalanced unlock must not wrap the count and keep the program alive.
    LONG count = g_lockCount.load();
    while (count > 0 && !g_lockCount.compare_exchange_weak(count, count - 1)) {
    }
}

BOOL AfxOleCanExitApp()
{
    return g_lockCount.load() == 0;
}

LONG AfxOleGetLockCount()
{
    return g_lockCount.load();
}
