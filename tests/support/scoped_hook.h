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

// For a setter with a getter beside it:
//   ScopedValue services(GetBrickServices, SetBrickServices, &library);
template <typename Value>
class ScopedValue {
public:
    using Getter = Value (*)();
    using Setter = void (*)(Value);
    ScopedValue(Getter get, Setter set, std::type_identity_t<Value> value) : m_set(set), m_previous(get())
    {
        set(std::move(value));
    }
    ~ScopedValue() { m_set(std::move(m_previous)); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    Setter m_set;
    Value m_previous;
};
