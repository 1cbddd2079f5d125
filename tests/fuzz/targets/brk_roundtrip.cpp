// Save, then reopen: whatever model a file opens as must save and reopen as
// the same model. Reading puts each sub-group first, so every reopen reverses
// the order of sub-groups: the saved bytes repeat after two reopens, not one.
#include "tests/fuzz/document_support.h"

namespace {

fuzz::ModelCount Count(CDizadoDoc& doc)
{
    fuzz::ModelCount count;
    fuzz::CountModel(*doc.GetBrickList(), count);
    return count;
}

// Reopens `from` in a new document and saves it as `to`.
void Reopen(const std::string& from, const std::string& to, const fuzz::ModelCount& expected)
{
    CDizadoDoc doc;
    if (!doc.OnOpenDocument(from.c_str()))
        fuzz::Fail("a saved model does not reopen");
    const fuzz::ModelCount count = Count(doc);
    if (count.bricks != expected.bricks || count.groups != expected.groups)
        fuzz::Fail("a saved model reopens with other bricks or groups");
    if (!doc.OnSaveDocument(to.c_str()))
        fuzz::Fail("a reopened model does not save");
}

}  // namespace

int FuzzBrkRoundtrip(const uint8_t* data, size_t size)
{
    fuzz::DocumentEnvironment environment;
    const std::string input = fuzz::ScratchPath("input.brk");
    const std::string first = fuzz::ScratchPath("first.brk");
    const std::string second = fuzz::ScratchPath("second.brk");
    const std::string third = fuzz::ScratchPath("third.brk");
    if (!fuzz::WriteFile(input, data, size))
        return 0;
    fuzz::ModelCount opened;
    {
        CDizadoDoc doc;
        if (!doc.OnOpenDocument(input.c_str()))
            return 0;
        opened = Count(doc);
        if (!doc.OnSaveDocument(first.c_str()))
            fuzz::Fail("an opened model does not save");
    }
    Reopen(first, second, opened);
    Reopen(second, third, opened);
    const fuzz::Bytes firstBytes = fuzz::ReadFile(first);
    if (fuzz::ReadFile(second).size() != firstBytes.size() || fuzz::ReadFile(third) != firstBytes)
        fuzz::Fail("a reopened model saves as another model");
    return 0;
}

static void SeedBrkRoundtrip(fuzz::Seeds& seeds)
{
    fuzz::AddSavedModels(seeds);
}

DIZADO_FUZZ_TARGET(brk_roundtrip, FuzzBrkRoundtrip, SeedBrkRoundtrip)
