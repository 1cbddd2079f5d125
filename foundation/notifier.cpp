#include "foundation/notifier.h"

#include <algorithm>

CNotifier::~CNotifier()
{
    for (Pass* pass = m_pPasses; pass; pass = pass->outer)
        pass->senderGone = true;
}

void CNotifier::OnNotify(UINT, UINT, LPARAM) {}

int CNotifier::AddListener(CNotifier* listener)
{
    m_listeners.push_back(listener);
    return GetListenerCount();
}

int CNotifier::RemoveListener(CNotifier* listener)
{
    auto found = std::find(m_listeners.begin(), m_listeners.end(), listener);
    if (found != m_listeners.end()) {
        const size_t index = static_cast<size_t>(found - m_listeners.begin());
        m_listeners.erase(found);
        // An entry gone from before a pass's cursor would make it skip the
        // listener that moved down into the cursor's slot.
        for (Pass* pass = m_pPasses; pass; pass = pass->outer) {
            if (index < pass->next)
                --pass->next;
            if (index < pass->end)
                --pass->end;
        }
    }
    return GetListenerCount();
}

int CNotifier::NotifyListeners(UINT code, LPARAM data)
{
    Pass pass{0, m_listeners.size(), false, nullptr};
    PassScope scope(this, &pass);
    int called = 0;
    while (pass.next < pass.end && pass.next < m_listeners.size()) {
        CNotifier* listener = m_listeners[pass.next++];
        listener->OnNotify(m_nNotifyId, code, data);
        ++called;
        if (pass.senderGone)
            break;
    }
    return called;
}

CNotifier::PassScope::PassScope(CNotifier* sender, Pass* pass) : m_pSender(sender), m_pPass(pass)
{
    pass->outer = sender->m_pPasses;
    sender->m_pPasses = pass;
}

CNotifier::PassScope::~PassScope()
{
    // A listener may have deleted the sender.
    if (!m_pPass->senderGone)
        m_pSender->m_pPasses = m_pPass->outer;
}
