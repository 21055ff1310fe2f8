#include "foundation/ip_address.h"

#include <cstdio>
#include <cstring>

namespace {

struct SDottedText
{
    uint32_t numbers[5] = {0, 0, 0, 0, 0};
    bool hasPort = false;
};

// Reads one to maxDigits decimal digits at p.
bool ReadDigits(const char*& p, int maxDigits, uint32_t& value)
{
    int digits = 0;
    value = 0;
    while (*p >= '0' && *p <= '9') {
        if (++digits > maxDigits)
            return false;
        value = value * 10 + uint32_t(*p - '0');
        ++p;
    }
    return digits > 0;
}

// The whole text must be "a.b.c.d" or "a.b.c.d:port".
bool ReadDotted(const std::string& text, SDottedText& out)
{
    if (text.size() != std::strlen(text.c_str()))
        return false;  // an embedded NUL
    const char* p = text.c_str();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (*p != '.')
                return false;
            ++p;
        }
        if (!ReadDigits(p, 3, out.numbers[i]) || out.numbers[i] > 255)
            return false;
    }
    if (*p == ':') {
        ++p;
        if (!ReadDigits(p, 5, out.numbers[4]))
            return false;
        out.hasPort = true;
    }
    return *p == '\0';
}

}  // namespace

bool CIpAddress::IsValidText(const std::string& text)
{
    SDottedText dotted;
    return ReadDotted(text, dotted);
}

bool CIpAddress::Parse(const std::string& text)
{
    SDottedText dotted;
    if (!ReadDotted(text, dotted))
        return false;
    for (int i = 0; i < 4; ++i)
        m_octets[i] = uint8_t(dotted.numbers[i]);
    m_port = uint16_t(dotted.numbers[4] & 0xFFFFu);
    return true;
}

bool CIpAddress::operator==(const CIpAddress& other) const
{
    return std::memcmp(m_octets, other.m_octets, sizeof(m_octets)) == 0;
}

uint32_t CIpAddress::ToUint32() const
{
    return uint32_t(m_octets[0]) << 24 | uint32_t(m_octets[1]) << 16 | uint32_t(m_octets[2]) << 8 |
           m_octets[3];
}

CIpAddress CIpAddress::FromUint32(uint32_t value, uint16_t port)
{
    return CIpAddress(uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8),
                      uint8_t(value), port);
}

std::string CIpAddress::ToText() const
{
    char buffer[20];
    std::snprintf(buffer, sizeof(buffer), "%u.%u.%u.%u", unsigned(m_octets[0]),
                  unsigned(m_octets[1]), unsigned(m_octets[2]), unsigned(m_octets[3]));
    return buffer;
}

std::string FormatIpAddressPort(const CIpAddress& address)
{
    return address.ToText() + ":" + std::to_string(address.GetPort());
}

CIpAddress CIpAddress::GetDefaultNetmask(const CIpAddress& address)
{
    const uint8_t first = address.m_octets[0];
    if (first <= 127)
        return kNetmaskA;
    if (first <= 191)
        return kNetmaskB;
    return kNetmaskC;
}

CIpAddress CIpAddress::GetBroadcast(const CIpAddress& address, const CIpAddress& netmask)
{
    CIpAddress broadcast = address;
    broadcast.m_octets[3] = 255;
    if (netmask.m_octets[2] == 0) {
        broadcast.m_octets[2] = 255;
        if (netmask.m_octets[1] == 0)
            broadcast.m_octets[1] = 255;
    }
    return broadcast;
}

bool CConnection::Parse(const std::string& text)
{
    const size_t colon = text.find(':');
    uint16_t index = 0;
    CIpAddress address = m_address;
    if (colon == std::string::npos) {
        if (!address.Parse(text))
            return false;
    } else {
        if (colon + 1 < text.size()) {
            const char letter = text[colon + 1];
            index = (letter >= 'A' && letter <= 'H') ? uint16_t(letter - 'A') : kOtherIndex;
        }
        if (!address.Parse(text.substr(0, colon)))
            return false;
    }
    m_address = address;
    m_index = index;
    return true;
}

std::string CConnection::ToString() const
{
    const uint32_t value = m_address.ToUint32();
    if (value == 0 || value == 0xFFFFFFFFu)
        return "-";
    const uint16_t index = m_index < kOtherIndex ? m_index : kOtherIndex;
    return m_address.ToText() + ":" + char('A' + index);
}

bool CConnection::operator==(const CConnection& other) const
{
    return m_address == other.m_address && m_index == other.m_index;
}

bool CConnection::IsSameAddressAndPort(const CConnection& other) const
{
    return m_address == other.m_address && m_address.GetPort() == other.m_address.GetPort();
}
