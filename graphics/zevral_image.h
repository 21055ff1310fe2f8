#pragma once

#include "graphics/base_image.h"

#include <string>
#include <vector>

// An image that owns its pixels on the heap: every widget's own surface, every skin and glyph
// picture, every rendered text. Each side is at most kMaxSide pixels. A new image is opaque black.
class CZevralImage : public CBaseImage
{
public:
    static constexpr uint32_t kMaxSide = 5120;

    CZevralImage() = default;
    CZevralImage(uint32_t width, uint32_t height);
    explicit CZevralImage(const CRect& rect);
    // A mask of the source's size: colourB where the source is opaque black, colourA elsewhere.
    CZevralImage(const CBaseImage& source, CRgbaColour colourA, CRgbaColour colourB);
    CZevralImage(const CZevralImage& other);
    CZevralImage(CZevralImage&& other) noexcept;
    ~CZevralImage() override = default;
    CZevralImage& operator=(const CZevralImage& other);
    CZevralImage& operator=(CZevralImage&& other) noexcept;

    bool operator==(const CZevralImage& other) const { return !(*this != other); }
    bool operator!=(const CZevralImage& other) const;

    // Each side clamped to kMaxSide; the same size changes nothing, even with clear. Otherwise
    // clear gives transparent black everywhere; without it the old pixels are kept in buffer
    // order (pixel i to pixel i) and the rest becomes opaque black.
    virtual void Resize(uint32_t width, uint32_t height, bool clear = true);
    // An arbitrary rotation by a fraction of a turn; the result is a square of the larger side.
    virtual void Rotate(double fraction);

    uint32_t GetPixelCount() const { return uint32_t(GetWidth()) * uint32_t(GetHeight()); }
    void SetWidth(uint32_t width) { Resize(width, uint32_t(GetHeight()), true); }
    void SetHeight(uint32_t height) { Resize(uint32_t(GetWidth()), height, true); }
    void SetSize(const CRect& rect, bool clear);
    CPoint GetCentre() const { return CPoint(GetWidth() / 2, GetHeight() / 2); }

    void Fill(CRgbaColour colour, bool keepAlpha = false);
    // Every alpha becomes trunc(factor * 255); colours kept.
    void SetAlpha(float factor);
    // Row 0 opaque black, row 1 transparent, alternating down the image.
    void FillStripes();
    // Red, green and blue times the factor; 0 or less gives opaque black, 1 or more nothing.
    void ScaleBrightness(float factor);
    // Every pixel premultiplied by its alpha and made opaque.
    void FlattenAlpha();
    // A source pixel replaces the target pixel when it is at least as opaque.
    void MergeImage(const CPoint& point, const CBaseImage& source);
    void FlipVertical();
    // Clockwise on screen by 90, 180 or 270 degrees (taken modulo 360); other angles rotate freely.
    void RotateQuarter(uint32_t degrees);

    // PNG through SDL_image, GIF through the registered GIF reader, each within the bounds of
    // picture_file.h. A missing path or a folder leaves the image unchanged; so does a file that
    // cannot be read, is refused by those bounds or SDL_image cannot decode, and it prints why.
    void Load(const std::string& path);

    // The GIF codec registers its first-frame reader here, which is given the file's bytes; without
    // one GIF files are not read.
    using GifReader = bool (*)(const std::string& bytes, CZevralImage& image);
    static void SetGifReader(GifReader reader);

private:
    void Adopt(std::vector<uint32_t>&& buffer, uint32_t width, uint32_t height);

    std::vector<uint32_t> m_buffer;
};
