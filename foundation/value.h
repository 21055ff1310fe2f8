#pragma once

#include "foundation/colour.h"
#include "foundation/coordinate.h"
#include "foundation/date.h"
#include "foundation/digest.h"
#include "foundation/frame.h"
#include "foundation/ip_address.h"
#include "foundation/midi_address.h"
#include "foundation/money.h"
#include "foundation/point.h"
#include "foundation/range.h"
#include "foundation/rgba_colour.h"
#include "foundation/time.h"
#include "foundation/timecode.h"
#include "foundation/value_image.h"
#include "foundation/value_payloads.h"
#include "foundation/version.h"
#include "foundation/weekday_and_time.h"

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

class TiXmlNode;

template <typename... T>
constexpr size_t LargestSizeOf()
{
    size_t largest = 0;
    ((largest = sizeof(T) > largest ? sizeof(T) : largest), ...);
    return largest;
}

// A tagged value that holds any of the system's value types under one of 38 type codes, with a
// machine text that Parse reads back, a display text, an XML element "argument", and uniform
// arithmetic, ordering and trigger matching.
//
// The value keeps its members side by side: a float block, a text, a path, an image and one
// payload area that every other type shares. The type code says which member counts. Members of
// other types are left alone by assignment and by the setters, and SetType keeps the payload
// bytes, so that a value can be re-typed and then read (or parsed) as its new type.
class CValue
{
public:
    enum EType : uint32_t
    {
        kFloat,
        kUnsigned,
        kString,
        kColour,
        kPlayState,
        kBool,
        kCoordinate,
        kTime,
        kMidiAddress,
        kCommand,
        kCueCondition,
        kCueState,
        kPlaybackFunction,
        kShape,
        kFrame,
        kDate,
        kDateAndTime,
        kWeekdayAndTime,
        kTempoDivider,
        kAction,
        kActionlist,
        kIpAddress,
        kVersion,
        kDigest,
        kDmxAddress,
        kRange,
        kMacAddress,
        kPath,
        kMoney,
        kImage,
        kPercentage,
        kPoint,
        kCueNumber,
        kUdpMessage,
        kMidiMessage,
        kConnection,
        kTimecode,
        kUnknown,
        kTypeCount
    };

    // Codes of the enumerated types that have a constructor of their own. They take any u32:
    // CValue(CValue::ECueState{2}).
    enum class EPlayState : uint32_t {};
    enum class ECommand : uint32_t {};
    enum class ECueCondition : uint32_t {};
    enum class ECueState : uint32_t {};
    enum class ETempoDivider : uint32_t {};

    static constexpr int kColourSlots = 3;

    // The type's name ("Float" .. "Unknown"); empty above 37.
    static const char* TypeName(uint32_t type);
    // The code of a name in any letter case; kUnknown for every other text.
    static uint32_t TypeFromName(const std::string& name);

    CValue() = default;
    // That type with its payload's own default (a positive zero time, a timecode at 30 frames per
    // second, the default date, frame and range); types without such a default hold zero.
    explicit CValue(EType type);
    explicit CValue(const CColour& colour);
    explicit CValue(const CRgbaColour& colour);
    explicit CValue(const CTime& time);
    explicit CValue(const CTimecode& timecode);
    explicit CValue(const CDateAndTime& dateAndTime);
    explicit CValue(const CWeekdayAndTime& weekdayAndTime);
    explicit CValue(const CDate& date);
    explicit CValue(const boost::filesystem::path& path);
    explicit CValue(const CCoordinate& coordinate);
    explicit CValue(const CIpAddress& address);
    explicit CValue(const SMacAddress& address);
    explicit CValue(const SUdpMessage& message);
    explicit CValue(const std::string& text);
    explicit CValue(const char* text) : CValue(std::string(text)) {}
    explicit CValue(float value);
    explicit CValue(double value) : CValue(float(value)) {}
    explicit CValue(uint32_t value);
    explicit CValue(bool value);
    explicit CValue(const CVersion& version);
    explicit CValue(const CCueNumber& number);
    explicit CValue(const CConnection& connection);
    explicit CValue(const CFrame& frame);
    explicit CValue(const CDigest& digest);
    explicit CValue(const SPackedRange& range);
    explicit CValue(const SDmxAddress& address);
    explicit CValue(const CMidiAddress& address);
    explicit CValue(const SMidiMessage& message);
    explicit CValue(const CMoney& money);
    explicit CValue(const CValueImage& image);
    explicit CValue(const CPoint& point);
    explicit CValue(ECueCondition code);
    explicit CValue(ETempoDivider code);
    explicit CValue(ECueState code);
    explicit CValue(EPlayState code);
    explicit CValue(ECommand code);
    CValue(const CValue& other) { *this = other; }
    // Takes the type code and the members of the new type only: the text for String, Action and
    // Actionlist (and the reserved words for the last two), the path, the image, or else the float
    // block and the payload. The rest keeps what it held.
    CValue& operator=(const CValue& other);
    ~CValue() = default;

