#include "foundation/value.h"

#include "foundation/ascii.h"

namespace {

const char* const kTypeNames[CValue::kTypeCount] = {
    "Float",          "Unsigned",        "String",        "Colour",
    "Play State",     "Bool",            "Coordinate",    "Time",
    "MIDI Address",   "Command",         "Cue Condition", "Cue State",
    "Playback Function", "Shape",        "Frame",         "Date",
    "Date and Time",  "Weekday and Time", "Tempo Divider", "Action",
    "Actionlist",     "IpAddress",       "Version",       "Digest",
    "DmxAddress",     "Range",           "MacAddress",    "Path",
    "Money",          "Image",           "Percentage",    "Point",
    "Cue Number",     "UDP Message",     "MIDI Message",  "Connection",
    "Timecode",       "Unknown",
};

bool IsEmptyColour(const CColour& colour)
{
    for (int channel = 0; channel < CColour::kChannelCount; ++channel) {
        if (colour.GetLevel(CColour::EChannel(channel)) != 0)
            return false;
    }
    return true;
}

}  // namespace

const char* CValue::TypeName(uint32_t type)
{
    return type < kTypeCount ? kTypeNames[type] : "";
}

uint32_t CValue::TypeFromName(const std::string& name)
{
    for (uint32_t type = 0; type < kUnknown; ++type) {
        if (EqualIgnoringAsciiCase(name, kTypeNames[type]))
            return type;
    }
    return kUnknown;
}

CValue::CValue(EType type) : m_type(type)
{
    switch (type) {
    case kTime:
        Store(CTime());
        break;
    case kTimecode:
        Store(CTimecode());
        break;
    case kDate:
        Store(CDate());
        break;
    case kDateAndTime:
        Store(SDateAndTimeFields());
        break;
    case kWeekdayAndTime:
        Store(SWeekdayAndTimeFields());
        break;
    case kFrame:
        Store(CFrame());
        break;
    case kMidiAddress:
        Store(CMidiAddress());
        break;
    case kRange:
        Store(CRange().Pack());
        break;
    case kUdpMessage:
        Store(SUdpMessage());
        break;
    case kMidiMessage:
        Store(SMidiMessage());
        break;
    default:
        break;
    }
}

CValue::CValue(const CColour& colour) : m_type(kColour)
{
    StoreColourAt(0, colour);
}

CValue::CValue(const CRgbaColour& colour) : CValue(CColour(colour)) {}

CValue::CValue(const CTime& time) : m_type(kTime)
{
    Store(time);
}

CValue::CValue(const CTimecode& timecode) : m_type(kTimecode)
{
    Store(timecode);
}

CValue::CValue(const CDateAndTime& dateAndTime) : m_type(kDateAndTime)
{
    Store(SDateAndTimeFields{dateAndTime.GetDate(), dateAndTime.GetTime()});
}

CValue::CValue(const CWeekdayAndTime& weekdayAndTime) : m_type(kWeekdayAndTime)
{
    Store(SWeekdayAndTimeFields{weekdayAndTime.GetTime(), weekdayAndTime.GetMask()});
}

CValue::CValue(const CDate& date) : m_type(kDate)
{
    Store(date);
}

CValue::CValue(const boost::filesystem::path& path) : m_type(kPath), m_path(path) {}

CValue::CValue(const CCoordinate& coordinate) : m_type(kCoordinate)
{
    Store(coordinate);
}

CValue::CValue(const CIpAddress& address) : m_type(kIpAddress)
{
    Store(address);
}

CValue::CValue(const SMacAddress& address) : m_type(kMacAddress)
{
    Store(address);
}

CValue::CValue(const SUdpMessage& message) : m_type(kUdpMessage)
{
    Store(message);
}

CValue::CValue(const std::string& text) : m_type(kString), m_text(text) {}

CValue::CValue(float value) : m_type(kFloat)
{
    m_float[0] = value;
}

CValue::CValue(uint32_t value) : m_type(kUnsigned)
{
    Store(value);
}

