#pragma once

// Helpers shared by the graphics tests: a software renderer on the dummy video driver, temporary
// folders, PNG files written with SDL_image, and ImageMagick as an outside reader of image files.

#include "graphics/zevral_image.h"
#include "tests/support/test_folder.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace graphics_test
{
inline const char* kImageMagick = "/usr/bin/convert";
inline const char* kFontPath = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

// The output of a shell command, binary safe; empty when it fails.
inline std::string RunCommand(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    if (pclose(pipe) != 0)
        out.clear();
    return out;
}

inline bool HaveImageMagick()
{
    return !RunCommand(std::string(kImageMagick) + " -version").empty();
}

// The image's pixels as raw bytes R, G, B, A per pixel, row by row.
inline std::string RawBytes(const CBaseImage& image)
{
    std::string bytes;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
        for (int32_t x = 0; x < image.GetWidth(); ++x)
        {
            const uint32_t p = image.GetPixel(uint32_t(x), uint32_t(y)).GetValue();
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(char((p >> shift) & 0xFF));
        }
    return bytes;
}

// How ImageMagick reads the file, as 8-bit RGBA bytes.
inline std::string ImageMagickRgba(const std::string& path, const std::string& options = "")
{
    return RunCommand(std::string(kImageMagick) + " '" + path + "' " + options + " -depth 8 rgba:-");
}

// Writes an image as an RGBA PNG with SDL_image.
inline bool SavePng(const CBaseImage& image, const std::string& path)
{
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
        for (int32_t x = 0; x < image.GetWidth(); ++x)
            pixels.push_back(image.GetPixel(uint32_t(x), uint32_t(y)).GetValue());
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), image.GetWidth(), image.GetHeight(), 32,
                                                              image.GetWidth() * 4, SDL_PIXELFORMAT_ABGR8888);
    if (!surface)
        return false;
    const bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

// A plain image of the given size and colour, saved as a PNG.
inline bool SaveSolidPng(const std::string& path, uint32_t width, uint32_t height, uint32_t colour)
{
    CZevralImage image(width, height);
    image.Fill(CRgbaColour(colour));
    return SavePng(image, path);
}

// A PNG of one pixel whose header declares the sides given (its checksum made to match): a
// decoder that believes it sizes its pixels by them.
inline std::string PngDeclaring(uint32_t width, uint32_t height)
{
    CTempFolder folder;
    if (!SaveSolidPng(folder / "p.png", 1, 1, 0xFF000000u))
        return std::string();
    std::ifstream in(folder / "p.png", std::ios::binary);
    std::string png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The signature (8), the header chunk's length (4), "IHDR", the width, the height, 5 bytes
    // more, then the checksum of the chunk's type and data.
    for (int i = 0; i < 4; ++i)
    {
        png[16 + i] = char(width >> (24 - 8 * i));
        png[20 + i] = char(height >> (24 - 8 * i));
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 12; i < 29; ++i)
    {
        crc ^= uint8_t(png[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i)
        png[29 + i] = char(crc >> (24 - 8 * i));
    return png;
}

inline CZevralImage RandomImage(uint32_t width, uint32_t height, uint32_t seed)
{
    std::mt19937 random(seed);
    CZevralImage image(width, height);
    for (uint32_t i = 0; i < image.GetPixelCount(); ++i)
        image.SetPixel(i, CRgbaColour(uint32_t(random())));
    return image;
}

// SDL video on the dummy driver with a software renderer that the application hands out.
class CRendererFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
};
}  // namespace graphics_test
