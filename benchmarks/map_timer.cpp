// Starts a program and prints the milliseconds from just before its exec to
// the moment the X server maps a top-level window of the given size, then
// ends the program. Both sides of a start-up comparison go through it, so
// they are started and watched the same way.
// Usage: map_timer WIDTHxHEIGHT TIMEOUT_S program [arguments...]
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double Ms(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

void End(pid_t child)
{
    kill(child, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 0, height = 0;
    if (argc < 4 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "usage: map_timer WIDTHxHEIGHT TIMEOUT_S program [arguments...]\n");
        return 2;
    }
    const double timeoutMs = std::atof(argv[2]) * 1000.0;
    // A server that has just started may not take connections yet.
    Display* display = nullptr;
    for (int i = 0; i < 100 && !(display = XOpenDisplay(nullptr)); ++i)
        usleep(20000);
    if (!display) {
        std::fprintf(stderr, "map_timer: no X display\n");
        return 2;
    }
    // Every window made on the root, and so every top-level map, is seen.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    if (child < 0)
        return 2;
    pollfd watch{ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, event.xmap.window, &attributes) && attributes.width == width &&
                attributes.height == height) {
                std::printf("%.1f\n", Ms(start));
                End(child);
                return 0;
            }
        }
        const double left = timeoutMs - Ms(start);
        if (left <= 0 || waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "map_timer: no %dx%d window was mapped\n", width, height);
            End(child);
            return 1;
        }
        poll(&watch, 1, left < 50 ? static_cast<int>(left) + 1 : 50);
    }
}
