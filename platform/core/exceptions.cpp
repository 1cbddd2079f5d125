#include "platform/core/exceptions.h"

#include <cerrno>
#include <cstring>

#include "platform/core/regular_file.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

BOOL CException::GetErrorMessage(char* text, UINT maxLength) const
{
    const CString reason = Describe();
    if (!text || maxLength == 0)
        return FALSE;
    std::strncpy(text, reason, maxLength - 1);
    text[maxLength - 1] = '\0';
    return !reason.IsEmpty();
}

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return accessDenied;
    case ENOSPC:
        return diskFull;
    case EIO:
        return hardIO;
    default:
        return generic;
    }
}

CString CFileException::Describe() const
{
    static const char* const reasons[] = {
        "no error",           "an unknown error",      "the file was not found",
        "the path is wrong",  "too many files are open", "access was denied",
        "the file is not valid", "the current folder cannot be removed", "the folder is full",
        "a seek failed",      "a hardware error",      "the file is in use",
        "the file is locked", "the disk is full",      "the end of the file was reached"};
    const char* reason = (m_cause >= 0 && m_cause <= endOfFile) ? reasons[m_cause] : reasons[generic];
    // What the regular-file opener refuses is no fault of the file's own.
    if (m_cause == generic && m_lOsError == platform::kNotRegularFile)
        reason = "it is no ordinary file (a device, a pipe or a system file)";
    CString text;
    text.Format("%s: %s.", m_strFileName.IsEmpty() ? "File error" : m_strFileName.c_str(), reason);
    return text;
}

CString CArchiveException::Describe() const
{
    static const char* const reasons[] = {"no error",
                                          "an unknown error",
                                          "the archive cannot be written",
                                          "the file ended too early",
                                          "the archive cannot be read",
                                          "the file holds a bad reference",
                                          "the file holds an unknown kind of object",
                                          "the file was written by another version"};
    const char* reason = (m_cause >= 0 && m_cause <= badSchema) ? reasons[m_cause] : reasons[generic];
    CString text;
    text.Format("%s: %s.", m_strFileName.IsEmpty() ? "Damaged file" : m_strFileName.c_str(), reason);
    return text;
}

void AfxThrowMemoryException()
{
    throw CMemoryException();
}

void AfxThrowFileException(int cause, LONG osError, const char* fileName)
{
    throw CFileException(cause, osError, fileName);
}

void AfxThrowArchiveException(int cause, const char* fileName)
{
    throw CArchiveException(cause, fileName);
}
