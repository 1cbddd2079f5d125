// The exceptions the program's code raises and catches: file errors, damaged
// archives and memory exhaustion. Thrown and caught by value.
#pragma once

#include "platform/core/cstring.h"
#include "platform/core/object.h"

class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    // Fills `text` with a readable reason; answers FALSE when there is none.
    virtual BOOL GetErrorMessage(char* text, UINT maxLength) const;
    virtual CString Describe() const { return CString(); }
};

class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    CString Describe() const override { return "Not enough memory."; }
};

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG osError = -1, const char* fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {
    }

    // Maps an errno value to a cause.
    static int OsErrorToException(LONG osError);

    CString Describe() const override;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum { none, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    explicit CArchiveException(int cause = none, const char* fileName = nullptr)
        : m_cause(cause), m_strFileName(fileName)
    {
    }

    CString Describe() const override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, const char* fileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, const char* fileName = nullptr);
