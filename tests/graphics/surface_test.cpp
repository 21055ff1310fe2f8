#include "graphics/surface.h"
#include "graphics/zevral_image.h"
#include "tests/graphics/graphics_test_util.h"

#include <gtest/gtest.h>

using graphics_test::RandomImage;
using graphics_test::RawBytes;

namespace
{
constexpr uint32_t kBlack = 0xFF000000u;

// SDL's own conversion of the surface to the image layout: the reference for CopyToImage.
std::string SdlReference(SDL_Surface* surface)
{
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ABGR8888, 0);
    std::string bytes;
    for (int y = 0; y < converted->h; ++y)
        bytes.append(static_cast<const char*>(converted->pixels) + y * converted->pitch, size_t(converted->w) * 4);
    SDL_FreeSurface(converted);
    return bytes;
}

SDL_Surface* Make(int width, int height, uint32_t format)
{
    return SDL_CreateRGBSurfaceWithFormat(0, width, height, SDL_BITSPERPIXEL(format), format);
}

void FillRandom(SDL_Surface* surface, uint32_t seed)
{
    std::mt19937 random(seed);
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->pitch; ++x)
            static_cast<uint8_t*>(surface->pixels)[y * surface->pitch + x] = uint8_t(random());
}
}  // namespace

TEST(Surface, CopyToImageMatchesSdlConversionForEveryLayout)
{
    for (uint32_t format : {SDL_PIXELFORMAT_ABGR8888, SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_RGB24,
                            SDL_PIXELFORMAT_BGR24, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_RGBA4444,
                            SDL_PIXELFORMAT_INDEX8})
    {
        // 7 pixels wide, so 3-byte and 2-byte rows are padded.
        SDL_Surface* surface = Make(7, 5, format);
        ASSERT_NE(surface, nullptr) << SDL_GetPixelFormatName(format);
        if (surface->format->palette)
        {
            SDL_Color colours[256];
            std::mt19937 random(3);
            for (SDL_Color& c : colours)
                c = {uint8_t(random()), uint8_t(random()), uint8_t(random()), 255};
            SDL_SetPaletteColors(surface->format->palette, colours, 0, 256);
        }
        FillRandom(surface, format);
        CZevralImage image;
        CSurface::CopyToImage(surface, image);
        EXPECT_EQ(image.GetWidth(), 7);
        // SDL's blitter widens 5- and 6-bit channels by its own rounding, a level off at times.
        const int tolerance = SDL_BYTESPERPIXEL(format) == 2 ? 1 : 0;
        const std::string ours = RawBytes(image), sdl = SdlReference(surface);
        ASSERT_EQ(ours.size(), sdl.size());
        for (size_t i = 0; i < ours.size(); ++i)
            ASSERT_LE(std::abs(int(uint8_t(ours[i])) - int(uint8_t(sdl[i]))), tolerance)
                << SDL_GetPixelFormatName(format) << " byte " << i;
        SDL_FreeSurface(surface);
    }
}

TEST(Surface, AColourKeyBecomesTransparency)
{
    SDL_Surface* surface = Make(3, 1, SDL_PIXELFORMAT_RGB24);
    uint8_t* p = static_cast<uint8_t*>(surface->pixels);
    const uint8_t bytes[] = {255, 0, 255, 10, 20, 30, 255, 0, 255};
    memcpy(p, bytes, sizeof bytes);
    SDL_SetColorKey(surface, SDL_TRUE, SDL_MapRGB(surface->format, 255, 0, 255));
    CZevralImage image;
    CSurface::CopyToImage(surface, image);
    EXPECT_EQ(image.GetPixel(0u, 0u).GetAlpha(), 0);
    EXPECT_EQ(image.GetPixel(1u, 0u).GetValue(), CRgbaColour(10, 20, 30, 255).GetValue());
    EXPECT_EQ(image.GetPixel(2u, 0u).GetAlpha(), 0);
    SDL_FreeSurface(surface);
}

TEST(Surface, WideSurfacesAreCutToTheImageLimit)
{
    SDL_Surface* surface = Make(6000, 2, SDL_PIXELFORMAT_ARGB8888);
    FillRandom(surface, 9);
    CZevralImage image;
    CSurface::CopyToImage(surface, image);
    ASSERT_EQ(image.GetWidth(), 5120);
    for (int x : {0, 4000, 5119})
        EXPECT_EQ(image.GetPixel(uint32_t(x), 1u).GetValue(), CSurface::GetPixel(surface, CPoint(x, 1)).GetValue());
    SDL_FreeSurface(surface);
}

TEST(Surface, ConstructionAndReads)
{
    EXPECT_EQ(CSurface().GetWidth(), 10u);
    CSurface tiny(0, 0, CSurface::Clamped{});
    EXPECT_EQ(tiny.GetWidth(), 1u);
    EXPECT_EQ(tiny.GetHeight(), 1u);
    CSurface wide(8000, 10, CSurface::Clamped{});
    EXPECT_EQ(wide.GetWidth(), 5120u);
    EXPECT_EQ(wide.GetHeight(), 10u);

    const CZevralImage picture = RandomImage(4, 3, 2);
    CSurface surface(picture);
    EXPECT_EQ(surface.GetImage(), picture);
    CSurface copy(surface);
    EXPECT_NE(copy.GetSurface(), surface.GetSurface());
    EXPECT_EQ(copy.GetImage(), picture);
    EXPECT_EQ(CSurface::GetPixel(surface.GetSurface(), CPoint(-1, 0)).GetValue(), kBlack);
    EXPECT_EQ(CSurface::GetPixel(surface.GetSurface(), CPoint(4, 0)).GetValue(), kBlack);
    EXPECT_EQ(CSurface::GetPixel(nullptr, CPoint(0, 0)).GetValue(), kBlack);
    EXPECT_EQ(CSurface::MulDiv(100000, 100000, 1000), 10000000);
}

TEST(Surface, CopyFromImageStaysInsideASmallerSurface)
{
    const CZevralImage picture = RandomImage(40, 30, 4);
    CSurface small(5, 4);
    CSurface::CopyFromImage(picture, small.GetSurface());
    const CZevralImage back = small.GetImage();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(back.GetPixel(uint32_t(x), uint32_t(y)), picture.GetPixel(uint32_t(x), uint32_t(y)));
}

TEST(Surface, ScaleFromImageSkipsOpaqueWhite)
{
    CSurface surface(4, 2);
    surface.FillRgb(CRgbaColour(1, 2, 3, 255));
    CZevralImage image(2, 1);
    image.SetPixel(0u, 0u, CRgbaColour(255, 255, 255, 255));
    image.SetPixel(1u, 0u, CRgbaColour(40, 50, 60, 7));
    surface.ScaleFromImage(image, true);
    const CZevralImage result = surface.GetImage();
    EXPECT_EQ(result.GetPixel(1u, 1u).GetValue(), CRgbaColour(1, 2, 3, 255).GetValue());
    EXPECT_EQ(result.GetPixel(2u, 0u).GetValue(), CRgbaColour(40, 50, 60, 255).GetValue());
    surface.ScaleFromImage(image, false);
    EXPECT_EQ(surface.GetImage().GetPixel(0u, 0u).GetValue(), 0xFFFFFFFFu);
}