CValue::CValue(bool value) : m_type(kBool)
{
    Store(uint8_t(value ? 1 : 0));
}

CValue::CValue(const CVersion& version) : m_type(kVersion)
{
    Store(version);
}

CValue::CValue(const CCueNumber& number) : m_type(kCueNumber)
{
    Store(number);
}

CValue::CValue(const CConnection& connection) : m_type(kConnection)
{
    Store(connection);
}

CValue::CValue(const CFrame& frame) : m_type(kFrame)
{
    Store(frame);
}

CValue::CValue(const CDigest& digest) : m_type(kDigest)
{
    Store(digest);
}

CValue::CValue(const SPackedRange& range) : m_type(kRange)
{
    Store(range);
}

CValue::CValue(const SDmxAddress& address) : m_type(kDmxAddress)
{
    Store(address);
}

CValue::CValue(const CMidiAddress& address) : m_type(kMidiAddress)
{
    Store(address);
}

CValue::CValue(const SMidiMessage& message) : m_type(kMidiMessage)
{
    Store(message);
}

CValue::CValue(const CMoney& money) : m_type(kMoney)
{
    Store(money);
}

CValue::CValue(const CValueImage& image) : m_type(kImage), m_image(image) {}

CValue::CValue(const CPoint& point) : m_type(kPoint)
{
    Store(point);
}

CValue::CValue(ECueCondition code) : m_type(kCueCondition)
{
    Store(uint32_t(code));
}

CValue::CValue(ETempoDivider code) : m_type(kTempoDivider)
{
    Store(uint32_t(code));
}

CValue::CValue(ECueState code) : m_type(kCueState)
{
    Store(uint32_t(code));
}

CValue::CValue(EPlayState code) : m_type(kPlayState)
{
    Store(uint32_t(code));
}

CValue::CValue(ECommand code) : m_type(kCommand)
{
    Store(uint32_t(code));
}

CValue& CValue::operator=(const CValue& other)
{
    if (this == &other)
        return *this;
    m_type = other.m_type;
    switch (m_type) {
    case kString:
        m_text = other.m_text;
        break;
    case kAction:
    case kActionlist:
        m_text = other.m_text;
        m_reserved[0] = other.m_reserved[0];
        m_reserved[1] = other.m_reserved[1];
        break;
    case kPath:
        m_path = other.m_path;
        break;
    case kImage:
        m_image = other.m_image;
        break;
    default:
        std::memcpy(m_float, other.m_float, sizeof(m_float));
        std::memcpy(m_payload, other.m_payload, sizeof(m_payload));
        break;
    }
    return *this;
}

CValue& CValue::Set(const CFrame& frame)
{
    m_type = kFrame;
    Store(frame);
    return *this;
}

CValue& CValue::Set(float value)
{
    m_type = kFloat;
    m_float[0] = value;
    return *this;
}

CValue& CValue::Set(uint32_t value)
{
    m_type = kUnsigned;
    Store(value);
    return *this;
}

CValue& CValue::Set(const std::string& text)
{
    m_type = kString;
    m_text = text;
    return *this;
}

CValue& CValue::Set(const CColour& colour)
{
    m_type = kColour;
    StoreColourAt(0, colour);
    return *this;
}

CValue& CValue::Set(const CRgbaColour& colour)
{
    return Set(CColour(colour));
}

CValue& CValue::Set(const CCoordinate& coordinate)
{
    m_type = kCoordinate;
    Store(coordinate);
    return *this;
}

CValue& CValue::Set(const CPoint& point)
{
    m_type = kPoint;
    Store(point);
    return *this;
}

CValue& CValue::Set(const CTime& time)
{
    m_type = kTime;
    Store(time);
    return *this;
}

CValue& CValue::Set(const CTimecode& timecode)
{
    m_type = kTimecode;
    Store(timecode);
    return *this;
}

CValue& CValue::Set(const CDateAndTime& dateAndTime)
{
    m_type = kDateAndTime;
    Store(SDateAndTimeFields{dateAndTime.GetDate(), dateAndTime.GetTime()});
    return *this;
}

