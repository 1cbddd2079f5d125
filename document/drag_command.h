// The base of the commands that follow the mouse from a press to its release:
// Track runs the whole drag and returns when the button is up. Subclasses draw
// their feedback in BeginDrag, move it in DragTo and take it off in EndDrag,
// always inverting, so that drawing twice gives the pixels back.
#pragma once

#include "document/brick_command.h"
#include "platform/gdi/gdi_types.h"

class CDC;
class IMousePane;

class CDragCommand : public CBrickCommand {
public:
    explicit CDragCommand(WORD label) : CBrickCommand(label) {}

    // The capture is released however the drag ends. A drag whose capture is
    // lost ends as a release at the last point; an exception inside the drag
    // still ends it (EndDrag) before it goes on to the caller.
    virtual void Track(IMousePane* pane, UINT keyFlags, POINT point);
    virtual void BeginDrag(CDC* dc, int x, int y);
    // Only mouse messages, until either button is released.
    virtual void RunLoop();
    virtual void DragTo(int x, int y, int lastX, int lastY, int startX, int startY);
    virtual void EndDrag(int x, int y, int lastX, int lastY, int startX, int startY);

    POINT GetStartPoint() const { return m_start; }
    POINT GetCurrentPoint() const { return m_current; }
    WORD GetKeyFlags() const { return m_nKeyFlags; }

protected:
    // Logical pane coordinates.
    POINT m_start{0, 0};
    POINT m_last{0, 0};
    POINT m_current{0, 0};
    IMousePane* m_pTrackPane = nullptr;
    WORD m_nKeyFlags = 0;

private:
    void ReleaseOwnCapture();
};
