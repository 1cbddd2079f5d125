#include "tests/fuzz/fuzz_target.h"

#include <algorithm>
#include <cstring>

namespace fuzz {
namespace {

std::vector<Target>& Registry()
{
    static std::vector<Target> targets;
    return targets;
}

}  // namespace

void Seeds::Add(std::string name, Bytes bytes)
{
    if (!bytes.empty())
        m_seeds.emplace_back(std::move(name), std::move(bytes));
}

std::vector<Target> Targets()
{
    std::vector<Target> sorted = Registry();
    std::sort(sorted.begin(), sorted.end(),
              [](const Target& a, const Target& b) { return std::strcmp(a.name, b.name) < 0; });
    return sorted;
}

Registrar::Registrar(const Target& target)
{
    Registry().push_back(target);
}

}  // namespace fuzz
