// The reader of DIALOG templates, from which dialogs are built.
#include "tests/fuzz/targets/ui_template_seeds.h"

int FuzzDialogTemplate(const uint8_t* data, size_t size)
{
    platform::DialogTemplate dialog;
    if (platform::ParseDialogTemplate(data, size, dialog)) {
        // Each item takes at least 18 bytes: more items than that could
        // only have been read past the end.
        if (dialog.items.size() * 18 > size)
            fuzz::Fail("more dialog items than bytes");
    } else if (!dialog.items.empty() || dialog.style != 0) {
        fuzz::Fail("a refused dialog left data behind");
    }
    return 0;
}

static void SeedDialogTemplate(fuzz::Seeds& seeds)
{
    fuzz::AddTemplateSeeds(seeds, RT_DIALOG, {107, 112, 120});
}

DIZADO_FUZZ_TARGET(dialog_template, FuzzDialogTemplate, SeedDialogTemplate)
