#include "link/device.h"

#include "foundation/notify_codes.h"
#include "link/device_manager.h"
#include "link/device_type.h"
#include "tests/link/link_fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const CIpAddress kUnit(192, 168, 77, 2, 16946);
const CIpAddress kController(192, 168, 77, 2, 16945);

// A reply as the decoder leaves it: the command and the bytes that arrived.
CDevicePacket Reply(uint32_t command, const Bytes& data = Bytes())
{
    CDevicePacket packet(command);
    packet.SetData(data.data(), uint32_t(data.size()));
    return packet;
}

CMessage Link(uint32_t manager, uint32_t command, const CMessageValue& value)
{
    CMessage message(manager, command);
    message.SetValue(value);
    return message;
}

class DeviceSettingsTest : public ::testing::Test
{
protected:
    DeviceSettingsTest()
    {
        CLinkSetup setup;
        setup.network = &network;
        setup.clock = &clock;
        setup.threads = false;
        setup.broadcastTargets = std::vector<CIpAddress>();
        manager = std::make_unique<CDeviceManager>(setup);
        manager->SetConnectedAddress(kUnit);
        device = std::make_unique<CDevice>(manager.get(), kUnit, DEVICE_TYPE_KDX1);
        port = network.GetBoundPorts().back();
        codes.Observe(device.get());
    }

    // Every request the unit sends, each answered by its echo, in order.
    std::vector<Bytes> SentRequests()
    {
        std::vector<Bytes> requests;
        clock.Advance(501);
        device->Pass(0);
        std::vector<SDatagram> sent = network.TakeSent();
        while (!sent.empty())
        {
            requests.push_back(sent[0].bytes);
            network.Deliver(port, kUnit, sent[0].bytes);
            device->Pass(0);
            sent = network.TakeSent();
        }
        return requests;
    }
    // Every record the unit queued for the controller, in order.
    std::vector<CMessage> SentRecords() { return DrainLink(*manager, network, clock, kController); }

    CFakeNetwork network;
    CFakeClock clock;
    CCodeRecorder codes;
    std::unique_ptr<CDeviceManager> manager;
    std::unique_ptr<CDevice> device;
    uint16_t port = 0;
};

TEST_F(DeviceSettingsTest, FirstReplyOfAnyKindBringsTheUnitOnline)
{
    EXPECT_FALSE(device->IsOnline());
    device->HandleReply(Reply(123));
    device->HandleReply(Reply(124));
    EXPECT_TRUE(device->IsOnline());
    EXPECT_EQ(codes.codes, (std::vector<uint32_t>{DEVICE_NOTIFY_ONLINE}));
}

TEST_F(DeviceSettingsTest, NetworkSettingsFromReplies)
{
    device->HandleReply(Reply(DEVICE_GET_MAC, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(device->GetMac(), (std::array<uint8_t, 6>{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_NETWORK), 1u);
    device->HandleReply(Reply(DEVICE_GET_MAC, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_NETWORK), 1u);
    // A reply of the wrong length clears what it carries.
    device->HandleReply(Reply(DEVICE_GET_MAC, {0x00, 0x11, 0x22, 0x33}));
    EXPECT_EQ(device->GetMac(), (std::array<uint8_t, 6>{}));
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_NETWORK), 2u);

    device->HandleReply(Reply(DEVICE_GET_SUBNET, {255, 255, 255, 0, 0x34, 0x12}));
    EXPECT_EQ(FormatIpAddressPort(device->GetSubnet()), "255.255.255.0:4660");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_NETWORK), 3u);
    device->HandleReply(Reply(DEVICE_GET_SUBNET, {255, 255, 255, 0}));
    EXPECT_EQ(FormatIpAddressPort(device->GetSubnet()), "0.0.0.0:0");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_NETWORK), 4u);
}

TEST_F(DeviceSettingsTest, VersionsAndLabelFromReplies)
{
    device->HandleReply(Reply(DEVICE_GET_VERSION_FIRMWARE, {1, 7}));
    EXPECT_EQ(FormatVersion(device->GetFirmwareVersion()), "1.7.0");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_FIRMWARE), 1u);
    device->HandleReply(Reply(DEVICE_GET_VERSION_FIRMWARE, {1, 7, 3}));
    EXPECT_EQ(FormatVersion(device->GetFirmwareVersion()), "0.0.0");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_FIRMWARE), 2u);
    device->HandleReply(Reply(DEVICE_GET_VERSION_PCB, {2, 1}));
    EXPECT_EQ(FormatVersion(device->GetPcbVersion()), "2.1.0");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_PCB), 1u);

    EXPECT_EQ(device->GetLabel(), "KDX-1");
    device->HandleReply(Reply(DEVICE_GET_LABEL, {'S', 't', 'a', 'g', 'e', 0, 'x'}));
    EXPECT_EQ(device->GetLabel(), "Stage");
    device->HandleReply(Reply(DEVICE_GET_LABEL, {'S', 't', 'a', 'g', 'e'}));
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_LABEL), 1u);
}

