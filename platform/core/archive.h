// Archives: typed reading and writing of a file in one direction. Numbers are
// written little-endian, as the class library's archives do; formats that want
// big-endian numbers write bytes themselves. Objects are written with their
// runtime class so that the reader creates the right class by name.
#pragma once

#include <map>
#include <vector>

#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/object.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    CFile* GetFile() const { return m_pFile; }

    // Answers the bytes read: fewer than asked only at the end of the file.
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    // Reads exactly `count` bytes or throws CArchiveException::endOfFile.
    void ReadExact(void* buffer, UINT count);
    void Flush();
    void Close();
    void Abort();

    CArchive& operator<<(BYTE value);
    CArchive& operator<<(WORD value);
    CArchive& operator<<(SHORT value);
    CArchive& operator<<(LONG value);
    CArchive& operator<<(DWORD value);
    CArchive& operator<<(CObject* object) { WriteObject(object); return *this; }

    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(SHORT& value);
    CArchive& operator>>(LONG& value);
    CArchive& operator>>(DWORD& value);

    // A null object, a reference to one written before, or a new object with
    // its class. Throws CArchiveException on damaged input.
    void WriteObject(const CObject* object);
    CObject* ReadObject(const CRuntimeClass* expected);

    // The schema of the object being read (for the Serialize of a versioned class).
    UINT GetObjectSchema() const { return m_nObjectSchema; }

private:
    void CheckStoring() const;
    void CheckLoading() const;

    CFile* m_pFile;
    UINT m_nMode;
    UINT m_nObjectSchema = 0xFFFF;
    // Written classes and objects, by the index the stream refers to them with.
    std::map<const CRuntimeClass*, DWORD> m_storedClasses;
    std::map<const CObject*, DWORD> m_storedObjects;
    std::vector<const CRuntimeClass*> m_loadedClasses;
    std::vector<CObject*> m_loadedObjects;
    DWORD m_nextIndex = 1;
};

inline CArchive& operator<<(CArchive& ar, const CObject* object)
{
    ar.WriteObject(object);
    return ar;
}