CValue& CValue::Set(const CIpAddress& address)
{
    m_type = kIpAddress;
    Store(address);
    return *this;
}

CValue& CValue::Set(const CWeekdayAndTime& weekdayAndTime)
{
    m_type = kWeekdayAndTime;
    Store(SWeekdayAndTimeFields{weekdayAndTime.GetTime(), weekdayAndTime.GetMask()});
    return *this;
}

CValue& CValue::Set(const CCueNumber& number)
{
    m_type = kCueNumber;
    Store(number);
    return *this;
}

CValue& CValue::Set(const CDate& date)
{
    m_type = kDate;
    Store(date);
    return *this;
}

CValue& CValue::Set(bool value)
{
    m_type = kBool;
    Store(uint8_t(value ? 1 : 0));
    return *this;
}

bool CValue::SetType(uint32_t type)
{
    const bool changed = type != m_type;
    m_type = type;
    return changed;
}

void CValue::Reset(uint32_t type)
{
    m_type = type;
    const CValue fresh;
    std::memcpy(m_float, fresh.m_float, sizeof(m_float));
    m_reserved[0] = m_reserved[1] = 0;
    std::memset(m_payload, 0, sizeof(m_payload));
}

float CValue::GetAuxiliaryFloat(int index) const
{
    return index >= 1 && index <= 3 ? m_float[index] : 0.0f;
}

void CValue::SetAuxiliaryFloat(int index, float value)
{
    if (index >= 1 && index <= 3)
        m_float[index] = value;
}

CDateAndTime CValue::GetDateAndTime() const
{
    const SDateAndTimeFields fields = Load<SDateAndTimeFields>();
    return CDateAndTime(fields.date, fields.time);
}

CWeekdayAndTime CValue::GetWeekdayAndTime() const
{
    const SWeekdayAndTimeFields fields = Load<SWeekdayAndTimeFields>();
    return CWeekdayAndTime(fields.time, fields.days);
}

CTime CValue::GetTime() const
{
    if (m_type == kTimecode)
        return GetTimecode().ToTime();
    return Load<CTime>();
}

CTime CValue::GetTimeOfDay() const
{
    if (m_type == kWeekdayAndTime)
        return Load<SWeekdayAndTimeFields>().time;
    if (m_type == kDateAndTime)
        return Load<SDateAndTimeFields>().time;
    return Load<CTime>();
}

void CValue::StoreColourAt(int index, const CColour& colour)
{
    std::memcpy(m_payload + size_t(index) * sizeof(CColour), static_cast<const void*>(&colour),
                sizeof(CColour));
}

void CValue::AddColour(const CColour& colour)
{
    m_type = kColour;
    const int count = CountColours();
    if (count < kColourSlots)
        StoreColourAt(count, colour);
}

CColour CValue::GetColourAt(int index) const
{
    if (index < 0 || index >= kColourSlots)
        return CColour(0u);
    return Load<SColourList>().slot[index];
}

int CValue::CountColours() const
{
    const SColourList list = Load<SColourList>();
    for (int i = 0; i < kColourSlots; ++i) {
        if (IsEmptyColour(list.slot[i]))
            return i;
    }
    return kColourSlots;
}

bool CValue::operator==(float value) const
{
    return m_type == kFloat && m_float[0] == value;
}

bool CValue::operator==(uint32_t value) const
{
    return m_type == kUnsigned && GetUnsigned() == value;
}

bool CValue::operator==(bool value) const
{
    return m_type == kBool && Load<uint8_t>() == uint8_t(value ? 1 : 0);
}

bool CValue::operator==(const CColour& colour) const
{
    return m_type == kColour && GetColourAt(0) == colour;
}

bool CValue::operator==(const CCoordinate& coordinate) const
{
    return m_type == kCoordinate && GetCoordinate() == coordinate;
}

bool CValue::operator==(const std::string& text) const
{
    return m_type == kString && m_text == text;
}
