#include "graphics/gif_lzw.h"

#include <unordered_map>

namespace
{
// Every string is a shorter entry followed by one byte, so the decoder keeps the table as links;
// no string is ever copied, however long a hostile file makes it.
struct CDecodeTable
{
    uint16_t prefix[gif_lzw::kMaxCodes];
    uint8_t suffix[gif_lzw::kMaxCodes];
    uint8_t first[gif_lzw::kMaxCodes];
    uint16_t length[gif_lzw::kMaxCodes];
    uint32_t next = 0;

    void Reset(uint32_t minCodeSize)
    {
        const uint32_t literals = 1u << minCodeSize;
        for (uint32_t code = 0; code < literals; ++code)
        {
            prefix[code] = 0;
            suffix[code] = uint8_t(code);
            first[code] = uint8_t(code);
            length[code] = 1;
        }
        // The clear and end codes stand for empty strings.
        length[literals] = 0;
        length[literals + 1] = 0;
        next = literals + 2;
    }

    // Refused once the table is full: a file may go on with a full table until its next clear.
    void Add(uint32_t previous, uint8_t byte)
    {
        if (next >= gif_lzw::kMaxCodes)
            return;
        prefix[next] = uint16_t(previous);
        suffix[next] = byte;
        first[next] = first[previous];
        length[next] = uint16_t(length[previous] + 1);
        ++next;
    }

    // Writes the string of the code at pixels[position], cut at the pixel count; returns the new
    // position.
    size_t Output(uint32_t code, uint8_t* pixels, size_t position, size_t pixelCount) const
    {
        const size_t end = position + length[code];
        for (size_t at = end; at > position; --at)
        {
            if (at - 1 < pixelCount)
                pixels[at - 1] = suffix[code];
            code = prefix[code];
        }
        return end < pixelCount ? end : pixelCount;
    }
};

class CBitWriter
{
public:
    explicit CBitWriter(std::vector<uint8_t>& output) : m_output(output) {}

    void Write(uint32_t code, uint32_t width)
    {
        m_bits |= code << m_count;
        m_count += width;
        while (m_count >= 8)
        {
            m_output.push_back(uint8_t(m_bits));
            m_bits >>= 8;
            m_count -= 8;
        }
    }

    void Flush()
    {
        if (m_count > 0)
            m_output.push_back(uint8_t(m_bits));
        m_bits = 0;
        m_count = 0;
    }

private:
    std::vector<uint8_t>& m_output;
    uint32_t m_bits = 0;
    uint32_t m_count = 0;
};
}  // namespace

namespace gif_lzw
{
size_t Decode(const uint8_t* data, size_t size, uint32_t minCodeSize, uint8_t* pixels, size_t pixelCount)
{
    if (minCodeSize < kMinCodeSize || minCodeSize > kMaxCodeSize || pixelCount == 0)
        return 0;
    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    CDecodeTable table;
    table.Reset(minCodeSize);
    uint32_t width = minCodeSize + 1;
    bool firstCode = true;
    uint32_t previous = 0;
    size_t position = 0;
    const size_t totalBits = size * 8;
    size_t bitPosition = 0;
    while (position < pixelCount && totalBits - bitPosition >= width)
    {
        uint32_t code = 0;
        for (uint32_t bit = 0; bit < width;)
        {
            const size_t byte = bitPosition >> 3;
            const uint32_t offset = uint32_t(bitPosition & 7);
            const uint32_t take = (8 - offset) < (width - bit) ? (8 - offset) : (width - bit);
            code |= ((uint32_t(data[byte]) >> offset) & ((1u << take) - 1)) << bit;
            bit += take;
            bitPosition += take;
        }

        if (code == clearCode)
        {
            table.Reset(minCodeSize);
            width = minCodeSize + 1;
            firstCode = true;
            continue;
        }
        if (code == endCode)
            break;
        if (code < table.next)
        {
            if (!firstCode)
                table.Add(previous, table.first[code]);
            position = table.Output(code, pixels, position, pixelCount);
        }
        else
        {
            // Nothing to build the string from right after a clear: the data is damaged.
            if (firstCode)
                break;
            table.Add(previous, table.first[previous]);
            position = table.Output(table.next - 1, pixels, position, pixelCount);
        }
        firstCode = false;
        previous = code < table.next ? code : table.next - 1;
        if (table.next == (1u << width) && width < kMaxCodeWidth)
            ++width;
    }
    return position;
}

void Encode(const uint8_t* pixels, size_t pixelCount, uint32_t minCodeSize, std::vector<uint8_t>& output)
{
    if (minCodeSize < kMinCodeSize)
        minCodeSize = kMinCodeSize;
    if (minCodeSize > kMaxCodeSize)
        minCodeSize = kMaxCodeSize;
    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    const uint32_t mask = clearCode - 1;
    CBitWriter writer(output);
    // (code of a string << 8 | next byte) -> code of the longer string.
    std::unordered_map<uint32_t, uint16_t> strings;
    strings.reserve(pixelCount < kMaxCodes ? pixelCount : kMaxCodes);
    uint32_t next = clearCode + 2;
    uint32_t width = minCodeSize + 1;
    writer.Write(clearCode, width);
    if (pixelCount == 0)
    {
        writer.Write(endCode, width);
        writer.Flush();
        return;
    }

    uint32_t current = pixels[0] & mask;
    for (size_t i = 1; i < pixelCount; ++i)
    {
        const uint32_t pixel = pixels[i] & mask;
        const uint32_t key = (current << 8) | pixel;
        const auto found = strings.find(key);
        if (found != strings.end())
        {
            current = found->second;
            continue;
        }
        strings.emplace(key, uint16_t(next));
        ++next;
        writer.Write(current, width);
        if (next >= kMaxCodes)
        {
            writer.Write(clearCode, width);
            strings.clear();
            next = clearCode + 2;
            width = minCodeSize + 1;
        }
        else if (next - 1 == (1u << width))
        {
            ++width;
        }
        current = pixel;
    }
    writer.Write(current, width);
    writer.Write(endCode, width);
    writer.Flush();
}
}  // namespace gif_lzw
