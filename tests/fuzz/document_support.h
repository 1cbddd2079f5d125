// A headless document for the document targets: the in-memory clipboard, no
// shell, no message box, and a walk over the model that reads every brick.
#pragma once

#include "document/dizado_doc.h"
#include "document/document_services.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/clipboard.h"
#include "tests/fuzz/fuzz_support.h"

namespace fuzz {

class DocumentEnvironment {
public:
    DocumentEnvironment()
    {
        m_previousClipboard = platform::SetClipboard(&m_clipboard);
        SetDocumentShell(nullptr);
    }
    ~DocumentEnvironment() { platform::SetClipboard(m_previousClipboard); }
    DocumentEnvironment(const DocumentEnvironment&) = delete;
    DocumentEnvironment& operator=(const DocumentEnvironment&) = delete;

private:
    QuietHooks m_quiet;
    platform::MemoryClipboard m_clipboard;
    platform::IClipboard* m_previousClipboard = nullptr;
};

struct ModelCount {
    long bricks = 0;
    long groups = 0;
};

// Every brick and group under `group`, each brick's fields read.
inline void CountModel(const CBrickGroup& group, ModelCount& count)
{
    for (LONG i = 0; i < group.GetBrickCount(); ++i) {
        const CBrick* brick = group.GetBrick(i);
        if (!brick || brick->GetOwner() != &group)
            Fail("a brick of a group does not name it as its owner");
        Touch(brick->GetPositionPtr(), sizeof(CPoint3D));
        ++count.bricks;
    }
    for (LONG i = 0; i < group.GetListCount(); ++i) {
        const CBrickGroup* sub = group.GetList(i);
        if (!sub || sub->GetParent() != &group)
            Fail("a group does not name its parent");
        ++count.groups;
        CountModel(*sub, count);
    }
}

// Models as the program saves them (empty, one brick, nested groups with a
// background), as seeds.
void AddSavedModels(Seeds& seeds);

}  // namespace fuzz
