// A fuzz target: one reader of untrusted bytes driven through the program's
// own code. Its body is a plain function, so that the same code runs under
// libFuzzer in the fuzzing build and, in the ordinary test suite, on every
// input that once crashed it and on its seeds.
//
// A new target is one file in targets/ that ends with DIZADO_FUZZ_TARGET and
// one line in this folder's CMakeLists.txt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace fuzz {

using Bytes = std::vector<unsigned char>;

// The starting inputs of a target, made from the test fixtures when the build
// runs, never checked in.
class Seeds {
public:
    // Empty inputs are dropped: a missing fixture must not pass for a seed.
    void Add(std::string name, Bytes bytes);
    const std::vector<std::pair<std::string, Bytes>>& All() const { return m_seeds; }

private:
    std::vector<std::pair<std::string, Bytes>> m_seeds;
};

using RunFunction = int (*)(const uint8_t* data, size_t size);
using SeedFunction = void (*)(Seeds& seeds);

struct Target {
    const char* name;
    RunFunction run;
    SeedFunction seeds;
};

// Every target linked into this program, in name order.
std::vector<Target> Targets();

struct Registrar {
    explicit Registrar(const Target& target);
};

}  // namespace fuzz

#define DIZADO_FUZZ_TARGET(name, run, seeds) \
    static const ::fuzz::Registrar dizado_fuzz_registrar_##name(::fuzz::Target{#name, run, seeds});
