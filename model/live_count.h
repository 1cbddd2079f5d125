// A count of the live objects of one class, kept by an empty member, so that
// tests can tell what a command freed in every build, not only under the leak
// checker. The member takes no room in its object.
#pragma once

#include <atomic>

template <class Owner>
class CLiveCount {
public:
    CLiveCount() noexcept { ++s_live; }
    CLiveCount(const CLiveCount&) noexcept { ++s_live; }
    CLiveCount& operator=(const CLiveCount&) noexcept = default;
    ~CLiveCount() { --s_live; }

    static long Live() noexcept { return s_live; }

private:
    static inline std::atomic<long> s_live{0};
};
