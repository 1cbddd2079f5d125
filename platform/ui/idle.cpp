#include "platform/ui/idle.h"

namespace platform {

void IdleScheduler::OnMessage()
{
    m_count = 0;
    m_wanted = true;
    m_dueNow = true;
}

int IdleScheduler::Delay(DWORD now) const
{
    if (!m_wanted)
        return -1;
    if (m_dueNow)
        return 0;
    // Unsigned, so that the clock may wrap.
    const DWORD elapsed = now - m_last;
    return elapsed >= m_wait ? 0 : static_cast<int>(m_wait - elapsed);
}

void IdleScheduler::Due(int delay)
{
    if (!m_inPass) {
        // Something that needs passes began outside any message: one pass as
        // soon as the queue is empty, which then says when the next is due.
        if (delay >= 0) {
            m_wanted = true;
            m_dueNow = true;
        }
        return;
    }
    m_dueGiven = true;
    if (delay >= 0 && (m_dueDelay < 0 || delay < m_dueDelay))
        m_dueDelay = delay;
}

int IdleScheduler::Run(DWORD now, const std::function<BOOL(LONG count)>& pass)
{
    const int delay = Delay(now);
    if (delay != 0)
        return delay;
    m_dueNow = false;
    m_last = now;
    const LONG count = m_count;
    if (m_count < 0x7FFFFFFF)
        ++m_count;
    m_inPass = true;
    m_dueGiven = false;
    m_dueDelay = -1;
    m_wanted = pass(count) != FALSE;
    m_inPass = false;
    m_wait = kInterval;
    if (m_wanted && m_dueGiven) {
        if (m_dueDelay < 0)
            m_wanted = false;
        else
            m_wait = static_cast<DWORD>(m_dueDelay);
    }
    return m_wanted ? static_cast<int>(m_wait) : -1;
}

}  // namespace platform
