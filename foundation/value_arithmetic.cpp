#include "foundation/value.h"

#include <cmath>

namespace {

// float(u) * f truncated toward zero and kept as 32 bits; what has no integer (NaN, infinities,
// magnitudes past 64 bits) gives 0 rather than an undefined conversion.
uint32_t ScaleUnsigned(uint32_t value, float factor, bool divide)
{
    const float result = divide ? float(value) / factor : float(value) * factor;
    if (!std::isfinite(result) || std::fabs(result) >= 9.2e18f)
        return 0;
    return uint32_t(uint64_t(int64_t(result)));
}

}  // namespace

bool CValue::PayloadEquals(const CValue& other) const
{
    switch (m_type) {
    case kColour: {
        const SColourList a = Load<SColourList>();
        const SColourList b = other.Load<SColourList>();
        for (int i = 0; i < kColourSlots; ++i) {
            if (a.slot[i] != b.slot[i])
                return false;
        }
        return true;
    }
    case kCoordinate:
        return GetCoordinate() == other.GetCoordinate();
    case kTime:
        return Load<CTime>() == other.Load<CTime>();
    case kMidiAddress:
        return GetMidiAddress() == other.GetMidiAddress();
    case kFrame:
        return GetFrame() == other.GetFrame();
    case kDate:
        return GetDate() == other.GetDate();
    case kDateAndTime: {
        const SDateAndTimeFields a = Load<SDateAndTimeFields>();
        const SDateAndTimeFields b = other.Load<SDateAndTimeFields>();
        return a.date == b.date && a.time == b.time;
    }
    case kWeekdayAndTime: {
        const SWeekdayAndTimeFields a = Load<SWeekdayAndTimeFields>();
        const SWeekdayAndTimeFields b = other.Load<SWeekdayAndTimeFields>();
        return a.days == b.days && a.time == b.time;
    }
    case kIpAddress: {
        const CIpAddress a = GetIpAddress();
        const CIpAddress b = other.GetIpAddress();
        return a == b && a.GetPort() == b.GetPort();
    }
    case kVersion:
        return GetVersion() == other.GetVersion();
    case kDigest:
        return GetDigest() == other.GetDigest();
    case kDmxAddress:
        return GetDmxAddress() == other.GetDmxAddress();
    case kRange:
        return GetRange() == other.GetRange();
    case kMacAddress:
        return GetMacAddress() == other.GetMacAddress();
    case kMoney:
        return GetMoney() == other.GetMoney();
    case kPoint:
        return GetPoint() == other.GetPoint();
    case kCueNumber:
        return GetCueNumber() == other.GetCueNumber();
    case kUdpMessage:
        return GetUdpMessage() == other.GetUdpMessage();
    case kMidiMessage:
        return GetMidiMessage() == other.GetMidiMessage();
    case kConnection: {
        const CConnection a = GetConnection();
        const CConnection b = other.GetConnection();
        return a == b && a.GetAddress().GetPort() == b.GetAddress().GetPort();
    }
    case kTimecode:
        return GetTimecode() == other.GetTimecode();
    default:
        // Image, Unknown and codes past the table hold nothing of their own in the payload: two
        // such values are equal when their payload bytes are (an image is not compared).
        return std::memcmp(m_payload, other.m_payload, sizeof(m_payload)) == 0;
    }
}

bool CValue::operator==(const CValue& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case kFloat:
    case kPercentage:
        return m_float[0] == other.m_float[0];
    case kUnsigned:
    case kPlayState:
    case kCommand:
    case kCueCondition:
    case kCueState:
    case kPlaybackFunction:
    case kTempoDivider:
    case kShape:
        return GetUnsigned() == other.GetUnsigned();
    case kString:
    case kAction:
    case kActionlist:
        return m_text == other.m_text;
    case kBool:
        return Load<uint8_t>() == other.Load<uint8_t>();
    case kPath:
        return m_path == other.m_path;
    default:
        return PayloadEquals(other);
    }
}

bool CValue::operator<(const CValue& other) const
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        return m_float[0] < other.m_float[0];
    case kUnsigned:
    case kCommand:
    case kCueCondition:
    case kCueState:
    case kPlaybackFunction:
    case kTempoDivider:
        return GetUnsigned() < other.GetUnsigned();
    case kString:
        return m_text < other.m_text;
    case kColour:
        return GetColourAt(0).GetBrightness() < other.GetColourAt(0).GetBrightness();
    case kBool:
        return Load<uint8_t>() < other.Load<uint8_t>();
    case kTime:
        return Load<CTime>() < other.GetTime();
    case kFrame:
        return GetFrame() < other.GetFrame();
    case kDate:
        return GetDate().GetDayCount() < other.GetDate().GetDayCount();
    case kTimecode:
        return GetTimecode() < other.GetTimecode();
    case kMidiAddress:
        return GetMidiAddress() < other.GetMidiAddress();
    case kVersion:
        return other.GetVersion() > GetVersion();
    case kUnknown:
        return true;
    default:  // Action and Actionlist, and every type without an order
        return false;
    }
}

