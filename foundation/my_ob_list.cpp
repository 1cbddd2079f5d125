#include "foundation/my_ob_list.h"

#include "foundation/notification_codes.h"

IMPLEMENT_SERIAL(CMyObList, CCmdTargetArray, 1)

CMyObList::CMyObList()
{
    m_nGrowBy = 25;
    SetNotifyId(NOTIFY_ID_LIST);
}

BOOL CMyObList::GetItemAt(int position, CObject*& item) const
{
    if (position < 1 || position > m_nSize)
        return FALSE;
    item = m_pData[position - 1];
    return TRUE;
}

BOOL CMyObList::SetItemAt(int position, CObject* item)
{
    if (position < 1 || position > m_nSize)
        return FALSE;
    m_pData[position - 1] = item;
    return TRUE;
}
