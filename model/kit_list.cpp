#include "model/kit_list.h"

#include <bitset>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/bitmap_check.h"
#include "model/brick_services.h"
#include "platform/core/hooks.h"

IMPLEMENT_DYNAMIC(CBrickModData, CObject)
IMPLEMENT_DYNAMIC(CBrickKitListData, CObject)
IMPLEMENT_DYNAMIC(CKitList, CObList)

namespace {

constexpr size_t kClassHeaderSize = 14;  // up to and with the pose count
constexpr UINT kFirstClassString = 100;
constexpr SHORT kHiddenClassesFrom = 9000;
constexpr SHORT kHiddenClassesTo = 10000;

WORD ReadWord(const unsigned char* p)
{
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

DWORD ReadDword(const unsigned char* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

// A private copy of a resource's bytes in a movable, discardable block.
HGLOBAL CopyResource(HMODULE module, HRSRC resource)
{
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL data = LoadResource(module, resource);
    const void* bytes = LockResource(data);
    if (!bytes)
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_DISCARDABLE, size);
    if (copy) {
        std::memcpy(GlobalLock(copy), bytes, size);
        GlobalUnlock(copy);
    }
    FreeResource(data);
    return copy;
}

}  // namespace

bool CheckBrickClassRecord(const void* bytes, size_t size)
{
    if (!bytes || size < kClassHeaderSize)
        return false;
    const auto* p = static_cast<const unsigned char*>(bytes);
    const SHORT poses = static_cast<SHORT>(ReadWord(p + 12));
    return poses >= 1 && kClassHeaderSize + 8 * static_cast<size_t>(poses) <= size;
}

BOOL LoadKitNameLabel(HMODULE library, DWORD tag, CString* label)
{
    const CString name = CKitList::TagText(tag);
    if (name.IsEmpty())
        return FALSE;
    HRSRC resource = FindResourceA(library, name, "KITNAMELABEL");
    if (!resource)
        return FALSE;
    const DWORD size = SizeofResource(library, resource);
    HGLOBAL data = LoadResource(library, resource);
    const auto* text = static_cast<const char*>(LockResource(data));
    const void* end = text ? std::memchr(text, '\0', size) : nullptr;
    if (end)
        *label = CString(text, static_cast<int>(static_cast<const char*>(end) - text));
    FreeResource(data);
    return end != nullptr;
}

CBrickModData::~CBrickModData()
{
    if (m_hPreview)
        GlobalFree(m_hPreview);
}

CBrickKitListData::~CBrickKitListData()
{
    for (INT_PTR i = 0; i < m_classes.GetCount(); ++i)
        delete m_classes.GetAtIndex(i);
}

CKitList::~CKitList()
{
    for (INT_PTR i = 0; i < GetCount(); ++i)
        delete GetAtIndex(i);
}

CString CKitList::TagText(DWORD tag)
{
    char chars[5] = {};
    std::memcpy(chars, &tag, 4);
    return CString(chars);
}

void CKitList::AddClass(CBrickModData* entry, HMODULE library)
{
    for (INT_PTR i = 0; i < GetCount(); ++i) {
        CBrickKitListData* kit = GetKitAt(i);
        if (kit->m_dwKitTag != entry->m_dwKitTag)
            continue;
        kit->m_classes.AddTail(entry);
        entry->m_pKit = kit;
        // A kit keeps its tag as label until some library names it.
        if (kit->m_strLabel == TagText(kit->m_dwKitTag))
            LoadKitNameLabel(library, kit->m_dwKitTag, &kit->m_strLabel);
        return;
    }
    auto* kit = new CBrickKitListData;
    kit->m_dwKitTag = entry->m_dwKitTag;
    kit->m_bClosed = TRUE;
    if (!LoadKitNameLabel(library, kit->m_dwKitTag, &kit->m_strLabel))
        kit->m_strLabel = TagText(kit->m_dwKitTag);
    kit->m_classes.AddTail(entry);
    entry->m_pKit = kit;
    AddTail(kit);
}

CBrickModData* CKitList::FindBrickData(SHORT classId) const
{
    for (INT_PTR k = 0; k < GetCount(); ++k) {
        const CBrickKitListData* kit = GetKitAt(k);
        for (INT_PTR c = 0; c < kit->GetClassCount(); ++c)
            if (kit->GetClassAt(c)->m_nClassId == classId)
                return kit->GetClassAt(c);
    }
    return nullptr;
}

BOOL CKitScanner::LoadKit(const WIN32_FIND_DATAA& found)
{
    const CString path = GetFolder() + found.cFileName;
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return FALSE;
    // A class listed again would be a second entry with a second preview
    // copy: a library listing one class 65,000 times would cost gigabytes.
    std::bitset<32768> listed;
    // Previews are copied only up to the library's own size: distinct
    // resources cannot add up to more, and a library whose classes share
    // one picture's bytes gets no more copies than that.
    std::uint64_t previewBudget = std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
    for (UINT n = 0;; ++n) {
        // At most 15 characters of a class id are read.
        char text[16] = {};
        if (LoadStringA(library, kFirstClassString + n, text, sizeof text) <= 0)
            break;
        const long id = std::atol(text);
        // Class ids are the 16-bit ids of resources: anything else names no class.
        if (id <= 0 || id > 32767)
            continue;
        const SHORT classId = static_cast<SHORT>(id);
        if (listed[static_cast<size_t>(classId)])
            continue;
        listed[static_cast<size_t>(classId)] = true;
        if (classId >= kHiddenClassesFrom && classId < kHiddenClassesTo) {
            if (!GetBrickServices()->IsHiddenClassKeyHeld())
                continue;
            MessageBeep(0);
        }
        HRSRC header = FindResourceA(library, MAKEINTRESOURCE(classId), "BRICKCLASS");
        if (!header)
            continue;
        const DWORD headerSize = SizeofResource(library, header);
        HGLOBAL headerData = LoadResource(library, header);
        const auto* headerBytes = static_cast<const unsigned char*>(LockResource(headerData));
        if (!CheckBrickClassRecord(headerBytes, headerSize)) {
            FreeResource(headerData);
            continue;
        }
        auto* entry = new CBrickModData;
        entry->m_nClassId = classId;
        entry->m_strLibraryPath = path;
        entry->m_strText = text;
        entry->m_dwKitTag = ReadDword(headerBytes + 8);
        FreeResource(headerData);

        HRSRC preview = FindResourceA(library, MAKEINTRESOURCE(classId), "BRICKPREVIEW");
        if (preview && SizeofResource(library, preview) <= previewBudget) {
            previewBudget -= SizeofResource(library, preview);
            HGLOBAL copy = CopyResource(library, preview);
            BitmapLayout layout;
            const void* bytes = copy ? GlobalLock(copy) : nullptr;
            const bool valid = bytes && CheckPackedBitmap(bytes, GlobalSize(copy), true, &layout);
            if (copy)
                GlobalUnlock(copy);
            if (valid) {
                entry->m_hPreview = copy;
                entry->m_nRowHeight = layout.height;
            } else if (copy) {
                GlobalFree(copy);
            }
        }
        m_pKits->AddClass(entry, library);
    }
    FreeLibrary(library);
    return TRUE;
}
