#pragma once

#include <cstdint>
#include <vector>

// Numbers laid out byte by byte, whatever the machine's own order: the controller's messages, GIF
// and WAV files are little-endian ("Le"); the unit packet's header and SHA-1 are big-endian ("Be").
// The pointer must reach as many bytes as the number has; a value wider than the field is cut to
// its low bytes.
inline uint16_t ReadLe16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t ReadLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void WriteLe16(uint8_t* p, uint32_t value)
{
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}

inline void WriteLe32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(value >> (8 * i));
}

inline void AppendLe16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void AppendLe32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

inline uint16_t ReadBe16(const uint8_t* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

inline uint32_t ReadBe32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline void WriteBe16(uint8_t* p, uint32_t value)
{
    p[0] = uint8_t(value >> 8);
    p[1] = uint8_t(value);
}

inline void WriteBe32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(value >> (24 - 8 * i));
}
