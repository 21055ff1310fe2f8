#include "graphics/zevral_image.h"

#include "graphics/picture_file.h"
#include "graphics/pixel_math.h"
#include "graphics/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace
{
CZevralImage::GifReader g_gifReader = nullptr;

uint32_t ClampSide(uint32_t side)
{
    return side < CZevralImage::kMaxSide + 1 ? side : CZevralImage::kMaxSide;
}

uint32_t ClampSide(int32_t side)
{
    return side < 0 ? 0 : ClampSide(uint32_t(side));
}

std::string ExtensionOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return name;
    return name.substr(dot + 1);
}
}  // namespace

CZevralImage::CZevralImage(uint32_t width, uint32_t height)
{
    width = ClampSide(width);
    height = ClampSide(height);
    Adopt(std::vector<uint32_t>(size_t(width) * height, kOpaqueBlack), width, height);
}

CZevralImage::CZevralImage(const CRect& rect)
    : CZevralImage(ClampSide(rect.GetWidth()), ClampSide(rect.GetHeight()))
{
}

CZevralImage::CZevralImage(const CBaseImage& source, CRgbaColour colourA, CRgbaColour colourB)
    : CZevralImage(uint32_t(source.GetWidth()), uint32_t(source.GetHeight()))
{
    uint32_t* p = GetPixels();
    for (int32_t y = 0; y < GetHeight(); ++y)
        for (int32_t x = 0; x < GetWidth(); ++x)
            *p++ = source.GetPixel(uint32_t(x), uint32_t(y)).GetValue() == kOpaqueBlack ? colourB.GetValue()
                                                                                       : colourA.GetValue();
}

CZevralImage::CZevralImage(const CZevralImage& other) : CBaseImage()
{
    Adopt(std::vector<uint32_t>(other.m_buffer), uint32_t(other.GetWidth()), uint32_t(other.GetHeight()));
}

CZevralImage::CZevralImage(CZevralImage&& other) noexcept : CBaseImage()
{
    *this = std::move(other);
}

CZevralImage& CZevralImage::operator=(const CZevralImage& other)
{
    if (this == &other)
        return *this;
    Resize(uint32_t(other.GetWidth()), uint32_t(other.GetHeight()), true);
    if (!m_buffer.empty() && !other.m_buffer.empty())
        std::copy(other.m_buffer.begin(), other.m_buffer.end(), m_buffer.begin());
    return *this;
}

CZevralImage& CZevralImage::operator=(CZevralImage&& other) noexcept
{
    if (this == &other)
        return *this;
    const uint32_t width = uint32_t(other.GetWidth());
    const uint32_t height = uint32_t(other.GetHeight());
    Adopt(std::move(other.m_buffer), width, height);
    other.Adopt({}, 0, 0);
    return *this;
}

bool CZevralImage::operator!=(const CZevralImage& other) const
{
    if (GetWidth() != other.GetWidth() || GetHeight() != other.GetHeight())
        return true;
    if (m_buffer.empty() || other.m_buffer.empty())
        return m_buffer.empty() != other.m_buffer.empty();
    return m_buffer != other.m_buffer;
}

void CZevralImage::Adopt(std::vector<uint32_t>&& buffer, uint32_t width, uint32_t height)
{
    m_buffer = std::move(buffer);
    if (m_buffer.empty())
        SetView(nullptr, width, height);
    else
        SetView(m_buffer.data(), width, height);
}

void CZevralImage::Resize(uint32_t width, uint32_t height, bool clear)
{
    width = ClampSide(width);
    height = ClampSide(height);
    if (int32_t(width) == GetWidth() && int32_t(height) == GetHeight())
        return;
    std::vector<uint32_t> buffer(size_t(width) * height, 0u);
    if (!clear && !m_buffer.empty())
    {
        const size_t kept = std::min(buffer.size(), m_buffer.size());
        std::copy(m_buffer.begin(), m_buffer.begin() + kept, buffer.begin());
        std::fill(buffer.begin() + kept, buffer.end(), kOpaqueBlack);
    }
    Adopt(std::move(buffer), width, height);
}

void CZevralImage::SetSize(const CRect& rect, bool clear)
{
    Resize(ClampSide(rect.GetWidth()), ClampSide(rect.GetHeight()), clear);
}

void CZevralImage::Fill(CRgbaColour colour, bool keepAlpha)
{
    const uint32_t value = colour.GetValue();
    if (!keepAlpha)
    {
        std::fill(m_buffer.begin(), m_buffer.end(), value);
        return;
    }
    for (uint32_t& p : m_buffer)
        p = (p & 0xFF000000u) | (value & 0x00FFFFFFu);
}

void CZevralImage::SetAlpha(float factor)
{
    const uint32_t alpha = uint32_t(int64_t(factor * 255.0f)) & 0xFF;
    for (uint32_t& p : m_buffer)
        p = (p & 0x00FFFFFFu) | (alpha << 24);
}

void CZevralImage::FillStripes()
{
    for (int32_t y = 0; y < GetHeight(); ++y)
    {
        uint32_t* row = GetRow(uint32_t(y));
        std::fill(row, row + GetWidth(), (y % 2) ? 0u : kOpaqueBlack);
    }
}

