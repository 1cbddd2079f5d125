#include "tests/fuzz/document_support.h"

namespace fuzz {
namespace {

// Models as the program saves them, from the document tests' shapes.
Bytes SavedModel(int shape)
{
    DocumentEnvironment environment;
    CDizadoDoc doc;
    CBrickGroup* root = doc.GetBrickList();
    if (shape >= 1)
        CBrick::Make(root, CPoint3D(3, -2, 1), 1030, 4, 0, 2)->SetSelected(TRUE);
    if (shape >= 2) {
        auto* group = new CBrickGroup;
        group->SetParent(root);
        CBrick::Make(group, CPoint3D(1, 0, 0), 1030, 1, 0, 1);
        auto* inner = new CBrickGroup;
        inner->SetParent(group);
        CBrick::Make(inner, CPoint3D(0, 0, 1), 1030, 7, 0, 3)->SetMoveable(FALSE);
        CBrick::Make(root, CPoint3D(0, 5, 0), 2000, 2, 1, 0);  // a class no kit lists
        auto* second = new CBrickGroup;
        second->SetParent(root);
        CBrick::Make(second, CPoint3D(4, 4, 0), 1030, 9, 0, 0);
        const COLORREF sky = RGB(255, 128, 0);
        doc.ChangeBackgroundColor(&sky);
        doc.ChangeBackgroundImage("C:\\dizado\\backgrnd\\sky.bmp");
        doc.ChangeTiled(TRUE);
        doc.SetBaseplateSize(16, 8);
    }
    const std::string path = ScratchPath("seed.brk");
    if (!doc.OnSaveDocument(path.c_str()))
        return {};
    return ReadFile(path);
}

}  // namespace

void AddSavedModels(Seeds& seeds)
{
    seeds.Add("empty-model", SavedModel(0));
    seeds.Add("one-brick", SavedModel(1));
    seeds.Add("nested-groups", SavedModel(2));
}

}  // namespace fuzz
