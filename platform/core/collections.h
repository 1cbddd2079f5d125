// The class library's simple arrays. Their elements are pointer-sized, so
// that an array of "32-bit values" can also keep pointers on this platform.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/core/object.h"

template <typename TYPE>
class CSimpleValueArray : public CObject {
public:
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_items.empty(); }

    TYPE GetAt(INT_PTR index) const { return m_items.at(static_cast<size_t>(index)); }
    void SetAt(INT_PTR index, TYPE value) { m_items.at(static_cast<size_t>(index)) = value; }
    TYPE& ElementAt(INT_PTR index) { return m_items.at(static_cast<size_t>(index)); }
    TYPE operator[](INT_PTR index) const { return GetAt(index); }
    TYPE& operator[](INT_PTR index) { return ElementAt(index); }
    TYPE* GetData() { return m_items.data(); }
    const TYPE* GetData() const { return m_items.data(); }

    void SetSize(INT_PTR size, INT_PTR = -1) { m_items.resize(static_cast<size_t>(std::max<INT_PTR>(size, 0)), TYPE()); }
    INT_PTR Add(TYPE value)
    {
        m_items.push_back(value);
        return GetUpperBound();
    }
    void SetAtGrow(INT_PTR index, TYPE value)
    {
        if (index >= GetSize())
            SetSize(index + 1);
        SetAt(index, value);
    }
    void InsertAt(INT_PTR index, TYPE value, INT_PTR count = 1)
    {
        if (index > GetSize())
            SetSize(index);
        m_items.insert(m_items.begin() + index, static_cast<size_t>(count), value);
    }
    void RemoveAt(INT_PTR index, INT_PTR count = 1)
    {
        const INT_PTR last = std::min(GetSize(), index + count);
        if (index >= 0 && index < last)
            m_items.erase(m_items.begin() + index, m_items.begin() + last);
    }
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<TYPE> m_items;
};

class CDWordArray : public CSimpleValueArray<DWORD_PTR> {
    DECLARE_DYNAMIC(CDWordArray)
};

class CPtrArray : public CSimpleValueArray<void*> {
    DECLARE_DYNAMIC(CPtrArray)
};
