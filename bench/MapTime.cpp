// Seconds from starting a program to the first top-level window it maps on the X display,
// found through the root window's MapNotify events; the program (its process group) is
// then ended. For the start-up benchmark (bench/startup.sh).
//   velmora-map-time [--min-size PIXELS] -- COMMAND [ARG...]
// Prints "SECONDS WIDTHxHEIGHT"; exit status 1 when no window came within 60 s.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

int main(int argc, char** argv)
{
    int minSize = 100, first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--min-size") == 0) {
        minSize = std::stoi(argv[2]);
        first = 3;
    }
    if (argc <= first + 1 || std::strcmp(argv[first], "--") != 0) {
        std::fprintf(stderr, "usage: velmora-map-time [--min-size PIXELS] -- COMMAND [ARG...]\n");
        return 64;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "velmora-map-time: no X display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[first + 1], argv + first + 1);
        _exit(127);
    }
    setpgid(child, child);
    const auto deadline = start + std::chrono::seconds(60);
    int status = 1;
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify || event.xmap.override_redirect)
                continue;
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(display, event.xmap.window, &attributes) || attributes.width < minSize || attributes.height < minSize)
                continue;
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            std::printf("%.4f %dx%d\n", took.count(), attributes.width, attributes.height);
            status = 0;
            break;
        }
        if (status == 0)
            break;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(display), &fds);
        timeval wait{0, 20000};
        select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &wait);
    }
    kill(-child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return status;
}
