#include "tests/graphics/graphics_test_util.h"

#include "shell/app.h"

namespace graphics_test
{
void CRendererFixture::SetUp()
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    m_window = SDL_CreateWindow("graphics test", 0, 0, 64, 48, SDL_WINDOW_HIDDEN);
    ASSERT_NE(m_window, nullptr) << SDL_GetError();
    m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(m_renderer, nullptr) << SDL_GetError();
    CApp::SetRenderer(m_renderer);
}

void CRendererFixture::TearDown()
{
    CApp::SetRenderer(nullptr);
    if (m_renderer)
        SDL_DestroyRenderer(m_renderer);
    if (m_window)
        SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
}  // namespace graphics_test
