#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Fields of the GIF file format, shared by the image and its frames: numbers are little-endian
// (foundation/byte_order.h), and a read that comes up short is a damaged file.
namespace gif_bytes
{
constexpr uint32_t kOpaqueBlack = 0xFF000000u;

inline bool ReadBytes(std::FILE* file, uint8_t* bytes, size_t count)
{
    return count == 0 || std::fread(bytes, 1, count, file) == count;
}
}  // namespace gif_bytes
