// Reading a kit library: the kit shipped with the program as the reference,
// beside crafted libraries of 8,000 resources behind 1, 96 (the most a
// library may have) and 65,535 sections (refused).
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/core/resources.h"
#include "tests/support/pe_library.h"

namespace {

constexpr WORD kCraftedEntries = 8000;

std::vector<unsigned char> CraftedKit(size_t sections)
{
    pelib::PeLibrary library;
    for (WORD id = 1; id <= kCraftedEntries; ++id)
        library.Add(10, id, library.AddData({static_cast<unsigned char>(id), static_cast<unsigned char>(id >> 8), 0, 0}));
    return library.Build(sections);
}

void ReadKit(benchmark::State& state, const std::vector<unsigned char>& bytes)
{
    if (bytes.empty()) {
        state.SkipWithError("no kit");
        return;
    }
    for (auto _ : state) {
        HMODULE module = platform::OpenResourceModuleFromMemory(bytes);
        benchmark::DoNotOptimize(module);
        if (module)
            FreeLibrary(module);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["file_kb"] = static_cast<double>(bytes.size()) / 1024;
}

void BM_ReadShippedKit(benchmark::State& state)
{
    std::ifstream in(DIZADO_BASIC_KIT, std::ios::binary);
    ReadKit(state, std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}
BENCHMARK(BM_ReadShippedKit)->Unit(benchmark::kMillisecond);

void BM_ReadCraftedKit(benchmark::State& state)
{
    ReadKit(state, CraftedKit(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_ReadCraftedKit)->Arg(1)->Arg(96)->Arg(65535)->Unit(benchmark::kMillisecond);

}  // namespace