    // Each stores the type and its payload and nothing else; the colour setters fill slot 0.
    CValue& Set(const CFrame& frame);
    CValue& Set(float value);
    CValue& Set(uint32_t value);
    CValue& Set(const std::string& text);
    CValue& Set(const char* text) { return Set(std::string(text)); }
    CValue& Set(const CColour& colour);
    CValue& Set(const CRgbaColour& colour);
    CValue& Set(const CCoordinate& coordinate);
    CValue& Set(const CPoint& point);
    CValue& Set(const CTime& time);
    CValue& Set(const CTimecode& timecode);
    CValue& Set(const CDateAndTime& dateAndTime);
    CValue& Set(const CIpAddress& address);
    CValue& Set(const CWeekdayAndTime& weekdayAndTime);
    CValue& Set(const CCueNumber& number);
    CValue& Set(const CDate& date);
    CValue& Set(bool value);
    // True when the code changed; the payload stays as it is, to be read as the new type.
    bool SetType(uint32_t type);
    // The code, with a default float block, reserved words and payload; text, path and image stay.
    void Reset(uint32_t type);
    // The text alone, whatever the type.
    void SetString(const std::string& text) { m_text = text; }

    // No getter checks the type: each reads its member as it lies.
    uint32_t GetType() const { return m_type; }
    float GetFloat() const { return m_float[0]; }
    // The auxiliary floats 1..3 of the float block (defaults 0, 1, 0.5); other indexes read 0 and
    // write nothing.
    float GetAuxiliaryFloat(int index) const;
    void SetAuxiliaryFloat(int index, float value);
    // The first word of the payload: also the code of the enumerated types.
    uint32_t GetUnsigned() const { return Load<uint32_t>(); }
    bool GetBool() const { return Load<uint8_t>() != 0; }
    const std::string& GetString() const { return m_text; }
    const boost::filesystem::path& GetPath() const { return m_path; }
    const CValueImage& GetImage() const { return m_image; }
    CColour GetColour() const { return GetColourAt(0); }
    CCoordinate GetCoordinate() const { return Load<CCoordinate>(); }
    CFrame GetFrame() const { return Load<CFrame>(); }
    CDate GetDate() const { return Load<CDate>(); }
    CDateAndTime GetDateAndTime() const;
    CWeekdayAndTime GetWeekdayAndTime() const;
    CTimecode GetTimecode() const { return Load<CTimecode>(); }
    CIpAddress GetIpAddress() const { return Load<CIpAddress>(); }
    SMacAddress GetMacAddress() const { return Load<SMacAddress>(); }
    CVersion GetVersion() const { return Load<CVersion>(); }
    CCueNumber GetCueNumber() const { return Load<CCueNumber>(); }
    SDmxAddress GetDmxAddress() const { return Load<SDmxAddress>(); }
    CDigest GetDigest() const { return Load<CDigest>(); }
    CRange GetRange() const { return CRange(Load<SPackedRange>()); }
    CMidiAddress GetMidiAddress() const { return Load<CMidiAddress>(); }
    CMoney GetMoney() const { return Load<CMoney>(); }
    CPoint GetPoint() const { return Load<CPoint>(); }
    CConnection GetConnection() const { return Load<CConnection>(); }
    SUdpMessage GetUdpMessage() const { return Load<SUdpMessage>(); }
    SMidiMessage GetMidiMessage() const { return Load<SMidiMessage>(); }
    uint64_t GetReserved1() const { return m_reserved[0]; }
    uint64_t GetReserved2() const { return m_reserved[1]; }
    // A Timecode converted to time; any other type's payload read as a time.
    CTime GetTime() const;
    // The time of a Weekday and Time or of a Date and Time; any other payload read as a time.
    CTime GetTimeOfDay() const;

