// Shift+Ctrl+click with any tool: the clicked brick's class, colour and
// orientation become the document's current ones, so that the next new brick
// is like it. Performed at once and never kept for undo.
#pragma once

#include "document/brick_command.h"
#include "platform/gdi/gdi_types.h"

class IMousePane;

class CPickUpCommand : public CBrickCommand {
public:
    CPickUpCommand(IMousePane* pane, int x, int y);

    // Colour and orientation go first and the class last, and the panes hear
    // of the orientation too, so that the cursor brick they rebuild shows
    // exactly what the next click places. Nothing on empty ground.
    void Do() override;

private:
    IMousePane* m_pPane;
    int m_x;
    int m_y;
};
