// The kid frame's host and the document's shell for tests that show a kid
// frame: the shipped kits fill the brick list, and printing is allowed.
#pragma once

#include "document/document_services.h"
#include "model/brick_class_library.h"
#include "model/kit_list.h"
#include "shell/kid_frame_host.h"

namespace shelltest {

class KitShell : public IKidFrameHost, public CHeadlessDocumentShell {
public:
    explicit KitShell(CBrickClassLibrary& classes) : m_classes(classes) {}
    CPalette* GetPalette() override { return m_classes.GetPalette(); }
    void FillBrickList(CListBox* list) override { m_classes.GetKitList()->FillListBox(list); }
    BOOL GetPrintOn() override { return TRUE; }
    CKitList* GetKitList() override { return m_classes.GetKitList(); }

private:
    CBrickClassLibrary& m_classes;
};

}  // namespace shelltest
