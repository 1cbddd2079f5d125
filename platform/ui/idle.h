// When the application's idle passes run: at once when a message has been
// handled and the queue is empty, then about every 15 ms for as long as the
// passes ask for more, and not at all after a pass that asks for nothing
// until the next message. A pass that asks for more may also say when the
// next one is of use (Due): the next pass then waits for the earliest such
// time, or for a message when every caller said none, so a program whose
// passes only watch the clock wakes only when something is due. Free of the
// toolkit, so that it runs on any clock.
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
    // During a pass: the next one is of use in `delay` ms (-1: not by time;
    // only a message makes one useful). Several calls keep the earliest.
    // Outside a pass, a delay of 0 or more asks for a pass as soon as the
    // queue is empty (the count goes on); -1 does nothing.
    void Due(int delay);
    LONG Count() const { return m_count; }

private:
    bool m_wanted = false;
    bool m_dueNow = false;
    DWORD m_last = 0;
    LONG m_count = 0;
    // The wait after the last pass that asked for more.
    DWORD m_wait = kInterval;
    // Inside a pass: whether Due was called, and the earliest delay given.
    bool m_inPass = false;
    bool m_dueGiven = false;
    int m_dueDelay = -1;
};

}  // namespace platform
