// The reader of ACCELERATORS resources, the frame's keys.
#include "tests/fuzz/targets/ui_template_seeds.h"

int FuzzAcceleratorTable(const uint8_t* data, size_t size)
{
    std::vector<platform::AcceleratorEntry> table;
    if (platform::ParseAcceleratorTable(data, size, table)) {
        if (table.empty() || table.size() * 8 > size)
            fuzz::Fail("accelerator count does not fit the bytes");
    } else if (!table.empty()) {
        fuzz::Fail("a refused table left entries behind");
    }
    return 0;
}

static void SeedAcceleratorTable(fuzz::Seeds& seeds)
{
    fuzz::AddTemplateSeeds(seeds, RT_ACCELERATOR, {2});
}

DIZADO_FUZZ_TARGET(accelerator_table, FuzzAcceleratorTable, SeedAcceleratorTable)
