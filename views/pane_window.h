// What a brick pane needs of its window, in one place: prepared client
// contexts, the client rectangle, invalidation in device units, capture, the
// cursor and the application's idle ticks. A pane without a window (tests,
// benchmarks, the preview of a document opened for automation) draws at the
// size it is given and ignores the rest.
#pragma once

#include <functional>

#include "platform/core/view_base.h"
#include "platform/gdi/gdi_types.h"

class CDC;
class CNotifier;
class CPrintInfo;

class CPaneWindow : public CView {
    DECLARE_DYNAMIC(CPaneWindow)
public:
    CPaneWindow() = default;

    virtual void OnDraw(CDC* dc) = 0;
    // Logical units of the pane are device units on screen.
    virtual void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr);

    // The client rectangle, (0, 0) at the top left.
    void GetPaneClientRect(RECT* rect) const;
    // The size drawn at while there is no window.
    void SetDrawingSize(int width, int height);

    // Runs `draw` on a client context of the window, prepared by OnPrepareDC
    // or left in device units. Nothing happens without a window.
    void WithClientDC(const std::function<void(CDC*)>& draw);
    void WithDeviceDC(const std::function<void(CDC*)>& draw);

    // Device units. The polygon form answers FALSE when no region could be made.
    // Null rectangle: the whole client area.
    virtual void InvalidateDeviceRect(const RECT* rect, BOOL erase);
    virtual BOOL InvalidateDevicePolygon(const POINT* points, int count);
    // TRUE when the rectangle meets the client area.
    BOOL MeetsClient(const RECT& deviceRect) const;

    void SetPaneCapture();
    void ReleasePaneCapture();
    void BeginWait();
    void EndWait();
    // Moves the cursor one pixel right and back, so that the window hears a
    // mouse move at the present position.
    void NudgeCursor();

    // Where the idle ticks come from (the application); panes listen to it.
    static void SetApplicationNotifier(CNotifier* application);
    static CNotifier* GetApplicationNotifier();

protected:
    int m_drawWidth = 0;
    int m_drawHeight = 0;
};
