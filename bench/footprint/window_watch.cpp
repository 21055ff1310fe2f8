// Starts a program and times it to its window: window_watch [--out FILE] TITLE PROGRAM [ARGS...]
// Writes "pid=P mapped_ms=M visible_ms=V" to FILE (or standard output) once the window named
// TITLE is mapped and first shows something other than black, then waits for the program and
// exits with its status. The X server should have a black root (Xvfb -br), so that a window
// without a background of its own does not look drawn before it is.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
double NowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

std::string WindowName(Display* display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, netName, 0, 256, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        data)
    {
        name.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    if (name.empty())
    {
        char* plain = nullptr;
        if (XFetchName(display, window, &plain) && plain)
        {
            name = plain;
            XFree(plain);
        }
    }
    return name;
}

bool IsShown(Display* display, Window window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Whether three rows across the window hold anything but black.
bool ShowsSomething(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    for (int row = 1; row <= 3; ++row)
    {
        XImage* image = XGetImage(display, window, 0, attributes.height * row / 4, unsigned(attributes.width), 1,
                                  AllPlanes, ZPixmap);
        if (!image)
            continue;
        bool drawn = false;
        for (int x = 0; x < attributes.width && !drawn; ++x)
            drawn = (XGetPixel(image, x, 0) & 0xFFFFFFu) != 0;
        XDestroyImage(image);
        if (drawn)
            return true;
    }
    return false;
}

int IgnoreErrors(Display*, XErrorEvent*)
{
    // Windows come and go (SDL replaces its first window for some renderers).
    return 0;
}
}

int main(int argc, char** argv)
{
    int first = 1;
    const char* outPath = nullptr;
    if (argc > 2 && std::strcmp(argv[1], "--out") == 0)
    {
        outPath = argv[2];
        first = 3;
    }
    if (argc - first < 2)
    {
        std::fprintf(stderr, "usage: window_watch [--out FILE] TITLE PROGRAM [ARGS...]\n");
        return 2;
    }
    const std::string title = argv[first];
    Display* display = XOpenDisplay(nullptr);
    if (!display)
    {
        std::fprintf(stderr, "window_watch: no X display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = NowMs();
    const pid_t child = fork();
    if (child == 0)
    {
        execvp(argv[first + 1], argv + first + 1);
        _exit(127);
    }
    if (child < 0)
        return 2;

    Window found = None;
    double mapped = -1;
    double visible = -1;
    const double deadline = start + 30000;
    while (visible < 0 && NowMs() < deadline)
    {
        while (XPending(display))
        {
            XEvent event;
            XNextEvent(display, &event);
            Window window = None;
            if (event.type == CreateNotify)
            {
                window = event.xcreatewindow.window;
                XSelectInput(display, window, PropertyChangeMask | StructureNotifyMask);
            }
            else if (event.type == MapNotify)
                window = event.xmap.window;
            else if (event.type == PropertyNotify)
                window = event.xproperty.window;
            if (window != None && found == None && IsShown(display, window) && WindowName(display, window) == title)
            {
                found = window;
                mapped = NowMs() - start;
            }
        }
        if (found != None && ShowsSomething(display, found))
            visible = NowMs() - start;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return 3;
        pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
        poll(&descriptor, 1, found != None ? 1 : 5);
    }

    FILE* out = outPath ? std::fopen(outPath, "w") : stdout;
    if (out)
    {
        std::fprintf(out, "pid=%d mapped_ms=%.1f visible_ms=%.1f\n", int(child), mapped, visible);
        std::fflush(out);
        if (out != stdout)
            std::fclose(out);
    }
    XCloseDisplay(display);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
