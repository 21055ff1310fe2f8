#include "graphics/renderer_drawing.h"

#include "shell/app.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

using RendererDrawing = graphics_test::CRendererFixture;

TEST_F(RendererDrawing, DimmingCoversTheRendererOutputWhateverTheDisplaySize)
{
    // A display far larger than any image may be: the layer still follows the window.
    const SDL_DisplayMode saved = CApp::GetDisplayMode();
    SDL_DisplayMode huge = saved;
    huge.w = 7680;
    huge.h = 8640;
    CApp::SetDisplayMode(huge);

    SDL_SetRenderDrawColor(m_renderer, 255, 255, 255, 255);
    SDL_RenderClear(m_renderer);
    DimScreen();
    for (const SDL_Rect probe : {SDL_Rect{0, 0, 1, 1}, SDL_Rect{63, 47, 1, 1}, SDL_Rect{30, 20, 1, 1}})
    {
        uint32_t pixel = 0;
        ASSERT_EQ(SDL_RenderReadPixels(m_renderer, &probe, SDL_PIXELFORMAT_ABGR8888, &pixel, 4), 0);
        const uint32_t red = pixel & 0xFF;
        EXPECT_NEAR(double(red), 128.0, 2.0) << probe.x << "," << probe.y;
    }
    CApp::SetDisplayMode(saved);
}
