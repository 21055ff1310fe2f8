#pragma once

#include "foundation/point.h"
#include "foundation/rect.h"
#include "foundation/rgba_colour.h"

#include <cstdint>

class CZevralImage;

// A view of 32-bit RGBA pixels (0xAABBGGRR, in memory R, G, B, A: SDL's ABGR8888) that every
// screen, widget, glyph and text is drawn into. It owns nothing: a subclass allocates the pixels
// (CZevralImage) or maps them (a locked CTexture, or a CTextureAdapter onto part of one).
//
// All primitives work through the virtual pixel and row accessors below, so they land in the right
// place of whatever the subclass maps. Row primitives ask for a row's visible columns with
// GetRowSpan, which is how a view hanging over the edge of its canvas stays inside it.
class CBaseImage
{
public:
    static constexpr uint32_t kOpaqueBlack = 0xFF000000u;

    CBaseImage() = default;
    virtual ~CBaseImage() = default;

    // Outside the image: opaque black.
    virtual CRgbaColour GetPixel(const CPoint& point) const;
    // Outside the image: transparent black (0). Scaling and extraction read through this form, so
    // samples beyond a source come out transparent.
    virtual CRgbaColour GetPixel(uint32_t x, uint32_t y) const;
    // Linear index y * width + x; at or past width * height: opaque black.
    virtual CRgbaColour GetPixel(uint32_t index) const;
    // Writes outside the image are ignored.
    virtual void SetPixel(uint32_t x, uint32_t y, CRgbaColour colour);
    virtual void SetPixel(uint32_t index, CRgbaColour colour);
    virtual void SetPixel(const CPoint& point, CRgbaColour colour);
    // Row y, all width pixels of it; null past the last row, without pixels, or when part of the
    // row lies outside the pixels the image maps.
    virtual const uint32_t* GetConstRow(uint32_t y) const;
    virtual uint32_t* GetRow(uint32_t y);
    // The columns first .. end - 1 of row y that may be touched, and a pointer to pixel (first, y);
    // null when no column of the row may be touched.
    virtual const uint32_t* GetConstRowSpan(uint32_t y, int32_t& first, int32_t& end) const;
    virtual uint32_t* GetRowSpan(uint32_t y, int32_t& first, int32_t& end);
    // The part of the image whose pixels may be touched; the whole image unless it is a view that
    // hangs over the edge of what it views.
    virtual CRect GetVisibleRect() const { return m_pixels ? CRect(0, 0, m_width, m_height) : CRect(); }

    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    uint32_t* GetPixels() const { return m_pixels; }
    // Pixels from the start of one row to the start of the next.
    uint32_t GetStride() const { return m_stride; }
    bool IsEmpty() const { return m_width == 0 || m_height == 0 || !m_pixels; }

    // With keepAlpha only red, green and blue are replaced.
    void Fill(CRgbaColour colour, bool keepAlpha = false);
    // Lays a translucent colour over the whole image; an opaque one is a plain Fill.
    void FillTranslucent(CRgbaColour colour);
    // Alpha compositing of the source with its top-left corner at the point. A source pixel less
    // opaque than the target tints the target's colour and keeps its alpha.
    void CompositeImage(const CPoint& point, const CBaseImage& source);
    void CompositeImage(const CBaseImage& source) { CompositeImage(CPoint(), source); }
    // The second rule: a source pixel less opaque than the target mixes all four channels.
    void BlendImage(const CPoint& point, const CBaseImage& source);
    // Replaces pixels, clipped; with keepAlpha each copied pixel takes the replaced pixel's alpha.
    void CopyImage(const CPoint& point, const CBaseImage& source, bool keepAlpha = false);
    void CopyImage(int32_t x, int32_t y, const CBaseImage& source, bool keepAlpha = false)
    {
        CopyImage(CPoint(x, y), source, keepAlpha);
    }
    void CopyImage(const CBaseImage& source) { CopyImage(CPoint(), source, false); }
    // The rectangle receives the part of the source (placed at the point) inside it; the rest of
    // the rectangle becomes opaque black.
    void CopyImageRegion(const CPoint& point, const CBaseImage& source, const CRect& rect);
    // Fills the whole target from this image, starting at the point (transparent outside).
    void ExtractImage(CBaseImage& target, const CPoint& point) const;
    CZevralImage Crop(const CRect& rect) const;

    // Both end points included.
    void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, CRgbaColour colour);
    void DrawLine(const CPoint& from, const CPoint& to, CRgbaColour colour)
    {
        DrawLine(from.GetX(), from.GetY(), to.GetX(), to.GetY(), colour);
    }
    void FillRect(CRgbaColour colour, const CRect& rect);
    // Black at alpha 127 laid over the rectangle of opaque pixels, as a dialog's shade darkens what
    // lies under it: each colour channel c becomes c - c * 127 / 255; alpha stays.
    void DimRect(const CRect& rect);
    // Mode 0: checkerboard; mode 1: a line on every fourth row.
    void FillHatched(const CRect& rect, CRgbaColour colour, int mode);
    void DrawRect(CRgbaColour colour, const CRect& rect);

    // Resamples the source to this image's size: nearest pixel, or bilinear with smooth.
    void ScaleImage(const CBaseImage& source, bool smooth);
    // Resamples the source bilinearly into the rectangle of this image.
    void ScaleImageIntoRect(const CBaseImage& source, const CRect& rect);
    static CRgbaColour SampleBilinear(const CBaseImage& source, float fx, float fy);

protected:
    CBaseImage(const CBaseImage&) = default;
    CBaseImage& operator=(const CBaseImage&) = default;

    // Width and height are kept within 0..65535; the stride defaults to the width.
    void SetView(uint32_t* pixels, uint32_t width, uint32_t height, uint32_t stride);
    void SetView(uint32_t* pixels, uint32_t width, uint32_t height) { SetView(pixels, width, height, width); }

private:
    uint32_t* m_pixels = nullptr;
    uint16_t m_width = 0;
    uint16_t m_height = 0;
    uint32_t m_stride = 0;
};
