// The list side of the live iterators: a list that iterators can walk while
// it changes. Whoever changes the list tells its iterators afterwards, with
// NotifyInsert or NotifyRemove, so that none of them skips, repeats or dangles.
#pragma once

#include "platform/core/types.h"

class CObject;
class CListIterator;

class CIterableList {
public:
    CIterableList() = default;
    // Every iterator still registered is left in its list-gone state.
    virtual ~CIterableList();
    CIterableList(const CIterableList&) = delete;
    CIterableList& operator=(const CIterableList&) = delete;

    virtual int GetCount() const = 0;
    // Positions count from 1. FALSE, with `item` untouched, outside 1..count.
    virtual BOOL GetItemAt(int position, CObject*& item) const = 0;

    // Called by the iterator itself. Refused (FALSE, with a message box) for an
    // iterator of another list or one that is already registered: linking it
    // twice would loop the chain.
    BOOL AddIterator(CListIterator* iterator);
    // Nothing when the iterator is not registered.
    void RemoveIterator(CListIterator* iterator);

    // After the list changed: `position` is the 1-based position of the first
    // item inserted or removed, `count` how many.
    void NotifyInsert(int position, int count = 1);
    void NotifyRemove(int position, int count = 1);

    CListIterator* GetFirstIterator() const { return m_pFirstIterator; }

private:
    CListIterator* m_pFirstIterator = nullptr;
};