bool CValue::operator>(const CValue& other) const
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        return m_float[0] > other.m_float[0];
    case kUnsigned:
    case kCommand:
    case kCueCondition:
    case kCueState:
    case kPlaybackFunction:
    case kTempoDivider:
        return GetUnsigned() > other.GetUnsigned();
    case kString:
        return m_text > other.m_text;
    case kColour:
        return GetColourAt(0).GetBrightness() > other.GetColourAt(0).GetBrightness();
    case kBool:
        return Load<uint8_t>() > other.Load<uint8_t>();
    case kTime:
        return Load<CTime>() > other.GetTime();
    case kFrame:
        return GetFrame() > other.GetFrame();
    case kDate:
        return GetDate().GetDayCount() > other.GetDate().GetDayCount();
    case kTimecode:
        return GetTimecode() > other.GetTimecode();
    case kMidiAddress:
        return GetMidiAddress() > other.GetMidiAddress();
    case kVersion:
        return GetVersion() > other.GetVersion();
    case kUnknown:
    case kAction:
    case kActionlist:
        return true;
    default:
        return false;
    }
}

CValue& CValue::operator+=(const CValue& other)
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        m_float[0] += other.m_float[0];
        break;
    case kUnsigned:
        Store(uint32_t(GetUnsigned() + other.GetUnsigned()));
        break;
    case kColour: {
        CColour colour = GetColourAt(0);
        colour.Add(other.GetColourAt(0));
        StoreColourAt(0, colour);
        break;
    }
    case kCoordinate: {
        CCoordinate coordinate = GetCoordinate();
        coordinate += other.GetCoordinate();
        Store(coordinate);
        break;
    }
    case kTime: {
        CTime time = Load<CTime>();
        time += other.GetTime();
        Store(time);
        break;
    }
    case kFrame: {
        CFrame frame = GetFrame();
        frame += other.GetFrame();
        Store(frame);
        break;
    }
    case kTimecode: {
        CTimecode timecode = GetTimecode();
        timecode += other.GetTimecode();
        Store(timecode);
        break;
    }
    default:
        break;
    }
    return *this;
}

CValue& CValue::operator-=(const CValue& other)
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        m_float[0] -= other.m_float[0];
        break;
    case kUnsigned:
        Store(uint32_t(GetUnsigned() - other.GetUnsigned()));
        break;
    case kColour: {
        CColour colour = GetColourAt(0);
        colour.Subtract(other.GetColourAt(0));
        StoreColourAt(0, colour);
        break;
    }
    case kCoordinate: {
        CCoordinate coordinate = GetCoordinate();
        coordinate -= other.GetCoordinate();
        Store(coordinate);
        break;
    }
    case kTime: {
        CTime time = Load<CTime>();
        time -= other.GetTime();
        Store(time);
        break;
    }
    case kFrame: {
        CFrame frame = GetFrame();
        frame -= other.GetFrame();
        Store(frame);
        break;
    }
    case kTimecode: {
        CTimecode timecode = GetTimecode();
        timecode -= other.GetTimecode();
        Store(timecode);
        break;
    }
    default:
        break;
    }
    return *this;
}

CValue& CValue::operator*=(float factor)
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        m_float[0] *= factor;
        break;
    case kUnsigned:
        Store(ScaleUnsigned(GetUnsigned(), factor, false));
        break;
    case kColour: {
        CColour colour = GetColourAt(0);
        colour.ScaleInPlace(factor);
        StoreColourAt(0, colour);
        break;
    }
    case kBool:
        Store(uint8_t(Load<uint8_t>() == 1 && factor >= 0.5f ? 1 : 0));
        break;
    case kCoordinate: {
        CCoordinate coordinate = GetCoordinate();
        coordinate *= factor;
        Store(coordinate);
        break;
    }
    case kFrame: {
        CFrame frame = GetFrame();
        frame *= factor;
        Store(frame);
        break;
    }
    default:
        break;
    }
    return *this;
}

CValue& CValue::operator/=(float factor)
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        m_float[0] /= factor;
        break;
    case kUnsigned:
        Store(ScaleUnsigned(GetUnsigned(), factor, true));
        break;
    case kColour: {
        CColour colour = GetColourAt(0);
        colour.DivideInPlace(factor);
        StoreColourAt(0, colour);
        break;
    }
    case kBool:
        Store(uint8_t(Load<uint8_t>() == 1 && factor <= 0.5f ? 1 : 0));
        break;
    case kCoordinate: {
        CCoordinate coordinate = GetCoordinate();
        coordinate /= factor;
        Store(coordinate);
        break;
    }
    case kFrame: {
        CFrame frame = GetFrame();
        frame /= factor;
        Store(frame);
        break;
    }
    default:
        break;
    }
    return *this;
}

bool CValue::Matches(const CValue& trigger) const
{
    if (m_type != trigger.m_type)
        return false;
    // The trigger is the pattern: its wildcards match anything in this value.
    switch (m_type) {
    case kWeekdayAndTime:
        return trigger.GetWeekdayAndTime().Matches(GetWeekdayAndTime());
    case kDateAndTime:
        return trigger.GetDateAndTime().Matches(GetDateAndTime());
    case kMidiAddress:
        return trigger.GetMidiAddress().Matches(GetMidiAddress());
    default:
        return *this == trigger;
    }
}
