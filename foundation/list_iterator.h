// A cursor over a CIterableList that stays right while the list changes under
// it: it registers on its list, which tells it of every insertion and removal
// and of its own destruction. Made on the stack of one walk; not copyable,
// because the list knows it by address.
#pragma once

#include "platform/core/types.h"

class CObject;
class CIterableList;

class CListIterator {
public:
    // Positions count from 1; these states are what the position fields hold
    // otherwise.
    static constexpr int posBeforeFirst = 0;  // current only
    static constexpr int posPastEnd = -2;
    static constexpr int posBetween = -4;  // the current item was removed; current only
    static constexpr int posListGone = -6;

    // start 0: before the first item (walk with Next); start -1: past the end
    // (walk with Prev).
    CListIterator(CIterableList* list, int start);
    ~CListIterator();
    CListIterator(const CListIterator&) = delete;
    CListIterator& operator=(const CListIterator&) = delete;
    CListIterator(CListIterator&&) = delete;
    CListIterator& operator=(CListIterator&&) = delete;

    void SetPosition(int start);
    // Each answers FALSE, with `item` untouched, when there is no item there.
    BOOL Current(CObject*& item) const;
    BOOL Next(CObject*& item);
    BOOL Prev(CObject*& item);
    void UpdateNext();

    CListIterator* GetNextIterator() const { return m_pNextIterator; }
    CIterableList* GetList() const { return m_pList; }
    int GetCurrentPosition() const { return m_nCurrent; }
    int GetNextPosition() const { return m_nNext; }

private:
    // Only the list changes the chain and the positions from outside.
    friend class CIterableList;

    void SetNextIterator(CListIterator* iterator);
    // The list is dying.
    void Detach() { m_nCurrent = m_nNext = posListGone; }
    void OnInsert(int position, int count);
    void OnRemove(int position, int count);

    CListIterator* m_pNextIterator = nullptr;
    CIterableList* m_pList = nullptr;
    int m_nCurrent = posBeforeFirst;
    int m_nNext = posBeforeFirst;
};
