#include "platform/ui/app.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <deque>
#include <set>

#include "platform/core/hooks.h"
#include "platform/ui/cursor.h"
#include "platform/ui/idle.h"
#include "platform/ui/window_peer.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

CWinThread*& CurrentThread()
{
    static CWinThread* thread = nullptr;
    return thread;
}

int& ModalDepth()
{
    static int depth = 0;
    return depth;
}

// Milliseconds of the idle clock; the program's tick count may be a test's.
DWORD IdleNow()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// Runs the idle passes on the toolkit's loop: a single-shot timer set to
// when the scheduler wants the next pass, and nothing while it wants none.
class IdleDriver {
public:
    IdleDriver()
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Pass(); });
    }

    void OnMessage()
    {
        m_scheduler.OnMessage();
        Arm();
    }

    void Due(int delay)
    {
        m_scheduler.Due(delay);
        Arm();
    }

    void Arm()
    {
        if (InModal())
            return;
        const int delay = m_scheduler.Delay(IdleNow());
        if (delay < 0) {
            m_timer.stop();
            return;
        }
        if (!m_timer.isActive() || m_timer.remainingTime() > delay)
            m_timer.start(delay);
    }

private:
    static bool InModal() { return ModalDepth() > 0 || platform::Tracking(); }

    void Pass()
    {
        // Left off during modal loops; ModalScope arms again at their end.
        if (InModal())
            return;
        const int delay = m_scheduler.Run(IdleNow(), [](LONG count) -> BOOL {
            CWinThread* thread = AfxGetThread();
            return thread ? thread->OnIdle(count) : FALSE;
        });
        // A wait set while the pass ran (it said when it is next due) gives
        // way to the pass's own answer.
        if (delay >= 0)
            m_timer.start(delay);
        else
            m_timer.stop();
    }

    platform::IdleScheduler m_scheduler;
    QTimer m_timer;
};

IdleDriver* Idle()
{
    static IdleDriver* driver = nullptr;
    if (!driver && qApp)
        driver = new IdleDriver;
    return driver;
}

}  // namespace

// --- Keyboard state of the toolkit --------------------------------------------------

SHORT platform::ToolkitKeyState(int key)
{
    bool down = false;
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    switch (key) {
    case VK_SHIFT:
        down = modifiers & Qt::ShiftModifier;
        break;
    case VK_CONTROL:
        down = modifiers & Qt::ControlModifier;
        break;
    case VK_MENU:
        down = modifiers & Qt::AltModifier;
        break;
    case VK_LBUTTON:
        down = buttons & Qt::LeftButton;
        break;
    case VK_RBUTTON:
        down = buttons & Qt::RightButton;
        break;
    default:
        down = platform::KeyHeld(key);
        break;
    }
    return down ? static_cast<SHORT>(0x8000) : 0;
}

namespace {

// --- Tracking loops ---------------------------------------------------------------------

struct TrackingState {
    std::deque<MSG> queue;
    QElapsedTimer lastPoll;
    bool active = false;
    int waiting = 0;         // WaitMessage calls blocked now
    uint64_t arrived = 0;    // messages queued so far
    uint64_t seen = 0;       // `arrived` at the last poll
    QTimer* watch = nullptr;
};

TrackingState& Track()
{
    static TrackingState state;
    return state;
}

void EndTracking()
{
    TrackingState& state = Track();
    if (!state.active)
        return;
    state.active = false;
    if (state.watch)
        state.watch->stop();
    // What waited goes out now, in order.
    std::deque<MSG> waiting;
    waiting.swap(state.queue);
    for (const MSG& msg : waiting)
        if (platform::IsLiveWindow(msg.hwnd) && msg.hwnd->Owner())
            msg.hwnd->Deliver(msg.message, msg.wParam, msg.lParam);
    platform::RequestPendingPaints();
    if (IdleDriver* idle = Idle())
        idle->Arm();
}

// A poll of the tracking loop: starts the loop at the first one, and shows
// what its client contexts drew.
void Poll()
{
    platform::EnsureToolkit();
    TrackingState& state = Track();
    if (!state.active) {
        state.active = true;
        if (!state.watch) {
            state.watch = new QTimer;
            QObject::connect(state.watch, &QTimer::timeout, [] {
                // Nobody polled for a while: the tracking loop is over.
                if (Track().waiting == 0 && Track().lastPoll.elapsed() > 100)
                    EndTracking();
            });
        }
        state.watch->start(50);
    }
    state.lastPoll.start();
    platform::PresentClientDrawing();
}

}  // namespace

