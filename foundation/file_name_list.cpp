#include "foundation/file_name_list.h"

BOOL CFileNameList::Fill(const char* pattern)
{
    const CString text(pattern);
    const int star = text.Find('*');
    m_strFolder = star < 0 ? CString() : text.Left(star);

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL any = FALSE;
    do {
        if (AcceptFile(found)) {
            AddFile(found);
            any = TRUE;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    m_nLastIndex = GetUpperBound();
    return any;
}
