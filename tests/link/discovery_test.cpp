#include "link/discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
bool Parse(const std::string& text, CDiscoveredDevice& out, uint32_t identity = 23)
{
    return ParseDiscoveryAnswer(reinterpret_cast<const uint8_t*>(text.data()), text.size(), out, identity);
}

std::string Answer(const std::string& label, const std::string& ip, const std::string& port)
{
    return "<?xml version=\"1.0\" ?> <zevral_identify label=\"" + label + "\"><ip>" + ip + "</ip><port>" +
           port + "</port></zevral_identify>";
}
}  // namespace

TEST(Discovery, RequestIsFifteenBytesWithoutTerminator)
{
    ASSERT_EQ(kDiscoveryRequestSize, 15u);
    const uint8_t request[15] = {'z', 'e', 'v', 'r', 'a', 'l', '_', 'i', 'd', 'e', 'n', 't', 'i', 'f', 'y'};
    EXPECT_EQ(std::string(kDiscoveryRequest, kDiscoveryRequestSize), std::string(request, request + 15));
    EXPECT_TRUE(IsDiscoveryRequest(request, 15));
    EXPECT_FALSE(IsDiscoveryRequest(request, 14));
    EXPECT_EQ(kDiscoveryAnswerPrefixSize, 46u);
}

TEST(Discovery, AcceptedAnswerGivesAddressPortAndType)
{
    CDiscoveredDevice device;
    ASSERT_TRUE(Parse(Answer("KDX-1", "192.168.77.2", "16946"), device));
    EXPECT_EQ(device.address, CIpAddress(192, 168, 77, 2));
    EXPECT_EQ(device.address.GetPort(), 16946u);
    EXPECT_EQ(device.type, DEVICE_TYPE_KDX1);

    // The text ends at the first NUL; a trailing NUL is harmless.
    std::string withNul = Answer("Murel-2", "10.0.0.9", "7") + std::string(1, '\0') + "junk";
    ASSERT_TRUE(Parse(withNul, device));
    EXPECT_EQ(device.type, DEVICE_TYPE_MUREL2);
    EXPECT_EQ(device.address.GetPort(), 7u);
}

TEST(Discovery, PrefixIgnoresCaseButTheLabelSearchDoesNot)
{
    CDiscoveredDevice device;
    std::string lower = Answer("KDX-2", "192.168.1.5", "16946");
    for (size_t i = 0; i < 22; ++i)
        lower[i] = char(std::tolower(lower[i]));
    EXPECT_TRUE(IsDiscoveryAnswer(reinterpret_cast<const uint8_t*>(lower.data()), lower.size()));
    EXPECT_TRUE(Parse(lower, device));

    std::string capitals = Answer("KDX-2", "192.168.1.5", "16946");
    const size_t at = capitals.find("label=");
    capitals.replace(at, 5, "LABEL");
    EXPECT_TRUE(IsDiscoveryAnswer(reinterpret_cast<const uint8_t*>(capitals.data()), capitals.size()));
    EXPECT_FALSE(Parse(capitals, device)) << "no quoted label: no type";

    const std::string shortText = "<?xml version=\"1.0\" ?> <zevral_identify";
    EXPECT_FALSE(IsDiscoveryAnswer(reinterpret_cast<const uint8_t*>(shortText.data()), shortText.size()));
    std::string cutByNul = Answer("KDX-1", "1.2.3.4", "5");
    cutByNul[10] = '\0';
    EXPECT_FALSE(Parse(cutByNul, device));
}

TEST(Discovery, OnlyTheProgramsUnitTypesAreAccepted)
{
    CDiscoveredDevice device;
    EXPECT_TRUE(Parse(Answer("kdx-1", "192.168.1.5", "1"), device));
    EXPECT_EQ(device.type, DEVICE_TYPE_KDX1);
    EXPECT_TRUE(Parse(Answer("MUREL-1", "192.168.1.5", "1"), device));
    EXPECT_FALSE(Parse(Answer("Zintrax", "192.168.1.5", "1"), device));
    EXPECT_FALSE(Parse(Answer("Lumivo", "192.168.1.5", "1"), device));
    EXPECT_FALSE(Parse(Answer("Emulation", "192.168.1.5", "1"), device));
    EXPECT_FALSE(Parse(Answer("Stage box", "192.168.1.5", "1"), device));
    // The main product also serves the two types this program refuses.
    EXPECT_TRUE(Parse(Answer("Lumivo", "192.168.1.5", "1"), device, 24));
    EXPECT_TRUE(Parse(Answer("Emulation", "192.168.1.5", "1"), device, 24));
    EXPECT_FALSE(Parse(Answer("Zintrax", "192.168.1.5", "1"), device, 24));

    // A label without its closing quote runs to the end of the text.
    EXPECT_FALSE(Parse("<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1", device));
}

