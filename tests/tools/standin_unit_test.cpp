#include "tools/standin/unit_responder.h"

#include <gtest/gtest.h>

#include <vector>

using standin::CUnitResponder;
using standin::SUnitSettings;

namespace
{
using Bytes = std::vector<uint8_t>;

class UnitResponderTest : public ::testing::Test
{
protected:
    UnitResponderTest() : m_responder(m_unit)
    {
        m_unit.label = "Rack A";
        m_unit.mac = {0x02, 0x00, 0xC0, 0xA8, 0x4D, 0x02};
        m_unit.firmware = {1, 7};
        m_unit.pcb = {2, 1};
    }

    // The reply datagram to a request datagram; the reply must answer the request.
    Bytes Ask(const Bytes& request)
    {
        CDevicePacket reply;
        EXPECT_TRUE(m_responder.HandleRequest(request.data(), request.size(), reply));
        CDevicePacket decoded;
        EXPECT_TRUE(decoded.Decode(request.data(), request.size()));
        EXPECT_TRUE(decoded.IsAnsweredBy(reply)) << "command " << reply.GetCommand();
        Bytes out(reply.GetWireLength());
        reply.Encode(out.data());
        return out;
    }

    static Bytes Poll(uint16_t command)
    {
        return {uint8_t(command >> 8), uint8_t(command), 0, 0, 0, 0, 0, 0, 0};
    }

    SUnitSettings m_unit;
    CUnitResponder m_responder;
};
}  // namespace

TEST_F(UnitResponderTest, PollsAreAnsweredWithTheirPayloadShape)
{
    EXPECT_EQ(Ask(Poll(0)), (Bytes{0x00, 0x00, 0, 0, 0, 0, 0, 0,  // GetMac, indexes 0
                                   0x06,                          // length
                                   0x02, 0x00, 0xC0, 0xA8, 0x4D, 0x02}));
    EXPECT_EQ(Ask(Poll(3)), (Bytes{0x00, 0x03, 0, 0, 0, 0, 0, 0,  // GetSubnet
                                   0x06,                          //
                                   255, 255, 255, 0,              // mask octets
                                   0x00, 0x00}));                 // u16 0
    EXPECT_EQ(Ask(Poll(234)), (Bytes{0x00, 0xEA, 0, 0, 0, 0, 0, 0, 0x04, 0, 0, 0, 0}));  // DHCP off as u32
    EXPECT_EQ(Ask(Poll(17)), (Bytes{0x00, 0x11, 0, 0, 0, 0, 0, 0, 0x06, 'R', 'a', 'c', 'k', ' ', 'A'}));
    EXPECT_EQ(Ask(Poll(9)), (Bytes{0x00, 0x09, 0, 0, 0, 0, 0, 0, 0x02, 1, 7}));    // firmware 1.7
    EXPECT_EQ(Ask(Poll(10)), (Bytes{0x00, 0x0A, 0, 0, 0, 0, 0, 0, 0x02, 2, 1}));   // board 2.1
    EXPECT_EQ(Ask(Poll(206)), (Bytes{0x00, 0xCE, 0, 0, 0, 0, 0, 0, 0x04, 0, 0, 0, 0}));
    m_unit.artNetUniverse = 0x12;
    EXPECT_EQ(Ask(Poll(52)), (Bytes{0x00, 0x34, 0, 0, 0, 0, 0, 0, 0x04, 0x12, 0, 0, 0}));  // universe byte first
    m_unit.acnEnabled = true;
    EXPECT_EQ(Ask(Poll(239)), (Bytes{0x00, 0xEF, 0, 0, 0, 0, 0, 0, 0x04, 1, 0, 0, 0}));
    m_unit.acnUniverse = 12;
    EXPECT_EQ(Ask(Poll(240)), (Bytes{0x00, 0xF0, 0, 0, 0, 0, 0, 0, 0x02, '1', '2'}));  // decimal text
}

TEST_F(UnitResponderTest, SettersAreStoredAndEchoed)
{
    const Bytes setLabel = {0x00, 0x12, 0, 0, 0, 0, 0, 0, 0x02, 'a', 'b'};
    EXPECT_EQ(Ask(setLabel), setLabel);
    EXPECT_EQ(m_unit.label, "ab");

    const Bytes setDhcp = {0x00, 0xEB, 0, 0, 0, 0, 0, 0, 0x04, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(Ask(setDhcp), setDhcp);
    EXPECT_TRUE(m_unit.dhcp);
    EXPECT_EQ(Ask(Poll(234))[9], 1u);

    const Bytes setIp = {0x00, 0x02, 0, 0, 0, 0, 0, 0, 0x06, 10, 0, 0, 7, 0x32, 0x42};
    EXPECT_EQ(Ask(setIp), setIp);
    EXPECT_EQ(m_unit.ip[3], 7u);
    EXPECT_EQ(m_unit.ipPort, 0x4232u);

    const Bytes setSubnet = {0x00, 0x04, 0, 0, 0, 0, 0, 0, 0x06, 255, 255, 0, 0, 0, 0};
    EXPECT_EQ(Ask(setSubnet), setSubnet);
    EXPECT_EQ(Ask(Poll(3))[11], 0u);

    EXPECT_EQ(Ask(Poll(22)), Poll(22));
    EXPECT_EQ(Ask(Poll(296)), Poll(296));
    EXPECT_EQ(m_unit.blinks, 1u);
    EXPECT_EQ(m_unit.resets, 1u);

    // Anything else is echoed, the text form included.
    const Bytes text = {'b', 'l', 'i', 'n', 'k'};
    CDevicePacket reply;
    ASSERT_TRUE(m_responder.HandleRequest(text.data(), text.size(), reply));
    EXPECT_EQ(reply.GetCommand(), 22u);
    const Bytes tooShort = {0, 1, 2, 3};
    EXPECT_FALSE(m_responder.HandleRequest(tooShort.data(), tooShort.size(), reply));
}
