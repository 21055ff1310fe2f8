#pragma once

#include <cstdint>
#include <string>

// An IPv4 address (octet 0 is the first number of the dotted form) with a port in host order.
// Equality compares the address only.
class CIpAddress
{
public:
    constexpr CIpAddress() = default;
    constexpr CIpAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint16_t port = 0)
        : m_octets{a, b, c, d}, m_port(port) {}

    // Four dotted decimal numbers 0..255 of one to three digits each (leading zeros are
    // decimal: 010 is ten), optionally ":" and a port of one to five digits.
    static bool IsValidText(const std::string& text);
    // Returns false and leaves the address alone for text that IsValidText refuses; a port
    // above 65535 keeps its low 16 bits; without a port the port is 0.
    bool Parse(const std::string& text);

    bool operator==(const CIpAddress& other) const;
    bool operator!=(const CIpAddress& other) const { return !(*this == other); }

    uint8_t GetOctet(int index) const { return m_octets[index & 3]; }
    void SetOctet(int index, uint8_t value) { m_octets[index & 3] = value; }
    uint16_t GetPort() const { return m_port; }
    void SetPort(uint16_t port) { m_port = port; }

    // Octet 0 most significant.
    uint32_t ToUint32() const;
    static CIpAddress FromUint32(uint32_t value, uint16_t port = 0);

    // "192.168.1.10".
    std::string ToText() const;

    // The class netmask: 255.0.0.0 below 128, 255.255.0.0 below 192, else 255.255.255.0.
    static CIpAddress GetDefaultNetmask(const CIpAddress& address);
    // The directed broadcast of one of those three netmasks, keeping the address's port.
    static CIpAddress GetBroadcast(const CIpAddress& address, const CIpAddress& netmask);

private:
    uint8_t m_octets[4] = {0, 0, 0, 0};
    uint16_t m_port = 0;
};

inline constexpr CIpAddress kLoopbackAddress(127, 0, 0, 1);
inline constexpr CIpAddress kNetmaskA(255, 0, 0, 0);
inline constexpr CIpAddress kNetmaskB(255, 255, 0, 0);
inline constexpr CIpAddress kNetmaskC(255, 255, 255, 0);

// One of this machine's addresses with the netmask of the interface that holds it.
struct CInterfaceAddress
{
    CIpAddress address;
    CIpAddress netmask;
};

// "192.168.1.10:16945".
std::string FormatIpAddressPort(const CIpAddress& address);
// Equal addresses and equal ports (the operator compares addresses only).
inline bool SameAddressAndPort(const CIpAddress& a, const CIpAddress& b)
{
    return a == b && a.GetPort() == b.GetPort();
}

// A unit's address: an IPv4 address with port and the unit's sub-index, shown as a letter
// ("A" for 0 .. "H" for 7; 8 stands for anything else).
class CConnection
{
public:
    static constexpr uint16_t kOtherIndex = 8;

    CConnection() = default;
    explicit CConnection(const CIpAddress& address) : m_address(address) {}
    explicit CConnection(const std::string& text) { Parse(text); }

    // "192.168.1.10:B", or a bare address for index 0. False, value unchanged, for an address
    // that CIpAddress::Parse refuses.
    bool Parse(const std::string& text);
    // "-" for 0.0.0.0 and 255.255.255.255, else "192.168.1.10:B".
    std::string ToString() const;

    // Address and index; the port is not compared.
    bool operator==(const CConnection& other) const;
    bool operator!=(const CConnection& other) const { return !(*this == other); }
    bool IsSameAddressAndPort(const CConnection& other) const;

    uint16_t GetIndex() const { return m_index; }
    void SetIndex(uint16_t index) { m_index = index; }
    CIpAddress GetAddress() const { return m_address; }
    void SetAddress(const CIpAddress& address) { m_address = address; }

private:
    CIpAddress m_address;
    uint16_t m_index = 0;
};
