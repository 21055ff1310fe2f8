#include "shell/renderer_choice.h"

#include "foundation/ascii.h"

namespace
{
CRendererChoice Software(const std::string& reason)
{
    return {true, reason};
}
}

CRendererChoice ChooseRenderer(const CRendererFacts& facts)
{
    if (!facts.userRenderDriver.empty())
        return {false, "SDL_RENDER_DRIVER=" + facts.userRenderDriver + " is the user's"};
    if (!facts.directRendering)
        return Software("the display offers no direct rendering");
    if (!facts.probeAnswered)
        return Software("the renderer probe gave no answer");
    if (facts.probeDriver.empty() || facts.probeDriver == "software")
        return Software("no accelerated renderer can be made here");
    if (IsSoftwareRasteriser(facts.probeGlRenderer))
        return Software("OpenGL runs on " + facts.probeGlRenderer + ", a CPU rasteriser");
    if (facts.probeGlRenderer.empty())
        return {false, "the accelerated renderer is " + facts.probeDriver};
    return {false, "the accelerated renderer is " + facts.probeDriver + " on " + facts.probeGlRenderer};
}

bool IsSoftwareRasteriser(const std::string& glRenderer)
{
    const std::string text = ToLowerAscii(glRenderer);
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (text.find(name) != std::string::npos)
            return true;
    return false;
}
