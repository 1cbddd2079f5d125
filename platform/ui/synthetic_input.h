// Input made up by the program or its tests, sent through the toolkit so that
// it takes the same path as the user's: event translation, capture, cursor
// messages, tracking loops.
#pragma once

#include "platform/core/types.h"
#include "platform/gdi/surface.h"

class CWnd;

namespace platform {

// Leave: the pointer has left the window (no point or button needed).
enum class MouseAction { Press, Release, DoubleClick, Move, Leave };
enum class MouseButton { None, Left, Right, Middle };

// `client` is in `wnd`'s client pixels. `buttons` are MK_LBUTTON, MK_RBUTTON
// and MK_MBUTTON held after the event, `keys` MK_SHIFT and MK_CONTROL.
void SendMouseInput(CWnd* wnd, MouseAction action, MouseButton button, POINT client, UINT buttons, UINT keys);
// `virtualKey` as the key messages carry it.
void SendKeyInput(CWnd* wnd, int virtualKey, bool press, bool autoRepeat = false, UINT keys = 0);

// What the toolkit shows of the window's client area when it is exposed,
// read back through the toolkit's own rendering.
Surface GrabPresented(CWnd* wnd);

}  // namespace platform
