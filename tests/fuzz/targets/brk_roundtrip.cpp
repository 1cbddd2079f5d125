// Save, then reopen: whatever model a file opens as must save, reopen as the
// same model and save as the same bytes.
#include "tests/fuzz/document_support.h"

int FuzzBrkRoundtrip(const uint8_t* data, size_t size)
{
    fuzz::DocumentEnvironment environment;
    const std::string input = fuzz::ScratchPath("input.brk");
    const std::string first = fuzz::ScratchPath("first.brk");
    const std::string second = fuzz::ScratchPath("second.brk");
    if (!fuzz::WriteFile(input, data, size))
        return 0;
    CDizadoDoc doc;
    if (!doc.OnOpenDocument(input.c_str()))
        return 0;
    fuzz::ModelCount opened;
    fuzz::CountModel(*doc.GetBrickList(), opened);
    if (!doc.OnSaveDocument(first.c_str()))
        fuzz::Fail("an opened model does not save");

    CDizadoDoc again;
    if (!again.OnOpenDocument(first.c_str()))
        fuzz::Fail("a saved model does not reopen");
    fuzz::ModelCount reopened;
    fuzz::CountModel(*again.GetBrickList(), reopened);
    if (reopened.bricks != opened.bricks || reopened.groups != opened.groups)
        fuzz::Fail("a saved model reopens with other bricks or groups");
    if (!again.OnSaveDocument(second.c_str()))
        fuzz::Fail("a reopened model does not save");
    if (fuzz::ReadFile(first) != fuzz::ReadFile(second))
        fuzz::Fail("a reopened model saves as other bytes");
    return 0;
}

static void SeedBrkRoundtrip(fuzz::Seeds& seeds)
{
    fuzz::AddSavedModels(seeds);
}

DIZADO_FUZZ_TARGET(brk_roundtrip, FuzzBrkRoundtrip, SeedBrkRoundtrip)
