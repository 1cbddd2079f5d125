#include "platform/core/cmd_target.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

DWORD CCmdTarget::InternalRelease()
{
    if (m_dwRef == 0)
        return 0;
    if (--m_dwRef == 0) {
        OnFinalRelease();
        return 0;
    }
    return m_dwRef;
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}
