#pragma once

// Building GIF files byte by byte for the codec's tests, and reading them from memory.

#include "graphics/gif_image.h"

#include <cstdio>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace gif_test
{
using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& bytes, std::initializer_list<uint8_t> more)
{
    bytes.insert(bytes.end(), more);
}

inline void Append(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

inline void Append(Bytes& bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

// "GIF89a" and a logical screen descriptor; with paletteBits > 0 a global colour table follows
// whose entry i is (i, 2i, 3i) modulo 256.
inline Bytes Header(uint16_t width, uint16_t height, uint32_t paletteBits)
{
    Bytes bytes = {'G', 'I', 'F', '8', '9', 'a'};
    Append(bytes, {uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8)});
    Append(bytes, {uint8_t(paletteBits ? 0x80 | (paletteBits - 1) : 0), 0x00, 0x00});
    for (uint32_t i = 0; paletteBits && i < (1u << paletteBits); ++i)
        Append(bytes, {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)});
    return bytes;
}

// A graphic control extension.
inline Bytes Control(uint8_t packed, uint16_t delay, uint8_t transparentIndex)
{
    return {0x21, 0xF9, 0x04, packed, uint8_t(delay), uint8_t(delay >> 8), transparentIndex, 0x00};
}

// Codes, each with its width.
using Codes = std::vector<std::pair<uint32_t, uint32_t>>;

// The codes packed least significant bit first, as GIF image data holds them.
inline Bytes PackCodes(const Codes& codes)
{
    Bytes data;
    uint32_t bits = 0;
    uint32_t count = 0;
    for (const auto& code : codes)
    {
        bits |= code.first << count;
        count += code.second;
        while (count >= 8)
        {
            data.push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count)
        data.push_back(uint8_t(bits));
    return data;
}

// An image descriptor and its data in one sub-block.
inline Bytes Image(uint16_t width, uint16_t height, uint8_t packed, uint8_t codeSize, const Codes& codes)
{
    Bytes bytes = {0x2C, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8),
                   packed, codeSize};
    const Bytes data = PackCodes(codes);
    bytes.push_back(uint8_t(data.size()));
    Append(bytes, data);
    bytes.push_back(0x00);
    return bytes;
}

// A 2 x 2 image of code size 2 holding the indexes 0, 1, 2, 3: clear, 0, 1, 2 at 3 bits, then
// 3 and end at 4 bits, the dictionary having reached 8 entries.
inline Bytes SmallImage()
{
    return Image(2, 2, 0x00, 2, {{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {5, 4}});
}

inline void LoadBytes(CGifImage& image, const Bytes& bytes)
{
    Bytes copy = bytes.empty() ? Bytes(1, 0) : bytes;
    std::FILE* file = fmemopen(copy.data(), bytes.size(), "rb");
    if (!file)
        return;
    image.Load(file);
    std::fclose(file);
}

inline Bytes WriteBytes(CGifImage& image)
{
    Bytes bytes;
    image.Write(bytes);
    return bytes;
}
}  // namespace gif_test
