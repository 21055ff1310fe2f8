#include "foundation/sha1.h"

#include "foundation/byte_order.h"

#include <algorithm>
#include <cstring>

namespace
{
uint32_t RotateLeft(uint32_t value, int bits)
{
    return (value << bits) | (value >> (32 - bits));
}
}  // namespace

void SHA1::Reset()
{
    m_hash[0] = 0x67452301u;
    m_hash[1] = 0xEFCDAB89u;
    m_hash[2] = 0x98BADCFEu;
    m_hash[3] = 0x10325476u;
    m_hash[4] = 0xC3D2E1F0u;
    m_lengthLow = 0;
    m_lengthHigh = 0;
    std::memset(m_block, 0, sizeof m_block);
    m_blockIndex = 0;
    m_computed = false;
    m_corrupted = false;
}

void SHA1::Input(const void* bytes, uint32_t count)
{
    if (count == 0)
        return;
    if (m_computed || m_corrupted)
    {
        m_corrupted = true;
        return;
    }
    // A message of 2^64 bits or more cannot be hashed.
    const uint64_t length = (uint64_t(m_lengthHigh) << 32) | m_lengthLow;
    const uint64_t added = uint64_t(count) * 8;
    if (added > ~length)
    {
        m_corrupted = true;
        return;
    }
    m_lengthLow = uint32_t(length + added);
    m_lengthHigh = uint32_t((length + added) >> 32);

    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    uint32_t left = count;
    if (m_blockIndex > 0)
    {
        const uint32_t take = std::min<uint32_t>(left, uint32_t(64 - m_blockIndex));
        std::memcpy(m_block + m_blockIndex, in, take);
        m_blockIndex += int32_t(take);
        in += take;
        left -= take;
        if (m_blockIndex < 64)
            return;
        ProcessMessageBlock(m_block);
        m_blockIndex = 0;
    }
    // Whole blocks straight from the caller's bytes.
    for (; left >= 64; in += 64, left -= 64)
        ProcessMessageBlock(in);
    std::memcpy(m_block, in, left);
    m_blockIndex = int32_t(left);
}

SHA1& SHA1::operator<<(const char* text)
{
    Input(text, uint32_t(std::strlen(text)));
    return *this;
}

SHA1& SHA1::operator<<(char c)
{
    Input(uint8_t(c));
    return *this;
}

bool SHA1::Result(uint32_t out[kWords])
{
    if (m_corrupted)
        return false;
    if (!m_computed)
    {
        PadMessage();
        std::memset(m_block, 0, sizeof m_block);
        m_computed = true;
    }
    std::memcpy(out, m_hash, sizeof m_hash);
    return true;
}

void SHA1::ProcessMessageBlock(const uint8_t* block)
{
    uint32_t w[80];
    for (int t = 0; t < 16; ++t)
        w[t] = ReadBe32(block + t * 4);
    for (int t = 16; t < 80; ++t)
        w[t] = RotateLeft(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

    uint32_t a = m_hash[0], b = m_hash[1], c = m_hash[2], d = m_hash[3], e = m_hash[4];
    const auto round = [&](uint32_t f, uint32_t k, uint32_t word) {
        const uint32_t temp = RotateLeft(a, 5) + f + e + word + k;
        e = d;
        d = c;
        c = RotateLeft(b, 30);
        b = a;
        a = temp;
    };
    int t = 0;
    for (; t < 20; ++t)
        round((b & c) | (~b & d), 0x5A827999u, w[t]);
    for (; t < 40; ++t)
        round(b ^ c ^ d, 0x6ED9EBA1u, w[t]);
    for (; t < 60; ++t)
        round((b & c) | (b & d) | (c & d), 0x8F1BBCDCu, w[t]);
    for (; t < 80; ++t)
        round(b ^ c ^ d, 0xCA62C1D6u, w[t]);
    m_hash[0] += a;
    m_hash[1] += b;
    m_hash[2] += c;
    m_hash[3] += d;
    m_hash[4] += e;
}

void SHA1::PadMessage()
{
    // One 0x80 byte, zeros up to byte 56, and the bit length big-endian in the last 8 bytes; an
    // extra block when the length no longer fits behind the 0x80.
    m_block[m_blockIndex++] = 0x80;
    if (m_blockIndex > 56)
    {
        std::memset(m_block + m_blockIndex, 0, size_t(64 - m_blockIndex));
        ProcessMessageBlock(m_block);
        m_blockIndex = 0;
    }
    std::memset(m_block + m_blockIndex, 0, size_t(56 - m_blockIndex));
    WriteBe32(m_block + 56, m_lengthHigh);
    WriteBe32(m_block + 60, m_lengthLow);
    ProcessMessageBlock(m_block);
    m_blockIndex = 0;
}
