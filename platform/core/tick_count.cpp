#include "platform/core/tick_count.h"

#include <chrono>
#include <utility>

namespace {

platform::TickSource& Source()
{
    static platform::TickSource source;
    return source;
}

}  // namespace

DWORD GetTickCount()
{
    if (const platform::TickSource& source = Source())
        return source();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

namespace platform {

TickSource SetTickSource(TickSource source)
{
    return std::exchange(Source(), std::move(source));
}

}  // namespace platform
