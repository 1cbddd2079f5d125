// The few interactive system services that the program calls from window-free
// code: the message box, the beep and the keyboard state. Each goes through a
// replaceable hook so that tests run headless and can see what was raised.
#pragma once

#include <functional>
#include <string>

#include "platform/core/types.h"

// Message box styles and answers the program uses.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONINFORMATION = 0x0040;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Virtual-key codes used with GetKeyState.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_UP = 0x26;

namespace platform {

using MessageBoxHook = std::function<int(const std::string& text, const std::string& caption, UINT type)>;
using BeepHook = std::function<void(UINT type)>;
using KeyStateHook = std::function<SHORT(int virtualKey)>;
// +1 shows the wait cursor (counted), -1 takes one away, 0 shows it again
// if it is counted but was replaced.
using WaitCursorHook = std::function<void(int delta)>;

// Each setter returns the hook it replaced, so a test can restore it.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
BeepHook SetBeepHook(BeepHook hook);
KeyStateHook SetKeyStateHook(KeyStateHook hook);
WaitCursorHook SetWaitCursorHook(WaitCursorHook hook);
void CallWaitCursorHook(int delta);

// A call from another program is running and no one may be at the screen to
// answer a box. While a caller is set and no window of the program is on the
// screen, a message box does not wait: its text goes to the caller and to
// standard error, and it answers at once with its most cautious button (OK,
// else No or Cancel).
using CallerMessageHook = std::function<void(const std::string& text)>;
using WindowOnScreenHook = std::function<bool()>;
CallerMessageHook SetCallerMessageHook(CallerMessageHook hook);
// Answers whether a window of the program is on the screen; none by default.
WindowOnScreenHook SetWindowOnScreenHook(WindowOnScreenHook hook);
// The answer of a box no one can answer: OK, else No or Cancel.
int CautiousAnswer(UINT type);

}  // namespace platform

// Shows a message box (through the hook); answers the button pressed.
int AfxMessageBox(const char* text, UINT type = MB_OK);
int MessageBoxA(void* owner, const char* text, const char* caption, UINT type);
BOOL MessageBeep(UINT type);
// High bit set while the key is down.
SHORT GetKeyState(int virtualKey);
// The same answer: there is one keyboard state here.
SHORT GetAsyncKeyState(int virtualKey);