TEST_F(DeviceSettingsTest, OutputSettingsFromReplies)
{
    EXPECT_EQ(device->GetArtNetText(), "-");
    device->HandleReply(Reply(DEVICE_GET_ARTNET_UNIVERSE, {0x12, 0, 0, 0}));
    EXPECT_EQ(device->GetArtNetUniverse(), 0x12u);
    EXPECT_EQ(device->GetArtNetText(), "-") << "disabled, whatever the universe";
    device->HandleReply(Reply(DEVICE_GET_ARTNET_ENABLED, {1, 0, 0, 0}));
    EXPECT_TRUE(device->GetArtNetEnabled());
    EXPECT_EQ(device->GetArtNetText(), "1.2");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_ARTNET), 2u);
    device->HandleReply(Reply(DEVICE_GET_ARTNET_UNIVERSE, {0xF0, 0, 0, 0}));
    EXPECT_EQ(device->GetArtNetText(), "15.0");
    device->HandleReply(Reply(DEVICE_GET_ARTNET_UNIVERSE, {0xF0}));
    EXPECT_EQ(device->GetArtNetText(), "0.0");
    // A flag of the wrong length reads as false.
    device->HandleReply(Reply(DEVICE_GET_ARTNET_ENABLED, {1}));
    EXPECT_FALSE(device->GetArtNetEnabled());

    device->HandleReply(Reply(DEVICE_GET_DHCP, {0, 1, 0, 0}));
    EXPECT_TRUE(device->GetDhcp());
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_DHCP), 1u);

    device->HandleReply(Reply(DEVICE_GET_ACN_ENABLED, {1, 0, 0, 0}));
    device->HandleReply(Reply(DEVICE_GET_ACN_UNIVERSE, {'1', '2'}));
    EXPECT_EQ(device->GetAcnUniverse(), 12u);
    EXPECT_EQ(device->GetAcnText(), "12");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_ACN), 2u);
    device->HandleReply(Reply(DEVICE_GET_ACN_UNIVERSE, {'x'}));
    EXPECT_EQ(device->GetAcnUniverse(), 12u);
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_ACN), 2u);
}

TEST_F(DeviceSettingsTest, UnitProtocolSettersAskOnlyForChanges)
{
    device->SetLabel("KDX-1");  // what the cache holds
    device->SetDhcp(false);
    device->SetIp(kUnit);
    device->SetSubnet(CIpAddress());
    EXPECT_EQ(device->GetRequestCount(), 0u);

    device->SetLabel(std::string(300, 'L'));
    device->SetDhcp(true);
    device->SetIp(CIpAddress(192, 168, 77, 5, 16946));
    device->SetSubnet(CIpAddress(255, 255, 0, 0));
    device->Blink();
    device->ResetUnit();
    const std::vector<Bytes> sent = SentRequests();
    ASSERT_EQ(sent.size(), 6u);

    EXPECT_EQ(sent[0].size(), 9u + 249u) << "a label is cut to 249 characters";
    EXPECT_EQ(Bytes(sent[0].begin(), sent[0].begin() + 9),
              (Bytes{0x00, 0x12, 0, 0, 0, 0, 0, 0, 249}));  // 18 "SetLabel", length 249
    EXPECT_EQ(sent[1], (Bytes{
                           0x00, 0xEB,              // command 235: DHCP
                           0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // indexes
                           0x04,                    // length 4
                           0x01, 0x00, 0x00, 0x00,  // on, u32 little-endian
                       }));
    EXPECT_EQ(sent[2], (Bytes{
                           0x00, 0x02,              // command 2 "SetIp"
                           0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                           0x06,                    // length 6
                           192, 168, 77, 5,         // the octets in order
                           0x32, 0x42,              // port 16946 little-endian
                       }));
    EXPECT_EQ(sent[3], (Bytes{0x00, 0x04, 0, 0, 0, 0, 0, 0, 0x06, 255, 255, 0, 0, 0, 0}));  // 4 "SetSubnet"
    EXPECT_EQ(sent[4], (Bytes{0x00, 0x16, 0, 0, 0, 0, 0, 0, 0x00}));  // 22 "Blink"
    EXPECT_EQ(sent[5], (Bytes{0x01, 0x28, 0, 0, 0, 0, 0, 0, 0x00}));  // 296 "ResetUnit"

    // The cache waits for the next poll's reply; the unit object keeps its own address.
    EXPECT_FALSE(device->GetDhcp());
    EXPECT_EQ(FormatIpAddressPort(device->GetAddress()), "192.168.77.2:16946");
}

