// A .brk file opened through the document's own open path, from disk.
#include "tests/fuzz/document_support.h"

int FuzzBrkOpen(const uint8_t* data, size_t size)
{
    fuzz::DocumentEnvironment environment;
    const std::string path = fuzz::ScratchPath("open.brk");
    if (!fuzz::WriteFile(path, data, size))
        return 0;
    CDizadoDoc doc;
    if (doc.OnOpenDocument(path.c_str())) {
        fuzz::ModelCount count;
        fuzz::CountModel(*doc.GetBrickList(), count);
        doc.GetBrickList()->GetBounds();
        doc.OnEditSelectAll();
        doc.GetBrickList()->CountSelectedDizadoDeep();
    }
    return 0;
}

static void SeedBrkOpen(fuzz::Seeds& seeds)
{
    fuzz::AddSavedModels(seeds);
}

DIZADO_FUZZ_TARGET(brk_open, FuzzBrkOpen, SeedBrkOpen)
