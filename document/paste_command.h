// Edit/Paste: reads the clipboard's bricks into the model, selected in place
// of the previous selection. Undo takes out exactly what the paste added, its
// groups whole, and redo puts it back as it came.
#pragma once

#include "document/brick_command.h"

class CBrickGroup;
class CDetachedSet;
class CDizadOet;
class CDizadoDoc;

class CPasteDizadoCommand : public CBrickCommand {
public:
    // Remembers the selection before the paste, brick by brick.
    explicit CPasteDizadoCommand(CBrickGroup* root);
    // Destroys the pasted bricks and groups while they are out of the model.
    ~CPasteDizadoCommand() override;

    void SetDocument(CDizadoDoc* document) { m_pDocument = document; }

    // A clipboard record that breaks off keeps what was read before the
    // break, as a paste like any other, and says so in a message box.
    void Do() override;
    void Toggle() override;

    BOOL IsPresent() const { return m_bPresent; }
    // Null before Do.
    const CDizadOet* GetPastedSet() const;

private:
    CBrickGroup* m_pRoot;
    CDizadOet* m_pPrevious;
    CDetachedSet* m_pPasted = nullptr;
    BOOL m_bPresent = FALSE;
    CDizadoDoc* m_pDocument = nullptr;
};
