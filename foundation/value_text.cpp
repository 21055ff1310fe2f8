#include "foundation/value.h"

#include "foundation/xml_element.h"

#include <boost/lexical_cast.hpp>
#include <tinyxml.h>

#include <cmath>
#include <cstdio>

namespace {

std::string Printf(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string Decimal(uint32_t value)
{
    return std::to_string(value);
}

// "0.5" or "50%": a percentage is divided by 100.
float ParseFraction(const std::string& text)
{
    const size_t percent = text.find('%');
    if (percent == std::string::npos)
        return boost::lexical_cast<float>(text);
    return float(boost::lexical_cast<float>(text.substr(0, percent)) / 100.0);
}

bool EqualsOnIgnoringCase(const std::string& text)
{
    return text.size() == 2 && (text[0] == 'o' || text[0] == 'O') && (text[1] == 'n' || text[1] == 'N');
}

}  // namespace

std::string CValue::ToString() const
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        return Printf("%0.04f", m_float[0]);
    case kUnsigned:
    case kCueCondition:
    case kCueState:
    case kPlaybackFunction:
    case kTempoDivider:
    case kPlayState:
        return Decimal(GetUnsigned());
    case kString:
    case kAction:
    case kActionlist:
        return m_text;
    case kColour: {
        std::string text = GetColourAt(0).ToRgbcwauString();
        const int count = CountColours();
        for (int i = 1; i < count; ++i)
            text += " " + GetColourAt(i).ToRgbcwauString();
        return text;
    }
    case kBool:
        return GetBool() ? "On" : "Off";
    case kCoordinate:
        return GetCoordinate().ToString();
    case kTime:
        return Load<CTime>().ToString();
    case kMidiAddress:
        return GetMidiAddress().ToString();
    case kFrame:
        return GetFrame().ToString();
    case kDate:
        return GetDate().ToString();
    case kDateAndTime:
        return GetDateAndTime().ToString();
    case kWeekdayAndTime:
        return GetWeekdayAndTime().ToString();
    case kIpAddress:
        return FormatIpAddressPort(GetIpAddress());
    case kVersion:
        return FormatVersion(GetVersion());
    case kDigest:
        return GetDigest().ToString();
    case kDmxAddress:
        return FormatDmxAddress(GetDmxAddress(), false);
    case kMacAddress:
        return FormatMacAddress(GetMacAddress());
    case kPath:
        return m_path.string();
    case kCueNumber:
        return FormatCueNumber(GetCueNumber());
    case kTimecode:
        return GetTimecode().ToString();
    case kUnknown:
        return "-";
    default:  // Command, Shape, Range, Money, Image, Point, the message records
        return std::string();
    }
}

std::string CValue::ToDisplayString() const
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        return Printf("%.0f%%", double(m_float[0]) * 100.0);
    case kColour:
        return GetColourAt(0).ToHexString();
    case kCoordinate: {
        const CCoordinate c = GetCoordinate();
        char text[96];
        std::snprintf(text, sizeof(text), "%.0f%% : %.0f%%", double(c.GetX()) * 100.0,
                      double(c.GetY()) * 100.0);
        return text;
    }
    case kTime:
        return Load<CTime>().ToShortString();
    case kMidiAddress:
        return GetMidiAddress().ToDisplayString();
    case kPlayState:
        return std::string();
    case kShape:
        return Decimal(GetUnsigned());
    default:
        return ToString();
    }
}

