#include "foundation/ip_address.h"

#include <gtest/gtest.h>

TEST(IpAddress, ValidTextsParseAsDecimal)
{
    const struct
    {
        const char* text;
        CIpAddress expected;
    } cases[] = {
        {"192.168.001.010", CIpAddress(192, 168, 1, 10, 0)},  // leading zeros are not octal
        {"10.0.0.7:16945", CIpAddress(10, 0, 0, 7, 16945)},
        {"255.255.255.255", CIpAddress(255, 255, 255, 255, 0)},
        {"0.0.0.0:0", CIpAddress()},
        {"1.2.3.4:70000", CIpAddress(1, 2, 3, 4, 4464)},  // low 16 bits of the port
        {"1.2.3.4:099", CIpAddress(1, 2, 3, 4, 99)},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(CIpAddress::IsValidText(c.text)) << c.text;
        CIpAddress address(9, 9, 9, 9, 9);
        ASSERT_TRUE(address.Parse(c.text)) << c.text;
        EXPECT_EQ(address.ToUint32(), c.expected.ToUint32()) << c.text;
        EXPECT_EQ(address.GetPort(), c.expected.GetPort()) << c.text;
    }
}

TEST(IpAddress, InvalidTextsLeaveTheAddressAlone)
{
    const char* texts[] = {
        "256.1.1.1", "1.2.3", "1.2.3.4:123456", "1.2.3.4.5", "1.2.3.4:", " 1.2.3.4", "1.2.3.4 ",
        "1..2.3", "0001.2.3.4", "1.2.3.-4", "1.2.3.4:-1", "", "a.b.c.d", "1.2.3.4:80x",
        "300.1.1.1", "192.168.1.260",
    };
    for (const char* text : texts) {
        EXPECT_FALSE(CIpAddress::IsValidText(text)) << text;
        CIpAddress address(9, 9, 9, 9, 9);
        EXPECT_FALSE(address.Parse(text)) << text;
        EXPECT_EQ(FormatIpAddressPort(address), "9.9.9.9:9") << text;
    }
    EXPECT_FALSE(CIpAddress::IsValidText(std::string("1.2.3.4\0", 8)));
}

TEST(IpAddress, EqualityIgnoresThePort)
{
    const CIpAddress a(10, 1, 2, 3, 80);
    const CIpAddress b(10, 1, 2, 3, 81);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, CIpAddress(10, 1, 2, 4, 80));
    EXPECT_TRUE(CConnection(a) == CConnection(b));
    EXPECT_FALSE(CConnection(a).IsSameAddressAndPort(CConnection(b)));
    EXPECT_TRUE(CConnection(a).IsSameAddressAndPort(CConnection(a)));
}

TEST(IpAddress, NumbersAndTexts)
{
    const CIpAddress address(192, 168, 1, 10, 16945);
    EXPECT_EQ(address.ToUint32(), 0xC0A8010Au);
    EXPECT_EQ(CIpAddress::FromUint32(0xC0A8010Au), address);
    EXPECT_EQ(address.ToText(), "192.168.1.10");
    EXPECT_EQ(FormatIpAddressPort(address), "192.168.1.10:16945");
    EXPECT_EQ(kLoopbackAddress.ToText(), "127.0.0.1");
}

TEST(IpAddress, ClassNetmasksAndBroadcasts)
{
    const struct
    {
        CIpAddress address;
        const char* netmask;
        const char* broadcast;
    } cases[] = {
        {CIpAddress(10, 1, 2, 3), "255.0.0.0", "10.255.255.255"},
        {CIpAddress(127, 0, 0, 1), "255.0.0.0", "127.255.255.255"},
        {CIpAddress(128, 0, 0, 1), "255.255.0.0", "128.0.255.255"},
        {CIpAddress(172, 16, 5, 4), "255.255.0.0", "172.16.255.255"},
        {CIpAddress(191, 1, 1, 1), "255.255.0.0", "191.1.255.255"},
        {CIpAddress(192, 168, 1, 10), "255.255.255.0", "192.168.1.255"},
        {CIpAddress(240, 1, 2, 3), "255.255.255.0", "240.1.2.255"},
    };
    for (const auto& c : cases) {
        const CIpAddress netmask = CIpAddress::GetDefaultNetmask(c.address);
        EXPECT_EQ(netmask.ToText(), c.netmask) << c.address.ToText();
        EXPECT_EQ(CIpAddress::GetBroadcast(c.address, netmask).ToText(), c.broadcast)
            << c.address.ToText();
    }
    CIpAddress withPort(192, 168, 1, 10, 16945);
    EXPECT_EQ(CIpAddress::GetBroadcast(withPort, kNetmaskC).GetPort(), 16945);
}

TEST(Connection, TextsAndLetters)
{
    CConnection connection(CIpAddress(192, 168, 1, 10));
    connection.SetIndex(1);
    EXPECT_EQ(connection.ToString(), "192.168.1.10:B");
    EXPECT_EQ(CConnection().ToString(), "-");
    EXPECT_EQ(CConnection(CIpAddress(255, 255, 255, 255)).ToString(), "-");
    connection.SetIndex(300);
    EXPECT_EQ(connection.ToString(), "192.168.1.10:I");

    const struct
    {
        const char* text;
        uint16_t index;
        const char* address;
    } cases[] = {
        {"192.168.1.10:C", 2, "192.168.1.10"},
        {"192.168.1.10:H", 7, "192.168.1.10"},
        {"192.168.1.10:Z", 8, "192.168.1.10"},
        {"192.168.1.10:a", 8, "192.168.1.10"},
        {"192.168.1.10:", 0, "192.168.1.10"},
        {"192.168.1.10", 0, "192.168.1.10"},
        {"10.0.0.7:16945", 8, "10.0.0.7"},  // the letter comes first: '1' is no unit letter
    };
    for (const auto& c : cases) {
        CConnection parsed;
        parsed.SetIndex(5);
        ASSERT_TRUE(parsed.Parse(c.text)) << c.text;
        EXPECT_EQ(parsed.GetIndex(), c.index) << c.text;
        EXPECT_EQ(parsed.GetAddress().ToText(), c.address) << c.text;
        EXPECT_EQ(parsed.GetAddress().GetPort(), 0) << c.text;
    }

    CConnection unchanged(std::string("10.1.1.1:D"));
    EXPECT_FALSE(unchanged.Parse("300.1.1.1:B"));
    EXPECT_EQ(unchanged.ToString(), "10.1.1.1:D");
    const CConnection back(unchanged.ToString());
    EXPECT_EQ(back, unchanged);
}
