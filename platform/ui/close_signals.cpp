#include "platform/ui/close_signals.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include <cerrno>
#include <csignal>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include "platform/ui/app.h"

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int g_pipe[2] = {-1, -1};
std::function<void(int)>& CloseSlot()
{
    static std::function<void(int)> close;
    return close;
}
std::function<void()>& SaveSlot()
{
    static std::function<void()> save;
    return save;
}

extern "C" void OnSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // Nothing else is safe here; a full pipe already holds a close to come.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = saved;
}

bool OpenPipe()
{
    if (g_pipe[0] >= 0)
        return true;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return false;
    }
    EnsureToolkit();
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        unsigned char numbers[16];
        const ssize_t got = ::read(g_pipe[0], numbers, sizeof numbers);
        for (ssize_t i = 0; i < got; ++i)
            if (const std::function<void(int)> close = CloseSlot())
                close(numbers[i]);
    });
    return true;
}

}  // namespace

void InstallCloseSignals(std::function<void(int)> close)
{
    CloseSlot() = std::move(close);
    const bool handled = CloseSlot() && OpenPipe();
    for (int signal : kSignals) {
        struct sigaction action {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        action.sa_handler = handled ? OnSignal : SIG_DFL;
        ::sigaction(signal, &action, nullptr);
    }
}

void SetSessionSaveHook(std::function<void()> save)
{
    SaveSlot() = std::move(save);
#if QT_CONFIG(sessionmanager)
    static bool connected = false;
    if (connected || !SaveSlot())
        return;
    EnsureToolkit();
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The program saves without asking anyone, so it never needs the
        // manager's permission to interact.
        QObject::connect(gui, &QGuiApplication::commitDataRequest, [](QSessionManager&) {
            if (const std::function<void()> hook = SaveSlot())
                hook();
        });
        QObject::connect(gui, &QGuiApplication::saveStateRequest, [](QSessionManager&) {
            if (const std::function<void()> hook = SaveSlot())
                hook();
        });
        connected = true;
    }
#endif
}

}  // namespace platform
