// The command target: the base of objects that receive commands and of
// automation objects, with a reference count. An object made with new starts
// with one reference; the last release runs OnFinalRelease, which deletes it.
#pragma once

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

protected:
    DWORD m_dwRef = 1;
    BOOL m_bAutomation = FALSE;
};
