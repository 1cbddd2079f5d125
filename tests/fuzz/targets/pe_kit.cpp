// The reader of kit libraries: the resource directory of PE32 and PE32+ files.
#include "platform/core/resources.h"
#include "tests/fuzz/fuzz_support.h"

int FuzzPeKit(const uint8_t* data, size_t size)
{
    // Compiled scripts have a target of their own.
    if (size < 2 || data[0] != 'M' || data[1] != 'Z')
        return 0;
    HMODULE module = platform::OpenResourceModuleFromMemory(fuzz::Bytes(data, data + size));
    if (!module)
        return 0;
    fuzz::ReadModule(module);
    FreeLibrary(module);
    return 0;
}

static void SeedPeKit(fuzz::Seeds& seeds)
{
    seeds.Add("testkit64", fuzz::TestData("testkit.bkt"));
    seeds.Add("testkit32", fuzz::TestData("testkit32.bkt"));
    seeds.Add("scan-first", fuzz::TestData("scanprogram/kits/a_first.bkt"));
    seeds.Add("scan-second", fuzz::TestData("scanprogram/kits/b_second.BKT"));
}

DIZADO_FUZZ_TARGET(pe_kit, FuzzPeKit, SeedPeKit)
