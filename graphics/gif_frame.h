#pragma once

#include "foundation/rgba_colour.h"

#include <cstdint>
#include <cstdio>
#include <vector>

class CBaseImage;
class CGifImage;
class CZevralImage;

// What a graphic control extension says about the image that follows it.
struct CGifGraphicControl
{
    uint8_t packed = 0;
    uint16_t delay = 0;  // hundredths of a second
    uint8_t transparentIndex = 0;
};

// One image of a GIF file: colour indexes with an optional palette of its own, a delay,
// transparency and a disposal method. Without a palette of its own a frame uses its owner's.
class CGifFrame
{
public:
    static constexpr uint32_t kMaxSide = 150;
    // Image data beyond this many bytes is skipped: no frame of at most 150 x 150 needs it.
    static constexpr size_t kMaxImageData = size_t(1) << 20;

    // Sized like the owner, every pixel index 0.
    explicit CGifFrame(CGifImage* owner);
    CGifFrame(const CGifFrame&) = delete;
    // Takes the other frame's picture re-mapped to this frame's palette, with its delay, place,
    // bits, transparency and interlace; this frame's own palette and disposal stay.
    CGifFrame& operator=(const CGifFrame& other);

    // The image descriptor and data after the 0x2C byte, with the pending graphic control data
    // (or none). False for a damaged frame; what was decoded so far stays.
    bool Read(std::FILE* file, const CGifGraphicControl* control);
    // Appends the graphic control extension, the image descriptor and the image data.
    void Write(std::vector<uint8_t>& output);

    // The target takes the frame's size and colours; with honourTransparency, pixels of the
    // transparent colour become the background colour.
    void ToImage(CZevralImage& target, bool honourTransparency, CRgbaColour background) const;
    // Each pixel becomes the index of the nearest palette colour; unless keepSize, the frame first
    // takes the image's size.
    void FromImage(const CBaseImage& source, bool keepSize);

    // 0 becomes 1; 151 and above become 149. A changed size zeroes every pixel index.
    void SetWidth(uint32_t width);
    void SetHeight(uint32_t height);
    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    // 151 and above become 149.
    void SetLeft(uint32_t left);
    void SetTop(uint32_t top);
    uint32_t GetLeft() const { return m_left; }
    uint32_t GetTop() const { return m_top; }

    // Seconds.
    float GetDelay() const { return m_delay; }
    void SetDelay(float delay) { m_delay = delay; }
    bool IsTransparent() const { return m_transparent != 0; }
    void SetTransparent(bool transparent) { m_transparent = transparent ? 1 : 0; }
    bool IsInterlaced() const { return m_interlaced != 0; }
    void SetInterlaced(bool interlaced) { m_interlaced = interlaced ? 1 : 0; }
    // Limited to the last index of the effective palette.
    void SetTransparentIndex(uint32_t index);
    uint32_t GetTransparentIndex() const { return m_transparentIndex; }
    // 0 none, 1 keep, 2 restore to background, 3 restore to previous.
    uint32_t GetDisposal() const { return m_disposal; }
    void SetDisposal(uint32_t disposal) { m_disposal = disposal; }

    // Bits of the frame's own palette, whether or not it has one. Limited to 1..8; a change
    // replaces an existing palette by a black one of the new size.
    uint32_t GetBits() const { return m_bits; }
    void SetBits(uint32_t bits);
    // Bits of the palette the frame's colours come from.
    uint32_t GetEffectiveBits() const;
    bool HasLocalPalette() const { return !m_palette.empty(); }
    // A black palette of 2^bits entries (an existing one stays), or none.
    void SetLocalPalette(bool present);
    // Outside the palette: nothing.
    void SetPaletteEntry(uint32_t index, CRgbaColour colour);

    uint32_t GetPixelCount() const { return m_pixelCount; }
    // Outside the frame: 0, or nothing.
    uint8_t GetPixelIndex(uint32_t position) const;
    void SetPixelIndex(uint32_t position, uint8_t index);
    // The colour an index stands for; opaque black without a palette or past its end.
    CRgbaColour GetIndexColour(uint32_t index) const;
    // Opaque black outside the frame.
    CRgbaColour GetColour(uint32_t x, uint32_t y) const;
    CRgbaColour GetTransparentColour() const { return GetIndexColour(m_transparentIndex); }
    // Position in the owner's frame list; -1 when absent.
    int32_t GetIndex() const;
    CGifImage* GetOwner() const { return m_owner; }

private:
    void Resize(uint32_t width, uint32_t height);
    uint8_t NearestIndex(CRgbaColour colour) const;

    std::vector<uint8_t> m_pixels;
    std::vector<uint8_t> m_palette;  // red, green, blue per entry; empty: none
    CGifImage* m_owner = nullptr;
    float m_delay = 1.0f;
    uint32_t m_width = 1;
    uint32_t m_height = 1;
    uint32_t m_left = 0;
    uint32_t m_top = 0;
    uint32_t m_transparentIndex = 0;
    uint32_t m_bits = 4;
    uint32_t m_pixelCount = 1;
    uint8_t m_transparent = 0;
    uint8_t m_interlaced = 0;
    uint32_t m_disposal = 2;
};