    // The colour list: up to three colours, ending at the first slot whose channels are all 0.
    // A fourth colour is not taken; slots past the third read as that empty colour.
    void AddColour(const CColour& colour);
    CColour GetColourAt(int index) const;
    int CountColours() const;

    // Against plain values: false when the type is not the plain value's own (Percentage is not a
    // float here).
    bool operator==(float value) const;
    bool operator==(uint32_t value) const;
    bool operator==(bool value) const;
    bool operator==(const CColour& colour) const;
    bool operator==(const CCoordinate& coordinate) const;
    bool operator==(const std::string& text) const;
    bool operator==(const char* text) const { return *this == std::string(text); }
    template <typename T>
    bool operator!=(const T& value) const { return !(*this == value); }

    // Texts and XML (value_text.cpp).
    std::string ToString() const;
    std::string ToDisplayString() const;
    // Reads the machine text of the current type into its member; types without a text form
    // ignore it. The number types throw boost::bad_lexical_cast for text that is not entirely a
    // number, leaving the value as it was.
    void Parse(const std::string& text);
    // Appends <argument type="Name">machine text</argument> to the parent (nothing for null).
    void WriteXml(TiXmlNode* parent) const;
    // From an "argument" element: an unknown type name changes nothing; a known one sets the type
    // and then parses the element's text, if it has one (so a failed parse leaves the new type).
    void ReadXml(const TiXmlNode* node);

    // Equality, ordering and arithmetic (value_arithmetic.cpp). All dispatch on this value's type.
    // Equality and Matches need equal types; ordering and += / -= read the other value as if it
    // had this value's type (a Time reads the other through GetTime, so a Timecode takes part).
    bool operator==(const CValue& other) const;
    bool operator!=(const CValue& other) const { return !(*this == other); }
    bool operator<(const CValue& other) const;
    bool operator>(const CValue& other) const;
    bool operator>=(const CValue& other) const { return !(*this < other); }
    CValue& operator+=(const CValue& other);
    CValue& operator-=(const CValue& other);
    CValue& operator*=(float factor);
    CValue& operator/=(float factor);
    // Whether this value (something that happened) sets off the trigger: equality that honours
    // the trigger's wildcards in MIDI addresses, weekday-and-time and date-and-time values.
    bool Matches(const CValue& trigger) const;

private:
    struct SDateAndTimeFields
    {
        CDate date;
        CTime time;
    };
    struct SWeekdayAndTimeFields
    {
        CTime time;
        uint8_t days = 0;
    };
    struct SColourList
    {
        CColour slot[kColourSlots];
    };

    static constexpr size_t kPayloadSize =
        LargestSizeOf<uint32_t, CCoordinate, CTime, CTimecode, CMidiAddress, CFrame, CDate,
                  SDateAndTimeFields, SWeekdayAndTimeFields, CIpAddress, CVersion, CDigest,
                  SDmxAddress, SPackedRange, SMacAddress, CMoney, CPoint, CCueNumber, CConnection,
                  SUdpMessage, SMidiMessage, SColourList>();

    // The payload area is plain bytes, so that re-typed values read other types' bytes without
    // undefined behaviour; every type kept in it is trivially copyable.
    template <typename T>
    T Load() const
    {
        static_assert(std::is_trivially_copyable<T>::value && sizeof(T) <= kPayloadSize, "payload");
        T value;
        std::memcpy(static_cast<void*>(&value), m_payload, sizeof(T));
        return value;
    }
    template <typename T>
    void Store(const T& value)
    {
        static_assert(std::is_trivially_copyable<T>::value && sizeof(T) <= kPayloadSize, "payload");
        std::memcpy(m_payload, static_cast<const void*>(&value), sizeof(T));
    }
    void StoreColourAt(int index, const CColour& colour);
    bool PayloadEquals(const CValue& other) const;

    uint32_t m_type = kUnknown;
    float m_float[4] = {0.0f, 0.0f, 1.0f, 0.5f};
    std::string m_text;
    boost::filesystem::path m_path;
    CValueImage m_image;
    uint64_t m_reserved[2] = {0, 0};
    alignas(8) unsigned char m_payload[kPayloadSize] = {};
};
