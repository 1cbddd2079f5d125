#include "document/clipboard_format.h"

#include <cstring>
#include <memory>
#include <vector>

#include "document/dizado_doc.h"
#include "document/document_services.h"
#include "model/brick_group.h"
#include "platform/core/archive.h"
#include "platform/core/clipboard.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/ui/ole_server_item.h"

namespace {

// Closes the clipboard on every way out.
class OpenedClipboard {
public:
    OpenedClipboard() : m_bOpen(OpenClipboard(nullptr)) {}
    ~OpenedClipboard()
    {
        if (m_bOpen)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

    BOOL IsOpen() const { return m_bOpen; }

private:
    BOOL m_bOpen;
};

}  // namespace

HGLOBAL WriteNativeBlock(const CBrickGroup& root)
{
    CMemFile memory(4096);
    {
        CArchive ar(&memory, CArchive::store);
        root.WriteSelectedContents(ar);
        ar.Close();
    }
    const std::vector<unsigned char>& bytes = memory.GetData();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
    if (!block)
        AfxThrowMemoryException();
    if (!bytes.empty()) {
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

void ReadNativeBlock(HGLOBAL block, CBrickGroup* group)
{
    if (!block || !group)
        return;
    const size_t size = GlobalSize(block);
    const void* bytes = GlobalLock(block);
    if (!bytes)
        AfxThrowArchiveException(CArchiveException::generic);
    // A private copy: the clipboard's block may go while the bricks are read.
    std::unique_ptr<CMemFile> file;
    try {
        file = std::make_unique<CMemFile>(bytes, size);
    } catch (...) {
        GlobalUnlock(block);
        throw;
    }
    GlobalUnlock(block);
    CArchive ar(file.get(), CArchive::load);
    group->ReadContents(ar);
    ar.Close();
}

BOOL CDizadoDoc::CopyToClipboard()
{
    COleServerItem* item = GetEmbeddedItem();
    return item ? item->CopyToClipboard(TRUE) : FALSE;
}

void CDizadoDoc::PasteFromClipboard()
{
    CWaitCursorScope wait;
    const UINT format = GetClipboardFormat();
    if (format == 0 || !IsClipboardFormatAvailable(format))
        return;
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen())
        return;
    ReadNativeData(GetClipboardData(format));
}

void CDizadoDoc::ReadNativeData(HGLOBAL block)
{
    ReadNativeBlock(block, &m_brickList);
}
