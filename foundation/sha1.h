#pragma once

#include <cstdint>

// SHA-1 (FIPS 180-1) over a stream of bytes. Once the result has been taken, the hasher is finished:
// more input marks it corrupted and Result fails until Reset.
class SHA1
{
public:
    static constexpr int kWords = 5;

    SHA1() { Reset(); }
    virtual ~SHA1() = default;

    void Reset();
    // Appends bytes; nothing for count 0.
    void Input(const void* bytes, uint32_t count);
    void Input(uint8_t byte) { Input(&byte, 1); }
    // The bytes of a zero-terminated text, without the terminator.
    SHA1& operator<<(const char* text);
    SHA1& operator<<(char c);

    // The five hash words, word 0 first. False, with nothing written, when the hasher is corrupted.
    // The first call pads the message; later calls give the same words.
    bool Result(uint32_t out[kWords]);

private:
    void ProcessMessageBlock(const uint8_t* block);
    void PadMessage();

    uint32_t m_hash[kWords];
    // The message length in bits.
    uint32_t m_lengthLow;
    uint32_t m_lengthHigh;
    uint8_t m_block[64];
    int32_t m_blockIndex;
    bool m_computed;
    bool m_corrupted;
};
