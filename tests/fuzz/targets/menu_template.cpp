// The reader of MENU resources, from which the frame's menus are built.
#include "tests/fuzz/targets/ui_template_seeds.h"

namespace {

size_t CountItems(const std::vector<platform::MenuItemTemplate>& items)
{
    size_t n = items.size();
    for (const auto& item : items)
        n += CountItems(item.children);
    return n;
}

}  // namespace

int FuzzMenuTemplate(const uint8_t* data, size_t size)
{
    std::vector<platform::MenuItemTemplate> menu;
    if (platform::ParseMenuTemplate(data, size, menu)) {
        if (CountItems(menu) * 4 > size)
            fuzz::Fail("more menu items than bytes");
    } else if (!menu.empty()) {
        fuzz::Fail("a refused menu left items behind");
    }
    return 0;
}

static void SeedMenuTemplate(fuzz::Seeds& seeds)
{
    fuzz::AddTemplateSeeds(seeds, RT_MENU, {2});
}

DIZADO_FUZZ_TARGET(menu_template, FuzzMenuTemplate, SeedMenuTemplate)
