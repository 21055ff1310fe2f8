#pragma once

#include <cstdint>

// A range's three words as a typed value carries them: offset; from | to << 8 | set << 16;
// function.
struct SPackedRange
{
    uint32_t offset = 0;
    uint32_t bounds = 0;
    uint32_t function = 0;
};

// Which DMX values of one channel of a fixture perform which channel function: the channel's
// offset within the fixture, the lowest and highest value of the range (from may lie above to: a
// falling range) and the function id (the table of names lives with the personalities).
class CRange
{
public:
    static constexpr uint32_t kUnknownFunction = 63;
    static constexpr uint32_t kMaxOffset = 511;

    CRange() = default;
    explicit CRange(uint32_t function) : m_function(function) {}
    CRange(uint32_t function, uint32_t offset, uint8_t from, uint8_t to)
        : m_offset(offset), m_from(from), m_to(to), m_set(1), m_function(function) {}
    explicit CRange(const SPackedRange& packed);

    SPackedRange Pack() const;

    bool operator==(const CRange& other) const;
    bool operator!=(const CRange& other) const { return !(*this == other); }

    uint32_t GetOffset() const { return m_offset; }
    uint8_t GetFrom() const { return m_from; }
    uint8_t GetTo() const { return m_to; }
    bool IsSet() const { return m_set != 0; }
    uint32_t GetFunction() const { return m_function; }
    uint8_t GetMinimum() const { return m_from < m_to ? m_from : m_to; }
    uint8_t GetMaximum() const { return m_from < m_to ? m_to : m_from; }

    // The value setters clamp (from and to to 0..255, the offset to 0..511) and mark the range set.
    void SetFrom(int32_t from);
    void SetTo(int32_t to);
    void SetOffset(int32_t offset);
    void SetFunction(uint32_t function) { m_function = function; }
    void SetSet(bool set) { m_set = set ? 1 : 0; }

    // The DMX value a level 0..255 (clamped) selects within the range.
    uint32_t Scale(int32_t level) const;
    // The same for a level 0..1 (clamped; NaN counts as 0).
    uint32_t Scale(float level) const;
    // Where the value lies between from (0) and to (1); 0 for a range of one value.
    float GetFraction(uint32_t value) const;
    // Between from and to inclusive, in either direction.
    bool Contains(uint32_t value) const;

private:
    uint32_t m_offset = 0;
    uint8_t m_from = 0;
    uint8_t m_to = 255;
    uint8_t m_set = 0;
    uint32_t m_function = kUnknownFunction;
};
