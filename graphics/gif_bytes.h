#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// Fields of the GIF file format, shared by the image and its frames: numbers are little-endian,
// and a read that comes up short is a damaged file.
namespace gif_bytes
{
constexpr uint32_t kOpaqueBlack = 0xFF000000u;

inline uint16_t ReadU16(const uint8_t* bytes)
{
    return uint16_t(bytes[0] | (bytes[1] << 8));
}

inline void AppendU16(std::vector<uint8_t>& output, uint32_t value)
{
    output.push_back(uint8_t(value));
    output.push_back(uint8_t(value >> 8));
}

inline bool ReadBytes(std::FILE* file, uint8_t* bytes, size_t count)
{
    return count == 0 || std::fread(bytes, 1, count, file) == count;
}
}  // namespace gif_bytes