TEST(Discovery, PortIsASignedDecimalKeptTo16Bits)
{
    CDiscoveredDevice device;
    ASSERT_TRUE(Parse(Answer("KDX-1", "192.168.1.5", "+16946"), device));
    EXPECT_EQ(device.address.GetPort(), 16946u);
    ASSERT_TRUE(Parse(Answer("KDX-1", "192.168.1.5", "-1"), device));
    EXPECT_EQ(device.address.GetPort(), 65535u);
    ASSERT_TRUE(Parse(Answer("KDX-1", "192.168.1.5", "65537"), device));
    EXPECT_EQ(device.address.GetPort(), 1u);
    ASSERT_TRUE(Parse(Answer("KDX-1", "192.168.1.5", "99999999999"), device));
    EXPECT_EQ(device.address.GetPort(), uint16_t(uint32_t(99999999999ull)));

    for (const char* bad : {"", "+", "-", "16946a", " 16946", "0x10"})
        EXPECT_FALSE(Parse(Answer("KDX-1", "192.168.1.5", bad), device)) << '"' << bad << '"';
    EXPECT_FALSE(Parse("<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1\"><ip>1.2.3.4</ip>", device));
}

TEST(Discovery, AnswersWithoutAUsableAddressAreIgnored)
{
    CDiscoveredDevice device;
    device.type = 99;
    EXPECT_FALSE(Parse(Answer("KDX-1", "not an address", "16946"), device));
    EXPECT_FALSE(Parse(Answer("KDX-1", "256.1.1.1", "16946"), device));
    EXPECT_FALSE(Parse(Answer("KDX-1", "0.0.0.0", "16946"), device));
    EXPECT_FALSE(Parse(Answer("KDX-1", "255.255.255.255", "16946"), device));
    EXPECT_FALSE(Parse("<?xml version=\"1.0\" ?> <zevral_identify label=\"KDX-1\"><port>5</port>", device));
    EXPECT_EQ(device.type, 99u) << "a refused answer leaves the record alone";

    // What the answer parses to must still be one unit this host can talk to.
    // Each subnet by its interface's own netmask, whatever class its addresses are in.
    const std::vector<CInterfaceAddress> locals = {{CIpAddress(192, 168, 77, 1), kNetmaskC},
                                                   {CIpAddress(10, 0, 0, 1), kNetmaskC},
                                                   {CIpAddress(192, 168, 0, 1), CIpAddress(255, 255, 254, 0)},
                                                   {CIpAddress(10, 9, 0, 0), CIpAddress(255, 255, 255, 254)}};
    const CIpAddress lan(192, 168, 77, 9, 16945);
    const CIpAddress loopback(127, 0, 0, 1, 16945);
    struct
    {
        CIpAddress unit;
        CIpAddress sender;
        bool usable;
    } const cases[] = {
        {CIpAddress(192, 168, 77, 2), lan, true},
        {CIpAddress(10, 0, 0, 5), lan, true},
        {CIpAddress(223, 255, 255, 254), lan, true},
        {CIpAddress(192, 168, 77, 255), lan, false},  // the local subnet's broadcast
        {CIpAddress(10, 0, 0, 255), lan, false},      // a /24's broadcast in class A
        {CIpAddress(192, 168, 1, 255), lan, false},   // a /23's broadcast
        {CIpAddress(192, 168, 0, 255), lan, true},    // a host in the middle of that /23
        {CIpAddress(10, 9, 0, 1), lan, true},         // the far end of a point-to-point /31
        {CIpAddress(0, 0, 0, 7), lan, false},         // this network
        {CIpAddress(224, 0, 0, 1), lan, false},       // multicast
        {CIpAddress(239, 255, 255, 250), lan, false},
        {CIpAddress(240, 0, 0, 1), lan, false},  // reserved
        {CIpAddress(127, 0, 0, 1), lan, false},  // loopback named from elsewhere
        {CIpAddress(127, 0, 0, 2), loopback, true},
        {CIpAddress(192, 168, 77, 2), loopback, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsUsableUnitAddress(c.unit, c.sender, locals), c.usable)
            << c.unit.ToText() << " from " << c.sender.ToText();
}
