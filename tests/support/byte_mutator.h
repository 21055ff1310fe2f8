#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// Deterministic damage for the fuzz-style tests: a template changed a little.
class CMutator
{
public:
    // Outcomes are cut to maxSize bytes.
    CMutator(uint32_t seed, size_t maxSize) : m_random(seed), m_maxSize(maxSize) {}

    uint32_t Below(uint32_t n) { return n == 0 ? 0 : std::uniform_int_distribution<uint32_t>(0, n - 1)(m_random); }

    // A template changed a little: bytes flipped or set, cut short, grown with noise.
    std::vector<uint8_t> Mutate(const std::vector<uint8_t>& seed)
    {
        std::vector<uint8_t> bytes = seed;
        const uint32_t edits = 1 + Below(4);
        for (uint32_t e = 0; e < edits; ++e)
        {
            switch (Below(6))
            {
            case 0:
                if (!bytes.empty())
                    bytes[Below(uint32_t(bytes.size()))] ^= uint8_t(1u << Below(8));
                break;
            case 1:
                if (!bytes.empty())
                    bytes[Below(uint32_t(bytes.size()))] = uint8_t(Below(256));
                break;
            case 2:
                bytes.resize(Below(uint32_t(bytes.size()) + 1));
                break;
            case 3:
                for (uint32_t n = Below(40); n > 0; --n)
                    bytes.push_back(uint8_t(Below(256)));
                break;
            case 4:
                if (!bytes.empty())
                    bytes[Below(uint32_t(bytes.size()))] = uint8_t(Below(2) ? 0x00 : 0xFF);
                break;
            default:
                bytes = Noise(Below(64));
                break;
            }
        }
        if (bytes.size() > m_maxSize)
            bytes.resize(m_maxSize);
        return bytes;
    }

    std::vector<uint8_t> Noise(uint32_t size)
    {
        std::vector<uint8_t> bytes(size);
        for (uint8_t& b : bytes)
            b = uint8_t(Below(256));
        return bytes;
    }

private:
    std::mt19937 m_random;
    size_t m_maxSize;
};