void CValue::Parse(const std::string& text)
{
    switch (m_type) {
    case kFloat:
    case kPercentage:
        m_float[0] = ParseFraction(text);
        break;
    case kUnsigned:
    case kCueCondition:
    case kCueState:
    case kPlaybackFunction:
    case kTempoDivider:
        Store(boost::lexical_cast<uint32_t>(text));
        break;
    case kString:
    case kAction:
    case kActionlist:
        m_text = text;
        break;
    case kColour: {
        // Up to three blank-separated colours; slots the text does not reach keep theirs.
        size_t start = 0;
        for (int slot = 0; slot < kColourSlots; ++slot) {
            const size_t blank = text.find(' ', start);
            CColour colour = GetColourAt(slot);
            colour.Parse(text.substr(start, blank == std::string::npos ? std::string::npos : blank - start));
            StoreColourAt(slot, colour);
            if (blank == std::string::npos)
                break;
            start = blank + 1;
        }
        break;
    }
    case kBool:
        Store(uint8_t(EqualsOnIgnoringCase(text) ? 1 : 0));
        break;
    case kCoordinate: {
        // Only an axis that reads as a number is stored; the other keeps its value.
        float x = 0.0f;
        float y = 0.0f;
        const int count = std::sscanf(text.c_str(), "%f %f", &x, &y);
        CCoordinate coordinate = GetCoordinate();
        if (count >= 1 && !std::isnan(x))
            coordinate.SetX(x);
        if (count >= 2 && !std::isnan(y))
            coordinate.SetY(y);
        Store(coordinate);
        break;
    }
    case kTime: {
        CTime time = Load<CTime>();
        time.Parse(text);
        Store(time);
        break;
    }
    case kMidiAddress: {
        CMidiAddress address = GetMidiAddress();
        address.Parse(text);
        Store(address);
        break;
    }
    case kFrame: {
        CFrame frame = GetFrame();
        frame.Parse(text);
        Store(frame);
        break;
    }
    case kDate: {
        CDate date;
        date.Parse(text);
        Store(date);
        break;
    }
    case kDateAndTime: {
        CDateAndTime dateAndTime = GetDateAndTime();
        dateAndTime.Parse(text);
        Store(SDateAndTimeFields{dateAndTime.GetDate(), dateAndTime.GetTime()});
        break;
    }
    case kWeekdayAndTime: {
        CWeekdayAndTime weekdayAndTime = GetWeekdayAndTime();
        weekdayAndTime.Parse(text);
        Store(SWeekdayAndTimeFields{weekdayAndTime.GetTime(), weekdayAndTime.GetMask()});
        break;
    }
    case kIpAddress: {
        CIpAddress address = GetIpAddress();
        address.Parse(text);
        Store(address);
        break;
    }
    case kVersion:
        Store(CVersion(text));
        break;
    case kDigest: {
        CDigest digest = GetDigest();
        digest.FromString(text);
        Store(digest);
        break;
    }
    case kDmxAddress: {
        SDmxAddress address = GetDmxAddress();
        ParseDmxAddress(text, address);
        Store(address);
        break;
    }
    case kMacAddress: {
        SMacAddress address = GetMacAddress();
        ParseMacAddress(text, address);
        Store(address);
        break;
    }
    case kPath:
        m_path = text;
        break;
    case kCueNumber:
        Store(CCueNumber(text));
        break;
    case kTimecode: {
        CTimecode timecode = GetTimecode();
        timecode.Parse(text);
        Store(timecode);
        break;
    }
    default:  // no text form: Play State, Command, Shape, Range, Money, Image, Point, ...
        break;
    }
}

void CValue::WriteXml(TiXmlNode* parent) const
{
    if (!parent)
        return;
    TiXmlElement element("argument");
    element.SetAttribute("type", TypeName(m_type));
    if (m_type != kShape)
        element.InsertEndChild(TiXmlText(ToString()));
    parent->InsertEndChild(element);
}

void CValue::ReadXml(const TiXmlNode* node)
{
    const TiXmlElement* element = node ? node->ToElement() : nullptr;
    if (!element)
        return;
    const char* typeName = element->Attribute("type");
    if (!typeName)
        return;
    const uint32_t type = TypeFromName(typeName);
    if (type == kUnknown)
        return;
    m_type = type;
    if (type == kShape)
        return;
    // The whole text, also when a comment or a CDATA section splits it.
    const std::string text = XmlText(element);
    if (!text.empty())
        Parse(text);
}