void CZevralImage::ScaleBrightness(float factor)
{
    if (factor >= 1.0f)
        return;
    if (factor <= 0.0f)
    {
        std::fill(m_buffer.begin(), m_buffer.end(), kOpaqueBlack);
        return;
    }
    for (uint32_t& p : m_buffer)
        p = CRgbaColour(p).Scale(factor).GetValue();
}

void CZevralImage::FlattenAlpha()
{
    for (uint32_t& p : m_buffer)
        p = pixel::Premultiply(p);
}

void CZevralImage::MergeImage(const CPoint& point, const CBaseImage& source)
{
    for (int32_t y = 0; y < source.GetHeight(); ++y)
    {
        const int64_t ty = int64_t(point.GetY()) + y;
        if (ty < 0 || ty >= GetHeight())
            continue;
        int32_t first, end;
        const uint32_t* srow = source.GetConstRowSpan(uint32_t(y), first, end);
        if (!srow)
            continue;
        uint32_t* trow = GetRow(uint32_t(ty));
        for (int32_t x = first; x < end; ++x)
        {
            const int64_t tx = int64_t(point.GetX()) + x;
            if (tx < 0 || tx >= GetWidth())
                continue;
            const uint32_t s = srow[x - first];
            if (pixel::Alpha(s) >= pixel::Alpha(trow[tx]))
                trow[tx] = s;
        }
    }
}

void CZevralImage::FlipVertical()
{
    const int32_t width = GetWidth();
    for (int32_t top = 0, bottom = GetHeight() - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(GetRow(uint32_t(top)), GetRow(uint32_t(top)) + width, GetRow(uint32_t(bottom)));
}

void CZevralImage::RotateQuarter(uint32_t degrees)
{
    const uint32_t a = degrees % 360;
    if (a == 0)
        return;
    const uint32_t w = uint32_t(GetWidth());
    const uint32_t h = uint32_t(GetHeight());
    if (a == 90 || a == 270)
    {
        CZevralImage turned(h, w);
        for (uint32_t ty = 0; ty < w; ++ty)
            for (uint32_t tx = 0; tx < h; ++tx)
            {
                // Clockwise: the new row ty is the old column ty read from the bottom up;
                // counter-clockwise: the old column w - 1 - ty read from the top down.
                const CRgbaColour c = a == 90 ? GetPixel(ty, h - 1 - tx) : GetPixel(w - 1 - ty, tx);
                turned.SetPixel(tx, ty, c);
            }
        *this = std::move(turned);
    }
    else if (a == 180)
    {
        CZevralImage turned(w, h);
        for (uint32_t ty = 0; ty < h; ++ty)
            for (uint32_t tx = 0; tx < w; ++tx)
                turned.SetPixel(tx, ty, GetPixel(w - 1 - tx, h - 1 - ty));
        *this = std::move(turned);
    }
    else
        // Rotate takes a fraction of a whole turn (counter-clockwise on screen), not an angle;
        // a quarter turn by any angle goes clockwise, as the quarters above do.
        Rotate(double(a) / 360.0);
}

void CZevralImage::Rotate(double fraction)
{
    if (fraction < 0.0)
        fraction += 1.0;
    if (fraction > 1.0)
        fraction -= 1.0;
    const double theta = 2.0 * 3.14159265358979323846 * (1.0 - fraction);
    const float c = float(std::cos(theta));
    const float s = float(std::sin(theta));
    const int32_t w = GetWidth();
    const int32_t h = GetHeight();
    const uint32_t side = uint32_t(std::max(w, h));
    CZevralImage turned(side, side);
    const float cx = float(w / 2);
    const float cy = float(h / 2);
    for (int32_t tx = 0; tx < w; ++tx)
    {
        for (int32_t ty = 0; ty < h; ++ty)
        {
            const float dx = float(tx) - cx;
            const float dy = float(ty) - cy;
            const int32_t sx = int32_t(float(int32_t(c * dx - s * dy)) + cx);
            const int32_t sy = int32_t(float(int32_t(dy * c + dx * s)) + cy);
            turned.SetPixel(uint32_t(tx), uint32_t(ty), GetPixel(uint32_t(sx), uint32_t(sy)));
        }
    }
    *this = std::move(turned);
}

void CZevralImage::Load(const std::string& path)
{
    const bool gif = strcasecmp(ExtensionOf(path).c_str(), "gif") == 0;
    if (gif && !g_gifReader)
        return;
    std::string bytes;
    std::string why;
    const picture_file::Status read = picture_file::Read(path, bytes, why);
    if (read == picture_file::Status::kAbsent)
        return;
    SDL_Surface* surface = nullptr;
    if (read == picture_file::Status::kRead)
    {
        if (gif)
        {
            g_gifReader(bytes, *this);
            return;
        }
        surface = picture_file::DecodePng(bytes, why);
    }
    if (!surface)
    {
        picture_file::SayNotDecoded(path, why);
        return;
    }
    CSurface::CopyToImage(surface, *this);
    SDL_FreeSurface(surface);
}

void CZevralImage::SetGifReader(GifReader reader)
{
    g_gifReader = reader;
}
