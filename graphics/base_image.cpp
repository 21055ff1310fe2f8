#include "graphics/base_image.h"

#include "graphics/pixel_math.h"
#include "graphics/zevral_image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace
{
// The columns and rows that a source placed at an offset can reach in a target of the given
// size, as a half-open range of source indexes, computed wide so that no offset can overflow.
void Overlap(int64_t offset, int64_t sourceSize, int64_t targetSize, int64_t& first, int64_t& end)
{
    first = std::max<int64_t>(0, -offset);
    end = std::min<int64_t>(sourceSize, targetSize - offset);
}

// Calls rowOp(target, source, count) for every run of source pixels in a row that lands on visible
// pixels of the target, row by row through the row accessors.
template <typename RowOp>
void ForEachOverlapRow(CBaseImage& target, const CPoint& point, const CBaseImage& source, RowOp rowOp)
{
    int64_t rowFirst, rowEnd;
    Overlap(point.GetY(), source.GetHeight(), target.GetHeight(), rowFirst, rowEnd);
    for (int64_t y = rowFirst; y < rowEnd; ++y)
    {
        int32_t tFirst, tEnd, sFirst, sEnd;
        uint32_t* trow = target.GetRowSpan(uint32_t(point.GetY() + y), tFirst, tEnd);
        if (!trow)
            continue;
        const uint32_t* srow = source.GetConstRowSpan(uint32_t(y), sFirst, sEnd);
        if (!srow)
            continue;
        // Source columns sx whose target column point.x + sx lies in tFirst .. tEnd - 1.
        const int64_t from = std::max<int64_t>(sFirst, int64_t(tFirst) - point.GetX());
        const int64_t to = std::min<int64_t>(sEnd, int64_t(tEnd) - point.GetX());
        if (from < to)
            rowOp(trow + (point.GetX() + from - tFirst), srow + (from - sFirst), size_t(to - from));
    }
}

// Calls op(targetPixel, sourcePixel) for every source pixel that lands on a visible pixel of the
// target.
template <typename Op>
void ForEachOverlap(CBaseImage& target, const CPoint& point, const CBaseImage& source, Op op)
{
    ForEachOverlapRow(target, point, source, [&op](uint32_t* d, const uint32_t* s, size_t count) {
        for (size_t i = 0; i < count; ++i)
            op(d[i], s[i]);
    });
}

// Calls op(pixel) for every visible pixel of the image inside the rectangle, one clipped run per
// row instead of a test per pixel.
template <typename Op>
void ForEachInRect(CBaseImage& image, const CRect& rect, Op op)
{
    int64_t rowFirst, rowEnd, colFirst, colEnd;
    Overlap(rect.GetY(), rect.GetHeight(), image.GetHeight(), rowFirst, rowEnd);
    Overlap(rect.GetX(), rect.GetWidth(), image.GetWidth(), colFirst, colEnd);
    for (int64_t y = rowFirst; y < rowEnd; ++y)
    {
        int32_t first, end;
        uint32_t* row = image.GetRowSpan(uint32_t(rect.GetY() + y), first, end);
        if (!row)
            continue;
        const int64_t from = std::max<int64_t>(rect.GetX() + colFirst, first);
        const int64_t to = std::min<int64_t>(rect.GetX() + colEnd, end);
        for (int64_t x = from; x < to; ++x)
            op(row[x - first]);
    }
}

// The fraction of the way along a source of n samples for target sample i of m; a one-sample
// target takes the first source sample rather than dividing zero by zero.
float Fraction(int32_t sourceSize, int32_t i, int32_t targetSize)
{
    if (targetSize <= 1)
        return 0.0f;
    return float(sourceSize - 1) * float(i) / float(targetSize - 1);
}

// A line walked one pixel at a time along its longer axis, a, from just after a0 to a1 and the
// other coordinate, b, rounded onto the line: plot(a, b). Positions off the image are ignored
// anyway; walking only those below the limit keeps a line with far-away end points from taking
// billions of steps.
template <class Plot>
void WalkLine(int32_t a0, int32_t b0, int32_t a1, int64_t da, int64_t db, int64_t limit, Plot plot)
{
    const float m = float(db) / float(da);
    const float c = float(b0) - float(a0) * m;
    const int64_t step = da > 0 ? 1 : -1;
    int64_t from = int64_t(a0) + step;
    int64_t to = a1;
    if (step > 0)
    {
        from = std::max<int64_t>(from, 0);
        to = std::min<int64_t>(to, limit - 1);
    }
    else
    {
        from = std::min<int64_t>(from, limit - 1);
        to = std::max<int64_t>(to, 0);
    }
    for (int64_t a = from; step > 0 ? a <= to : a >= to; a += step)
    {
        const float v = float(a) * m + c;
        const int64_t b = int64_t(std::floor(double(v) + 0.5));
        if (b >= 0 && b <= 0xFFFFFFFFll)
            plot(a, b);
    }
}
}  // namespace

