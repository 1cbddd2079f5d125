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

// A position in a CObList: null past either end.
struct __POSITION {};
using POSITION = __POSITION*;

// The class library's list of object pointers, walked by position. Kept in
// an array, so a position is an index in disguise: positions stay valid while
// the list only grows at its tail.
class CObList : public CObject {
    DECLARE_DYNAMIC(CObList)
public:
    explicit CObList(INT_PTR blockSize = 10) { (void)blockSize; }

    INT_PTR GetCount() const { return static_cast<INT_PTR>(m_items.size()); }
    BOOL IsEmpty() const { return m_items.empty(); }
    POSITION AddTail(CObject* item)
    {
        m_items.push_back(item);
        return ToPosition(m_items.size() - 1);
    }
    void RemoveAll() { m_items.clear(); }
    POSITION GetHeadPosition() const { return m_items.empty() ? nullptr : ToPosition(0); }
    POSITION GetTailPosition() const { return m_items.empty() ? nullptr : ToPosition(m_items.size() - 1); }
    // The item at `position`; moves `position` on (null after the last).
    CObject* GetNext(POSITION& position) const
    {
        const size_t index = ToIndex(position);
        position = index + 1 < m_items.size() ? ToPosition(index + 1) : nullptr;
        return m_items.at(index);
    }
    CObject* GetPrev(POSITION& position) const
    {
        const size_t index = ToIndex(position);
        position = index > 0 ? ToPosition(index - 1) : nullptr;
        return m_items.at(index);
    }
    CObject* GetAt(POSITION position) const { return m_items.at(ToIndex(position)); }
    CObject* GetHead() const { return m_items.front(); }
    CObject* GetTail() const { return m_items.back(); }
    // Null when the item is not in the list.
    POSITION Find(const CObject* item) const
    {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i] == item)
                return ToPosition(i);
        return nullptr;
    }
    // Items by index, for the program's own loops.
    CObject* GetAtIndex(INT_PTR index) const { return m_items.at(static_cast<size_t>(index)); }

private:
    static POSITION ToPosition(size_t index) { return reinterpret_cast<POSITION>(index + 1); }
    static size_t ToIndex(POSITION position) { return reinterpret_cast<size_t>(position) - 1; }
    std::vector<CObject*> m_items;
};
