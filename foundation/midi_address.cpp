#include "foundation/midi_address.h"

#include <cstdio>

namespace
{
const char* const kMessageNames[] = {"Note Off",       "Note On",          "AfterTouch",  "Control Change",
                                     "Program Change", "Channel Pressure", "Pitch Wheel", "Clock"};

// The text after the first '-', or all of it when there is none.
std::string AfterDash(const std::string& text)
{
    const size_t dash = text.find('-');
    return dash == std::string::npos ? text : text.substr(dash + 1);
}
}  // namespace

void CMidiAddress::SetFromMessage(uint32_t packed)
{
    m_channel = int32_t((packed >> 8) & 0x0F);
    m_message = (packed >> 12) & 0x0F;
    m_index = uint8_t(packed);
}

bool CMidiAddress::operator==(const CMidiAddress& other) const
{
    return m_message == other.m_message && m_channel == other.m_channel && m_index == other.m_index;
}

bool CMidiAddress::Matches(const CMidiAddress& other) const
{
    if (m_channel != kAnyChannel && other.m_channel != kAnyChannel && m_channel != other.m_channel)
        return false;
    return m_message == other.m_message && m_index == other.m_index;
}

const char* CMidiAddress::MessageName(uint32_t message)
{
    return message >= 8 && message <= 15 ? kMessageNames[message - 8] : "Unknown";
}

std::string CMidiAddress::ToString() const
{
    char text[80];
    std::snprintf(text, sizeof text, "Channel %i - Message %u - Index %u", m_channel, m_message, unsigned(m_index));
    return text;
}

std::string CMidiAddress::ToDisplayString() const
{
    char text[64];
    std::snprintf(text, sizeof text, "%s - Index %u", MessageName(m_message), unsigned(m_index));
    return text;
}

void CMidiAddress::Parse(const std::string& text)
{
    const std::string part2 = AfterDash(text);
    const std::string part3 = AfterDash(part2);

    int channel = 0;
    if (std::sscanf(text.c_str(), "Channel %i", &channel) != 1 &&
        std::sscanf(text.c_str(), "channel %i", &channel) != 1)
        channel = kAnyChannel;
    unsigned message = 0;
    if (std::sscanf(part2.c_str(), " Message %u", &message) != 1)
        message = 8;
    unsigned index = 0;
    if (std::sscanf(part3.c_str(), " Index %u", &index) != 1)
        index = 0;

    m_channel = channel;
    m_message = message;
    m_index = uint8_t(index);
}
