// Seeds of the template readers: the dialogs, menu and accelerators of the
// window layer's test fixture.
#pragma once

#include "platform/ui/res_templates.h"
#include "tests/fuzz/fuzz_support.h"

namespace fuzz {

inline void AddTemplateSeeds(Seeds& seeds, const char* type, std::initializer_list<UINT> ids)
{
    HMODULE module = platform::OpenResourceModuleFromMemory(TestData("dialogs.res"));
    if (!module)
        return;
    for (UINT id : ids) {
        const std::vector<uint8_t> bytes = platform::ResourceBytes(module, MAKEINTRESOURCE(id), type);
        seeds.Add("template-" + std::to_string(id), Bytes(bytes.begin(), bytes.end()));
    }
    FreeLibrary(module);
}

}  // namespace fuzz
