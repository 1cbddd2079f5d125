// Files: a disk file and a growable memory file behind one interface, so that
// archives write to either.
#pragma once

#include <cstdio>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/core/exceptions.h"
#include "platform/core/object.h"

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens at once; throws CFileException on failure.
    CFile(const char* path, UINT flags);
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE and the cause in `error` (when given) on failure.
    virtual BOOL Open(const char* path, UINT flags, CFileException* error = nullptr);
    // Answers the bytes read; fewer than asked at the end of the file.
    virtual UINT Read(void* buffer, UINT count);
    // Writes all or throws CFileException.
    virtual void Write(const void* buffer, UINT count);
    virtual LONG Seek(LONG offset, UINT from);
    virtual DWORD GetLength() const;
    virtual void SetLength(DWORD length);
    virtual DWORD GetPosition() const;
    virtual void Flush();
    virtual void Close();
    // Closes without reporting errors.
    virtual void Abort();

    void SeekToBegin() { Seek(0, begin); }
    DWORD SeekToEnd() { return static_cast<DWORD>(Seek(0, end)); }
    const CString& GetFilePath() const { return m_strFileName; }
    BOOL IsOpen() const { return m_file != nullptr; }

protected:
    std::FILE* m_file = nullptr;
    BOOL m_bWritable = FALSE;
    CString m_strFileName;
};

// A file held in memory that grows by `growBytes` at a time.
class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT growBytes = 1024);
    // A file over a copy of the given bytes (readable and writable).
    CMemFile(const void* bytes, size_t size, UINT growBytes = 0);
    // A file over the given bytes, taken over without a copy.
    explicit CMemFile(std::vector<unsigned char>&& bytes, UINT growBytes = 0);

    BOOL Open(const char* path, UINT flags, CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    LONG Seek(LONG offset, UINT from) override;
    DWORD GetLength() const override;
    void SetLength(DWORD length) override;
    DWORD GetPosition() const override;
    void Flush() override {}
    void Close() override;
    void Abort() override { Close(); }

    const std::vector<unsigned char>& GetData() const { return m_bytes; }
    // Hands the bytes over and leaves the file empty.
    std::vector<unsigned char> Detach();

private:
    std::vector<unsigned char> m_bytes;
    size_t m_position = 0;
    UINT m_growBytes;
};
