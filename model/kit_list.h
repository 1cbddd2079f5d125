// Kits: the brick classes that kit libraries list, gathered by kit tag. The
// list is built once at start-up and tells which library holds which class,
// with each class's preview picture and list-box row.
#pragma once

#include "foundation/file_name_list.h"
#include "platform/core/collections.h"
#include "platform/core/cstring.h"
#include "platform/core/global_memory.h"
#include "platform/core/object.h"
#include "platform/core/resources.h"

class CBrickKitListData;
class CListBox;

// One listed class.
class CBrickModData : public CObject {
    DECLARE_DYNAMIC(CBrickModData)
public:
    CBrickModData() = default;
    ~CBrickModData() override;
    CBrickModData(const CBrickModData&) = delete;
    CBrickModData& operator=(const CBrickModData&) = delete;

    SHORT m_nClassId = 0;
    CString m_strLibraryPath;
    CString m_strText;
    LONG m_nRowWidth = 20;
    LONG m_nRowHeight = 20;
    HGLOBAL m_hPreview = nullptr;  // a whole bitmap file image, owned
    DWORD m_dwKitTag = 0;
    LONG m_nRowIndex = -1;
    CBrickKitListData* m_pKit = nullptr;
};

// One kit: the classes that share a tag.
class CBrickKitListData : public CObject {
    DECLARE_DYNAMIC(CBrickKitListData)
public:
    CBrickKitListData() = default;
    ~CBrickKitListData() override;
    CBrickKitListData(const CBrickKitListData&) = delete;
    CBrickKitListData& operator=(const CBrickKitListData&) = delete;

    CBrickModData* GetClassAt(INT_PTR index) const { return static_cast<CBrickModData*>(m_classes.GetAtIndex(index)); }
    INT_PTR GetClassCount() const { return m_classes.GetCount(); }

    DWORD m_dwKitTag = 0;
    CString m_strLabel;
    BOOL m_bClosed = TRUE;
    CObList m_classes{10};  // CBrickModData, in scan order; owned
};

class CKitList : public CObList {
    DECLARE_DYNAMIC(CKitList)
public:
    CKitList() : CObList(10) {}
    ~CKitList() override;
    CKitList(const CKitList&) = delete;
    CKitList& operator=(const CKitList&) = delete;

    // Files the entry (now owned by the list) under its kit, making the kit
    // when needed; the library names the kit when it can.
    void AddClass(CBrickModData* entry, HMODULE library);
    // The first entry of that id, kits in order and classes in kit order.
    CBrickModData* FindBrickData(SHORT classId) const;

    CBrickKitListData* GetKitAt(INT_PTR index) const { return static_cast<CBrickKitListData*>(GetAtIndex(index)); }
    INT_PTR GetKitCount() const { return GetCount(); }

    // Remembers the list box and adds a row for every class of every kit,
    // whatever the kit's closed flag; each entry keeps the index it got.
    // Null forgets the list box.
    void FillListBox(CListBox* listBox);
    // Adds (open) or removes the kit's rows in the remembered list box.
    void ExpandKit(CBrickKitListData* kit, BOOL open);
    // The first row whose item is `item`; -1 when none.
    int FindRow(const CObject* item) const;

    // The list box filled by FillListBox; none until the shell has one.
    CListBox* GetListBox() const { return m_pListBox; }

    // The tag's four characters, up to a zero byte, as a kit's default label.
    static CString TagText(DWORD tag);

protected:
    CListBox* m_pListBox = nullptr;
};

// Loads every kit library a folder search finds into a kit list.
class CKitScanner : public CFileNameList {
public:
    explicit CKitScanner(CKitList* kits) : m_pKits(kits) {}

    BOOL AcceptFile(const WIN32_FIND_DATAA&) override { return TRUE; }
    BOOL AddFile(const WIN32_FIND_DATAA& found) override { return LoadKit(found); }
    BOOL LoadKit(const WIN32_FIND_DATAA& found);

private:
    CKitList* m_pKits;
};

// A class's "BRICKCLASS" record as it lies in a resource, checked: at least
// one pose and the whole pose table inside the bytes.
bool CheckBrickClassRecord(const void* bytes, size_t size);
// The name of a kit from its "KITNAMELABEL" resource in `library`; FALSE when
// there is none or its text has no terminating zero.
BOOL LoadKitNameLabel(HMODULE library, DWORD tag, CString* label);
