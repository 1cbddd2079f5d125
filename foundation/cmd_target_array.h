// A growable array of object pointers that is a command target, so that a
// list can also be an automation object. It never owns its elements: whoever
// holds the array deletes them.
#pragma once

#include "platform/core/cmd_target.h"

class CCmdTargetArray : public CCmdTarget {
    DECLARE_SERIAL(CCmdTargetArray)
public:
    CCmdTargetArray() = default;
    ~CCmdTargetArray() override;
    CCmdTargetArray(const CCmdTargetArray&) = delete;
    CCmdTargetArray& operator=(const CCmdTargetArray&) = delete;

    int GetSize() const { return m_nSize; }
    // Indexes are 0-based; one outside the array is the caller's fault.
    CObject* GetAt(int index) const;
    void SetAt(int index, CObject* element);

    // The maximum size grows by exactly the grow-by (or to exactly n when that
    // is not enough). The table behind it grows geometrically, so that n adds
    // cost O(n) whatever the grow-by. A grow-by of -1 keeps the current one;
    // n = 0 frees the table.
    void SetSize(int newSize, int growBy = -1);
    void SetAtGrow(int index, CObject* element);
    int Add(CObject* element);
    void InsertAt(int index, CObject* element, int count = 1);
    // The allocation stays.
    void RemoveAt(int index, int count = 1);
    // Frees the table, not the elements.
    void RemoveAll() { SetSize(0); }

    // A 16-bit count and the elements as objects. Storing more than 65535
    // throws CArchiveException, before anything is written.
    void Serialize(CArchive& ar) override;

    int GetMaxSize() const { return m_nMaxSize; }
    int GetGrowBy() const { return m_nGrowBy; }

protected:
    CObject** m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;

private:
    int m_nCapacity = 0;  // slots of m_pData, at least m_nMaxSize
};
