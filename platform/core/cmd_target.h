// The command target: the base of objects that receive commands and of
// automation objects, with a reference count. An object made with new starts
// with one reference; the last release runs OnFinalRelease, which deletes it.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/dispatch.h"
#include "platform/core/message_map.h"
#include "platform/core/object.h"

class CCmdTarget;

namespace platform {
// For tests: told of every command handler about to run (update handlers
// excepted), with the table that holds it; answering false skips the handler
// and the command still counts as handled. Answers the hook it replaced.
using CommandDispatchHook =
    std::function<bool(CCmdTarget* target, const AFX_MSGMAP* map, const AFX_MSGMAP_ENTRY* entry)>;
CommandDispatchHook SetCommandDispatchHook(CommandDispatchHook hook);
}  // namespace platform

// Told when an object that clients still hold is destroyed, with the interface
// they hold (which answers RPC_E_DISCONNECTED from then on). One listener for
// the program: the automation transport, which stops publishing the object.
using DispatchDisconnectHook = void (*)(IDispatch* dispatch);
// Answers the hook it replaced; null removes it.
DispatchDisconnectHook SetDispatchDisconnectHook(DispatchDisconnectHook hook);

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    // Disconnects the dispatch interface that clients may still hold.
    ~CCmdTarget() override;
    // A copy is a new object: one reference, no clients.
    CCmdTarget(const CCmdTarget& other) : CObject(other), m_bAutomation(other.m_bAutomation) {}
    CCmdTarget& operator=(const CCmdTarget&) { return *this; }

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

    // The object's one dispatch interface, made when first asked for; with
    // `addRef` the caller holds a reference to it. Null when automation is
    // not enabled.
    IDispatch* GetIDispatch(BOOL addRef);
    // The object behind an interface; null for a null interface or a gone object.
    static CCmdTarget* FromIDispatch(IDispatch* dispatch);
    // Cuts the clients off: the interface answers every call with
    // RPC_E_DISCONNECTED from now on.
    void ExternalDisconnect();
    // Whether a client may call the object now; FALSE answers the call with
    // RPC_E_DISCONNECTED.
    virtual BOOL IsInvokeAllowed(DISPID id);

    // The members of the dispatch maps with their ids, most derived class
    // first. An id is the member's 1-based position in its class's table,
    // with the number of classes between that class and this object's own in
    // the high word.
    struct AFX_DISPMEMBER {
        DISPID id;
        const AFX_DISPMAP_ENTRY* entry;
    };
    std::vector<AFX_DISPMEMBER> GetDispatchMembers() const;
    DISPID GetDispatchId(const char* name) const;
    const AFX_DISPMAP_ENTRY* GetDispatchEntry(DISPID id) const;
    // Checks and converts the arguments, then runs the handler; failures of
    // the handler come back as results, never as exceptions.
    HRESULT InvokeDispatch(DISPID id, WORD flags, const COleVariant* args, int count, COleVariant* result,
                           EXCEPINFO* error);

    // Looks `id` with `code` up in the message maps of this class and its
    // bases. With `handlerInfo` it only reports the handler found; otherwise
    // it runs it (`extra` is the CCmdUI of an update). TRUE when handled; an
    // update handler that calls ContinueRouting answers FALSE.
    virtual BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_DISPMAP* GetThisDispatchMap();
    virtual const AFX_DISPMAP* GetDispatchMap() const;

    DWORD m_dwRef = 1;
    BOOL m_bAutomation = FALSE;

private:
    IDispatch* m_pDispatch = nullptr;
};
