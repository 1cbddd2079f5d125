#include "platform/core/cmd_ui.h"

void CCmdUI::Enable(BOOL on)
{
    m_bEnabled = on ? TRUE : FALSE;
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int check)
{
    m_nCheck = check;
    m_bRadio = FALSE;
    m_bCheckChanged = TRUE;
}

void CCmdUI::SetRadio(BOOL on)
{
    m_nCheck = on ? 1 : 0;
    m_bRadio = TRUE;
    m_bCheckChanged = TRUE;
}

void CCmdUI::SetText(const char* text)
{
    m_strText = text;
    m_bTextChanged = TRUE;
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler)
{
    CCmdTarget* const route[] = {target};
    if (disableIfNoHandler)
        return RouteCommandUI(route, 1, *this);
    m_bEnableChanged = m_bCheckChanged = m_bTextChanged = FALSE;
    return target && target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
}

namespace {

bool HasCommandHandler(CCmdTarget* const* targets, int count, UINT id)
{
    for (int i = 0; i < count; ++i) {
        AFX_CMDHANDLERINFO info;
        if (targets[i] && targets[i]->OnCmdMsg(id, CN_COMMAND, nullptr, &info))
            return true;
    }
    return false;
}

}  // namespace

BOOL RouteCommandUI(CCmdTarget* const* targets, int count, CCmdUI& cmdUI)
{
    cmdUI.m_bEnableChanged = cmdUI.m_bCheckChanged = cmdUI.m_bTextChanged = FALSE;
    for (int i = 0; i < count; ++i) {
        if (targets[i] && targets[i]->OnCmdMsg(cmdUI.m_nID, CN_UPDATE_COMMAND_UI, &cmdUI, nullptr))
            return TRUE;
    }
    // A handler that passed the item on without enabling it leaves the
    // decision to the command handlers, as an absent handler does.
    if (!cmdUI.m_bEnableChanged)
        cmdUI.Enable(HasCommandHandler(targets, count, cmdUI.m_nID));
    return FALSE;
}

BOOL RouteCommand(CCmdTarget* const* targets, int count, UINT id)
{
    CCmdUI state(id);
    RouteCommandUI(targets, count, state);
    if (!state.m_bEnabled)
        return FALSE;
    for (int i = 0; i < count; ++i) {
        if (targets[i] && targets[i]->OnCmdMsg(id, CN_COMMAND, nullptr, nullptr))
            return TRUE;
    }
    return FALSE;
}

BOOL RouteControlNotification(CCmdTarget* const* targets, int count, UINT id, int code)
{
    for (int i = 0; i < count; ++i) {
        if (targets[i] && targets[i]->OnCmdMsg(id, code, nullptr, nullptr))
            return TRUE;
    }
    return FALSE;
}