void CBaseImage::SetView(uint32_t* pixels, uint32_t width, uint32_t height, uint32_t stride)
{
    m_pixels = pixels;
    m_width = uint16_t(std::min<uint32_t>(width, 0xFFFF));
    m_height = uint16_t(std::min<uint32_t>(height, 0xFFFF));
    m_stride = stride;
}

CRgbaColour CBaseImage::GetPixel(const CPoint& point) const
{
    if (point.GetX() < 0 || point.GetY() < 0)
        return CRgbaColour(kOpaqueBlack);
    if (point.GetX() >= m_width || point.GetY() >= m_height || !m_pixels)
        return CRgbaColour(kOpaqueBlack);
    return CRgbaColour(m_pixels[size_t(point.GetY()) * m_stride + size_t(point.GetX())]);
}

CRgbaColour CBaseImage::GetPixel(uint32_t x, uint32_t y) const
{
    if (x >= m_width || y >= m_height || !m_pixels)
        return CRgbaColour(0u);
    return CRgbaColour(m_pixels[size_t(y) * m_stride + x]);
}

CRgbaColour CBaseImage::GetPixel(uint32_t index) const
{
    if (index >= uint32_t(m_width) * m_height || !m_pixels)
        return CRgbaColour(kOpaqueBlack);
    return CRgbaColour(m_pixels[size_t(index / m_width) * m_stride + index % m_width]);
}

void CBaseImage::SetPixel(uint32_t x, uint32_t y, CRgbaColour colour)
{
    if (x >= m_width || y >= m_height || !m_pixels)
        return;
    m_pixels[size_t(y) * m_stride + x] = colour.GetValue();
}

void CBaseImage::SetPixel(uint32_t index, CRgbaColour colour)
{
    if (index >= uint32_t(m_width) * m_height || !m_pixels)
        return;
    m_pixels[size_t(index / m_width) * m_stride + index % m_width] = colour.GetValue();
}

void CBaseImage::SetPixel(const CPoint& point, CRgbaColour colour)
{
    if (point.GetX() < 0 || point.GetY() < 0)
        return;
    SetPixel(uint32_t(point.GetX()), uint32_t(point.GetY()), colour);
}

const uint32_t* CBaseImage::GetConstRow(uint32_t y) const
{
    if (y >= m_height || !m_pixels)
        return nullptr;
    return m_pixels + size_t(y) * m_stride;
}

uint32_t* CBaseImage::GetRow(uint32_t y)
{
    if (y >= m_height || !m_pixels)
        return nullptr;
    return m_pixels + size_t(y) * m_stride;
}

const uint32_t* CBaseImage::GetConstRowSpan(uint32_t y, int32_t& first, int32_t& end) const
{
    first = 0;
    end = m_width;
    return m_width ? GetConstRow(y) : nullptr;
}

uint32_t* CBaseImage::GetRowSpan(uint32_t y, int32_t& first, int32_t& end)
{
    first = 0;
    end = m_width;
    return m_width ? GetRow(y) : nullptr;
}

void CBaseImage::Fill(CRgbaColour colour, bool keepAlpha)
{
    const uint32_t value = colour.GetValue();
    for (int32_t y = 0; y < GetHeight(); ++y)
    {
        int32_t first, end;
        uint32_t* row = GetRowSpan(uint32_t(y), first, end);
        if (!row)
            continue;
        if (keepAlpha)
        {
            for (int32_t x = 0; x < end - first; ++x)
                row[x] = (row[x] & 0xFF000000u) | (value & 0x00FFFFFFu);
        }
        else
            std::fill(row, row + (end - first), value);
    }
}

void CBaseImage::FillTranslucent(CRgbaColour colour)
{
    if (colour.GetAlpha() == 255)
    {
        Fill(colour, false);
        return;
    }
    const uint32_t premultiplied = pixel::Premultiply(colour.GetValue());
    const float t = float(colour.GetAlpha()) / 255.0f;
    // With the colour and the share fixed, each channel of the result depends on that channel
    // alone: blended once for each of its 256 values, then looked up.
    uint32_t channels[4][256];
    for (int c = 0; c < 4; ++c)
        for (uint32_t v = 0; v < 256; ++v)
            channels[c][v] = pixel::MixChannel(v << (8 * c), premultiplied, 8 * c, t);
    for (int32_t y = 0; y < GetHeight(); ++y)
    {
        int32_t first, end;
        uint32_t* row = GetRowSpan(uint32_t(y), first, end);
        if (!row)
            continue;
        for (int32_t x = 0; x < end - first; ++x)
        {
            const uint32_t p = row[x];
            row[x] = channels[0][p & 0xFF] | channels[1][(p >> 8) & 0xFF] | channels[2][(p >> 16) & 0xFF] |
                     channels[3][p >> 24];
        }
    }
}

