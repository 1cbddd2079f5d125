// The lists the file browser shows: the signed-in child's saved models and
// the background pictures. An entry is listed only when its preview picture
// (".pbk" beside it) can be read; the background list starts with an entry
// without a picture, the choice of no background picture.
#pragma once

#include "foundation/file_name_list.h"
#include "platform/core/cstring.h"

struct CFileBrowserEntry {
    CString m_strPicturePath;  // the ".pbk" thumbnail; empty: no picture
    CString m_strFilePath;
};

class CFileBrowserList : public CFileNameList {
public:
    CFileBrowserList() = default;
    ~CFileBrowserList() override;
    CFileBrowserList(const CFileBrowserList&) = delete;
    CFileBrowserList& operator=(const CFileBrowserList&) = delete;

    // TRUE when the preview beside the found file can be opened; remembers
    // its path for the entry AddFile makes next.
    BOOL AcceptFile(const WIN32_FIND_DATAA& found) override;
    // Appends an entry with the remembered preview and the found file.
    BOOL AddFile(const WIN32_FIND_DATAA& found) override;
    BOOL Clear() override;

    // Null for an index out of range.
    CFileBrowserEntry* GetEntry(INT_PTR index) const;
    BOOL RemoveEntry(INT_PTR index);

    void SetPicturePath(const char* path) { m_strPicturePath = path; }
    const CString& GetPicturePath() const { return m_strPicturePath; }

private:
    CString m_strPicturePath;
};
