#include "graphics/texture_adapter.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

#include <vector>

using RendererDrawing = graphics_test::CRendererFixture;

TEST_F(RendererDrawing, DimmingInMemoryGivesWhatTheRendererBlendsForBlackAtAlpha127)
{
    // Channel values from 3 to 255 in steps of 4 across the fixture's 64-pixel window.
    constexpr int kWidth = 64;
    CZevralImage image(kWidth, 1);
    for (int x = 0; x < kWidth; ++x)
        image.SetPixel(uint32_t(x), 0u, CRgbaColour(x * 4 + 3, 252 - x * 4, x * 2, 255));
    std::vector<uint32_t> before(kWidth);
    for (int x = 0; x < kWidth; ++x)
        before[x] = image.GetPixel(uint32_t(x), 0u).GetValue();
    CTextureAdapter view(image);
    // Reaching past the image on every side: only its pixels change.
    view.DimRect(CRect(-10, -10, kWidth + 20, 30));

    SDL_Texture* source =
        SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, kWidth, 1);
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(SDL_UpdateTexture(source, nullptr, before.data(), kWidth * 4), 0);
    ASSERT_EQ(SDL_RenderClear(m_renderer), 0);
    const SDL_Rect row = {0, 0, kWidth, 1};
    ASSERT_EQ(SDL_RenderCopy(m_renderer, source, nullptr, &row), 0);
    SDL_DestroyTexture(source);
    ASSERT_EQ(SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_BLEND), 0);
    ASSERT_EQ(SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 127), 0);
    ASSERT_EQ(SDL_RenderFillRect(m_renderer, &row), 0);
    std::vector<uint32_t> blended(kWidth);
    ASSERT_EQ(SDL_RenderReadPixels(m_renderer, &row, SDL_PIXELFORMAT_ABGR8888, blended.data(), kWidth * 4), 0);

    for (int x = 0; x < kWidth; ++x)
        for (int shift = 0; shift < 32; shift += 8)
        {
            const int dimmed = int((image.GetPixel(uint32_t(x), 0u).GetValue() >> shift) & 0xFF);
            const int expected = int((blended[x] >> shift) & 0xFF);
            EXPECT_NEAR(dimmed, expected, 1) << "column " << x << ", bits " << shift;
        }
}
