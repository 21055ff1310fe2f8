#pragma once

#include "graphics/texture.h"

// A view onto a rectangle of a locked texture or of any image: it shares the pixels, and every
// pixel operation is offset by the view's origin and strided by the width of the underlying
// pixels, so an area paints in its own coordinates straight into the canvas.
//
// A view may hang over the edge of the underlying pixels, or lie wholly outside them: its local
// coordinates stay as they are, but only the pixels that lie on the underlying ones are read or
// written. Outside them the view behaves as outside its own size.
//
// A view owns nothing and must not outlive the lock of the texture (or the image) it views.
class CTextureAdapter : public CTexture
{
public:
    // The whole image; given a view, the same pixels that view covers.
    explicit CTextureAdapter(const CBaseImage& image);
    // The rectangle, given in the underlying pixels' coordinates (not the parent's), of the
    // pixels that the parent views.
    CTextureAdapter(const CRect& rect, const CTextureAdapter& parent);

    // Not copied: a copy could mean another view or the pixels, so a second view is made with one of
    // the constructors above and pixels are copied with the assignment from an image below.
    CTextureAdapter(const CTextureAdapter&) = delete;
    CTextureAdapter& operator=(const CTextureAdapter&) = delete;
    // Copies an image into the view row by row, as much of each row as both have.
    CTextureAdapter& operator=(const CBaseImage& image);

    CRgbaColour GetPixel(const CPoint& point) const override;
    CRgbaColour GetPixel(uint32_t x, uint32_t y) const override;
    CRgbaColour GetPixel(uint32_t index) const override;
    void SetPixel(uint32_t x, uint32_t y, CRgbaColour colour) override;
    void SetPixel(uint32_t index, CRgbaColour colour) override;
    void SetPixel(const CPoint& point, CRgbaColour colour) override;
    const uint32_t* GetConstRow(uint32_t y) const override;
    uint32_t* GetRow(uint32_t y) override;
    const uint32_t* GetConstRowSpan(uint32_t y, int32_t& first, int32_t& end) const override;
    uint32_t* GetRowSpan(uint32_t y, int32_t& first, int32_t& end) override;
    bool Lock() override { return GetPixels() != nullptr; }
    void Unlock() override {}

    // Copies the rectangle of the view (view coordinates) into the target's top-left corner.
    void CopyRegionTo(CBaseImage& target, const CRect& rect) const;
    // Position: the view's origin in the underlying pixels; width: their row stride; height: their
    // number of rows.
    const CRect& GetWindow() const { return m_window; }
    // The part of the view (view coordinates) that lies on the underlying pixels; empty when none.
    CRect GetVisibleRect() const override;

private:
    void Init(uint32_t* pixels, const CRect& window, int64_t width, int64_t height);
    // Address of view pixel (x, y), which must be visible.
    uint32_t* At(int64_t x, int64_t y) const;
    bool IsVisible(int64_t x, int64_t y) const;

    CRect m_window;
    // The visible columns and rows of the view, half-open, in view coordinates.
    int32_t m_firstColumn = 0;
    int32_t m_endColumn = 0;
    int32_t m_firstRow = 0;
    int32_t m_endRow = 0;
};
