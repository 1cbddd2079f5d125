// The change-notification mix-in: every carrier is a sender with its own list
// of listeners and, through OnNotify, a listener of others. All of it runs
// synchronously on the one user-interface thread.
#pragma once

#include <vector>

#include "platform/core/types.h"

class CNotifier {
public:
    CNotifier() = default;
    // Listeners are not told; a pass still running on this sender stops.
    virtual ~CNotifier();
    CNotifier(const CNotifier&) = delete;
    CNotifier& operator=(const CNotifier&) = delete;

    // The listener side. Data carries a pointer for many codes, hence LPARAM.
    virtual void OnNotify(UINT senderId, UINT code, LPARAM data);

    // No duplicate check: a listener added twice hears everything twice.
    int AddListener(CNotifier* listener);
    // Removes the first entry equal to the listener, if any.
    int RemoveListener(CNotifier* listener);
    // Calls every listener registered when the pass starts, in registration
    // order, except those removed before their turn. Listeners added during
    // the pass hear from the next one. Answers how many were called.
    int NotifyListeners(UINT code, LPARAM data);

    void SetNotifyId(UINT id) { m_nNotifyId = id; }
    UINT GetNotifyId() const { return m_nNotifyId; }
    int GetListenerCount() const { return static_cast<int>(m_listeners.size()); }

private:
    // A running NotifyListeners; RemoveListener keeps its bounds right.
    struct Pass {
        size_t next;
        size_t end;
        bool senderGone;
        Pass* outer;
    };
    // Links a pass for as long as it runs, however it ends.
    class PassScope {
    public:
        PassScope(CNotifier* sender, Pass* pass);
        ~PassScope();
        PassScope(const PassScope&) = delete;
        PassScope& operator=(const PassScope&) = delete;

    private:
        CNotifier* m_pSender;
        Pass* m_pPass;
    };

    std::vector<CNotifier*> m_listeners;
    UINT m_nNotifyId = 0;
    Pass* m_pPasses = nullptr;  // innermost first; a listener may notify again
};
