// The kit list's side of the kid frame's brick list box: one row per class,
// and kits opened and closed in place.
#include "model/kit_list.h"
#include "platform/ui/controls.h"

void CKitList::FillListBox(CListBox* listBox)
{
    m_pListBox = listBox;
    if (!listBox)
        return;
    for (INT_PTR k = 0; k < GetKitCount(); ++k) {
        CBrickKitListData* kit = GetKitAt(k);
        for (INT_PTR c = 0; c < kit->GetClassCount(); ++c) {
            CBrickModData* entry = kit->GetClassAt(c);
            entry->m_nRowIndex = listBox->AddString(reinterpret_cast<LPCTSTR>(entry));
        }
    }
}

int CKitList::FindRow(const CObject* item) const
{
    if (!m_pListBox || !item)
        return -1;
    const int count = m_pListBox->GetCount();
    for (int row = 0; row < count; ++row)
        if (m_pListBox->GetItemDataPtr(row) == item)
            return row;
    return -1;
}

void CKitList::ExpandKit(CBrickKitListData* kit, BOOL open)
{
    if (!m_pListBox || !kit)
        return;
    m_pListBox->SetRedraw(FALSE);
    for (INT_PTR c = kit->GetClassCount() - 1; c >= 0; --c) {
        CBrickModData* entry = kit->GetClassAt(c);
        if (open) {
            entry->m_nRowIndex = m_pListBox->AddString(reinterpret_cast<LPCTSTR>(entry));
        } else {
            const int row = FindRow(entry);
            if (row != -1)
                m_pListBox->DeleteString(static_cast<UINT>(row));
        }
    }
    kit->m_bClosed = open ? FALSE : TRUE;
    m_pListBox->SetRedraw(TRUE);
    m_pListBox->Invalidate(TRUE);
    m_pListBox->UpdateWindow();
}
