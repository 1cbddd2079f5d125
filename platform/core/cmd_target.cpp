#include "platform/core/cmd_target.h"

#include "platform/core/cmd_ui.h"
#include "platform/core/hooks.h"

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

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, entries};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage != WM_COMMAND || entry->nCode != code || id < entry->nID || id > entry->nLastID)
                continue;
            if (handlerInfo) {
                handlerInfo->pTarget = this;
                handlerInfo->pEntry = entry;
                return TRUE;
            }
            if (code == CN_UPDATE_COMMAND_UI) {
                auto* cmdUI = static_cast<CCmdUI*>(extra);
                if (!cmdUI)
                    return FALSE;
                cmdUI->m_bContinueRouting = FALSE;
                entry->pfn(this, id, cmdUI);
                return !cmdUI->m_bContinueRouting;
            }
            return entry->pfn(this, id, extra);
        }
    }
    return FALSE;
}

void CCmdTarget::BeginWaitCursor()
{
    platform::CallWaitCursorHook(1);
}

void CCmdTarget::EndWaitCursor()
{
    platform::CallWaitCursorHook(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    platform::CallWaitCursorHook(0);
}
