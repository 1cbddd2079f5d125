// Runs a wildcard search of one folder and hands each file found to virtual
// hooks; what a found file becomes (a kit, a document, a picture) is the
// subclass's business. Subclasses keep their entries in the array.
#pragma once

#include "platform/core/collections.h"
#include "platform/core/cstring.h"
#include "platform/core/find_file.h"

class CFileNameList : public CDWordArray {
public:
    CFileNameList() = default;

    virtual BOOL Clear() { return TRUE; }
    virtual BOOL AddFile(const WIN32_FIND_DATAA& found)
    {
        (void)found;
        return TRUE;
    }
    virtual BOOL AcceptFile(const WIN32_FIND_DATAA& found)
    {
        (void)found;
        return TRUE;
    }

    // TRUE when at least one file was accepted.
    BOOL Fill(const char* pattern);

    // The pattern up to and with its last "\" or "/" (empty without one):
    // joined with found names to form paths.
    const CString& GetFolder() const { return m_strFolder; }
    INT_PTR GetLastIndex() const { return m_nLastIndex; }

protected:
    INT_PTR m_nLastIndex = -1;
    CString m_strFolder;
};
