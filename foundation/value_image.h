#pragma once

#include <cstdint>
#include <vector>

// The pixels a typed value of type "Image" carries: 32-bit RGBA (in memory R, G, B, A, as the
// drawing images keep them), each side at most 5120. It is a plain copyable buffer so that the
// value types need no drawing code; a drawing image is made from it, or it from one, through
// GetPixels and the copying constructor. An empty image has no buffer at all, which keeps the
// values that do not hold an image small.
class CValueImage
{
public:
    static constexpr uint32_t kMaxSide = 5120;
    static constexpr uint32_t kOpaqueBlack = 0xFF000000u;

    CValueImage() = default;
    // Filled with opaque black; each side clamped to kMaxSide.
    CValueImage(uint32_t width, uint32_t height);
    // Copies width x height pixels from rows stride pixels apart (sides clamped as above).
    CValueImage(uint32_t width, uint32_t height, const uint32_t* pixels, uint32_t stride);

    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    bool IsEmpty() const { return m_pixels.empty(); }
    // width x height pixels, row after row; null when empty.
    const uint32_t* GetPixels() const { return m_pixels.empty() ? nullptr : m_pixels.data(); }
    uint32_t* GetPixels() { return m_pixels.empty() ? nullptr : m_pixels.data(); }

    bool operator==(const CValueImage& other) const;
    bool operator!=(const CValueImage& other) const { return !(*this == other); }

private:
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    std::vector<uint32_t> m_pixels;
};
