// Mouse cursors and the pointer's position.
#pragma once

#include "platform/core/rect.h"
#include "platform/core/resources.h"

namespace platform {
struct CursorShape;
struct IconShape;
}

using HCURSOR = const platform::CursorShape*;
using HICON = const platform::IconShape*;

// Standard cursors for LoadCursor with a null instance.
inline const char* const IDC_ARROW = MAKEINTRESOURCE(32512);
inline const char* const IDC_IBEAM = MAKEINTRESOURCE(32513);
inline const char* const IDC_WAIT = MAKEINTRESOURCE(32514);
inline const char* const IDC_CROSS = MAKEINTRESOURCE(32515);
inline const char* const IDC_SIZEALL = MAKEINTRESOURCE(32646);
inline const char* const IDC_NO = MAKEINTRESOURCE(32648);
inline const char* const IDC_HAND = MAKEINTRESOURCE(32649);

// A standard cursor (null instance), or a cursor resource of the module
// (group cursor and its image, hot spot included). Null when there is none.
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
// A cursor from the bytes of one cursor image resource (hot spot, then the
// bitmap with its AND mask); every size is checked against `size`. Icons
// (`icon` TRUE) are not made. Null when the bytes are no cursor. The cursor
// lives as long as the program.
HCURSOR CreateIconFromResource(const BYTE* bits, DWORD size, BOOL icon, DWORD version);

// An icon resource of the module (group icon, the image up to 64 pixels
// wide that is largest, bitmap or PNG); null when there is none or it is not
// well formed. Icons live as long as the program.
HICON LoadIcon(HINSTANCE instance, LPCSTR name);

// Shows `cursor` over the program's windows (null hides it); answers the one
// shown before.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// Screen pixels.
BOOL GetCursorPos(LPPOINT point);
// The pointer is not moved: the window under it receives a mouse move at
// its present position, as after a real move, so that it can set up its
// cursor and capture again. Several calls before that move is handled make
// one move.
BOOL SetCursorPos(int x, int y);

namespace platform {

// The wait cursor, counted: shown from the first Begin to the last End.
void BeginWaitCursor();
void EndWaitCursor();
int WaitCursorDepth();

// Tests: where GetCursorPos says the pointer is, until cleared.
void SetTestCursorPos(POINT screen);
void ClearTestCursorPos();

}  // namespace platform
