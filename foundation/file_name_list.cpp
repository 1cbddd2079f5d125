#include "foundation/file_name_list.h"

BOOL CFileNameList::Fill(const char* pattern)
{
    // Only the last component is a pattern: a folder's own name may hold "*".
    const CString text(pattern);
    int cut = 0;
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] == '\\' || text[i] == '/')
            cut = i + 1;
    m_strFolder = text.Left(cut);

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
