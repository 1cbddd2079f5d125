// Writes the seeds of every target linked in, one folder per target:
//   make_fuzz_seeds <folder>
#include <cstdio>
#include <filesystem>

#include "tests/fuzz/fuzz_support.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    int failures = 0;
    for (const fuzz::Target& target : fuzz::Targets()) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / target.name;
        std::error_code error;
        std::filesystem::remove_all(folder, error);
        std::filesystem::create_directories(folder, error);
        fuzz::Seeds seeds;
        target.seeds(seeds);
        if (seeds.All().empty()) {
            std::fprintf(stderr, "%s: no seeds (fixtures missing?)\n", target.name);
            ++failures;
        }
        for (const auto& [name, bytes] : seeds.All()) {
            if (!fuzz::WriteFile((folder / name).string(), bytes.data(), bytes.size())) {
                std::fprintf(stderr, "%s: cannot write seed %s\n", target.name, name.c_str());
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
