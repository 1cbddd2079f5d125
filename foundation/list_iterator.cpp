#include "foundation/list_iterator.h"

#include "foundation/iterable_list.h"
#include "platform/core/hooks.h"

CListIterator::CListIterator(CIterableList* list, int start) : m_pList(list)
{
    if (!m_pList) {
        Detach();
        return;
    }
    m_pList->AddIterator(this);
    SetPosition(start);
}

CListIterator::~CListIterator()
{
    if (m_nCurrent != posListGone)
        m_pList->RemoveIterator(this);
}

void CListIterator::SetPosition(int start)
{
    if (m_nCurrent == posListGone)
        return;
    if (start == -1) {
        // Nothing follows the end; a Next from here must not start over.
        m_nCurrent = m_nNext = posPastEnd;
    } else {
        m_nCurrent = posBeforeFirst;
    }
    UpdateNext();
}

BOOL CListIterator::Current(CObject*& item) const
{
    if (m_nCurrent == posListGone)
        return FALSE;
    return m_pList->GetItemAt(m_nCurrent, item);
}

BOOL CListIterator::Next(CObject*& item)
{
    if (m_nCurrent == posListGone)
        return FALSE;
    m_nCurrent = m_nNext;
    UpdateNext();
    return Current(item);
}

BOOL CListIterator::Prev(CObject*& item)
{
    if (m_nCurrent == posListGone)
        return FALSE;
    if (m_nCurrent == posBetween)
        m_nCurrent = m_nNext == posPastEnd ? m_pList->GetCount() : m_nNext - 1;
    else if (m_nCurrent == posPastEnd)
        m_nCurrent = m_pList->GetCount();
    else if (m_nCurrent > 0)
        m_nCurrent -= 1;
    UpdateNext();
    return Current(item);
}

void CListIterator::UpdateNext()
{
    if (m_nCurrent < posBeforeFirst)
        return;
    m_nNext = m_nCurrent + 1 > m_pList->GetCount() ? posPastEnd : m_nCurrent + 1;
}

void CListIterator::SetNextIterator(CListIterator* iterator)
{
    if (iterator == this) {
        AfxMessageBox("CListIterator::SetNextIterator");
        return;
    }
    m_pNextIterator = iterator;
}

void CListIterator::OnInsert(int position, int count)
{
    if (m_nCurrent == posListGone)
        return;
    if (m_nCurrent == posBetween) {
        if (m_nNext >= position)
            m_nNext += count;
        return;
    }
    if (m_nCurrent > 0 && m_nCurrent >= position)
        m_nCurrent += count;
    UpdateNext();
}

void CListIterator::OnRemove(int position, int count)
{
    if (m_nCurrent == posListGone)
        return;
    if (m_nCurrent == posBetween) {
        // Next still names the item that followed the one removed before; it
        // moves down with earlier removals and, when it is removed as well,
        // the item after it takes its place.
        if (m_nNext >= position) {
            m_nNext = m_nNext - count < position ? position : m_nNext - count;
            if (m_nNext > m_pList->GetCount())
                m_nNext = posPastEnd;
        }
        return;
    }
    if (m_nCurrent < position) {
        // The removal may have taken the item after the current one.
        UpdateNext();
        return;
    }
    if (m_nCurrent < position + count) {
        // The current item went with the others removed: next names the item
        // that followed all of them, not one before the gap.
        m_nCurrent = posBetween;
        m_nNext = position > m_pList->GetCount() ? posPastEnd : position;
        return;
    }
    m_nCurrent -= count;
    UpdateNext();
}
