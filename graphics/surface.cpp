#include "graphics/surface.h"

#include "graphics/zevral_image.h"

#include <algorithm>
#include <cstring>

namespace
{
uint32_t g_maxSide = CZevralImage::kMaxSide;

SDL_Surface* CreateArgb(uint32_t width, uint32_t height)
{
    return SDL_CreateRGBSurface(0, int(width), int(height), 32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu,
                                0xFF000000u);
}

SDL_Surface* CopyOf(const SDL_Surface* surface)
{
    if (!surface)
        return nullptr;
    return SDL_ConvertSurface(const_cast<SDL_Surface*>(surface), surface->format, 0);
}

// Locks the surface for the length of a scope when SDL requires it.
class CSurfaceLock
{
public:
    explicit CSurfaceLock(SDL_Surface* surface) : m_surface(surface)
    {
        m_locked = m_surface && SDL_MUSTLOCK(m_surface) && SDL_LockSurface(m_surface) == 0;
    }
    ~CSurfaceLock()
    {
        if (m_locked)
            SDL_UnlockSurface(m_surface);
    }
    CSurfaceLock(const CSurfaceLock&) = delete;
    CSurfaceLock& operator=(const CSurfaceLock&) = delete;

private:
    SDL_Surface* m_surface;
    bool m_locked = false;
};

uint32_t ReadRaw(const uint8_t* p, int bytesPerPixel)
{
    switch (bytesPerPixel)
    {
    case 1: return *p;
    case 2: { uint16_t v; memcpy(&v, p, 2); return v; }
    case 3:
        if (SDL_BYTEORDER == SDL_LIL_ENDIAN)
            return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
        return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
    default: { uint32_t v; memcpy(&v, p, 4); return v; }
    }
}

void WriteRaw(uint8_t* p, int bytesPerPixel, uint32_t value)
{
    switch (bytesPerPixel)
    {
    case 1: *p = uint8_t(value); break;
    case 2: { const uint16_t v = uint16_t(value); memcpy(p, &v, 2); break; }
    case 3:
        if (SDL_BYTEORDER == SDL_LIL_ENDIAN)
        {
            p[0] = uint8_t(value); p[1] = uint8_t(value >> 8); p[2] = uint8_t(value >> 16);
        }
        else
        {
            p[2] = uint8_t(value); p[1] = uint8_t(value >> 8); p[0] = uint8_t(value >> 16);
        }
        break;
    default: memcpy(p, &value, 4); break;
    }
}

uint32_t Decode(uint32_t raw, const SDL_PixelFormat* format)
{
    Uint8 r, g, b, a;
    SDL_GetRGBA(raw, format, &r, &g, &b, &a);
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 | uint32_t(a) << 24;
}

// Calls visit(pixel, x, y) for each pixel of the surface within width x height, the surface locked.
template <class Visit>
void ForEachPixel(SDL_Surface* surface, int width, int height, Visit visit)
{
    if (!surface)
        return;
    CSurfaceLock lock(surface);
    if (!surface->pixels)
        return;
    width = std::min(width, surface->w);
    height = std::min(height, surface->h);
    const int bpp = surface->format->BytesPerPixel;
    for (int y = 0; y < height; ++y)
    {
        uint8_t* row = static_cast<uint8_t*>(surface->pixels) + size_t(surface->pitch) * y;
        for (int x = 0; x < width; ++x)
            visit(row + size_t(x) * bpp, x, y);
    }
}

// Decodes the rows of a surface into the image, which already has its size.
void DecodeInto(SDL_Surface* surface, CZevralImage& image)
{
    CSurfaceLock lock(surface);
    if (!surface->pixels)
        return;
    const int width = std::min(surface->w, image.GetWidth());
    const int height = std::min(surface->h, image.GetHeight());
    const SDL_PixelFormat* format = surface->format;
    const int bpp = format->BytesPerPixel;
    for (int y = 0; y < height; ++y)
    {
        const uint8_t* src = static_cast<const uint8_t*>(surface->pixels) + size_t(surface->pitch) * y;
        uint32_t* dst = image.GetRow(uint32_t(y));
        if (format->format == SDL_PIXELFORMAT_ABGR8888)
            memcpy(dst, src, size_t(width) * 4);
        else if (format->format == SDL_PIXELFORMAT_ARGB8888)
        {
            for (int x = 0; x < width; ++x)
            {
                uint32_t v;
                memcpy(&v, src + size_t(x) * 4, 4);
                dst[x] = (v & 0xFF00FF00u) | (v & 0x00FF0000u) >> 16 | (v & 0x000000FFu) << 16;
            }
        }
        else
        {
            for (int x = 0; x < width; ++x)
                dst[x] = Decode(ReadRaw(src + size_t(x) * bpp, bpp), format);
        }
    }
}
}  // namespace

CSurface::CSurface() : m_surface(CreateArgb(10, 10))
{
}

CSurface::CSurface(uint32_t width, uint32_t height) : m_surface(CreateArgb(width, height))
{
}

CSurface::CSurface(uint32_t width, uint32_t height, Clamped)
    : m_surface(CreateArgb(std::clamp(width, 1u, g_maxSide), std::clamp(height, 1u, g_maxSide)))
{
}

CSurface::CSurface(const CBaseImage& image)
    : m_surface(CreateArgb(uint32_t(image.GetWidth()), uint32_t(image.GetHeight())))
{
    CopyFromImage(image, m_surface);
}

