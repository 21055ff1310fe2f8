#pragma once

#include "shell/renderer_choice.h"

#include <sys/types.h>

#include <cstdint>
#include <string>

// Asks a short-lived child process which accelerated renderer this display offers, so that the
// program itself never loads an OpenGL stack it will then not use: a CPU rasteriser costs tens of
// megabytes and a dozen threads, even when dropped again. Started early in start-up, it runs
// while the program loads its resources, and is read just before the window is made.
class CRendererProbe
{
public:
    // The probe's file name beside the program.
    static constexpr const char* kProgramName = "renderer-probe";

    // Starts the probe program; nothing runs when it cannot be started.
    explicit CRendererProbe(const std::string& program);
    // Ends a probe that is still running.
    ~CRendererProbe();
    CRendererProbe(const CRendererProbe&) = delete;
    CRendererProbe& operator=(const CRendererProbe&) = delete;

    // Whether the current video driver's display can give this program a GPU: false for SDL's
    // dummy driver and for an X server that offers no direct rendering (DRI2, DRI3 or NVIDIA's
    // GLX); true where only a probe can tell.
    static bool DisplayOffersDirectRendering();

    // Waits at most the limit for the answer and fills the facts' probe fields.
    void Collect(uint32_t limitMilliseconds, CRendererFacts& facts);

private:
    void End();

    pid_t m_child = -1;
    int m_answer = -1;
};