void CBaseImage::CompositeImage(const CPoint& point, const CBaseImage& source)
{
    ForEachOverlap(*this, point, source, [](uint32_t& d, uint32_t s) { d = pixel::Composite(d, s); });
}

void CBaseImage::BlendImage(const CPoint& point, const CBaseImage& source)
{
    ForEachOverlap(*this, point, source, [](uint32_t& d, uint32_t s) { d = pixel::BlendOver(d, s); });
}

void CBaseImage::CopyImage(const CPoint& point, const CBaseImage& source, bool keepAlpha)
{
    if (keepAlpha)
        ForEachOverlap(*this, point, source,
                       [](uint32_t& d, uint32_t s) { d = (s & 0x00FFFFFFu) | (d & 0xFF000000u); });
    else
        ForEachOverlapRow(*this, point, source, [](uint32_t* d, const uint32_t* s, size_t count) {
            // Pixel by pixel, front to back, where an image is copied onto itself overlapping.
            const uintptr_t to = reinterpret_cast<uintptr_t>(d);
            const uintptr_t from = reinterpret_cast<uintptr_t>(s);
            const uintptr_t bytes = count * sizeof(uint32_t);
            if (to + bytes <= from || from + bytes <= to)
                std::copy_n(s, count, d);
            else
                for (size_t i = 0; i < count; ++i)
                    d[i] = s[i];
        });
}

void CBaseImage::CopyImageRegion(const CPoint& point, const CBaseImage& source, const CRect& rect)
{
    CZevralImage region(uint32_t(std::max(rect.GetWidth(), 0)), uint32_t(std::max(rect.GetHeight(), 0)));
    region.CopyImage(point - rect.GetPosition(), source, false);
    CopyImage(rect.GetPosition(), region, false);
}

void CBaseImage::ExtractImage(CBaseImage& target, const CPoint& point) const
{
    const CRect visible = target.GetVisibleRect();
    for (int32_t y = visible.GetY(); y < visible.GetBottom(); ++y)
        for (int32_t x = visible.GetX(); x < visible.GetRight(); ++x)
            target.SetPixel(uint32_t(x), uint32_t(y),
                            GetPixel(uint32_t(point.GetX() + x), uint32_t(point.GetY() + y)));
}

CZevralImage CBaseImage::Crop(const CRect& rect) const
{
    CZevralImage result(uint32_t(std::max(rect.GetWidth(), 0)), uint32_t(std::max(rect.GetHeight(), 0)));
    ExtractImage(result, rect.GetPosition());
    return result;
}

void CBaseImage::DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, CRgbaColour colour)
{
    SetPixel(uint32_t(x0), uint32_t(y0), colour);
    const int64_t dx = int64_t(x1) - x0;
    const int64_t dy = int64_t(y1) - y0;
    if (std::llabs(dx) > std::llabs(dy))
        WalkLine(x0, y0, x1, dx, dy, GetWidth(),
                 [&](int64_t x, int64_t y) { SetPixel(uint32_t(x), uint32_t(y), colour); });
    else if (dy != 0)
        WalkLine(y0, x0, y1, dy, dx, GetHeight(),
                 [&](int64_t y, int64_t x) { SetPixel(uint32_t(x), uint32_t(y), colour); });
}

void CBaseImage::FillRect(CRgbaColour colour, const CRect& rect)
{
    const uint32_t value = colour.GetValue();
    ForEachInRect(*this, rect, [value](uint32_t& p) { p = value; });
}

void CBaseImage::DimRect(const CRect& rect)
{
    ForEachInRect(*this, rect, [](uint32_t& p) {
        uint32_t dimmed = p & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8)
        {
            const uint32_t c = (p >> shift) & 0xFF;
            dimmed |= (c - c * 127 / 255) << shift;
        }
        p = dimmed;
    });
}

void CBaseImage::FillHatched(const CRect& rect, CRgbaColour colour, int mode)
{
    const int64_t top = rect.GetY();
    const int64_t bottom = top + rect.GetHeight();
    const int64_t left = rect.GetX();
    const int64_t right = left + rect.GetWidth();
    if (mode == 0)
    {
        const CRect visible = GetVisibleRect();
        for (int64_t y = std::max<int64_t>(top, visible.GetY()); y < std::min<int64_t>(bottom, visible.GetBottom()); ++y)
        {
            int64_t x = left + (y % 2);
            if (x < visible.GetX())
                x += (visible.GetX() - x + 1) / 2 * 2;  // the first visible column with the row's parity
            for (; x < right && x < visible.GetRight(); x += 2)
                SetPixel(CPoint(int32_t(x), int32_t(y)), colour);
        }
    }
    else if (mode == 1 && right > left)
    {
        int64_t y = top;
        if (y < 0)
            y += (-y + 3) / 4 * 4;  // the first row on the image in the four-row rhythm
        for (; y < bottom && y < GetHeight(); y += 4)
            DrawLine(int32_t(left), int32_t(y), int32_t(right - 1), int32_t(y), colour);
    }
}

