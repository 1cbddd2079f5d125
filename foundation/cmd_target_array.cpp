#include "foundation/cmd_target_array.h"

#include <cassert>
#include <climits>
#include <cstring>

#include "platform/core/archive.h"
#include "platform/core/exceptions.h"

IMPLEMENT_SERIAL(CCmdTargetArray, CCmdTarget, 0)

namespace {
constexpr int kMaxStoredCount = 0xFFFF;

CObject** NewTable(int slots)
{
    return new CObject*[static_cast<size_t>(slots)]();
}
}  // namespace

CCmdTargetArray::~CCmdTargetArray()
{
    delete[] m_pData;
}

CObject* CCmdTargetArray::GetAt(int index) const
{
    assert(index >= 0 && index < m_nSize);
    return m_pData[index];
}

void CCmdTargetArray::SetAt(int index, CObject* element)
{
    assert(index >= 0 && index < m_nSize);
    m_pData[index] = element;
}

void CCmdTargetArray::SetSize(int newSize, int growBy)
{
    assert(newSize >= 0);
    if (growBy != -1)
        m_nGrowBy = growBy;

    if (newSize <= 0) {
        delete[] m_pData;
        m_pData = nullptr;
        m_nSize = m_nMaxSize = m_nCapacity = 0;
        return;
    }
    if (!m_pData) {
        m_pData = NewTable(newSize);
        m_nSize = m_nMaxSize = m_nCapacity = newSize;
        return;
    }
    if (newSize <= m_nMaxSize) {
        if (newSize > m_nSize)
            std::memset(m_pData + m_nSize, 0, sizeof(CObject*) * static_cast<size_t>(newSize - m_nSize));
        m_nSize = newSize;
        return;
    }
    // Wider arithmetic: maximum + grow-by must not wrap past INT_MAX.
    const long long grown = static_cast<long long>(m_nMaxSize) + m_nGrowBy;
    const int newMax = grown > newSize ? static_cast<int>(grown < INT_MAX ? grown : INT_MAX) : newSize;
    if (newMax > m_nCapacity) {
        const long long doubled = 2LL * m_nCapacity;
        const int capacity = doubled > newMax ? static_cast<int>(doubled < INT_MAX ? doubled : INT_MAX) : newMax;
        CObject** table = NewTable(capacity);
        std::memcpy(table, m_pData, sizeof(CObject*) * static_cast<size_t>(m_nSize));
        delete[] m_pData;
        m_pData = table;
        m_nCapacity = capacity;
    } else {
        std::memset(m_pData + m_nSize, 0, sizeof(CObject*) * static_cast<size_t>(newSize - m_nSize));
    }
    m_nSize = newSize;
    m_nMaxSize = newMax;
}

void CCmdTargetArray::SetAtGrow(int index, CObject* element)
{
    assert(index >= 0);
    if (index >= m_nSize)
        SetSize(index + 1);
    m_pData[index] = element;
}

int CCmdTargetArray::Add(CObject* element)
{
    const int index = m_nSize;
    SetAtGrow(index, element);
    return index;
}

void CCmdTargetArray::InsertAt(int index, CObject* element, int count)
{
    assert(index >= 0);
    if (count <= 0)
        return;
    if (index < m_nSize) {
        const int oldSize = m_nSize;
        SetSize(m_nSize + count);
        std::memmove(m_pData + index + count, m_pData + index, sizeof(CObject*) * static_cast<size_t>(oldSize - index));
    } else {
        SetSize(index + count);
    }
    for (int i = index; i < index + count; ++i)
        m_pData[i] = element;
}

void CCmdTargetArray::RemoveAt(int index, int count)
{
    assert(index >= 0 && count >= 0 && index + count <= m_nSize);
    const int tail = m_nSize - (index + count);
    if (tail > 0)
        std::memmove(m_pData + index, m_pData + index + count, sizeof(CObject*) * static_cast<size_t>(tail));
    m_nSize -= count;
    // Stale pointers past the end would only mislead a debugger.
    if (count > 0)
        std::memset(m_pData + m_nSize, 0, sizeof(CObject*) * static_cast<size_t>(count));
}

void CCmdTargetArray::Serialize(CArchive& ar)
{
    CCmdTarget::Serialize(ar);
    if (ar.IsStoring()) {
        if (m_nSize > kMaxStoredCount)
            AfxThrowArchiveException(CArchiveException::generic);
        ar << static_cast<WORD>(m_nSize);
        for (int i = 0; i < m_nSize; ++i)
            ar.WriteObject(m_pData[i]);
    } else {
        WORD count = 0;
        ar >> count;
        SetSize(count);
        // Slots kept from earlier contents must not survive a damaged read.
        if (count > 0)
            std::memset(m_pData, 0, sizeof(CObject*) * count);
        for (int i = 0; i < count; ++i)
            m_pData[i] = ar.ReadObject(nullptr);
    }
}
