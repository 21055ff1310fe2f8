#include "link/device.h"

#include "link/device_manager.h"
#include "link/device_type.h"
#include "tests/link/link_fakes.h"

#include <gtest/gtest.h>

namespace
{
const CIpAddress kUnit(192, 168, 77, 2, 16946);

// Request 0 "GetMac" as the poll sends it.
const Bytes kGetMac = {
    0x00, 0x00,  // command 0 (big-endian)
    0x00, 0x00,  // index0
    0x00, 0x00,  // index1
    0x00, 0x00,  // index2
    0x00,        // no payload
};

// A reply of the unit: the 9-byte header, then the payload.
Bytes ReplyBytes(uint16_t command, const Bytes& payload = Bytes())
{
    Bytes bytes = {uint8_t(command >> 8), uint8_t(command), 0, 0, 0, 0, 0, 0, uint8_t(payload.size())};
    for (uint8_t byte : payload)
        bytes.push_back(byte);
    return bytes;
}

uint16_t CommandOf(const SDatagram& datagram)
{
    return uint16_t(datagram.bytes[0] << 8 | datagram.bytes[1]);
}

class DeviceTest : public ::testing::Test, protected SFakeUnitLink
{
protected:
    DeviceTest() : SFakeUnitLink(kUnit, false)
    {
        manager->Pass(0);
        network.TakeSent();
    }

    // One pass of the unit's thread; what it sent.
    std::vector<SDatagram> Pass()
    {
        device->Pass(0);
        return network.TakeSent();
    }
    std::vector<SDatagram> Receive(const CIpAddress& from, const Bytes& bytes)
    {
        EXPECT_TRUE(network.Deliver(port, from, bytes));
        return Pass();
    }
    // Answers every request with an empty reply of its command; the commands in the order they
    // left. Starts half a second on, so a head already sent is due again.
    std::vector<uint16_t> AnswerAll()
    {
        std::vector<uint16_t> commands;
        clock.Advance(501);
        std::vector<SDatagram> sent = Pass();
        for (int guard = 0; guard < 100 && !sent.empty(); ++guard)
        {
            commands.push_back(CommandOf(sent[0]));
            sent = Receive(kUnit, ReplyBytes(CommandOf(sent[0])));
        }
        return commands;
    }

};

TEST_F(DeviceTest, FirstTickPollsTenSettingsOneRequestAtATime)
{
    EXPECT_EQ(device->GetRequestCount(), 0u);
    network.TakeWakes();
    device->Update(0.04f);
    EXPECT_EQ(device->GetRequestCount(), 10u);
    // The unit's thread sleeps while it has nothing to send: queueing ends its wait.
    EXPECT_GT(network.TakeWakes(), 0);

    const std::vector<SDatagram> sent = Pass();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(FormatIpAddressPort(sent[0].to), "192.168.77.2:16946");
    EXPECT_EQ(sent[0].from.GetPort(), port);
    EXPECT_EQ(sent[0].bytes, kGetMac);

    // Each answer sends the next request at once.
    network.Deliver(port, kUnit, ReplyBytes(0, Bytes(6, 0x11)));
    std::vector<uint16_t> commands = {0};
    const std::vector<uint16_t> rest = AnswerAll();
    commands.insert(commands.end(), rest.begin(), rest.end());
    EXPECT_EQ(commands, (std::vector<uint16_t>{0, 3, 234, 17, 9, 10, 206, 52, 239, 240}));
    EXPECT_EQ(device->GetRequestCount(), 0u);
}

TEST_F(DeviceTest, PollsComeEveryFiveSecondsOfFrameTicks)
{
    std::vector<int> polledAt;
    for (int tick = 1; tick <= 260; ++tick)
    {
        device->Update(0.04f);
        if (device->GetRequestCount() > 0)
        {
            polledAt.push_back(tick);
            AnswerAll();
        }
    }
    EXPECT_EQ(polledAt, (std::vector<int>{1, 126, 251}));
}

TEST_F(DeviceTest, UnansweredHeadIsResentEvery500MillisecondsAndPollsDoNotPileUp)
{
    device->Update(0.04f);
    ASSERT_EQ(Pass().size(), 1u);
    clock.Advance(500);
    EXPECT_TRUE(Pass().empty());
    clock.Advance(1);
    // A unit that never answers (anyone can announce one) sends at its own pace and postpones no
    // other unit's resend.
    CDevice silent(manager.get(), CIpAddress(192, 168, 77, 3, 16946), DEVICE_TYPE_KDX1);
    silent.Request(DEVICE_GET_LABEL);
    silent.Pass(0);
    ASSERT_EQ(network.TakeSent().size(), 1u);
    const std::vector<SDatagram> sent = Pass();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, kGetMac);

    for (int i = 0; i < 20; ++i)
        device->Update(5.0f);
    EXPECT_EQ(device->GetRequestCount(), 10u) << "a silent unit gains no more polls";
    device->Blink();
    device->Blink();
    EXPECT_EQ(device->GetRequestCount(), 12u) << "the user's requests are all kept";
}

TEST_F(DeviceTest, OnlyTheAnswerToTheHeadIsHandled)
{
    device->Request(DEVICE_GET_LABEL);
    device->Request(DEVICE_GET_MAC);
    ASSERT_EQ(Pass().size(), 1u);

    // A reply the head did not ask for: dropped, and the head stays.
    std::vector<SDatagram> sent = Receive(kUnit, ReplyBytes(9, {1, 7}));
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(device->GetRequestCount(), 2u);

    sent = Receive(kUnit, ReplyBytes(17, {'R', 'a', 'c', 'k', 0}));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, kGetMac);
    EXPECT_EQ(device->GetRequestCount(), 1u);

    device->Update(0.0f);
    EXPECT_EQ(device->GetLabel(), "Rack");
    EXPECT_EQ(FormatVersion(device->GetFirmwareVersion()), "0.0.0");
}

TEST_F(DeviceTest, DatagramsFromAnyOtherAddressOrPortAreIgnored)
{
    device->Request(DEVICE_GET_LABEL);
    Pass();
    const Bytes label = ReplyBytes(17, {'X', 0});
    Receive(CIpAddress(192, 168, 77, 2, 16947), label);
    Receive(CIpAddress(192, 168, 77, 3, 16946), label);
    Receive(kUnit, Bytes{0x00, 0x11, 0x00, 0x00});  // too short to be a packet
    EXPECT_EQ(device->GetRequestCount(), 1u);
    device->Update(0.0f);
    EXPECT_EQ(device->GetLabel(), "KDX-1");
    EXPECT_FALSE(device->IsOnline());
}

TEST_F(DeviceTest, BroadcastCommandsGoToEveryUnitAtTheUnitsPort)
{
    device->QueueRequest(CDevicePacket(236));
    const std::vector<SDatagram> sent = Pass();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(FormatIpAddressPort(sent[0].to), "255.255.255.255:16946");
}

TEST_F(DeviceTest, LostOnlyAfterMoreThanTenSecondsUnseen)
{
    device->Update(10.0f);
    EXPECT_FALSE(device->IsLost());
    // Its own protocol's replies do not count as being seen.
    device->Request(DEVICE_GET_MAC);
    Pass();
    Receive(kUnit, ReplyBytes(0, Bytes(6, 1)));
    device->Update(0.01f);
    EXPECT_TRUE(device->IsLost());
    EXPECT_TRUE(device->IsOnline());
    device->ResetLastSeen();
    EXPECT_FALSE(device->IsLost());
}
}  // namespace