TEST_F(DeviceSettingsTest, LinkSettersQueueRecordsOnlyForChanges)
{
    device->SetArtNetEnabled(false);
    device->SetArtNetUniverse(0);
    device->SetAcnEnabled(false);
    EXPECT_EQ(manager->GetQueueLength(), 0u);

    device->SetArtNetEnabled(true);
    device->SetArtNetUniverse(0x112);  // compared whole, sent as its low 8 bits
    device->SetAcnEnabled(true);
    device->SetAcnUniverse(0);  // universe 0 is sent as 1
    std::vector<CMessage> sent = SentRecords();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].GetManager(), MANAGER_ARTNET);
    EXPECT_EQ(sent[0].GetCommand(), COMMAND_SET_ENABLED);
    EXPECT_EQ(sent[0].GetValue().GetType(), VALUE_BOOL);
    EXPECT_TRUE(sent[0].GetValue().GetBool());
    EXPECT_EQ(sent[1].GetCommand(), COMMAND_SET_VALUE);
    EXPECT_EQ(sent[1].GetValue().GetUnsigned(), 0x12u);
    EXPECT_EQ(sent[2].GetManager(), MANAGER_ACN);
    EXPECT_EQ(sent[2].GetCommand(), COMMAND_SET_ENABLED);
    EXPECT_EQ(sent[3].GetValue().GetType(), VALUE_UNSIGNED);
    EXPECT_EQ(sent[3].GetValue().GetUnsigned(), 1u);

    device->HandleMessage(Link(MANAGER_ACN, COMMAND_GET_VALUE, CMessageValue(1u)));
    device->SetAcnUniverse(0);
    device->SetAcnUniverse(1);
    EXPECT_EQ(manager->GetQueueLength(), 0u);
}

TEST_F(DeviceSettingsTest, ControllerRepliesAndNotifiesFillTheOutputSettings)
{
    device->HandleMessage(Link(MANAGER_ARTNET, COMMAND_GET_VALUE, CMessageValue(0x34u)));
    device->HandleMessage(Link(MANAGER_ARTNET, COMMAND_GET_ENABLED, CMessageValue(true)));
    EXPECT_EQ(device->GetArtNetText(), "3.4");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_ARTNET), 2u);
    device->HandleMessage(Link(MANAGER_ACN, COMMAND_GET_VALUE, CMessageValue(0x10007u)));
    EXPECT_EQ(device->GetAcnUniverse(), 7u) << "kept as its low 16 bits";
    device->HandleMessage(Link(MANAGER_ACN, COMMAND_GET_ENABLED, CMessageValue(true)));
    EXPECT_EQ(device->GetAcnText(), "7");
    EXPECT_EQ(codes.Count(DEVICE_NOTIFY_ACN), 2u);
    // Other managers and commands leave the settings alone.
    device->HandleMessage(Link(MANAGER_DMX, COMMAND_GET_VALUE, CMessageValue(9u)));
    device->HandleMessage(Link(MANAGER_ACN, COMMAND_SET_VALUE, CMessageValue(9u)));
    EXPECT_EQ(device->GetAcnUniverse(), 7u);

    // A Notify asks for what its code names: 0 everything, 19 the state, 23 the universe.
    device->HandleMessage(Link(MANAGER_ACN, COMMAND_NOTIFY, CMessageValue(0u)));
    device->HandleMessage(Link(MANAGER_ACN, COMMAND_NOTIFY, CMessageValue(5u)));
    device->HandleMessage(Link(MANAGER_ARTNET, COMMAND_NOTIFY, CMessageValue(uint32_t(NOTIFY_ENABLED))));
    device->HandleMessage(Link(MANAGER_ARTNET, COMMAND_NOTIFY, CMessageValue(23u)));
    std::vector<std::pair<uint32_t, uint32_t>> requests;
    for (const CMessage& record : SentRecords())
        requests.emplace_back(record.GetManager(), record.GetCommand());
    EXPECT_EQ(requests, (std::vector<std::pair<uint32_t, uint32_t>>{{MANAGER_ACN, COMMAND_GET_ENABLED},
                                                                     {MANAGER_ACN, COMMAND_GET_VALUE},
                                                                     {MANAGER_ARTNET, COMMAND_GET_ENABLED},
                                                                     {MANAGER_ARTNET, COMMAND_GET_VALUE}}));
}

TEST_F(DeviceSettingsTest, LinkSettersDoNothingWithoutAChosenUnit)
{
    manager->SetConnectedAddress(CIpAddress());
    device->SetArtNetEnabled(true);
    device->SendMessage(MANAGER_ACN, COMMAND_GET_VALUE);
    EXPECT_EQ(manager->GetQueueLength(), 0u);
}
}  // namespace
