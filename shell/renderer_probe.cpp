#include "shell/renderer_probe.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace
{
uint64_t NowMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
}

// The answer is two lines: the renderer's name, then its OpenGL renderer text.
constexpr size_t kMaxAnswer = 1024;
}

CRendererProbe::CRendererProbe(const std::string& program)
{
    if (program.empty() || access(program.c_str(), X_OK) != 0)
        return;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    // What the window system's libraries say while they look for a GPU is no concern of the user.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* arguments[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = -1;
    const int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (failed != 0)
    {
        close(ends[0]);
        return;
    }
    m_child = child;
    m_answer = ends[0];
}

bool CRendererProbe::DisplayOffersDirectRendering()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::string(driver) == "dummy")
        return false;
    if (std::string(driver) != "x11")
        return true;
    // A connection of its own for a moment: SDL shows its display only through a window.
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return true;
    bool direct = false;
    for (const char* extension : {"DRI3", "DRI2", "NV-GLX"})
    {
        int opcode = 0, event = 0, error = 0;
        direct = direct || XQueryExtension(display, extension, &opcode, &event, &error);
    }
    XCloseDisplay(display);
    return direct;
}

CRendererProbe::~CRendererProbe()
{
    End();
}

void CRendererProbe::Collect(uint32_t limitMilliseconds, CRendererFacts& facts)
{
    facts.probeAnswered = false;
    if (m_answer < 0)
        return;
    std::string answer;
    bool ended = false;
    const uint64_t deadline = NowMilliseconds() + limitMilliseconds;
    while (!ended && answer.size() < kMaxAnswer)
    {
        const uint64_t now = NowMilliseconds();
        if (now >= deadline)
            break;
        pollfd readable{m_answer, POLLIN, 0};
        const int ready = poll(&readable, 1, int(deadline - now));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char bytes[256];
        const ssize_t count = read(m_answer, bytes, sizeof(bytes));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            ended = true;
        else
            answer.append(bytes, size_t(count));
    }
    End();

    // Only a whole answer counts: a probe that died on the way told nothing.
    const size_t first = answer.find('\n');
    const size_t second = first == std::string::npos ? first : answer.find('\n', first + 1);
    if (!ended || second == std::string::npos)
        return;
    facts.probeAnswered = true;
    facts.probeDriver = answer.substr(0, first);
    facts.probeGlRenderer = answer.substr(first + 1, second - first - 1);
}

void CRendererProbe::End()
{
    if (m_answer >= 0)
        close(m_answer);
    m_answer = -1;
    if (m_child <= 0)
        return;
    int status = 0;
    if (waitpid(m_child, &status, WNOHANG) == 0)
    {
        kill(m_child, SIGKILL);
        while (waitpid(m_child, &status, 0) < 0 && errno == EINTR)
        {
        }
    }
    m_child = -1;
}
