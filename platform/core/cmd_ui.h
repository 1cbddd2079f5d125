// Command user interface: the state a command's update handler gives a menu
// item or a button (enabled, checked, text), and the routing of a command
// through an ordered list of targets. The menus and buttons that show the
// state belong to the window layer; they subclass CCmdUI or read what it
// recorded.
#pragma once

#include "platform/core/cmd_target.h"
#include "platform/core/cstring.h"

class CCmdUI {
public:
    CCmdUI() = default;
    explicit CCmdUI(UINT id) : m_nID(id) {}
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL on = TRUE);
    // 0 unchecked, 1 checked, 2 indeterminate.
    virtual void SetCheck(int check = 1);
    // A check shown as an option mark.
    virtual void SetRadio(BOOL on = TRUE);
    virtual void SetText(const char* text);
    // From an update handler: let the next target in the route decide.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Runs the update handler of `target` (and whatever it routes to). When
    // none handled the item and `disableIfNoHandler`, the item is enabled
    // exactly when some command handler exists. Answers whether an update
    // handler ran.
    BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler = TRUE);

    UINT m_nID = 0;
    UINT m_nIndex = 0;  // the item's place in its menu or bar, for the window layer

    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
    BOOL m_bRadio = FALSE;
    CString m_strText;
    // Which of the above an update handler set since the item was last updated.
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bCheckChanged = FALSE;
    BOOL m_bTextChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
};

// The route of a command: targets asked in order (frame, active view,
// document, application is the window layer's order); null entries are
// skipped. Routing never deletes a target.
//
// The update step: the first target with an update handler for the item
// decides; without any, the item is enabled exactly when some target has a
// command handler. Answers whether an update handler ran.
BOOL RouteCommandUI(CCmdTarget* const* targets, int count, CCmdUI& cmdUI);
// A command from a menu item, an accelerator or a button: nothing runs when
// the update step leaves the item disabled; otherwise the first command
// handler in the route runs. Answers whether a handler ran.
BOOL RouteCommand(CCmdTarget* const* targets, int count, UINT id);
// A control's notification (code other than CN_COMMAND): the first handler
// in the route runs; controls have no update step.
BOOL RouteControlNotification(CCmdTarget* const* targets, int count, UINT id, int code);
