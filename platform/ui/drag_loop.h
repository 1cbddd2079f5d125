// The mouse loop of drag commands. While a drag runs, only mouse messages
// reach the tracking code; paints, keys, timers and idle passes wait in the
// queue until the drag is over.
#pragma once

#include "platform/ui/wnd.h"

namespace platform {

// The next mouse message of a drag tracked by `wnd`, which holds the capture.
// Waits for input without spinning. When the drag cannot go on (the capture
// went to another window or to none, the window is hidden, destroyed or was
// never made) the answer is a WM_LBUTTONUP at `lastPoint` (client pixels packed
// as in lParam), so the drag ends as if released where it was last seen. What
// open client contexts drew is shown before the loop waits, so feedback drawn
// outside a paint follows the pointer.
void GetDragMessage(CWnd* wnd, LPARAM lastPoint, MSG* msg);

// Tests: mouse input that arrives through the toolkit's queue, so that it
// reaches a drag loop started by input handled before it.
void PostMouseInput(CWnd* wnd, UINT message, POINT client, UINT keyFlags);

}  // namespace platform
