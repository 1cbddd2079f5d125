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
    return elapsed >= kInterval ? 0 : static_cast<int>(kInterval - elapsed);
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
    m_wanted = pass(count) != FALSE;
    return m_wanted ? static_cast<int>(kInterval) : -1;
}

}  // namespace platform
