#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The variable-width LZW of GIF image data: codes least significant bit first, growing from
// minimum code size + 1 to 12 bits, with a clear code (2^m) and an end code (2^m + 1), and at most
// 4096 dictionary entries. Minimum code sizes are 2 to 8, since pixels are bytes.
namespace gif_lzw
{
constexpr uint32_t kMinCodeSize = 2;
constexpr uint32_t kMaxCodeSize = 8;
constexpr uint32_t kMaxCodes = 4096;
constexpr uint32_t kMaxCodeWidth = 12;

// Decodes into pixels[0 .. pixelCount - 1] until the end code, until no whole code is left in the
// data, or until every pixel is filled; pixels not reached keep their values. A code that names
// nothing yet right after a clear code ends the decoding as damaged data. Returns the number of
// pixels written.
size_t Decode(const uint8_t* data, size_t size, uint32_t minCodeSize, uint8_t* pixels, size_t pixelCount);

// Appends the codes of the pixels to the output: a clear code first, a clear code whenever the
// dictionary fills, then the end code; a partly filled last byte is included. Pixel values are
// taken modulo 2^minCodeSize, so the caller chooses a size that holds every pixel.
void Encode(const uint8_t* pixels, size_t pixelCount, uint32_t minCodeSize, std::vector<uint8_t>& output);
}  // namespace gif_lzw