// --- The thread ------------------------------------------------------------------------

CWinThread::CWinThread()
{
    if (!CurrentThread())
        CurrentThread() = this;
}

CWinThread::~CWinThread()
{
    if (CurrentThread() == this)
        CurrentThread() = nullptr;
}

BOOL CWinThread::OnIdle(LONG)
{
    return FALSE;
}

int CWinThread::Run()
{
    platform::EnsureToolkit();
    // The running program reads the keyboard from the toolkit; tests keep
    // whatever state they set.
    platform::SetKeyStateHook(platform::ToolkitKeyState);
    if (IdleDriver* idle = Idle())
        idle->OnMessage();
    m_nExitCode = QApplication::exec();
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return m_nExitCode;
}

CWinThread* AfxGetThread()
{
    return CurrentThread();
}

void PostQuitMessage(int code)
{
    if (!qApp)
        return;
    QMetaObject::invokeMethod(qApp, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

BOOL PeekMessage(LPMSG msg, CWnd* wnd, UINT first, UINT last, UINT remove)
{
    Poll();
    TrackingState& state = Track();
    const auto match = [&](const MSG& m) {
        if (wnd && m.hwnd != wnd->GetPeer())
            return false;
        return (first == 0 && last == 0) || (m.message >= first && m.message <= last);
    };
    for (int round = 0; round < 2; ++round) {
        for (auto it = state.queue.begin(); it != state.queue.end(); ++it) {
            if (!match(*it))
                continue;
            const MSG found = *it;
            if (remove & PM_REMOVE)
                state.queue.erase(it);
            state.seen = state.arrived;
            if (msg)
                *msg = found;
            if ((found.message == WM_LBUTTONUP || found.message == WM_RBUTTONUP) && (remove & PM_REMOVE)) {
                // The drag ends with this message; the loop hears of it first.
                QTimer::singleShot(0, [] { EndTracking(); });
            }
            return TRUE;
        }
        // Nothing yet: let the toolkit bring what it has, waiting a little
        // so that a polling loop does not spin.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (round == 0 && std::none_of(state.queue.begin(), state.queue.end(), match)) {
            QEventLoop wait;
            QTimer::singleShot(5, &wait, &QEventLoop::quit);
            wait.processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    state.seen = state.arrived;
    return FALSE;
}

BOOL WaitMessage()
{
    Poll();
    TrackingState& state = Track();
    ++state.waiting;
    while (state.arrived == state.seen && state.active)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    --state.waiting;
    state.seen = state.arrived;
    state.lastPoll.start();
    return TRUE;
}

namespace platform {

void StartToolkit(int& argc, char** argv)
{
    if (qApp)
        return;
    new QApplication(argc, argv);
    SetWaitCursorHook([](int delta) {
        if (delta > 0)
            BeginWaitCursor();
        else if (delta < 0)
            EndWaitCursor();
    });
}

void EnsureToolkit()
{
    static int argc = 1;
    static char name[] = "dizado";
    static char* argv[] = {name, nullptr};
    StartToolkit(argc, argv);
}

void ProcessPendingEvents()
{
    if (!qApp)
        return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

ModalScope::ModalScope()
{
    ++ModalDepth();
}

ModalScope::~ModalScope()
{
    if (--ModalDepth() == 0)
        if (IdleDriver* idle = Idle())
            idle->Arm();
}

bool InModalLoop()
{
    return ModalDepth() > 0;
}

void NoteMessage(UINT message)
{
    if (message == WM_PAINT || message == WM_TIMER)
        return;
    if (IdleDriver* idle = Idle())
        idle->OnMessage();
}

void IdleDue(int delay)
{
    if (IdleDriver* idle = Idle())
        idle->Due(delay);
}

bool Tracking()
{
    return Track().active;
}

void QueueMessage(const MSG& msg)
{
    Track().queue.push_back(msg);
    ++Track().arrived;
}

}  // namespace platform
