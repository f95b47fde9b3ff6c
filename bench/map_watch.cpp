// Starts a program and reports, from the X server's own events, how long
// it took from exec until its top-level window was mapped, then closes the
// window as a user would and reports the process's peak RSS.
//
//   map_watch [--settle MS] [--click X,Y] PROGRAM [ARGS...]
// prints "map_ms=<float> rss_kb=<int> exit=<int>" on stdout. With --click
// it clicks at X,Y of the window with xdotool (XTest) instead of closing it
// and adds "click_exit_ms=<float>": from xdotool's return, when the button
// release has been flushed to the server, to wait4() returning.
//
// The watcher selects SubstructureNotify on the root window before the
// fork, so it sees every new top-level window; for each it selects
// StructureNotify and waits in poll() on the X connection, so the MapNotify
// is read within microseconds of the server sending it. Windows are matched
// by _NET_WM_PID, which keeps the window manager's frames out. Peak RSS is
// wait4()'s ru_maxrss, the figure /usr/bin/time prints as %M.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>

namespace
{

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

long windowPid(Display *display, Window window)
{
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1 && format == 32)
        pid = *reinterpret_cast<long *>(data);
    if (data)
        XFree(data);
    return pid;
}

// A window may vanish between its CreateNotify and our requests.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

void sendDelete(Display *display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

int main(int argc, char *argv[])
{
    int settleMs = 300;
    int clickX = -1, clickY = -1;
    int first = 1;
    while (first + 1 < argc && argv[first][0] == '-') {
        if (std::strcmp(argv[first], "--settle") == 0)
            settleMs = std::atoi(argv[first + 1]);
        else if (std::strcmp(argv[first], "--click") == 0)
            std::sscanf(argv[first + 1], "%d,%d", &clickX, &clickY);
        first += 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--settle MS] PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "map_watch: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[first], argv + first);
        _exit(127);
    }

    double mappedAt = -1;
    Window mapped = None;
    const double deadline = start + 20000;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    while (mappedAt < 0 && nowMs() < deadline) {
        while (XPending(display) && mappedAt < 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
                !event.xcreatewindow.override_redirect) {
                const Window window = event.xcreatewindow.window;
                XSelectInput(display, window, StructureNotifyMask);
                // It may have been mapped before the selection took effect.
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, window, &attributes) &&
                    attributes.map_state != IsUnmapped && windowPid(display, window) == child) {
                    mappedAt = nowMs();
                    mapped = window;
                }
            } else if (event.type == MapNotify && event.xmap.event == event.xmap.window &&
                       windowPid(display, event.xmap.window) == child) {
                mappedAt = nowMs();
                mapped = event.xmap.window;
            }
        }
        if (mappedAt < 0) {
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                std::fprintf(stderr, "map_watch: %s exited before mapping a window\n", argv[first]);
                return 1;
            }
            poll(&fd, 1, 50);
        }
    }
    if (mappedAt < 0) {
        kill(child, SIGKILL);
        std::fprintf(stderr, "map_watch: no window within 20 s\n");
        return 1;
    }

    // Let it paint and settle as it would in front of a user, then close it.
    usleep(settleMs * 1000);
    double clickedAt = -1;
    if (clickX >= 0) {
        char command[160];
        std::snprintf(command, sizeof command,
                      "xdotool mousemove --window %lu %d %d mousedown 1 sleep 0.02 mouseup 1",
                      static_cast<unsigned long>(mapped), clickX, clickY);
        if (std::system(command) != 0)
            std::fprintf(stderr, "map_watch: xdotool failed\n");
        clickedAt = nowMs();
    } else {
        sendDelete(display, mapped);
    }
    int status = 0;
    rusage usage{};
    // Polled every 0.2 ms so the exit time is not rounded up by the wait.
    for (int i = 0; i < 25000; ++i) {
        if (wait4(child, &status, WNOHANG, &usage) == child)
            break;
        if (i == 24999) {
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
        }
        usleep(200);
    }
    const double exitedAt = nowMs();
    std::printf("map_ms=%.2f rss_kb=%ld exit=%d", mappedAt - start, usage.ru_maxrss,
                WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    if (clickedAt >= 0)
        std::printf(" click_exit_ms=%.2f", exitedAt - clickedAt);
    std::printf("\n");
    XCloseDisplay(display);
    return 0;
}
