#include "shell/file_browser_list.h"

#include "platform/core/find_file.h"
#include "platform/core/regular_file.h"

CFileBrowserList::~CFileBrowserList()
{
    Clear();
}

BOOL CFileBrowserList::AcceptFile(const WIN32_FIND_DATAA& found)
{
    CString name(found.cFileName);
    const int dot = name.Find('.');
    const CString base = dot < 0 ? CString() : name.Left(dot);
    m_strPicturePath = GetFolder() + base + ".pbk";
    // A probe only: a FIFO named like a preview must not hold the list up.
    return platform::IsRegularFile(platform::NativePath(m_strPicturePath)) ? TRUE : FALSE;
}

BOOL CFileBrowserList::AddFile(const WIN32_FIND_DATAA& found)
{
    // The no-picture entry is made without a search: it names no file.
    const CString file = found.cFileName[0] ? GetFolder() + found.cFileName : CString();
    auto* entry = new CFileBrowserEntry{m_strPicturePath, file};
    Add(reinterpret_cast<DWORD_PTR>(entry));
    return TRUE;
}

BOOL CFileBrowserList::Clear()
{
    while (GetSize() > 0)
        RemoveEntry(0);
    RemoveAll();
    return TRUE;
}

CFileBrowserEntry* CFileBrowserList::GetEntry(INT_PTR index) const
{
    if (index < 0 || index >= GetSize())
        return nullptr;
    return reinterpret_cast<CFileBrowserEntry*>(GetAt(index));
}

BOOL CFileBrowserList::RemoveEntry(INT_PTR index)
{
    CFileBrowserEntry* entry = GetEntry(index);
    if (!entry)
        return FALSE;
    RemoveAt(index);
    delete entry;
    return TRUE;
}
