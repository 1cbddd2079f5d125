// The select tool's rubber band: a press on empty ground starts it, an
// inverted frame follows the mouse, and at the release the bricks within it
// are selected (with Shift at the press, toggled). It has no label, and its
// undo and redo change nothing.
#pragma once

#include "document/drag_command.h"

class CMarqueeCommand : public CDragCommand {
public:
    CMarqueeCommand(IMousePane* pane, UINT keyFlags);

    void BeginDrag(CDC* dc, int x, int y) override;
    void DragTo(int x, int y, int lastX, int lastY, int startX, int startY) override;
    void EndDrag(int x, int y, int lastX, int lastY, int startX, int startY) override;

    // Four strokes with the context's pen, round from the top left.
    void DrawFrame(const RECT& rect);
    const RECT& GetRect() const { return m_rect; }

    // Left and top the smaller coordinates, compared as 16-bit values.
    static RECT Normalized(int x1, int y1, int x2, int y2);

private:
    IMousePane* m_pPane;
    WORD m_nPressFlags;
    RECT m_rect{0, 0, 0, 0};
    int m_nPreviousRop = 0;
    CDC* m_pDC = nullptr;
};
