#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

// Classic LZW over byte queues with fixed-width codes, packed least significant bit first. There
// are no clear or end codes: the dictionary starts with the 256 single bytes and grows by one
// string for every code after the first, for the life of the object. The bits of a partly used
// byte are carried in the object between calls, so use one coder per stream and per direction.
//
// Both directions take bytes from the front of the input queue and append to the output queue.
// Lookups cost a hash probe; the dictionary itself is kept as the list of its strings.
class CLzwCoder
{
public:
    using Bytes = std::vector<uint8_t>;
    using Queue = std::deque<uint8_t>;

    static constexpr uint8_t kMinWidth = 9;
    static constexpr uint8_t kMaxWidth = 16;

    CLzwCoder();

    // False for a width outside kMinWidth..kMaxWidth (nothing is consumed or written), and when
    // the input needs more strings than codes of that width can name: encoding then stops after
    // the codes already written, and the bytes they do not cover stay at the front of the input.
    bool Encode(Queue& input, Queue& output, uint8_t width);
    // Reads codes while a whole one remains; the padding bits of a partly filled last byte are
    // not taken for a code. False only for a width outside kMinWidth..kMaxWidth.
    bool Decode(Queue& input, Queue& output, uint8_t width);

    // Whether the string followed by the byte is in the dictionary.
    bool Contains(const Bytes& string, uint8_t byte) const;
    // The code of the first equal entry; 0 when there is none.
    uint16_t GetIndex(const Bytes& string) const;
    void AddString(const Bytes& string);
    // The string of the code followed by the byte; the byte alone for a code not in the dictionary.
    void AddFromCode(uint32_t code, uint8_t byte);
    // Empty for a code not in the dictionary.
    Bytes GetEntry(uint32_t code) const;
    bool IsValidCode(uint32_t code) const { return code < m_dictionary.size(); }
    size_t GetSize() const { return m_dictionary.size(); }

    // One code of the given width (1..16) after the bits already written.
    void WriteCode(uint32_t code, Queue& output, uint8_t width);
    // One code of the given width (1..16) from the front of the input; missing bits read as 0.
    uint16_t ReadCode(Queue& input, uint8_t width);

private:
    bool Find(const Bytes& string, uint32_t& code) const;
    size_t UnreadBits(const Queue& input) const;

    std::vector<Bytes> m_dictionary;
    // Position of the first entry of each string, so that lookups need no scan.
    std::unordered_map<std::string, uint32_t> m_index;
    // Writing: bits of the last output byte already used; reading: unread bits of the first
    // input byte, 0 meaning a whole fresh byte.
    uint8_t m_bitCount = 0;
};
