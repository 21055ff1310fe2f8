#pragma once

#include "foundation/point.h"
#include "foundation/rgba_colour.h"

#include <SDL.h>

#include <cstdint>

class CBaseImage;
class CZevralImage;

// Owns one SDL software surface and converts between SDL surfaces and the program's images: files
// decoded by SDL_image and text rendered by SDL_ttf reach the images through CopyToImage.
// Surfaces made here are 32-bit ARGB; a failed creation leaves no surface, and every operation then
// does nothing (reads give opaque black, sizes 0).
class CSurface
{
public:
    struct Clamped {};

    // 10 x 10.
    CSurface();
    CSurface(uint32_t width, uint32_t height);
    // A side of 0 becomes 1; each side at most the maximum side.
    CSurface(uint32_t width, uint32_t height, Clamped);
    explicit CSurface(const CBaseImage& image);
    // An independent copy in the source's own pixel format.
    explicit CSurface(const SDL_Surface* surface);
    CSurface(const CSurface& other);
    ~CSurface();
    CSurface& operator=(const CSurface& other);
    CSurface& operator=(const SDL_Surface* surface);
    CSurface& operator=(const CBaseImage& image);

    SDL_Surface* GetSurface() const { return m_surface; }
    uint32_t GetWidth() const { return m_surface ? uint32_t(m_surface->w) : 0; }
    uint32_t GetHeight() const { return m_surface ? uint32_t(m_surface->h) : 0; }

    CZevralImage GetImage() const;
    // Nearest-pixel scaling of the image onto the whole surface, alpha dropped; with skipWhite an
    // opaque white image pixel leaves the surface pixel alone.
    void ScaleFromImage(const CBaseImage& image, bool skipWhite);
    void FillRgb(CRgbaColour colour);
    void ScaleBrightness(float factor);

    // The image becomes the surface's size (each side clamped to the image limit, cleared) and
    // receives its pixels. A colour key becomes transparency.
    static void CopyToImage(SDL_Surface* surface, CZevralImage& image);
    // Opaque black outside the surface or without one.
    static CRgbaColour GetPixel(SDL_Surface* surface, const CPoint& point);
    // Writes the image into the surface from the top-left corner, as far as both reach.
    static void CopyFromImage(const CBaseImage& image, SDL_Surface* surface);
    static int32_t MulDiv(int32_t a, int32_t b, int32_t c);

    static void SetMaxSide(uint32_t side);
    static uint32_t GetMaxSide();

private:
    void Replace(SDL_Surface* surface);

    SDL_Surface* m_surface = nullptr;
};