void CBaseImage::DrawRect(CRgbaColour colour, const CRect& rect)
{
    const CPoint topLeft = rect.GetPosition();
    const CPoint topRight = rect.GetTopRight();
    const CPoint bottomRight = rect.GetBottomRight();
    const CPoint bottomLeft = rect.GetBottomLeft();
    DrawLine(topLeft, topRight, colour);
    DrawLine(topRight, bottomRight, colour);
    DrawLine(bottomRight, bottomLeft, colour);
    DrawLine(bottomLeft, topLeft, colour);
}

CRgbaColour CBaseImage::SampleBilinear(const CBaseImage& source, float fx, float fy)
{
    const int32_t x0 = int32_t(std::floor(fx));
    const int32_t x1 = int32_t(std::ceil(fx));
    const int32_t y0 = int32_t(std::floor(fy));
    const int32_t y1 = int32_t(std::ceil(fy));
    const uint32_t c00 = source.GetPixel(uint32_t(x0), uint32_t(y0)).GetValue();
    const uint32_t c10 = source.GetPixel(uint32_t(x1), uint32_t(y0)).GetValue();
    const uint32_t c01 = source.GetPixel(uint32_t(x0), uint32_t(y1)).GetValue();
    const uint32_t c11 = source.GetPixel(uint32_t(x1), uint32_t(y1)).GetValue();
    const float tx = fx - float(x0);
    const uint32_t top = pixel::Blend(c00, c10, tx);
    const uint32_t bottom = pixel::Blend(c01, c11, tx);
    return CRgbaColour(pixel::Blend(top, bottom, fy - float(y0)));
}

void CBaseImage::ScaleImage(const CBaseImage& source, bool smooth)
{
    const int32_t sw = source.GetWidth();
    const int32_t sh = source.GetHeight();
    const int32_t tw = GetWidth();
    const int32_t th = GetHeight();
    if (sw == tw && sh == th)
    {
        CopyImage(CPoint(), source, false);
        return;
    }
    // Only the visible pixels are sampled; SetPixel would ignore the others.
    const CRect visible = GetVisibleRect();
    for (int32_t ty = visible.GetY(); ty < visible.GetBottom(); ++ty)
    {
        for (int32_t tx = visible.GetX(); tx < visible.GetRight(); ++tx)
        {
            CRgbaColour colour;
            if (!smooth)
                colour = source.GetPixel(uint32_t(int64_t(sw) * tx / tw), uint32_t(int64_t(sh) * ty / th));
            else
            {
                const float fy = sh == th ? float(ty) : Fraction(sh, ty, th);
                colour = SampleBilinear(source, Fraction(sw, tx, tw), fy);
            }
            SetPixel(uint32_t(tx), uint32_t(ty), colour);
        }
    }
}

void CBaseImage::ScaleImageIntoRect(const CBaseImage& source, const CRect& rect)
{
    const int32_t sw = source.GetWidth();
    const int32_t sh = source.GetHeight();
    const int32_t rw = rect.GetWidth();
    const int32_t rh = rect.GetHeight();
    if (rw <= 0 || rh <= 0)
        return;
    // The visible part of the rectangle; every other pixel would be ignored by SetPixel.
    const CRect visible = GetVisibleRect();
    int64_t colFirst, colEnd, rowFirst, rowEnd;
    Overlap(int64_t(rect.GetX()) - visible.GetX(), rw, visible.GetWidth(), colFirst, colEnd);
    Overlap(int64_t(rect.GetY()) - visible.GetY(), rh, visible.GetHeight(), rowFirst, rowEnd);
    auto sample = [&](int64_t i, int64_t j) {
        const float fx = rw == sw ? float(i) : Fraction(sw, int32_t(i), rw);
        const float fy = rh == sh ? float(j) : Fraction(sh, int32_t(j), rh);
        SetPixel(uint32_t(rect.GetX() + i), uint32_t(rect.GetY() + j), SampleBilinear(source, fx, fy));
    };
    if (rh != sh && rw == sw)
    {
        for (int64_t i = colFirst; i < colEnd; ++i)
            for (int64_t j = rowFirst; j < rowEnd; ++j)
                sample(i, j);
    }
    else
    {
        for (int64_t j = rowFirst; j < rowEnd; ++j)
            for (int64_t i = colFirst; i < colEnd; ++i)
                sample(i, j);
    }
}