CSurface::CSurface(const SDL_Surface* surface) : m_surface(CopyOf(surface))
{
}

CSurface::CSurface(const CSurface& other) : m_surface(CopyOf(other.m_surface))
{
}

CSurface::~CSurface()
{
    Replace(nullptr);
}

CSurface& CSurface::operator=(const CSurface& other)
{
    if (this != &other)
        Replace(CopyOf(other.m_surface));
    return *this;
}

CSurface& CSurface::operator=(const SDL_Surface* surface)
{
    if (surface != m_surface)
        Replace(CopyOf(surface));
    return *this;
}

CSurface& CSurface::operator=(const CBaseImage& image)
{
    Replace(CreateArgb(uint32_t(image.GetWidth()), uint32_t(image.GetHeight())));
    CopyFromImage(image, m_surface);
    return *this;
}

void CSurface::Replace(SDL_Surface* surface)
{
    if (m_surface)
        SDL_FreeSurface(m_surface);
    m_surface = surface;
}

CZevralImage CSurface::GetImage() const
{
    CZevralImage image;
    CopyToImage(m_surface, image);
    return image;
}

void CSurface::CopyToImage(SDL_Surface* surface, CZevralImage& image)
{
    if (!surface)
        return;
    image.Resize(uint32_t(surface->w), uint32_t(surface->h), true);
    if (SDL_HasColorKey(surface))
    {
        // Reading the raw values would ignore the key; a conversion turns it into alpha 0.
        SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ABGR8888, 0);
        if (converted)
        {
            DecodeInto(converted, image);
            SDL_FreeSurface(converted);
            return;
        }
    }
    DecodeInto(surface, image);
}

CRgbaColour CSurface::GetPixel(SDL_Surface* surface, const CPoint& point)
{
    CRgbaColour colour;
    if (!surface)
        return colour;
    CSurfaceLock lock(surface);
    if (surface->pixels && point.GetX() >= 0 && point.GetY() >= 0 && point.GetX() < surface->w &&
        point.GetY() < surface->h)
    {
        const int bpp = surface->format->BytesPerPixel;
        const uint8_t* p = static_cast<const uint8_t*>(surface->pixels) + size_t(surface->pitch) * point.GetY() +
                           size_t(point.GetX()) * bpp;
        colour = CRgbaColour(Decode(ReadRaw(p, bpp), surface->format));
    }
    return colour;
}

void CSurface::CopyFromImage(const CBaseImage& image, SDL_Surface* surface)
{
    if (!surface)
        return;
    const int bpp = surface->format->BytesPerPixel;
    uint32_t previous = CBaseImage::kOpaqueBlack;
    uint32_t mapped = SDL_MapRGBA(surface->format, 0, 0, 0, 255);
    ForEachPixel(surface, image.GetWidth(), image.GetHeight(), [&](uint8_t* pixel, int x, int y) {
        const uint32_t c = image.GetPixel(uint32_t(x), uint32_t(y)).GetValue();
        if (c != previous)
        {
            previous = c;
            mapped = SDL_MapRGBA(surface->format, Uint8(c), Uint8(c >> 8), Uint8(c >> 16), Uint8(c >> 24));
        }
        WriteRaw(pixel, bpp, mapped);
    });
}

void CSurface::ScaleFromImage(const CBaseImage& image, bool skipWhite)
{
    if (!m_surface)
        return;
    const int bpp = m_surface->format->BytesPerPixel;
    uint32_t previous = CBaseImage::kOpaqueBlack;
    uint32_t mapped = SDL_MapRGB(m_surface->format, 0, 0, 0);
    ForEachPixel(m_surface, m_surface->w, m_surface->h, [&](uint8_t* pixel, int x, int y) {
        const int32_t sx = int32_t(int64_t(image.GetWidth()) * x / m_surface->w);
        const int32_t sy = int32_t(int64_t(image.GetHeight()) * y / m_surface->h);
        const uint32_t c = image.GetPixel(uint32_t(sx), uint32_t(sy)).GetValue();
        if (skipWhite && c == 0xFFFFFFFFu)
            return;
        if (c != previous)
        {
            previous = c;
            mapped = SDL_MapRGB(m_surface->format, Uint8(c), Uint8(c >> 8), Uint8(c >> 16));
        }
        WriteRaw(pixel, bpp, mapped);
    });
}

void CSurface::FillRgb(CRgbaColour colour)
{
    if (m_surface)
        SDL_FillRect(m_surface, nullptr, SDL_MapRGB(m_surface->format, colour.GetRed(), colour.GetGreen(), colour.GetBlue()));
}

void CSurface::ScaleBrightness(float factor)
{
    if (!m_surface)
        return;
    const int bpp = m_surface->format->BytesPerPixel;
    ForEachPixel(m_surface, m_surface->w, m_surface->h, [&](uint8_t* pixel, int, int) {
        const CRgbaColour c = CRgbaColour(Decode(ReadRaw(pixel, bpp), m_surface->format)).Scale(factor);
        WriteRaw(pixel, bpp, SDL_MapRGB(m_surface->format, c.GetRed(), c.GetGreen(), c.GetBlue()));
    });
}

int32_t CSurface::MulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return 0;
    return int32_t(int64_t(a) * b / c);
}

void CSurface::SetMaxSide(uint32_t side)
{
    g_maxSide = std::max(side, 1u);
}

uint32_t CSurface::GetMaxSide()
{
    return g_maxSide;
}
