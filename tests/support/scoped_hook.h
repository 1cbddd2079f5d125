// Global hooks set for a scope: the value replaced comes back however the
// test ends, an ASSERT's early return included, so that the next test in the
// same process starts from the same state as it would alone.
#pragma once

#include <type_traits>
#include <utility>

// For setters that return what they replaced:
//   ScopedHook beeps(platform::SetBeepHook, [&](UINT) { ++count; });
template <typename Value>
class ScopedHook {
public:
    using Setter = Value (*)(Value);
    ScopedHook(Setter set, std::type_identity_t<Value> value) : m_set(set), m_previous(set(std::move(value))) {}
    ~ScopedHook() { m_set(std::move(m_previous)); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Setter m_set;
    Value m_previous;
};

// For a setter whose getter answers a stand-in, or that has none: what to
// put back is given.
//   ScopedValue services(SetBrickServices, &library, nullptr);
template <typename Value>
class ScopedValue {
public:
    using Setter = void (*)(Value);
    ScopedValue(Setter set, std::type_identity_t<Value> value, std::type_identity_t<Value> rest)
        : m_set(set), m_rest(std::move(rest))
    {
        set(std::move(value));
    }
    ~ScopedValue() { m_set(std::move(m_rest)); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    Setter m_set;
    Value m_rest;
};
