// Edit/Cut, Edit/Copy and Edit/Clear: one command told apart by its code.
// Cut and Clear take the selection out of the model and keep it for undo.
#pragma once

#include <vector>

#include "document/brick_command.h"

class CBrick;
class CBrickGroup;
class CDetachedSet;
class CDizadoDoc;

class CClipboardCommand : public CBrickCommand {
public:
    enum Code : SHORT { codeCut = 32, codeCopy = 33, codeClear = 35 };

    // Collects the selection now: top-level groups holding a selected brick,
    // whole, and the root's own selected bricks.
    CClipboardCommand(CBrickGroup* root, SHORT code);
    // Destroys the bricks and groups it took out while they are out.
    ~CClipboardCommand() override;

    // Cut and Copy write the clipboard through the document: Copy the
    // selected bricks, Cut everything it takes out. When the clipboard cannot
    // be had, they change nothing and stay unperformed (GetPerformed 0).
    void SetDocument(CDizadoDoc* document) { m_pDocument = document; }

    void Do() override;
    void Toggle() override;

    BOOL IsPresent() const { return m_bPresent; }

private:
    void Move();
    BOOL CopyToClipboard();
    // Selects every brick below the group that is not yet selected, noting it.
    static void SelectWhole(CBrickGroup* group, std::vector<CBrick*>& widened);

    CBrickGroup* m_pRoot;
    CDetachedSet* m_pSet;
    SHORT m_nCode;
    BOOL m_bPresent = TRUE;
    CDizadoDoc* m_pDocument = nullptr;
    BOOL m_bTakesOut;
};
