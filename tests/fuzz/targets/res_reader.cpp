// The reader of compiled resource scripts (.res), as the program's own
// embedded resources are read.
#include "platform/core/resources.h"
#include "tests/fuzz/fuzz_support.h"

int FuzzResReader(const uint8_t* data, size_t size)
{
    // Portable executables have a target of their own.
    if (size >= 2 && data[0] == 'M' && data[1] == 'Z')
        return 0;
    HMODULE module = platform::OpenResourceModuleFromMemory(fuzz::Bytes(data, data + size));
    if (!module)
        return 0;
    fuzz::ReadModule(module);
    FreeLibrary(module);
    return 0;
}

static void SeedResReader(fuzz::Seeds& seeds)
{
    seeds.Add("program", fuzz::ProgramResourceImage());
    seeds.Add("testkit", fuzz::TestData("testkit.res"));
}

DIZADO_FUZZ_TARGET(res_reader, FuzzResReader, SeedResReader)
