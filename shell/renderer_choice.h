#pragma once

#include <string>

// What is known when the window's renderer is chosen.
struct CRendererFacts
{
    // The user's own SDL_RENDER_DRIVER; empty when unset.
    std::string userRenderDriver;
    // Whether the display can hand a program a GPU at all: an X server without direct rendering
    // (a virtual one, say) or SDL's dummy driver cannot, and then nothing needs probing.
    bool directRendering = true;
    // Whether the renderer probe answered. When it did: the accelerated renderer SDL could make
    // on this display (empty when none), and its OpenGL renderer text (empty without OpenGL).
    bool probeAnswered = false;
    std::string probeDriver;
    std::string probeGlRenderer;
};

struct CRendererChoice
{
    // SDL's software renderer with framebuffer acceleration off, instead of an accelerated one.
    bool software = false;
    // Why, in words for the log.
    std::string reason;
};

// A real GPU draws through an accelerated renderer. Where the only OpenGL is a CPU rasteriser, or
// no accelerated renderer can be made, the program draws with SDL's software renderer: it
// composes every frame in its own canvas, and an OpenGL stack on the CPU would only add memory,
// threads and start-up time. A renderer the user names is left to SDL.
CRendererChoice ChooseRenderer(const CRendererFacts& facts);
// Whether an OpenGL renderer text names a rasteriser that runs on the CPU.
bool IsSoftwareRasteriser(const std::string& glRenderer);
