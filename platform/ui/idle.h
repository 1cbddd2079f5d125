// When the application's idle passes run: at once when a message has been
// handled and the queue is empty, then about every 15 ms for as long as the
// passes ask for more, and not at all after a pass that asks for nothing
// until the next message. Free of the toolkit, so that it runs on any clock.
#pragma once

#include <functional>

#include "platform/core/types.h"

namespace platform {

class IdleScheduler {
public:
    static constexpr DWORD kInterval = 15;

    // A message was handled: the pass count starts over, a pass is due now.
    void OnMessage();
    // Runs the pass due at `now`, if any, with its count (0 after a message);
    // `pass` answers whether it wants another. Answers the milliseconds until
    // the next pass is due, or -1 when none is wanted until a message comes.
    int Run(DWORD now, const std::function<BOOL(LONG count)>& pass);
    // Milliseconds until the next pass, -1 for none.
    int Delay(DWORD now) const;
    LONG Count() const { return m_count; }

private:
    bool m_wanted = false;
    bool m_dueNow = false;
    DWORD m_last = 0;
    LONG m_count = 0;
};

}  // namespace platform
