// The Background button: the child picks a picture or a colour in the file
// browser and it becomes the model's background. Undo and redo swap the
// picture, tiling and colour with the ones saved; the baseplate choice made
// in the browser is not part of the undo.
#pragma once

#include "document/brick_command.h"
#include "platform/core/cstring.h"
#include "platform/gdi/gdi_types.h"

class CDizadoDoc;

class CChangeBackgroundCommand : public CBrickCommand {
public:
    // Saves the document's background as it is now.
    explicit CChangeBackgroundCommand(CDizadoDoc* document);

    // The browser's parent window.
    void SetOwnerWindow(void* window) { m_pOwnerWindow = window; }

    // Performed (GetPerformed 1) only when the child confirms a choice; with
    // no browser to ask, nothing happens.
    void Do() override;
    void Toggle() override;

private:
    CDizadoDoc* m_pDocument;
    CString m_strImagePath;
    BOOL m_bTiled;
    COLORREF m_color;
    void* m_pOwnerWindow = nullptr;
};
