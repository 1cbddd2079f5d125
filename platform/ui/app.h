// The thread object the application derives from: its main window, its idle
// pass, and the toolkit's loop that drives both. The application class of a
// later day (CWinApp) takes it over by deriving from it.
#pragma once

#include "platform/core/cmd_target.h"
#include "platform/ui/wnd.h"

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    // The first one made is the thread's (AfxGetThread).
    CWinThread();
    ~CWinThread() override;

    CWnd* m_pMainWnd = nullptr;
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    // One idle pass; `count` counts the passes since the last message, from
    // 0. TRUE asks for another pass (about 15 ms later). The default asks
    // for nothing.
    virtual BOOL OnIdle(LONG count);
    // Runs the toolkit's loop with idle passes until WM_QUIT (PostQuitMessage,
    // or the destruction of the main window); answers ExitInstance's result.
    virtual int Run();
    // Answers the exit code of the loop.
    virtual int ExitInstance();

    // Where Run stopped: the WM_QUIT code.
    int m_nExitCode = 0;
};

CWinThread* AfxGetThread();
// Ends Run with `code` once the current message is handled.
void PostQuitMessage(int code);
inline void AfxPostQuitMessage(int code) { PostQuitMessage(code); }

// Polls the thread's queue for a message for `wnd` (any window of the thread
// for null) in [first, last] (0, 0: any). The first poll starts a tracking
// loop: from then on the input messages of every window are queued here
// instead of being dispatched, and paints and idle passes wait. Taking a
// button-up ends the loop, as does a pause in polling of 100 ms; what was
// left in the queue is then dispatched in order, and the paints asked for
// meanwhile follow. Each poll first shows what live client contexts drew.
// The call waits at most a few milliseconds, so a polling loop does not
// spin. TRUE when a message was found; PM_REMOVE takes it off the queue.
BOOL PeekMessage(LPMSG msg, CWnd* wnd, UINT first, UINT last, UINT remove);
// For tracking loops: blocks in the toolkit until a message arrives that is
// new since the last PeekMessage or WaitMessage (at once if one has), and
// counts as a poll meanwhile. What live client contexts drew is shown first.
BOOL WaitMessage();

namespace platform {

// Starts the toolkit (once; later calls do nothing). Windows start it
// themselves, without arguments, when the program has not.
void StartToolkit(int& argc, char** argv);
void EnsureToolkit();
// Handles what is waiting in the toolkit's queue, including due paints and
// idle passes, without waiting for more. For tests and nested loops.
void ProcessPendingEvents();

// While one exists the application's idle pass does not run: modal dialogs
// and mouse tracking run their own loops.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};
bool InModalLoop();

// What GetKeyState answers in the running program (Run installs it): the
// modifiers and buttons as the toolkit knows them, other keys as the key
// messages told them.
SHORT ToolkitKeyState(int virtualKey);

// The layer dispatched a message that restarts the idle count (every one
// except paints and mouse moves that do not move).
void NoteMessage(UINT message);

// Called during an idle pass that will ask for more: the next pass is of use
// in `delay` ms, or (-1) not by time at all. Without any call the passes
// repeat about every 15 ms; the earliest of several calls counts. Called
// outside a pass (something that needs the passes began without a message,
// say over the bus), a delay of 0 or more brings a pass soon.
void IdleDue(int delay);

}  // namespace platform
