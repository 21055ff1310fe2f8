#include "link/discovery.h"

#include "foundation/ascii.h"

#include <cstring>

namespace
{
constexpr uint32_t kMainProductIdentity = 24;

// The datagram's text: its bytes up to the first NUL.
std::string TextOf(const uint8_t* bytes, size_t count)
{
    if (!bytes)
        return std::string();
    const void* nul = std::memchr(bytes, 0, count);
    const size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - bytes) : count;
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

// The text after the first occurrence of start up to the next stop character (or the end);
// false when start does not occur.
bool FindField(const std::string& text, const char* start, char stop, std::string& field)
{
    const size_t at = text.find(start);
    if (at == std::string::npos)
        return false;
    const size_t begin = at + std::strlen(start);
    const size_t end = text.find(stop, begin);
    field = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    return true;
}

// Decimal digits with an optional sign; "-" negates modulo 2^32. False for anything else.
bool ParsePort(const std::string& text, uint16_t& port)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    uint32_t value = 0;
    for (; i < text.size(); ++i)
    {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    }
    if (negative)
        value = 0u - value;
    port = static_cast<uint16_t>(value);
    return true;
}

// Whether the address is the subnet's broadcast: the interface's network with every host bit set.
// Requests to it would reach every host there, so it is never one unit's, whichever interface
// the answer came in on. Point-to-point (/31) and single-host (/32) subnets have no broadcast.
bool IsDirectedBroadcast(const CIpAddress& address, const CInterfaceAddress& local)
{
    const uint32_t mask = local.netmask.ToUint32();
    if ((~mask & ~1u) == 0)
        return false;
    return address.ToUint32() == ((local.address.ToUint32() & mask) | ~mask);
}
}  // namespace

bool IsDiscoveryRequest(const uint8_t* bytes, size_t count)
{
    return bytes && count >= kDiscoveryRequestSize &&
           std::memcmp(bytes, kDiscoveryRequest, kDiscoveryRequestSize) == 0;
}

bool IsDiscoveryAnswer(const uint8_t* bytes, size_t count)
{
    // Every datagram that reaches the link is asked this: it is answered in place. The prefix
    // holds no NUL, so a text that ends early fails the comparison.
    if (!bytes || count < kDiscoveryAnswerPrefixSize)
        return false;
    for (size_t i = 0; i < kDiscoveryAnswerPrefixSize; ++i)
    {
        if (UpperAscii(static_cast<char>(bytes[i])) != UpperAscii(kDiscoveryAnswerPrefix[i]))
            return false;
    }
    return true;
}

bool IsAcceptedDeviceType(uint32_t type, uint32_t identity)
{
    switch (type)
    {
    case DEVICE_TYPE_KDX1:
    case DEVICE_TYPE_KDX2:
    case DEVICE_TYPE_MUREL1:
    case DEVICE_TYPE_MUREL2:
        return true;
    case DEVICE_TYPE_LUMIVO:
    case DEVICE_TYPE_EMULATION:
        return identity == kMainProductIdentity;
    default:
        return false;
    }
}

bool ParseDiscoveryAnswer(const uint8_t* bytes, size_t count, CDiscoveredDevice& out, uint32_t identity)
{
    if (!IsDiscoveryAnswer(bytes, count))
        return false;
    const std::string text = TextOf(bytes, count);

    std::string label;
    if (!FindField(text, "label=\"", '"', label))
        return false;
    const uint32_t type = DeviceTypeFromName(label);
    if (!IsAcceptedDeviceType(type, identity))
        return false;

    // A unit must name an address it can be reached at: text that is no address, and the
    // wildcard and broadcast addresses, would make the unit's requests go to this host or to
    // the whole network.
    std::string ipText;
    CIpAddress address;
    if (!FindField(text, "<ip>", '<', ipText) || !address.Parse(ipText))
        return false;
    if (address.ToUint32() == 0 || address.ToUint32() == 0xFFFFFFFFu)
        return false;

    std::string portText;
    uint16_t port = 0;
    if (!FindField(text, "<port>", '<', portText) || !ParsePort(portText, port))
        return false;

    address.SetPort(port);
    out.address = address;
    out.type = type;
    return true;
}

bool IsUsableUnitAddress(const CIpAddress& unit, const CIpAddress& sender,
                         const std::vector<CInterfaceAddress>& locals)
{
    const uint8_t first = unit.GetOctet(0);
    if (first == 0 || first >= 224)
        return false;
    if (first == 127 && sender.GetOctet(0) != 127)
        return false;
    for (const CInterfaceAddress& local : locals)
        if (IsDirectedBroadcast(unit, local))
            return false;
    return true;
}
