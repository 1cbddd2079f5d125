// Edit/Paste of a "Vostrel Dizado Data" block, with its undo and redo, then
// what was pasted copied and read back.
#include <cstring>

#include "document/clipboard_format.h"
#include "platform/core/exceptions.h"
#include "tests/fuzz/document_support.h"

namespace {

bool PutOnClipboard(const uint8_t* data, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!block)
        return false;
    if (size) {
        std::memcpy(GlobalLock(block), data, size);
        GlobalUnlock(block);
    }
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool put = SetClipboardData(CDizadoDoc::GetClipboardFormat(), block) != nullptr;
    if (!put)
        GlobalFree(block);
    CloseClipboard();
    return put;
}

// What the clipboard holds in the program's format must read back whole.
void ReadBackCopy(int selected)
{
    if (!OpenClipboard(nullptr))
        return;
    HGLOBAL block = GetClipboardData(CDizadoDoc::GetClipboardFormat());
    CBrickGroup group;
    try {
        ReadNativeBlock(block, &group);
    } catch (const CException&) {
        fuzz::Fail("copied bricks do not read back");
    }
    CloseClipboard();
    if (group.CountSelectedDizadoDeep() != selected)
        fuzz::Fail("copied bricks read back as another number");
    group.DeleteContents();
}

}  // namespace

int FuzzClipboardPaste(const uint8_t* data, size_t size)
{
    fuzz::DocumentEnvironment environment;
    CDizadoDoc doc;
    CBrickGroup* root = doc.GetBrickList();
    CBrick::Make(root, CPoint3D(0, 0, 0), 1030, 2, 0, 0)->SetSelected(TRUE);
    if (!PutOnClipboard(data, size))
        return 0;

    doc.OnEditPaste();
    doc.OnEditUndo();
    doc.OnEditUndo();  // redo
    fuzz::ModelCount count;
    fuzz::CountModel(*root, count);

    doc.OnEditSelectAll();
    const int selected = root->CountSelectedDizadoDeep();
    doc.OnEditCopy();
    if (selected > 0)
        ReadBackCopy(selected);

    doc.OnEditDuplicate();
    doc.OnEditCut();
    doc.OnEditPaste();
    doc.OnEditUndo();
    doc.OnEditClear();
    doc.OnEditUndo();
    return 0;
}

static void SeedClipboardPaste(fuzz::Seeds& seeds)
{
    fuzz::DocumentEnvironment environment;
    CDizadoDoc doc;
    CBrickGroup* root = doc.GetBrickList();
    CBrick::Make(root, CPoint3D(5, 6, 0), 1030, 3, 0, 0)->SetSelected(TRUE);
    auto* group = new CBrickGroup;
    group->SetParent(root);
    CBrick::Make(group, CPoint3D(1, 0, 0), 1030, 1, 0, 1)->SetSelected(TRUE);
    CBrick::Make(group, CPoint3D(2, 0, 0), 1030, 0, 0, 2);
    auto* inner = new CBrickGroup;
    inner->SetParent(group);
    CBrick::Make(inner, CPoint3D(0, 0, 1), 1030, 7, 0, 3)->SetSelected(TRUE);
    for (bool everything : {false, true}) {
        if (everything)
            root->SelectAll(TRUE);
        HGLOBAL block = WriteNativeBlock(*root);
        const auto* bytes = static_cast<const unsigned char*>(GlobalLock(block));
        seeds.Add(everything ? "everything" : "selection", fuzz::Bytes(bytes, bytes + GlobalSize(block)));
        GlobalUnlock(block);
        GlobalFree(block);
    }
}

DIZADO_FUZZ_TARGET(clipboard_paste, FuzzClipboardPaste, SeedClipboardPaste)
