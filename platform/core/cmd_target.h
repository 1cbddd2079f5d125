// The command target: the base of objects that receive commands and of
// automation objects, with a reference count. An object made with new starts
// with one reference; the last release runs OnFinalRelease, which deletes it.
#pragma once

#include "platform/core/message_map.h"
#include "platform/core/object.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    DWORD InternalAddRef() { return ++m_dwRef; }
    DWORD InternalRelease();
    DWORD ExternalAddRef() { return InternalAddRef(); }
    DWORD ExternalRelease() { return InternalRelease(); }
    DWORD GetRefCount() const { return m_dwRef; }

    // Marks the object as one that automation may reach.
    void EnableAutomation() { m_bAutomation = TRUE; }
    BOOL IsAutomationEnabled() const { return m_bAutomation; }

    virtual void OnFinalRelease();

    // The wait cursor while a long operation runs; the window layer shows
    // it from the first Begin to the last End.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // Looks `id` with `code` up in the message maps of this class and its
    // bases. With `handlerInfo` it only reports the handler found; otherwise
    // it runs it (`extra` is the CCmdUI of an update). TRUE when handled; an
    // update handler that calls ContinueRouting answers FALSE.
    virtual BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    DWORD m_dwRef = 1;
    BOOL m_bAutomation = FALSE;
};
