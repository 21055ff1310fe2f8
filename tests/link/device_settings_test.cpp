#include "link/device.h"

#include "foundation/byte_order.h"
#include "foundation/notify_codes.h"
#include "link/device_manager.h"
#include "link/device_type.h"
#include "tests/link/link_fakes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
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

class DeviceSettingsTest : public ::testing::Test, protected SFakeUnitLink
{
protected:
    DeviceSettingsTest() : SFakeUnitLink(kUnit, true) { codes.Observe(device.get()); }

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

    CCodeRecorder codes;
};

std::string Hex(const std::array<uint8_t, 6>& bytes)
{
    char text[18];
    std::snprintf(text, sizeof(text), "%02x:%02x:%02x:%02x:%02x:%02x", bytes[0], bytes[1], bytes[2], bytes[3],
                  bytes[4], bytes[5]);
    return text;
}

TEST_F(DeviceSettingsTest, RepliesFillTheCacheAndTellOnlyChanges)
{
    using Read = std::function<std::string(const CDevice&)>;
    const Read mac = [](const CDevice& d) { return Hex(d.GetMac()); };
    const Read subnet = [](const CDevice& d) { return FormatIpAddressPort(d.GetSubnet()); };
    const Read firmware = [](const CDevice& d) { return FormatVersion(d.GetFirmwareVersion()); };
    const Read pcb = [](const CDevice& d) { return FormatVersion(d.GetPcbVersion()); };
    const Read label = [](const CDevice& d) { return d.GetLabel(); };
    const Read artNet = [](const CDevice& d) { return d.GetArtNetText() + "/" + std::to_string(d.GetArtNetUniverse()); };
    const Read dhcp = [](const CDevice& d) { return std::string(d.GetDhcp() ? "on" : "off"); };
    const Read acn = [](const CDevice& d) { return d.GetAcnText() + "/" + std::to_string(d.GetAcnUniverse()); };
    struct SCase
    {
        uint32_t command;
        Bytes data;
        uint32_t told;  // 0: nothing
        Read read;
        std::string expected;
    };
    const SCase cases[] = {
        {DEVICE_GET_MAC, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}, DEVICE_NOTIFY_NETWORK, mac, "00:11:22:33:44:55"},
        {DEVICE_GET_MAC, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}, 0, mac, "00:11:22:33:44:55"},
        // A reply of the wrong length clears what it carries.
        {DEVICE_GET_MAC, {0x00, 0x11, 0x22, 0x33}, DEVICE_NOTIFY_NETWORK, mac, "00:00:00:00:00:00"},
        {DEVICE_GET_SUBNET, {255, 255, 255, 0, 0x34, 0x12}, DEVICE_NOTIFY_NETWORK, subnet, "255.255.255.0:4660"},
        {DEVICE_GET_SUBNET, {255, 255, 255, 0}, DEVICE_NOTIFY_NETWORK, subnet, "0.0.0.0:0"},
        {DEVICE_GET_VERSION_FIRMWARE, {1, 7}, DEVICE_NOTIFY_FIRMWARE, firmware, "1.7.0"},
        {DEVICE_GET_VERSION_FIRMWARE, {1, 7, 3}, DEVICE_NOTIFY_FIRMWARE, firmware, "0.0.0"},
        {DEVICE_GET_VERSION_PCB, {2, 1}, DEVICE_NOTIFY_PCB, pcb, "2.1.0"},
        {DEVICE_GET_LABEL, {'S', 't', 'a', 'g', 'e', 0, 'x'}, DEVICE_NOTIFY_LABEL, label, "Stage"},
        {DEVICE_GET_LABEL, {'S', 't', 'a', 'g', 'e'}, 0, label, "Stage"},
        // Disabled shows "-" whatever the universe; a flag of the wrong length reads as false.
        {DEVICE_GET_ARTNET_UNIVERSE, {0x12, 0, 0, 0}, DEVICE_NOTIFY_ARTNET, artNet, "-/18"},
        {DEVICE_GET_ARTNET_ENABLED, {1, 0, 0, 0}, DEVICE_NOTIFY_ARTNET, artNet, "1.2/18"},
        {DEVICE_GET_ARTNET_UNIVERSE, {0xF0, 0, 0, 0}, DEVICE_NOTIFY_ARTNET, artNet, "15.0/240"},
        {DEVICE_GET_ARTNET_UNIVERSE, {0xF0}, DEVICE_NOTIFY_ARTNET, artNet, "0.0/0"},
        {DEVICE_GET_ARTNET_ENABLED, {1}, DEVICE_NOTIFY_ARTNET, artNet, "-/0"},
        {DEVICE_GET_DHCP, {0, 1, 0, 0}, DEVICE_NOTIFY_DHCP, dhcp, "on"},
        {DEVICE_GET_ACN_ENABLED, {1, 0, 0, 0}, DEVICE_NOTIFY_ACN, acn, "0/0"},
        {DEVICE_GET_ACN_UNIVERSE, {'1', '2'}, DEVICE_NOTIFY_ACN, acn, "12/12"},
        {DEVICE_GET_ACN_UNIVERSE, {'x'}, 0, acn, "12/12"},
        {123, {}, 0, label, "Stage"},
    };
    for (const SCase& c : cases)
    {
        codes.codes.clear();
        device->HandleReply(Reply(c.command, c.data));
        EXPECT_EQ(c.read(*device), c.expected) << "command " << c.command;
        // The very first reply also brings the unit online, once.
        std::vector<uint32_t> told;
        if (&c == &cases[0])
            told.push_back(DEVICE_NOTIFY_ONLINE);
        if (c.told)
            told.push_back(c.told);
        EXPECT_EQ(codes.codes, told) << "command " << c.command;
    }
    EXPECT_TRUE(device->IsOnline());
}

