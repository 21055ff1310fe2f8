#include "shell/renderer_choice.h"

#include <gtest/gtest.h>

namespace
{
struct Row
{
    const char* what;
    const char* userDriver;
    bool directRendering;
    bool answered;
    const char* driver;
    const char* glRenderer;
    bool software;
    const char* reasonHas;
};

CRendererFacts Facts(const Row& row)
{
    CRendererFacts facts;
    facts.userRenderDriver = row.userDriver;
    facts.directRendering = row.directRendering;
    facts.probeAnswered = row.answered;
    facts.probeDriver = row.driver;
    facts.probeGlRenderer = row.glRenderer;
    return facts;
}
}

TEST(RendererChoice, CpuRasterisersAndMissingGpusDrawInSoftwareRealGpusStayAcceleratedTheUserDecidesFirst)
{
    const Row rows[] = {
        {"a real GPU", "", true, true, "opengl", "AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6)", false,
         "AMD Radeon"},
        {"a GPU behind GLES", "", true, true, "opengles2", "Mali-G52", false, "opengles2"},
        {"llvmpipe", "", true, true, "opengl", "llvmpipe (LLVM 15.0.6, 256 bits)", true, "CPU rasteriser"},
        {"softpipe", "", true, true, "opengl", "softpipe", true, "CPU rasteriser"},
        {"the old swrast", "", true, true, "opengl", "Mesa DRI swrast", true, "CPU rasteriser"},
        {"Mesa's software text", "", true, true, "opengl", "Software Rasterizer", true, "CPU rasteriser"},
        {"no accelerated renderer", "", true, true, "", "", true, "no accelerated renderer"},
        {"SDL fell back to software", "", true, true, "software", "", true, "no accelerated renderer"},
        {"a probe that said nothing", "", true, false, "", "", true, "no answer"},
        {"a display without direct rendering", "", false, false, "", "", true, "no direct rendering"},
        {"the user's software", "software", true, false, "", "", false, "SDL_RENDER_DRIVER=software"},
        {"the user's OpenGL on a CPU rasteriser", "opengl", false, true, "opengl", "llvmpipe", false,
         "SDL_RENDER_DRIVER=opengl"},
    };
    for (const Row& row : rows)
    {
        const CRendererChoice choice = ChooseRenderer(Facts(row));
        EXPECT_EQ(choice.software, row.software) << row.what;
        EXPECT_NE(choice.reason.find(row.reasonHas), std::string::npos) << row.what << ": " << choice.reason;
    }
}
