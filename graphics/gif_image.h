#pragma once

#include "foundation/rgba_colour.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class CGifFrame;
struct CGifGraphicControl;

// The program's own 32-byte record in the "ZevralDMX" block, carried unchanged between file and
// memory: five u32 (little-endian), a colour as red, green, blue, alpha bytes, and 8 bytes.
struct CGifApplicationData
{
    static constexpr size_t kSize = 32;

    uint32_t values[5] = {};
    CRgbaColour colour = CRgbaColour(0xFF000000u);
    uint8_t extra[8] = {};

    void ToBytes(uint8_t* bytes) const;
    // Bytes past the count read as zero.
    void FromBytes(const uint8_t* bytes, size_t count);
    bool operator==(const CGifApplicationData& other) const;
    bool operator!=(const CGifApplicationData& other) const { return !(*this == other); }
};

// A GIF89a file of at most 150 x 150 pixels: a global palette, frames, the loop flag of the
// "NETSCAPE2.0" block and the record of the "ZevralDMX" block.
//
// Files are untrusted: reading never leaves the buffers it sized, stops at the end of the file,
// skips image data beyond what a frame can use, and reads at most kMaxFrames frames.
class CGifImage
{
public:
    static constexpr uint32_t kMaxSide = 150;
    static constexpr uint32_t kMaxFrames = 2048;
    static constexpr uint32_t kMaxBits = 8;

    // Loop on, 3 bits, a global palette of 8 black entries, no frames.
    explicit CGifImage(uint64_t userValue = 0, uint32_t width = 0, uint32_t height = 0);
    CGifImage(const CGifImage&) = delete;
    // Size, bits, palette, every frame (re-mapped to this palette), the loop flag and the record.
    CGifImage& operator=(const CGifImage& other);
    ~CGifImage();

    // Replaces the palette and the frames with the file's; a file that cannot be read leaves no
    // frames. The loop flag and the record change only when the file carries them. Reading stops
    // at the next frame past the most frames asked for (at most kMaxFrames).
    void Load(const std::string& path);
    void Load(std::FILE* file, uint32_t mostFrames = kMaxFrames);
    // False when the file cannot be created or a write fails.
    bool Save(const std::string& path);
    // Appends the whole file. Frames are written without interlace.
    void Write(std::vector<uint8_t>& output);

    // Null past the end.
    CGifFrame* GetFrame(int32_t index) const;
    // A new frame, a copy of the frame at copyFrom when there is one, inserted before position
    // index, or appended when index names no frame.
    CGifFrame* InsertFrame(int32_t index, int32_t copyFrom = -1);
    // Deletes the frame when it is one of this image's.
    void RemoveFrame(CGifFrame* frame);
    // -1 when absent.
    int32_t GetFrameIndex(const CGifFrame* frame) const;
    uint32_t GetFrameCount() const { return uint32_t(m_frames.size()); }

    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    // Limited to 150.
    void SetWidth(uint32_t width);
    void SetHeight(uint32_t height);
    uint32_t GetBits() const { return m_bits; }
    // Limited to 1..8; a change replaces an existing palette by a black one of the new size.
    void SetBits(uint32_t bits);
    bool HasPalette() const { return !m_palette.empty(); }
    // A black palette of 2^bits entries (an existing one stays), or none.
    void SetHasPalette(bool present);
    // Opaque black without a palette or past its end; a set there does nothing.
    CRgbaColour GetPaletteEntry(uint32_t index) const;
    void SetPaletteEntry(uint32_t index, CRgbaColour colour);

    uint8_t GetLoop() const { return m_loop; }
    // Returns the old flag.
    uint8_t SetLoop(uint8_t loop);
    // Whether a file with a "ZevralDMX" block was read.
    bool HasApplicationData() const { return m_applicationDataPresent != 0; }
    const CGifApplicationData& GetApplicationData() const { return m_applicationData; }
    void SetApplicationData(const CGifApplicationData& data) { m_applicationData = data; }
    uint64_t GetUserValue() const { return m_userValue; }
    // Sum of the frames' delays, in seconds.
    float GetTotalDelay() const;
    CRgbaColour GetColour() const { return CRgbaColour(0xFF000000u); }

    // Lets CZevralImage::Load read GIF files (their first frame, without transparency). Done when
    // the program starts; tests that replace the image loader's reader call it again.
    static void RegisterWithImageLoader();

private:
    void Clear();
    bool ReadExtension(std::FILE* file, CGifGraphicControl& control, bool& controlPending);

    std::vector<uint8_t> m_palette;  // red, green, blue per entry; empty: none
    uint8_t m_applicationDataPresent = 0;
    uint8_t m_loop = 1;
    CGifApplicationData m_applicationData;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_bits = 3;
    uint64_t m_userValue = 0;
    std::vector<std::unique_ptr<CGifFrame>> m_frames;
};
