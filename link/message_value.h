#pragma once

#include "foundation/colour.h"
#include "foundation/coordinate.h"
#include "foundation/digest.h"
#include "foundation/fx_value.h"
#include "foundation/time.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Payload type tags. Their numbers travel in the low 6 bits of a link frame's second byte.
enum : uint32_t
{
    VALUE_STRING = 0,
    VALUE_UNSIGNED = 1,
    VALUE_BOOL = 2,
    VALUE_FLOAT = 3,
    VALUE_U64 = 5,
    VALUE_COORDINATE = 6,
    VALUE_FX = 7,
    VALUE_COLOUR = 8,
    VALUE_TIME = 9,
    VALUE_RAW = 10,
    VALUE_DIGEST = 24,
    VALUE_NONE = 25,
};

// The typed payload of a message record: a tag and one member per kind. Only the member of the
// current tag means anything, and the getters do not look at the tag.
class CMessageValue
{
public:
    static constexpr uint32_t kDigestSize = 20;

    CMessageValue() = default;
    explicit CMessageValue(const std::string& text) : m_type(VALUE_STRING), m_text(text) {}
    explicit CMessageValue(const char* text) : CMessageValue(std::string(text)) {}
    explicit CMessageValue(uint32_t value) : m_type(VALUE_UNSIGNED), m_u32(value) {}
    explicit CMessageValue(bool value) : m_type(VALUE_BOOL), m_u32(value ? 1 : 0) {}
    explicit CMessageValue(float value) : m_type(VALUE_FLOAT), m_float(value) {}
    explicit CMessageValue(uint64_t value) : m_type(VALUE_U64), m_u64(value) {}
    explicit CMessageValue(const CCoordinate& value) : m_type(VALUE_COORDINATE), m_coordinate(value) {}
    explicit CMessageValue(const CFxValue& value) : m_type(VALUE_FX), m_fx(value) {}
    explicit CMessageValue(const CColour& value) : m_type(VALUE_COLOUR), m_colour(value) {}
    explicit CMessageValue(const CTime& value) : m_type(VALUE_TIME), m_time(value) {}
    // The digest's five words in their in-memory order.
    explicit CMessageValue(const CDigest& digest);

    uint32_t GetType() const { return m_type; }
    // A different tag releases the raw bytes; the other members keep what they hold.
    void SetType(uint32_t type);

    const std::string& GetString() const { return m_text; }
    uint32_t GetUnsigned() const { return m_u32; }
    bool GetBool() const { return m_u32 != 0; }
    float GetFloat() const { return m_float; }
    uint64_t GetU64() const { return m_u64; }
    const CCoordinate& GetCoordinate() const { return m_coordinate; }
    const CFxValue& GetFx() const { return m_fx; }
    const CColour& GetColour() const { return m_colour; }
    const CTime& GetTime() const { return m_time; }
    // The first 20 raw bytes as a digest; zeros where fewer are held.
    CDigest GetDigest() const;
    uint32_t GetRawSize() const { return static_cast<uint32_t>(m_raw.size()); }
    // Null when no raw bytes are held.
    const uint8_t* GetRawData() const { return m_raw.empty() ? nullptr : m_raw.data(); }
    // Tag VALUE_RAW with a copy of the bytes.
    void SetRawData(const uint8_t* bytes, uint32_t count);
    // The bytes it holds besides itself: its text and raw bytes.
    size_t GetHeldBytes() const { return m_text.size() + m_raw.size(); }

    // Values of the same tag compare by that tag's member; a digest, "none" and unknown tags are
    // never equal, not even to themselves, and neither is a NaN.
    bool operator==(const CMessageValue& other) const;
    bool operator!=(const CMessageValue& other) const { return !(*this == other); }

    // The text of the traffic trace.
    std::string ToText() const;

private:
    uint32_t m_type = VALUE_NONE;
    CTime m_time;
    CCoordinate m_coordinate;
    CColour m_colour;
    CFxValue m_fx;
    uint64_t m_u64 = 0;
    // The unsigned and bool kinds, and the raw byte count.
    uint32_t m_u32 = 0;
    std::string m_text;
    float m_float = 0.0f;
    std::vector<uint8_t> m_raw;
};
