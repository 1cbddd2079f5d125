#include "foundation/iterable_list.h"

#include "foundation/list_iterator.h"
#include "platform/core/hooks.h"

CIterableList::~CIterableList()
{
    // The iterators live on the stacks of walks that may still be running;
    // they only learn that there is nothing left to fetch.
    CListIterator* iterator = m_pFirstIterator;
    while (iterator) {
        CListIterator* next = iterator->GetNextIterator();
        iterator->Detach();
        iterator = next;
    }
    m_pFirstIterator = nullptr;
}

BOOL CIterableList::AddIterator(CListIterator* iterator)
{
    if (!iterator)
        return FALSE;
    bool refused = iterator->GetList() != this;
    for (CListIterator* it = m_pFirstIterator; it && !refused; it = it->GetNextIterator())
        refused = it == iterator;
    if (refused) {
        AfxMessageBox("CListIterator::SetNextIterator");
        return FALSE;
    }
    iterator->SetNextIterator(m_pFirstIterator);
    m_pFirstIterator = iterator;
    return TRUE;
}

void CIterableList::RemoveIterator(CListIterator* iterator)
{
    CListIterator** link = &m_pFirstIterator;
    while (*link && *link != iterator)
        link = &(*link)->m_pNextIterator;
    if (*link) {
        *link = iterator->GetNextIterator();
        iterator->m_pNextIterator = nullptr;
    }
}

void CIterableList::NotifyInsert(int position, int count)
{
    for (CListIterator* it = m_pFirstIterator; it; it = it->GetNextIterator())
        it->OnInsert(position, count);
}

void CIterableList::NotifyRemove(int position, int count)
{
    for (CListIterator* it = m_pFirstIterator; it; it = it->GetNextIterator())
        it->OnRemove(position, count);
}
