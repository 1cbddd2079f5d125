// What a brick pane needs of its window, in one place: prepared client
// contexts, the client rectangle, invalidation in device units, capture, the
// cursor and the application's idle ticks. A pane whose window is not made
// (tests, benchmarks, a document opened for automation) draws at the size it
// is given, and its window calls do nothing.
#pragma once

#include <functional>

#include "platform/gdi/gdi_types.h"
#include "platform/ui/view.h"

class CDC;
class CNotifier;
class CPrintInfo;

class CPaneWindow : public CView {
    DECLARE_DYNAMIC(CPaneWindow)
public:
    CPaneWindow() = default;

    // The client rectangle, (0, 0) at the top left; the drawing size while
    // there is no window.
    void GetPaneClientRect(RECT* rect) const;
    void SetDrawingSize(int width, int height);
    BOOL HasWindow() const { return GetPeer() != nullptr; }

    // Runs `draw` on a client context of the window, prepared by OnPrepareDC
    // or left in device units. Nothing happens without a window.
    void WithClientDC(const std::function<void(CDC*)>& draw);
    void WithDeviceDC(const std::function<void(CDC*)>& draw);

    // Device units; a null rectangle is the whole client area. The polygon
    // form answers FALSE when no region could be made of the points.
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
