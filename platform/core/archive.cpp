#include "platform/core/archive.h"

#include <cstring>

namespace {
// Tags of the object stream: a null object, a class written for the first
// time, and references (high bit set) to a class or object written before.
constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kMaxIndex = 0x7FFE;
constexpr WORD kMaxClassName = 64;
}  // namespace

CArchive::CArchive(CFile* file, UINT mode, int, void*) : m_pFile(file), m_nMode(mode)
{
    m_loadedClasses.push_back(nullptr);
    m_loadedObjects.push_back(nullptr);
}

CArchive::~CArchive() = default;

void CArchive::CheckStoring() const
{
    if (!IsStoring())
        AfxThrowArchiveException(CArchiveException::readOnly);
}

void CArchive::CheckLoading() const
{
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly);
}

UINT CArchive::Read(void* buffer, UINT count)
{
    CheckLoading();
    return m_pFile->Read(buffer, count);
}

void CArchive::ReadExact(void* buffer, UINT count)
{
    if (Read(buffer, count) != count)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_pFile->GetFilePath());
}

void CArchive::Write(const void* buffer, UINT count)
{
    CheckStoring();
    m_pFile->Write(buffer, count);
}

void CArchive::Flush()
{
    if (IsStoring())
        m_pFile->Flush();
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
}

CArchive& CArchive::operator<<(BYTE value)
{
    Write(&value, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD value)
{
    const BYTE bytes[2] = {LOBYTE(value), HIBYTE(value)};
    Write(bytes, 2);
    return *this;
}

CArchive& CArchive::operator<<(SHORT value)
{
    return *this << static_cast<WORD>(value);
}

CArchive& CArchive::operator<<(DWORD value)
{
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                           static_cast<BYTE>(value >> 24)};
    Write(bytes, 4);
    return *this;
}

CArchive& CArchive::operator<<(LONG value)
{
    return *this << static_cast<DWORD>(value);
}

CArchive& CArchive::operator>>(BYTE& value)
{
    ReadExact(&value, 1);
    return *this;
}

CArchive& CArchive::operator>>(WORD& value)
{
    BYTE bytes[2];
    ReadExact(bytes, 2);
    value = MAKEWORD(bytes[0], bytes[1]);
    return *this;
}

CArchive& CArchive::operator>>(SHORT& value)
{
    WORD raw;
    *this >> raw;
    value = static_cast<SHORT>(raw);
    return *this;
}

CArchive& CArchive::operator>>(DWORD& value)
{
    BYTE bytes[4];
    ReadExact(bytes, 4);
    value = static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
            (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
    return *this;
}

CArchive& CArchive::operator>>(LONG& value)
{
    DWORD raw;
    *this >> raw;
    value = static_cast<LONG>(raw);
    return *this;
}

void CArchive::WriteObject(const CObject* object)
{
    CheckStoring();
    if (!object) {
        *this << kNullTag;
        return;
    }
    if (auto found = m_storedObjects.find(object); found != m_storedObjects.end()) {
        *this << static_cast<WORD>(found->second);
        return;
    }
    const CRuntimeClass* runtimeClass = object->GetRuntimeClass();
    if (runtimeClass->m_wSchema == 0xFFFF)
        AfxThrowArchiveException(CArchiveException::badClass);
    if (m_nextIndex > kMaxIndex)
        AfxThrowArchiveException(CArchiveException::badIndex);
    if (auto known = m_storedClasses.find(runtimeClass); known != m_storedClasses.end()) {
        *this << static_cast<WORD>(kClassTag | known->second);
    } else {
        const size_t nameLength = std::strlen(runtimeClass->m_lpszClassName);
        *this << kNewClassTag << static_cast<WORD>(runtimeClass->m_wSchema) << static_cast<WORD>(nameLength);
        Write(runtimeClass->m_lpszClassName, static_cast<UINT>(nameLength));
        m_storedClasses[runtimeClass] = m_nextIndex++;
    }
    m_storedObjects[object] = m_nextIndex++;
    const_cast<CObject*>(object)->Serialize(*this);
}

CObject* CArchive::ReadObject(const CRuntimeClass* expected)
{
    CheckLoading();
    WORD tag;
    *this >> tag;
    if (tag == kNullTag)
        return nullptr;
    const CRuntimeClass* runtimeClass = nullptr;
    if (tag == kNewClassTag) {
        WORD schema, nameLength;
        *this >> schema >> nameLength;
        if (nameLength == 0 || nameLength > kMaxClassName)
            AfxThrowArchiveException(CArchiveException::badClass);
        char name[kMaxClassName + 1] = {};
        ReadExact(name, nameLength);
        runtimeClass = CRuntimeClass::FromName(name);
        if (!runtimeClass || !runtimeClass->m_pfnCreateObject)
            AfxThrowArchiveException(CArchiveException::badClass);
        if (runtimeClass->m_wSchema != schema)
            AfxThrowArchiveException(CArchiveException::badSchema);
        m_loadedClasses.resize(m_nextIndex + 1, nullptr);
        m_loadedObjects.resize(m_nextIndex + 1, nullptr);
        m_loadedClasses[m_nextIndex++] = runtimeClass;
    } else if (tag & kClassTag) {
        const DWORD index = tag & ~kClassTag;
        if (index >= m_loadedClasses.size() || !m_loadedClasses[index])
            AfxThrowArchiveException(CArchiveException::badIndex);
        runtimeClass = m_loadedClasses[index];
    } else {
        if (tag >= m_loadedObjects.size() || !m_loadedObjects[tag])
            AfxThrowArchiveException(CArchiveException::badIndex);
        CObject* seen = m_loadedObjects[tag];
        if (expected && !seen->IsKindOf(expected))
            AfxThrowArchiveException(CArchiveException::badClass);
        return seen;
    }
    if (expected && !runtimeClass->IsDerivedFrom(expected))
        AfxThrowArchiveException(CArchiveException::badClass);
    if (m_nextIndex > kMaxIndex)
        AfxThrowArchiveException(CArchiveException::badIndex);
    CObject* object = runtimeClass->CreateObject();
    m_loadedClasses.resize(m_nextIndex + 1, nullptr);
    m_loadedObjects.resize(m_nextIndex + 1, nullptr);
    m_loadedObjects[m_nextIndex++] = object;
    const UINT savedSchema = m_nObjectSchema;
    m_nObjectSchema = runtimeClass->m_wSchema;
    try {
        object->Serialize(*this);
    } catch (...) {
        m_nObjectSchema = savedSchema;
        m_loadedObjects[m_nextIndex - 1] = nullptr;
        delete object;
        throw;
    }
    m_nObjectSchema = savedSchema;
    return object;
}