TEST_F(DeviceSettingsTest, RepliesThatAnswerNoRequestReachNoSetting)
{
    // While the unit waits for its MAC address, one reply of each value the settings page shows
    // comes from its address and port, answering nothing, as anyone on the network can send it.
    using Read = std::function<std::string(const CDevice&)>;
    const Read label = [](const CDevice& d) { return d.GetLabel(); };
    const Read artNet = [](const CDevice& d) { return d.GetArtNetText() + "/" + std::to_string(d.GetArtNetUniverse()); };
    const Read acn = [](const CDevice& d) { return d.GetAcnText() + "/" + std::to_string(d.GetAcnUniverse()); };
    struct SCase
    {
        const char* value;
        Bytes reply;
        Read read;
    };
    // Each as it comes: the header (command big-endian, indexes 0, the payload's length), then
    // the payload.
    const SCase cases[] = {
        // 17 "GetLabel": a text.
        {"label", {0x00, 0x11, 0, 0, 0, 0, 0, 0, 6, 'F', 'o', 'r', 'g', 'e', 'd'}, label},
        // 206: on, a u32 little-endian.
        {"Art-Net state", {0x00, 0xCE, 0, 0, 0, 0, 0, 0, 4, 0x01, 0x00, 0x00, 0x00}, artNet},
        // 52: sub-net 2, universe 3, in a u32's first byte.
        {"Art-Net universe", {0x00, 0x34, 0, 0, 0, 0, 0, 0, 4, 0x23, 0x00, 0x00, 0x00}, artNet},
        // 239: on.
        {"sACN state", {0x00, 0xEF, 0, 0, 0, 0, 0, 0, 4, 0x01, 0x00, 0x00, 0x00}, acn},
        // 240: universe 100, as text.
        {"sACN universe", {0x00, 0xF0, 0, 0, 0, 0, 0, 0, 3, '1', '0', '0'}, acn},
    };
    device->Request(DEVICE_GET_MAC);
    clock.Advance(501);
    device->Pass(0);
    ASSERT_EQ(network.TakeSent().size(), 1u);
    for (const SCase& c : cases)
    {
        const std::string before = c.read(*device);
        network.Deliver(port, kUnit, c.reply);
        device->Pass(0);
        device->Update(0.0f);
        EXPECT_EQ(c.read(*device), before) << c.value;
        EXPECT_TRUE(codes.codes.empty()) << c.value << ": nothing changed, and the unit is not online";
        EXPECT_EQ(device->GetRequestCount(), 1u) << c.value << ": the unit still waits for its MAC address";
    }
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

TEST_F(DeviceSettingsTest, ASettingConfirmedTwiceWhileNothingAnswersEndsOnTheSecondChoice)
{
    // Each setting a settings dialog confirms: a new value first, then the value the cache still
    // shows, as the dialog opened again shows it, while neither the unit nor the controller has
    // answered. The change queued first must not land last.
    device->HandleMessage(Link(MANAGER_ACN, COMMAND_GET_VALUE, CMessageValue(7u)));
    struct SCase
    {
        const char* setting;
        std::function<void(CDevice&)> first;
        std::function<void(CDevice&)> second;
        uint32_t manager;  // 0: over the unit protocol
        uint32_t command;
        CMessageValue last;  // the link's last record of the command carries this
        Bytes payload;       // the unit's last request of the command carries this
    };
    const SCase cases[] = {
        {"name", [](CDevice& d) { d.SetLabel("Gala"); }, [](CDevice& d) { d.SetLabel("KDX-1"); }, 0,
         DEVICE_SET_LABEL, {}, {'K', 'D', 'X', '-', '1'}},
        // The octets, then the port little-endian.
        {"address", [](CDevice& d) { d.SetIp(CIpAddress(192, 168, 77, 9, 16946)); },
         [](CDevice& d) { d.SetIp(kUnit); }, 0, DEVICE_SET_IP, {}, {192, 168, 77, 2, 0x32, 0x42}},
        {"mask", [](CDevice& d) { d.SetSubnet(CIpAddress(255, 255, 0, 0)); },
         [](CDevice& d) { d.SetSubnet(CIpAddress()); }, 0, DEVICE_SET_SUBNET, {}, {0, 0, 0, 0, 0, 0}},
        // Off, a u32 little-endian.
        {"DHCP", [](CDevice& d) { d.SetDhcp(true); }, [](CDevice& d) { d.SetDhcp(false); }, 0, DEVICE_SET_DHCP,
         {}, {0, 0, 0, 0}},
        {"Art-Net state", [](CDevice& d) { d.SetArtNetEnabled(true); }, [](CDevice& d) { d.SetArtNetEnabled(false); },
         MANAGER_ARTNET, COMMAND_SET_ENABLED, CMessageValue(false), {}},
        {"Art-Net universe", [](CDevice& d) { d.SetArtNetUniverse(0x23); },
         [](CDevice& d) { d.SetArtNetUniverse(0); }, MANAGER_ARTNET, COMMAND_SET_VALUE, CMessageValue(0u), {}},
        {"sACN state", [](CDevice& d) { d.SetAcnEnabled(true); }, [](CDevice& d) { d.SetAcnEnabled(false); },
         MANAGER_ACN, COMMAND_SET_ENABLED, CMessageValue(false), {}},
        {"sACN universe", [](CDevice& d) { d.SetAcnUniverse(100); }, [](CDevice& d) { d.SetAcnUniverse(7); },
         MANAGER_ACN, COMMAND_SET_VALUE, CMessageValue(7u), {}},
    };
    for (const SCase& c : cases)
    {
        c.first(*device);
        // Sent, and never answered.
        clock.Advance(1001);
        manager->Pass(0);
        device->Pass(0);
        network.TakeSent();
        c.second(*device);
        // The first choice goes again, then the second.
        if (c.manager)
        {
            const std::vector<CMessage> sent = SentRecords();
            ASSERT_FALSE(sent.empty()) << c.setting;
            EXPECT_EQ(sent.size(), 2u) << c.setting;
            EXPECT_EQ(sent.back().GetManager(), c.manager) << c.setting;
            EXPECT_EQ(sent.back().GetCommand(), c.command) << c.setting;
            EXPECT_TRUE(sent.back().GetValue() == c.last) << c.setting << ": " << sent.back().GetValue().ToText();
            continue;
        }
        const std::vector<Bytes> sent = SentRequests();
        ASSERT_FALSE(sent.empty()) << c.setting;
        EXPECT_EQ(sent.size(), 2u) << c.setting;
        EXPECT_EQ(ReadBe16(sent.back().data()), c.command) << c.setting;
        EXPECT_EQ(Bytes(sent.back().begin() + 9, sent.back().end()), c.payload) << c.setting;
    }

    // The unit went from the list and was found again, a new object, while the record its former
    // object queued still waits: the choice goes after it.
    device->SetArtNetEnabled(true);
    manager->Pass(0);
    network.TakeSent();
    device = std::make_unique<CDevice>(manager.get(), kUnit, DEVICE_TYPE_KDX1);
    device->SetArtNetEnabled(false);
    const std::vector<CMessage> sent = SentRecords();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_FALSE(sent.back().GetValue().GetBool());
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

}  // namespace
