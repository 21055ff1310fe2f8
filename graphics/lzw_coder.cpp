#include "graphics/lzw_coder.h"

#include <algorithm>

namespace
{
std::string Key(const CLzwCoder::Bytes& string)
{
    return std::string(string.begin(), string.end());
}

bool IsUsableWidth(uint8_t width)
{
    return width >= CLzwCoder::kMinWidth && width <= CLzwCoder::kMaxWidth;
}
}  // namespace

CLzwCoder::CLzwCoder()
{
    m_dictionary.reserve(512);
    for (uint32_t byte = 0; byte < 256; ++byte)
        AddString(Bytes(1, uint8_t(byte)));
}

bool CLzwCoder::Encode(Queue& input, Queue& output, uint8_t width)
{
    if (!IsUsableWidth(width))
        return false;
    if (input.empty())
        return true;
    const size_t capacity = size_t(1) << width;
    Bytes current(1, input.front());
    input.pop_front();
    while (!input.empty())
    {
        const uint8_t byte = input.front();
        if (Contains(current, byte))
        {
            current.push_back(byte);
            input.pop_front();
            continue;
        }
        // The new string would get a code this width cannot carry: hand the unwritten bytes back.
        if (m_dictionary.size() >= capacity)
        {
            input.insert(input.begin(), current.begin(), current.end());
            return false;
        }
        input.pop_front();
        WriteCode(GetIndex(current), output, width);
        current.push_back(byte);
        AddString(current);
        current.assign(1, byte);
    }
    WriteCode(GetIndex(current), output, width);
    return true;
}

bool CLzwCoder::Decode(Queue& input, Queue& output, uint8_t width)
{
    if (!IsUsableWidth(width))
        return false;
    if (UnreadBits(input) < width)
        return true;
    uint32_t previous = ReadCode(input, width);
    uint8_t firstByte = uint8_t(previous);
    output.push_back(firstByte);
    // Strings past this many entries could never be named by a code, so they are not kept.
    const size_t capacity = size_t(1) << width;
    while (UnreadBits(input) >= width)
    {
        const uint32_t code = ReadCode(input, width);
        Bytes entry;
        if (IsValidCode(code))
        {
            entry = m_dictionary[code];
        }
        else
        {
            entry = GetEntry(previous);
            entry.push_back(firstByte);
        }
        output.insert(output.end(), entry.begin(), entry.end());
        if (!entry.empty())
            firstByte = entry.front();
        if (m_dictionary.size() < capacity)
            AddFromCode(previous, firstByte);
        previous = code;
    }
    return true;
}

bool CLzwCoder::Contains(const Bytes& string, uint8_t byte) const
{
    Bytes longer(string);
    longer.push_back(byte);
    uint32_t code;
    return Find(longer, code);
}

uint16_t CLzwCoder::GetIndex(const Bytes& string) const
{
    uint32_t code = 0;
    return Find(string, code) ? uint16_t(code) : 0;
}

void CLzwCoder::AddString(const Bytes& string)
{
    m_index.emplace(Key(string), uint32_t(m_dictionary.size()));
    m_dictionary.push_back(string);
}

void CLzwCoder::AddFromCode(uint32_t code, uint8_t byte)
{
    Bytes string = GetEntry(code);
    string.push_back(byte);
    AddString(string);
}

CLzwCoder::Bytes CLzwCoder::GetEntry(uint32_t code) const
{
    return IsValidCode(code) ? m_dictionary[code] : Bytes();
}

void CLzwCoder::WriteCode(uint32_t code, Queue& output, uint8_t width)
{
    uint32_t pending = code & ((uint32_t(1) << width) - 1);
    uint32_t pendingBits = width;
    if (m_bitCount != 0 && !output.empty())
    {
        const uint32_t used = output.back() & ((1u << m_bitCount) - 1);
        output.pop_back();
        pending = used | (pending << m_bitCount);
        pendingBits += m_bitCount;
    }
    while (pendingBits >= 8)
    {
        output.push_back(uint8_t(pending));
        pending >>= 8;
        pendingBits -= 8;
    }
    if (pendingBits > 0)
        output.push_back(uint8_t(pending));
    m_bitCount = uint8_t(pendingBits);
}

uint16_t CLzwCoder::ReadCode(Queue& input, uint8_t width)
{
    uint32_t bits = 0;
    uint32_t have = 0;
    uint32_t unreadInFirst = m_bitCount == 0 ? 8 : m_bitCount;
    while (have < width && !input.empty())
    {
        const uint32_t available = unreadInFirst;
        const uint32_t byte = uint32_t(input.front()) >> (8 - available);
        bits |= byte << have;
        const uint32_t taken = std::min<uint32_t>(available, width - have);
        have += taken;
        if (taken == available)
        {
            input.pop_front();
            unreadInFirst = 8;
        }
        else
        {
            unreadInFirst = available - taken;
        }
    }
    m_bitCount = uint8_t(unreadInFirst == 8 ? 0 : unreadInFirst);
    return uint16_t(bits & ((uint32_t(1) << width) - 1));
}

bool CLzwCoder::Find(const Bytes& string, uint32_t& code) const
{
    const auto found = m_index.find(Key(string));
    if (found == m_index.end())
        return false;
    code = found->second;
    return true;
}

size_t CLzwCoder::UnreadBits(const Queue& input) const
{
    if (input.empty())
        return 0;
    return (m_bitCount == 0 ? 8 : m_bitCount) + 8 * (input.size() - 1);
}
