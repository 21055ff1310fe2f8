#include "foundation/value_payloads.h"

#include "foundation/ascii.h"

#include <boost/lexical_cast.hpp>

#include <cstdio>
#include <cstring>
#include <vector>

bool SMacAddress::operator==(const SMacAddress& other) const
{
    return std::memcmp(bytes, other.bytes, sizeof(bytes)) == 0;
}

bool SUdpMessage::operator==(const SUdpMessage& other) const
{
    return time == other.time && sender == other.sender && sender.GetPort() == other.sender.GetPort() &&
           std::memcmp(data, other.data, sizeof(data)) == 0;
}

bool SMidiMessage::operator==(const SMidiMessage& other) const
{
    return data == other.data && address == other.address && time == other.time;
}

std::string FormatDmxAddress(const SDmxAddress& address, bool padded)
{
    char text[24];
    std::snprintf(text, sizeof(text), padded ? "%02u:%03u" : "%u:%u", unsigned(address.universe) + 1,
                  unsigned(address.channel));
    return text;
}

void ParseDmxAddress(const std::string& text, SDmxAddress& address)
{
    std::vector<uint32_t> numbers;
    size_t start = 0;
    while (numbers.size() < 5) {
        const size_t end = text.find_first_of(".:", start);
        numbers.push_back(boost::lexical_cast<uint32_t>(text.substr(start, end - start)));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    address.universe = uint8_t(numbers[0] - 1);
    if (numbers.size() > 1)
        address.channel = uint16_t(numbers[1]);
}

std::string FormatMacAddress(const SMacAddress& address)
{
    char text[24];
    const uint8_t* b = address.bytes;
    std::snprintf(text, sizeof(text), "%02X:%02X:%02X:%02X:%02X:%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
    return text;
}

bool ParseMacAddress(const std::string& text, SMacAddress& address)
{
    SMacAddress read;
    size_t i = 0;
    for (int group = 0; group < 6; ++group) {
        if (group > 0) {
            if (i >= text.size() || text[i] != ':')
                return false;
            ++i;
        }
        int value = 0;
        int digits = 0;
        while (i < text.size() && digits < 3 && HexDigitValue(text[i]) >= 0) {
            value = value * 16 + HexDigitValue(text[i]);
            ++digits;
            ++i;
        }
        if (digits == 0 || digits > 2)
            return false;
        read.bytes[group] = uint8_t(value);
    }
    if (i != text.size())
        return false;
    address = read;
    return true;
}
