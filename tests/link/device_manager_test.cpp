#include "link/device_manager.h"

#include "foundation/notify_codes.h"
#include "foundation/version.h"
#include "link/device.h"
#include "link/message_frame.h"
#include "link/outgoing_queue.h"
#include "link/udp_socket.h"
#include "shell/app.h"
#include "shell/logger.h"
#include "tests/link/link_fakes.h"
#include "tests/support/network_links.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace
{
const CIpAddress kUnit(192, 168, 77, 2, 16946);
// Link frames come from the unit's address; the port does not matter.
const CIpAddress kController(192, 168, 77, 2, 16945);
const CIpAddress kOtherUnit(192, 168, 77, 3, 16946);
constexpr uint16_t kLinkPort = 16945;

// The discovery request: 15 ASCII bytes, no terminator.
const Bytes kIdentify = {'z', 'e', 'v', 'r', 'a', 'l', '_', 'i', 'd', 'e', 'n', 't', 'i', 'f', 'y'};

// Playback 3 to intensity 0.5, the first record queued.
const Bytes kSetIntensityFrame = {
    0x29,                    // manager 41 "Playback"
    0x03,                    // payload tag 3 (float)
    0x18, 0x00,              // command 24 "SetIntensity"
    0x03, 0x00,              // index0: playback 3
    0x00, 0x00,              // index1
    0x00, 0x00,              // index2
    0xFF, 0xFF,              // filler
    0x04, 0x00,              // payload length 4
    0x00, 0x00,              // sequence 0
    0x00, 0x00, 0x00, 0x00,  // reserved
    0x00, 0x00, 0x00, 0x3F,  // 0.5f
};

// The four little-endian bytes of a float payload at the end of a frame.
void SetFloatPayload(Bytes& frame, const Bytes& value)
{
    std::copy(value.begin(), value.end(), frame.end() - 4);
}

CMessage SetIntensity(uint32_t playback, float value)
{
    CMessage message(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
    message.SetIndex0(playback);
    message.SetValue(CMessageValue(value));
    return message;
}

// The acknowledgement the controller sends: the same target and sequence, no payload.
CMessage AckOf(const CMessage& request)
{
    CMessage ack(request.GetManager(), request.GetCommand());
    ack.SetIndex0(request.GetIndex0());
    ack.SetIndex1(request.GetIndex1());
    ack.SetIndex2(request.GetIndex2());
    ack.SetSequence(request.GetSequence());
    return ack;
}

// The frame of the controller's notification that a label changed, with the number given.
Bytes LabelNotification(uint32_t manager, uint16_t sequence, uint32_t index0 = 0, uint32_t index1 = 0)
{
    CMessage notify(manager, COMMAND_NOTIFY);
    notify.SetIndex0(index0);
    notify.SetIndex1(index1);
    notify.SetSequence(sequence);
    notify.SetValue(CMessageValue(289u));
    return FrameOf(notify);
}

// The frame of a reply carrying the longest text a frame the link takes may hold: longer than
// anything this program sends.
Bytes LongestTextFrameOf(CMessage message)
{
    message.SetValue(CMessageValue(std::string()));
    Bytes bytes = FrameOf(message);
    const size_t length = CMessageFrame::kPayloadLimit - 1;
    bytes.resize(CMessageFrame::kHeaderSize);
    bytes.insert(bytes.end(), length - 1, 'x');
    bytes.push_back(0);
    bytes[12] = uint8_t(length);  // payload length, little-endian
    bytes[13] = uint8_t(length >> 8);
    return bytes;
}

// The lines of the log that hold the text.
size_t LinesWith(const std::string& text)
{
    const std::vector<std::string> lines = CApp::GetLogger()->GetLines();
    return size_t(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

class DeviceManagerTest : public ::testing::Test
{
protected:
    DeviceManagerTest()
    {
        CLinkSetup setup;
        setup.network = &network;
        setup.clock = &clock;
        setup.threads = false;
        setup.localAddresses = std::vector<CIpAddress>{CIpAddress(192, 168, 77, 1)};
        manager = std::make_unique<CDeviceManager>(setup);
        manager->SetCore(&model);
        codes.Observe(manager.get());
    }

    // One pass of the link with nothing waiting; what it sent.
    std::vector<SDatagram> Pass()
    {
        manager->Pass(0);
        return network.TakeSent();
    }
    // The records among what a pass sent to the controller.
    std::vector<CMessage> PassRecords()
    {
        std::vector<CMessage> records;
        for (const SDatagram& datagram : Pass())
        {
            CMessage record;
            if (datagram.to == kController && datagram.to.GetPort() == kLinkPort &&
                CMessageFrame::Decode(datagram.bytes.data(), datagram.bytes.size(), record))
                records.push_back(record);
        }
        return records;
    }
    // A datagram arrives at the link and the pass takes it.
    std::vector<SDatagram> Receive(const CIpAddress& from, const Bytes& bytes)
    {
        EXPECT_TRUE(network.Deliver(kLinkPort, from, bytes));
        return Pass();
    }
    void Reply(const CMessage& message) { Receive(kController, FrameOf(message)); }
    void Announce(const char* label = "KDX-1", const char* ip = "192.168.77.2", const char* port = "16946")
    {
        Receive(CIpAddress(192, 168, 77, 2, 16945), AnswerOf(label, ip, port));
    }
    // A unit is found and chosen, and the queue left empty.
    void ConnectUnit()
    {
        Announce();
        manager->Update(0.04f);
        manager->SetConnectedAddress(kUnit);
        manager->ClearQueue();
        network.TakeSent();
    }
    std::vector<CMessage> Drain() { return DrainLink(*manager, network, clock, kController); }

    CFakeNetwork network;
    CFakeClock clock;
    CFakeModel model;
    CCodeRecorder codes;
    std::unique_ptr<CDeviceManager> manager;
};

TEST_F(DeviceManagerTest, IdentifiesAtOnceThenEveryThreeSeconds)
{
    std::vector<SDatagram> sent = Pass();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].from.GetPort(), kLinkPort);
    EXPECT_EQ(FormatIpAddressPort(sent[0].to), "255.255.255.255:16945");
    EXPECT_EQ(FormatIpAddressPort(sent[1].to), "192.168.77.255:16945");
    EXPECT_EQ(sent[0].bytes, kIdentify);
    EXPECT_EQ(sent[1].bytes, kIdentify);

    clock.Advance(3000);
    EXPECT_TRUE(Pass().empty());
    clock.Advance(1);
    EXPECT_EQ(Pass().size(), 2u);
}

TEST(DeviceManagerSetup, BroadcastTargetsComeFromTheLocalAddresses)
{
    CFakeNetwork network;
    CLinkSetup setup;
    setup.network = &network;
    setup.threads = false;
    setup.localAddresses = std::vector<CIpAddress>{CIpAddress(192, 168, 77, 1), CIpAddress(10, 1, 2, 3),
                                                   CIpAddress(192, 168, 77, 9), CIpAddress(172, 16, 5, 4)};
    CDeviceManager manager(setup);
    std::vector<std::string> targets;
    for (const CIpAddress& target : manager.GetBroadcastTargets())
        targets.push_back(FormatIpAddressPort(target));
    EXPECT_EQ(targets, (std::vector<std::string>{"255.255.255.255:0", "192.168.77.255:0", "10.255.255.255:0",
                                                 "172.16.255.255:0"}));

    // Taken as given, which keeps discovery on loopback in a test.
    setup.broadcastTargets = std::vector<CIpAddress>{CIpAddress(127, 0, 0, 2)};
    CFakeNetwork other;
    setup.network = &other;
    CDeviceManager aimed(setup);
    ASSERT_EQ(aimed.GetBroadcastTargets().size(), 1u);
    aimed.Pass(0);
    const std::vector<SDatagram> sent = other.TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(FormatIpAddressPort(sent[0].to), "127.0.0.2:16945");
}

TEST(DeviceManagerSetup, LinkFallsBackToAnyPortWhenItsOwnIsTaken)
{
    CFakeNetwork network;
    network.RefusePort(16945);
    CLinkSetup setup;
    setup.network = &network;
    setup.threads = false;
    setup.broadcastTargets = std::vector<CIpAddress>{CIpAddress(127, 0, 0, 2)};
    CDeviceManager manager(setup);
    manager.Pass(0);
    const std::vector<SDatagram> sent = network.TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NE(sent[0].from.GetPort(), 16945);
    EXPECT_EQ(sent[0].to.GetPort(), 16945);
}

TEST_F(DeviceManagerTest, AnswersListEachUnitOnceSortedByAddress)
{
    Receive(CIpAddress(192, 168, 1, 20, 16945), AnswerOf("KDX-1", "192.168.1.20", "16946"));
    Receive(CIpAddress(10, 0, 0, 5, 16945), AnswerOf("Murel-2", "10.0.0.5", "16950"));
    Receive(CIpAddress(192, 168, 1, 3, 16945), AnswerOf("kdx-2", "192.168.1.3", "16946"));
    Receive(CIpAddress(192, 168, 1, 20, 16945), AnswerOf("KDX-1", "192.168.1.20", "16946"));
    // Refused: a type this product does not serve, an unusable address, no port.
    Receive(CIpAddress(192, 168, 1, 7, 16945), AnswerOf("Zintrax", "192.168.1.7", "16946"));
    Receive(CIpAddress(192, 168, 1, 8, 16945), AnswerOf("Lumivo", "192.168.1.8", "16946"));
    Receive(CIpAddress(192, 168, 1, 9, 16945), AnswerOf("KDX-1", "192.168.1.x", "16946"));
    Receive(CIpAddress(192, 168, 1, 10, 16945), AnswerOf("KDX-1", "192.168.1.10", ""));
    // Refused: addresses that are no single unit, and loopback named from another host.
    for (const char* unusable : {"192.168.77.255", "224.0.0.251", "240.1.2.3", "0.1.2.3", "127.0.0.1"})
        Receive(CIpAddress(192, 168, 1, 11, 16945), AnswerOf("KDX-1", unusable, "16946"));
    manager->Update(0.04f);

    ASSERT_EQ(manager->GetDeviceCount(), 3u);
    EXPECT_EQ(FormatIpAddressPort(manager->GetDevice(0)->GetAddress()), "10.0.0.5:16950");
    EXPECT_EQ(FormatIpAddressPort(manager->GetDevice(1)->GetAddress()), "192.168.1.3:16946");
    EXPECT_EQ(FormatIpAddressPort(manager->GetDevice(2)->GetAddress()), "192.168.1.20:16946");
    EXPECT_EQ(manager->GetDevice(0)->GetType(), DEVICE_TYPE_MUREL2);
    EXPECT_EQ(manager->GetDevice(1)->GetType(), DEVICE_TYPE_KDX2);
    // Until the unit reports its own label, it carries its type's name.
    EXPECT_EQ(manager->GetDevice(1)->GetLabel(), "KDX-2");
    EXPECT_EQ(manager->GetDevice(3), nullptr);
    EXPECT_EQ(codes.Count(NOTIFY_LIST), 1u);

    EXPECT_EQ(manager->GetDeviceIndex(manager->GetDevice(2)), 2);
    EXPECT_EQ(manager->GetDevice(2)->GetIndex(), 2);
    EXPECT_EQ(manager->GetDeviceIndexByAddress(CIpAddress(192, 168, 1, 3, 16946)), 1);
    EXPECT_EQ(manager->GetDeviceIndexByAddress(CIpAddress(192, 168, 1, 3, 1)), -1);
    EXPECT_FALSE(manager->HasDevice(CIpAddress(192, 168, 1, 3)));
    EXPECT_EQ(manager->FindDevice(CIpAddress(192, 168, 1, 3)), manager->GetDevice(1));

    // Answers of known units add nothing.
    Receive(CIpAddress(10, 0, 0, 5, 16945), AnswerOf("Murel-2", "10.0.0.5", "16950"));
    manager->Update(0.04f);
    EXPECT_EQ(manager->GetDeviceCount(), 3u);
    EXPECT_EQ(codes.Count(NOTIFY_LIST), 1u);

    manager->DeleteDevices();
    EXPECT_EQ(manager->GetDeviceCount(), 0u);
    EXPECT_EQ(codes.Count(NOTIFY_LIST), 2u);
}

TEST_F(DeviceManagerTest, ListIsBoundedButTheChosenUnitAlwaysGetsIn)
{
    const CIpAddress chosen(10, 9, 0, 1, 16946);
    manager->SetConnectedAddress(chosen);
    const auto announce = [&](int first, int count) {
        for (int i = first; i < first + count; ++i)
        {
            const std::string ip = "10.1." + std::to_string(i / 250) + "." + std::to_string(1 + i % 250);
            Receive(CIpAddress(10, 1, 0, 1, 16945), AnswerOf("KDX-1", ip.c_str(), "16946"));
        }
    };
    announce(0, 50);
    manager->Update(0.04f);
    announce(50, 100);
    manager->Update(0.04f);
    EXPECT_EQ(manager->GetDeviceCount(), CDeviceManager::kMaxDevices);
    EXPECT_EQ(network.GetBoundPorts().size(), CDeviceManager::kMaxDevices + 1) << "the link's and the units'";

    // Behind a full mailbox of forged answers.
    announce(150, 70);
    Receive(CIpAddress(10, 9, 0, 1, 16945), AnswerOf("KDX-1", "10.9.0.1", "16946"));
    manager->Update(0.04f);
    EXPECT_EQ(manager->GetDeviceCount(), CDeviceManager::kMaxDevices + 1);
    EXPECT_TRUE(manager->IsConnected());

    // Once the forged units go silent, the list has room again.
    manager->Update(10.5f);
    announce(200, 1);
    manager->Update(0.04f);
    EXPECT_EQ(manager->GetDeviceCount(), 1u);
}

TEST_F(DeviceManagerTest, UnitIsDroppedAfterTenSilentSeconds)
{
    Announce();
    manager->Update(0.5f);
    ASSERT_EQ(manager->GetDeviceCount(), 1u);
    manager->Update(9.5f);
    EXPECT_EQ(manager->GetDeviceCount(), 1u) << "exactly ten seconds is not yet lost";
    manager->Update(0.25f);
    EXPECT_EQ(manager->GetDeviceCount(), 0u);
    EXPECT_EQ(codes.Count(NOTIFY_LIST), 2u);

    // An answer, and for the chosen unit a link frame, keeps a unit.
    Announce();
    manager->Update(0.0f);
    manager->SetConnectedAddress(kUnit);
    manager->Update(8.0f);
    Announce();
    manager->Update(8.0f);
    Reply(CMessage(MANAGER_PLAYBACK, COMMAND_SET_LABEL));
    manager->Update(8.0f);
    EXPECT_EQ(manager->GetDeviceCount(), 1u);
    manager->Update(2.5f);
    EXPECT_EQ(manager->GetDeviceCount(), 0u);
}

TEST_F(DeviceManagerTest, NothingIsQueuedWithoutAChosenUnit)
{
    EXPECT_FALSE(manager->QueueMessage(SetIntensity(3, 0.5f)));
    EXPECT_EQ(manager->GetQueueLength(), 0u);
    EXPECT_EQ(manager->GetStatusColour().GetValue(), CRgbaColour(0, 0, 0, 255).GetValue());
}

TEST_F(DeviceManagerTest, HeadLeavesAsAFrameAndIsResentEverySecond)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    network.TakeWakes();
    ASSERT_TRUE(manager->QueueMessage(SetIntensity(3, 0.5f)));
    EXPECT_EQ(network.TakeWakes(), 1) << "the idle link stops waiting for its socket";

    // The pass that the wake began sends the record without waiting out its socket time.
    manager->Pass(CDeviceManager::kWaitMilliseconds);
    std::vector<SDatagram> sent = network.TakeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(FormatIpAddressPort(sent[0].to), "192.168.77.2:16945");
    EXPECT_EQ(sent[0].bytes, kSetIntensityFrame);
    // A record behind the one in flight waits for its acknowledgement.
    manager->QueueMessage(SetIntensity(4, 0.5f));
    EXPECT_EQ(network.TakeWakes(), 0);

    clock.Advance(1000);
    EXPECT_TRUE(Pass().empty());
    clock.Advance(1);
    sent = Pass();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, kSetIntensityFrame);
    EXPECT_EQ(manager->GetQueueLength(), 2u);
}

TEST_F(DeviceManagerTest, SetsOfOneTargetMergeBehindTheHeadAndOthersTakeTheNextSequence)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    manager->QueueMessage(SetIntensity(3, 0.1f));
    std::vector<CMessage> sent = PassRecords();
    ASSERT_EQ(sent.size(), 1u);
    // The controller is silent; two more values of the same property arrive. The first is in
    // flight already, so they merge into one record behind it.
    manager->QueueMessage(SetIntensity(3, 0.2f));
    manager->QueueMessage(SetIntensity(3, 0.3f));
    manager->QueueMessage(SetIntensity(4, 0.5f));
    manager->QueueMessage(SetIntensity(5, 0.5f));
    EXPECT_EQ(manager->GetQueueLength(), 4u);

    std::vector<std::string> drained;
    for (const CMessage& message : Drain())
        drained.push_back(std::to_string(message.GetSequence()) + " " + std::to_string(message.GetIndex0()) + " " +
                          message.GetValueRef().ToText());
    EXPECT_EQ(drained, (std::vector<std::string>{"0 3 0.100000001", "1 3 0.300000012", "2 4 0.5", "3 5 0.5"}));
}

TEST_F(DeviceManagerTest, PressesReleasesAndActionsAreNeverFoldedIntoAnotherRecord)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    auto record = [](uint32_t manager, uint32_t command, uint32_t index0, const CMessageValue& value) {
        CMessage message(manager, command);
        message.SetIndex0(index0);
        message.SetValue(value);
        return message;
    };
    const CMessage flashDown = record(MANAGER_PLAYBACK, COMMAND_SET_FLASH_DOWN, 0, CMessageValue(true));
    const CMessage flashUp = record(MANAGER_PLAYBACK, COMMAND_SET_FLASH_DOWN, 0, CMessageValue(false));
    const Bytes flashDownFrame = {
        0x29,                    // manager 41 "Playback"
        0x02,                    // payload tag 2 (bool)
        0x23, 0x00,              // command 35 "SetFlashDown"
        0x00, 0x00,              // index0: playback 0
        0x00, 0x00, 0x00, 0x00,  // index1, index2
        0xFF, 0xFF,              // filler
        0x04, 0x00,              // payload length 4
        0x00, 0x00,              // sequence 0
        0x00, 0x00, 0x00, 0x00,  // reserved
        0x01, 0x00, 0x00, 0x00,  // true
    };
    Bytes flashUpFrame = flashDownFrame;
    flashUpFrame[14] = 0x01;  // sequence 1
    flashUpFrame[20] = 0x00;  // false

    // A tap: the release is queued while its press is still unacknowledged at the controller.
    ASSERT_TRUE(manager->QueueMessage(flashDown));
    std::vector<SDatagram> sent = Pass();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, flashDownFrame);
    ASSERT_TRUE(manager->QueueMessage(flashUp));
    EXPECT_EQ(manager->GetQueueLength(), 2u);
    sent = Receive(kController, FrameOf(AckOf(flashDown)));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, flashUpFrame);

    // The controller falls silent: taps of FLASH and of a playback button, and two recordings
    // of one cue, each still reach it, in order; so do the programmer's values around the
    // recordings and a cue's labels around a removal. Values with nothing between them still
    // leave one record.
    const CMessage goDown = record(MANAGER_PLAYBACK, COMMAND_SET_GO_DOWN, 9, CMessageValue(true));
    const CMessage goUp = record(MANAGER_PLAYBACK, COMMAND_SET_GO_DOWN, 9, CMessageValue(false));
    CMessage recordCue(MANAGER_PROGRAMMER, COMMAND_RECORD);
    recordCue.SetIndex1(2);
    auto groupValue = [&](float value) { return record(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE, 0, CMessageValue(value)); };
    auto cueLabel = [&](const char* label) {
        CMessage message = record(MANAGER_CUE, COMMAND_SET_LABEL, 2, CMessageValue(label));
        message.SetIndex1(5);
        return message;
    };
    CMessage removeCue = record(MANAGER_CUE, COMMAND_REMOVE, 2, CMessageValue());
    removeCue.SetIndex2(1);
    manager->ClearQueue();
    for (const CMessage& message :
         {flashDown, flashUp, goDown, goUp, flashDown, flashUp, groupValue(0.5f), recordCue, groupValue(0.9f), recordCue,
          groupValue(0.1f), cueLabel("A"), removeCue, cueLabel("B"), cueLabel("C"), SetIntensity(3, 0.1f),
          SetIntensity(3, 0.2f), SetIntensity(3, 0.3f)})
        manager->QueueMessage(message);
    EXPECT_EQ(manager->GetQueueLength(), 15u);
    std::vector<std::string> drained;
    for (const CMessage& message : Drain())
        drained.push_back(MessageCommandName(message.GetCommand()) + " " + std::to_string(message.GetIndex0()) + " " +
                          message.GetValueRef().ToText());
    EXPECT_EQ(drained, (std::vector<std::string>{"SetFlashDown 0 true", "SetFlashDown 0 false", "SetGoDown 9 true",
                                                 "SetGoDown 9 false", "SetFlashDown 0 true", "SetFlashDown 0 false",
                                                 "SetValue 0 0.5", "Record 0 -", "SetValue 0 0.899999976",
                                                 "Record 0 -", "SetValue 0 0.100000001", "SetLabel 2 A", "Remove 2 -",
                                                 "SetLabel 2 C", "SetIntensity 3 0.300000012"}));
}

TEST_F(DeviceManagerTest, SequenceWrapsAfter65535)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    // A record takes its number as it leaves.
    for (int i = 0; i < 65535; ++i)
    {
        manager->QueueMessage(SetIntensity(3, 0.5f));
        manager->Pass(0);
        manager->ClearQueue();
    }
    network.TakeSent();
    manager->QueueMessage(SetIntensity(3, 0.5f));
    std::vector<CMessage> sent = PassRecords();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].GetSequence(), 65535);
    manager->ClearQueue();
    manager->QueueMessage(SetIntensity(3, 0.5f));
    sent = PassRecords();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].GetSequence(), 0);
}

TEST_F(DeviceManagerTest, AcknowledgementSendsTheNextRecordAtOnce)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    manager->QueueMessage(SetIntensity(3, 0.5f));
    manager->QueueMessage(SetIntensity(4, 0.5f));
    std::vector<CMessage> sent = PassRecords();
    ASSERT_EQ(sent.size(), 1u);

    // A frame with another sequence completes nothing, but it is applied all the same.
    CMessage notify(MANAGER_PLAYBACK, COMMAND_NOTIFY);
    notify.SetSequence(9);
    notify.SetValue(CMessageValue(290u));
    Reply(notify);
    EXPECT_EQ(manager->GetQueueLength(), 2u);

    network.Deliver(kLinkPort, kController, FrameOf(AckOf(sent[0])));
    sent = PassRecords();
    ASSERT_EQ(sent.size(), 1u) << "no second to wait";
    EXPECT_EQ(sent[0].GetIndex0(), 4u);
    EXPECT_EQ(manager->GetQueueLength(), 1u);

    manager->Update(0.04f);
    ASSERT_EQ(model.playbacks.messages.size(), 2u);
    EXPECT_EQ(model.playbacks.messages[0].GetCommand(), COMMAND_NOTIFY);
    EXPECT_EQ(model.playbacks.messages[1].GetSequence(), 0);
}

TEST_F(DeviceManagerTest, ARecordInFlightIsCompletedOnlyByWhatMayAnswerIt)
{
    char name[] = "tests_link";
    char* argv[] = {name, nullptr};
    const CApp app(CVersion(1, 7, 0), 1, argv);
    manager->SetConnectedAddress(kUnit);
    Pass();
    CMessage label(MANAGER_PLAYBACK, COMMAND_GET_LABEL);
    label.SetIndex0(6);
    // What a playback's notification asks for, as the row says.
    std::function<void()> asks;
    model.playbacks.onMessage = [&](const CMessage& reply) {
        if (reply.GetCommand() == COMMAND_NOTIFY && asks)
            asks();
    };
    auto news = [&](size_t reads) {
        asks = [&, reads] {
            for (size_t i = 0; i < reads; ++i)
                manager->QueueMessage(label);
        };
        Reply(CMessage(MANAGER_PLAYBACK, COMMAND_NOTIFY));
        manager->Update(0.04f);
    };
    // The read of playback 6's label, in each lane it may wait in, as the program's own or not.
    const struct
    {
        const char* lane;
        std::function<void()> queue;
        size_t own;
    } rows[] = {
        {"in order", [&] { manager->QueueMessage(label); }, 1},
        {"news", [&] { news(1); }, 0},
        // Asked more than news of one object asks, if only of one target.
        {"broad news", [&] { news(CDeviceManager::kMostNarrowReads + 1); }, 0},
        {"the resync's",
         [&] {
             model.onResync = [&] { manager->QueueMessage(label); };
             manager->BeginLoad();
             manager->EndLoad();
             manager->AbortLoad();
             model.onResync = nullptr;
         },
         1},
    };
    auto labelsTaken = [&] {
        std::vector<std::string> texts;
        for (const CMessage& message : model.playbacks.messages)
            if (message.GetCommand() == COMMAND_GET_LABEL)
                texts.push_back(message.GetValueRef().ToText());
        return texts;
    };
    // Each row runs whatever an earlier one found.
    auto check = [&](const auto& row) {
        manager->ClearQueue();
        row.queue();
        asks = nullptr;
        model.playbacks.messages.clear();
        model.repliesToNothing.clear();
        const std::vector<CMessage> sent = PassRecords();
        ASSERT_EQ(sent.size(), 1u) << row.lane;
        ASSERT_TRUE(sent[0].IsSameTarget(label)) << row.lane;
        CMessage other = sent[0];
        other.SetIndex0(7);
        other.SetValue(CMessageValue("Forged"));
        // A notification with its number is news; a frame of another target with its number, an
        // on-path sender's answering first, is no answer: the read stays in flight, nothing more
        // is sent.
        const Bytes notification = LabelNotification(MANAGER_FIXTURE, sent[0].GetSequence());
        EXPECT_TRUE(Receive(kController, notification).empty()) << row.lane;
        EXPECT_TRUE(Receive(kController, FrameOf(other)).empty()) << row.lane;
        EXPECT_EQ(manager->GetQueueLength(), 1u) << row.lane;
        // Sent again, it is completed by such a frame, still no value, and asked again in its
        // lane as it was asked, under the next number, so that its own answer is not lost.
        clock.Advance(1001);
        const std::vector<CMessage> resent = PassRecords();
        ASSERT_EQ(resent.size(), 1u) << row.lane;
        EXPECT_EQ(resent[0].GetSequence(), sent[0].GetSequence()) << row.lane;
        network.Deliver(kLinkPort, kController, FrameOf(other));
        const std::vector<CMessage> again = PassRecords();
        ASSERT_EQ(again.size(), 1u) << row.lane;
        EXPECT_TRUE(again[0].IsSameTarget(label)) << row.lane;
        EXPECT_EQ(again[0].GetSequence(), uint16_t(sent[0].GetSequence() + 1)) << row.lane;
        EXPECT_EQ(manager->GetOwnQueueLength(), row.own) << row.lane;
        CMessage answer = again[0];
        answer.SetValue(CMessageValue("Six"));
        Reply(answer);
        EXPECT_EQ(manager->GetQueueLength(), 0u) << row.lane;
        manager->Update(0.04f);
        // Only the answer is a value; the frames of another target reach only the model's look
        // at replies to nothing.
        EXPECT_EQ(labelsTaken(), std::vector<std::string>{"Six"}) << row.lane;
        EXPECT_EQ(model.repliesToNothing.size(), 2u) << row.lane;
    };
    // Answered with another target every time, a read is asked again a few times, then given up
    // without a value and said once in the log, so that nothing waits for it any more.
    auto givenUp = [&](const auto& row) {
        manager->ClearQueue();
        row.queue();
        asks = nullptr;
        const size_t told = LinesWith("given up without a value");
        std::set<uint16_t> numbers;
        for (int step = 0; step < 40 && manager->GetQueueLength() > 0; ++step, clock.Advance(501))
        {
            for (CMessage other : PassRecords())
            {
                numbers.insert(other.GetSequence());
                other.SetIndex0(7);
                network.Deliver(kLinkPort, kController, FrameOf(other));
            }
        }
        manager->Update(0.04f);
        EXPECT_EQ(manager->GetQueueLength(), 0u) << row.lane;
        EXPECT_EQ(numbers.size(), COutgoingQueue::kMostAskedAgain + 1) << row.lane;
        EXPECT_EQ(LinesWith("given up without a value"), told + 1) << row.lane;
        clock.Advance(1001);
        EXPECT_TRUE(PassRecords().empty()) << row.lane;
    };
    for (const auto& row : rows)
    {
        check(row);
        givenUp(row);
    }

    // A group's value, read through its own manager, answered as the programmer's, through which
    // the controller reads the same group: its answer, taken at once as its value.
    manager->ClearQueue();
    CMessage group(MANAGER_PROGRAMMER_CHANGE, COMMAND_GET_VALUE);
    group.SetIndex0(16);
    manager->QueueMessage(group);
    const std::vector<CMessage> read = PassRecords();
    ASSERT_EQ(read.size(), 1u);
    CMessage asProgrammer = read[0];
    asProgrammer.SetManager(MANAGER_PROGRAMMER);
    asProgrammer.SetValue(CMessageValue(0.25f));
    model.programmer.messages.clear();
    Reply(asProgrammer);
    EXPECT_EQ(manager->GetQueueLength(), 0u);
    manager->Update(0.04f);
    ASSERT_EQ(model.programmer.messages.size(), 1u);
    EXPECT_EQ(model.programmer.messages[0].GetValueRef().GetFloat(), 0.25f);

    // A change in flight: a notification with its number completes nothing either, but any other
    // frame with its number acknowledges it, as the controller acknowledges a change.
    manager->ClearQueue();
    manager->QueueMessage(SetIntensity(3, 0.5f));
    manager->QueueMessage(SetIntensity(4, 0.5f));
    const std::vector<CMessage> change = PassRecords();
    ASSERT_EQ(change.size(), 1u);
    EXPECT_TRUE(Receive(kController, LabelNotification(MANAGER_FIXTURE, change[0].GetSequence())).empty());
    CMessage other = AckOf(change[0]);
    other.SetIndex0(9);
    network.Deliver(kLinkPort, kController, FrameOf(other));
    const std::vector<CMessage> next = PassRecords();
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].GetIndex0(), 4u);
}

TEST_F(DeviceManagerTest, ForgedFramesNumberedOneAfterAnotherNeverPaceTheLink)
{
    ConnectUnit();
    CMessage genuine(MANAGER_PLAYBACK, COMMAND_GET_LABEL);
    genuine.SetIndex0(5);
    // A notification asks for the label it names: a forged one a cue's, the controller's own
    // playback 5's, whose value each row must read.
    bool labelRead = false;
    model.playbacks.onMessage = [&](const CMessage& reply) {
        if (reply.GetCommand() == COMMAND_NOTIFY)
        {
            CMessage read(reply.GetManager(), COMMAND_GET_LABEL);
            read.SetIndex0(reply.GetIndex0());
            read.SetIndex1(reply.GetIndex1());
            manager->QueueMessage(read);
        }
        labelRead = labelRead || (reply.IsSameTarget(genuine) && reply.GetValueRef().ToText() == "genuine");
    };
    enum TForger
    {
        kNone,
        // Notifications at the rate given, numbered one after another from the number of the
        // record in flight when they begin, as a blind forger who counts meets it.
        kCounting,
        // The same, all under one number.
        kFixed,
        // A sender on the path answers each record sent at once with its number and another target.
        kOnPath,
    };
    // A second of a controller answering each record 1 ms after it left, busy with the
    // program's own 400 changes and 100 reads, as of a show sent and read back, and the label it
    // announces after 300 ms, beside the forger: the requests it received.
    auto run = [&](TForger forger, uint32_t rate) {
        manager->ClearQueue();
        labelRead = false;
        for (uint32_t cue = 0; cue < 500; ++cue)
        {
            CMessage own(MANAGER_CUE, cue < 400 ? COMMAND_SET_LABEL : COMMAND_GET_CONDITION);
            own.SetIndex0(cue / 48);
            own.SetIndex1(cue % 48);
            if (cue < 400)
                own.SetValue(CMessageValue("Own"));
            manager->QueueMessage(own);
        }
        std::vector<CMessage> due;
        std::optional<uint16_t> count;
        uint32_t forged = 0;
        size_t requests = 0;
        auto take = [&] {
            for (const SDatagram& datagram : network.TakeSent())
            {
                CMessage record;
                if (datagram.to != kController || datagram.to.GetPort() != kLinkPort ||
                    !CMessageFrame::Decode(datagram.bytes.data(), datagram.bytes.size(), record))
                    continue;
                ++requests;
                due.push_back(record);
                if (!count)
                    count = record.GetSequence();
                if (forger != kOnPath)
                    continue;
                CMessage other = AckOf(record);
                other.SetIndex0(record.GetIndex0() + 1);
                other.SetValue(CMessageValue("Forged"));
                network.Deliver(kLinkPort, kController, FrameOf(other));
            }
        };
        for (int millisecond = 0; millisecond < 1000; ++millisecond)
        {
            for (uint32_t i = 0; count && i < rate / 1000; ++i, ++forged)
                network.Deliver(kLinkPort, kController,
                                LabelNotification(MANAGER_CUE, forger == kCounting ? (*count)++ : 40000,
                                                  forged / 48 % 64, forged % 48));
            for (const CMessage& record : due)
            {
                CMessage answer = AckOf(record);
                answer.SetValue(CMessageValue(record.IsSameTarget(genuine) ? "genuine" : "other"));
                network.Deliver(kLinkPort, kController, FrameOf(answer));
            }
            due.clear();
            if (millisecond == 300)
                network.Deliver(kLinkPort, kController, LabelNotification(MANAGER_PLAYBACK, 40001, 5));
            // Whatever answers the link's sends at once is taken at once, within bounds.
            for (int look = 0; look < 16; ++look)
            {
                const size_t received = manager->Pass(0);
                const size_t before = requests;
                take();
                if (received == 0 && requests == before)
                    break;
            }
            if (millisecond % 40 == 39)
                manager->Update(0.04f);
            clock.Advance(1);
        }
        return requests;
    };
    const size_t calm = run(kNone, 0);
    EXPECT_TRUE(labelRead);
    EXPECT_EQ(run(kOnPath, 0), calm) << "no request more for an on-path sender answering first";
    EXPECT_TRUE(labelRead) << "on the path";
    for (const uint32_t rate : {2000u, 10000u})
    {
        const size_t fixed = run(kFixed, rate);
        EXPECT_TRUE(labelRead) << rate << " under one number";
        EXPECT_LE(run(kCounting, rate), fixed) << rate << " a second";
        EXPECT_TRUE(labelRead) << rate << " a second numbered one after another";
    }
}

TEST_F(DeviceManagerTest, ValueQueuedWhileTheHeadIsInFlightSurvivesALostFrame)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    manager->QueueMessage(SetIntensity(3, 0.5f));
    // A value queued or in flight waits for the controller, and of its target only.
    EXPECT_TRUE(manager->IsWaiting(SetIntensity(3, 0.0f)));
    ASSERT_EQ(Pass().size(), 1u);
    EXPECT_TRUE(manager->IsWaiting(SetIntensity(3, 0.0f)));
    EXPECT_FALSE(manager->IsWaiting(SetIntensity(4, 0.5f)));
    // A slow controller: new values while the first is on its way leave the record in flight
    // alone and wait behind it.
    manager->QueueMessage(SetIntensity(3, 0.3f));
    manager->QueueMessage(SetIntensity(3, 0.7f));
    EXPECT_EQ(manager->GetQueueLength(), 2u);
    EXPECT_TRUE(Pass().empty());

    // The late answer to the first send completes it alone; the last value leaves at once under
    // a sequence of its own.
    Bytes lastValueFrame = kSetIntensityFrame;
    lastValueFrame[14] = 0x01;  // sequence 1
    SetFloatPayload(lastValueFrame, {0x33, 0x33, 0x33, 0x3F});  // 0.7f
    CMessage first = SetIntensity(3, 0.5f);
    std::vector<SDatagram> sent = Receive(kController, FrameOf(AckOf(first)));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, lastValueFrame);

    // That frame is lost. Another copy of the old answer completes nothing; the record is sent
    // again a second later, and its own answer completes it.
    Reply(AckOf(first));
    EXPECT_EQ(manager->GetQueueLength(), 1u);
    clock.Advance(1001);
    sent = Pass();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, lastValueFrame);
    CMessage last = SetIntensity(3, 0.7f);
    last.SetSequence(1);
    Reply(AckOf(last));
    EXPECT_EQ(manager->GetQueueLength(), 0u);
    EXPECT_FALSE(manager->IsWaiting(last));
}

TEST_F(DeviceManagerTest, AValueNeverMergesAcrossAnActionQueuedAfterIt)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    CMessage swap(MANAGER_PLAYBACK_MANAGER, COMMAND_SWAP);
    swap.SetIndex0(1);
    swap.SetIndex1(2);
    // The controller is silent: playback 1 to 0.8, playbacks 1 and 2 swapped, playback 1 to 0.2.
    manager->QueueMessage(SetIntensity(1, 0.8f));
    manager->QueueMessage(swap);
    manager->QueueMessage(SetIntensity(1, 0.2f));
    ASSERT_EQ(manager->GetQueueLength(), 3u);

    Bytes first = kSetIntensityFrame;
    first[4] = 0x01;                                     // index0: playback 1
    SetFloatPayload(first, {0xCD, 0xCC, 0x4C, 0x3F});    // 0.8f
    const Bytes swapFrame = {
        0x28,                    // manager 40 "PlaybackManager"
        0x19,                    // payload tag 25 (none)
        0x49, 0x00,              // command 73 "Swap"
        0x01, 0x00,              // index0: playback 1
        0x02, 0x00,              // index1: playback 2
        0x00, 0x00,              // index2
        0xFF, 0xFF,              // filler
        0x00, 0x00,              // payload length 0
        0x01, 0x00,              // sequence 1
        0x00, 0x00, 0x00, 0x00,  // reserved
    };
    Bytes last = first;
    last[14] = 0x02;                                     // sequence 2
    SetFloatPayload(last, {0xCD, 0xCC, 0x4C, 0x3E});     // 0.2f
    const std::vector<Bytes> expected = {first, swapFrame, last};
    std::vector<Bytes> drained;
    for (const CMessage& message : Drain())
        drained.push_back(FrameOf(message));
    EXPECT_EQ(drained, expected);
}

TEST_F(DeviceManagerTest, ReadsOfNewsWaitBehindChangesAndTakeTurnsByKind)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    auto read = [](uint32_t manager, uint32_t index0, uint32_t index1) {
        CMessage message(manager, COMMAND_GET_LABEL);
        message.SetIndex0(index0);
        message.SetIndex1(index1);
        return message;
    };
    // A count no record asked for asks for the labels of ten cues, news of many; an announced
    // label for one playback's, one fixture's and one of those cues'.
    model.onReplyToNothing = [&](const CMessage& reply) {
        if (reply.GetCommand() == COMMAND_GET_COUNT)
            for (uint32_t cue = 0; cue < 10; ++cue)
                manager->QueueMessage(read(MANAGER_CUE, 5, cue));
    };
    model.playbacks.onMessage = [&](const CMessage& reply) {
        if (reply.GetCommand() == COMMAND_NOTIFY)
        {
            manager->QueueMessage(read(MANAGER_PLAYBACK, 5, 0));
            manager->QueueMessage(read(MANAGER_FIXTURE, 2, 0));
            manager->QueueMessage(read(MANAGER_CUE, 5, 3));
        }
    };
    manager->QueueMessage(SetIntensity(3, 0.5f));
    ASSERT_EQ(Pass().size(), 1u);
    CMessage count(MANAGER_PLAYBACK, COMMAND_GET_COUNT);
    count.SetSequence(900);
    count.SetValue(CMessageValue(10u));
    Reply(count);
    manager->Update(0.04f);
    CMessage notify(MANAGER_PLAYBACK, COMMAND_NOTIFY);
    notify.SetSequence(901);
    notify.SetValue(CMessageValue(289u));
    Reply(notify);
    manager->Update(0.04f);
    manager->QueueMessage(SetIntensity(4, 0.5f));
    // Cue 3's label waits with the narrow news and the broad, and counts in each.
    EXPECT_EQ(manager->GetQueueLength(), 15u);
    // The program's own: the two changes; what news asked for, a notification's or a count no
    // record asked for, anyone could have sent.
    EXPECT_EQ(manager->GetOwnQueueLength(), 2u);

    std::vector<std::string> drained;
    for (const CMessage& message : Drain())
        drained.push_back(std::to_string(message.GetSequence()) + " " + MessageManagerName(message.GetManager()) +
                          " " + std::to_string(message.GetIndex0()) + "/" + std::to_string(message.GetIndex1()));
    // Cue 3's label goes once, with the narrow news. Whichever lane a record waited in, the
    // numbers the controller meets advance by one in the order the records leave.
    EXPECT_EQ(drained, (std::vector<std::string>{"0 Playback 3/0", "1 Playback 4/0", "2 Playback 5/0",
                                                 "3 Fixture 2/0", "4 Cue 5/0", "5 Cue 5/3", "6 Cue 5/1",
                                                 "7 Cue 5/2", "8 Cue 5/4", "9 Cue 5/5", "10 Cue 5/6", "11 Cue 5/7",
                                                 "12 Cue 5/8", "13 Cue 5/9"}));

    // A read that a notification asked for, asked for again by the answer to a read of the
    // program's own, is the program's own.
    model.playbacks.onMessage = [&](const CMessage& reply) {
        if (reply.GetCommand() == COMMAND_NOTIFY || reply.GetCommand() == COMMAND_GET_LABEL)
            manager->QueueMessage(read(MANAGER_PLAYBACK, 5, 0));
    };
    ASSERT_TRUE(manager->QueueMessage(read(MANAGER_PLAYBACK, 9, 0)));
    const std::vector<CMessage> own = PassRecords();
    ASSERT_EQ(own.size(), 1u);
    manager->QueueMessage(SetIntensity(3, 0.25f));
    Reply(notify);
    manager->Update(0.04f);
    EXPECT_EQ(manager->GetOwnQueueLength(), 2u) << "the read in flight and the change";
    CMessage answer = own[0];
    answer.SetValue(CMessageValue("Nine"));
    Reply(answer);
    manager->Update(0.04f);
    EXPECT_EQ(manager->GetQueueLength(), 2u);
    EXPECT_EQ(manager->GetOwnQueueLength(), 2u) << "the change in flight and the read";
}

TEST_F(DeviceManagerTest, AReadThatWaitsIsNeverQueuedAgainAndAnAbortedLoadLeavesTheReads)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    // A count that answers nothing sent asks for the labels of ten cues of playback 5; an
    // announced label for playback 5's and cue 3's; "all of it changed" at a playback for four
    // reads. The count that answers nothing sent reaches no handler of the model's.
    auto asks = [&](const CMessage& reply) {
        auto read = [&](uint32_t manager, uint32_t command, uint32_t index0, uint32_t index1) {
            CMessage message(manager, command);
            message.SetIndex0(index0);
            message.SetIndex1(index1);
            this->manager->QueueMessage(message);
        };
        if (reply.GetCommand() == COMMAND_GET_COUNT)
            for (uint32_t cue = 0; cue < 10; ++cue)
                read(MANAGER_CUE, COMMAND_GET_LABEL, 5, cue);
        else if (reply.GetCommand() == COMMAND_NOTIFY && reply.GetValueRef().GetUnsigned() == 0)
            for (uint32_t command :
                 {COMMAND_GET_PROPERTIES, COMMAND_GET_LABEL, COMMAND_GET_INTENSITY, COMMAND_GET_SPEED})
                read(MANAGER_PLAYBACK, command, reply.GetIndex0(), 0);
        else if (reply.GetCommand() == COMMAND_NOTIFY)
            read(MANAGER_PLAYBACK, COMMAND_GET_LABEL, 5, 0), read(MANAGER_CUE, COMMAND_GET_LABEL, 5, 3);
    };
    model.playbacks.onMessage = [&](const CMessage& reply) {
        EXPECT_NE(reply.GetCommand(), COMMAND_GET_COUNT);
        asks(reply);
    };
    model.onReplyToNothing = [&](const CMessage& reply) {
        EXPECT_EQ(reply.GetCommand(), COMMAND_GET_COUNT);
        asks(reply);
    };
    auto reply = [&](uint32_t command, uint32_t value, uint32_t playback = 0) {
        CMessage message(MANAGER_PLAYBACK, command);
        message.SetIndex0(playback);
        message.SetSequence(900);
        message.SetValue(CMessageValue(value));
        Reply(message);
        manager->Update(0.04f);
    };
    auto count = [&] { reply(COMMAND_GET_COUNT, 10u); };
    auto label = [&] { reply(COMMAND_NOTIFY, 289u); };
    auto press = [&] {
        CMessage flash(MANAGER_PLAYBACK, COMMAND_SET_FLASH_DOWN);
        flash.SetValue(CMessageValue(true));
        manager->QueueMessage(flash);
    };
    // What the controller meets, a run of equal records written once with its length; the numbers
    // it meets advance by one, whatever merged or was taken back before it left.
    auto drained = [&] {
        std::vector<std::string> runs;
        size_t run = 0;
        const std::vector<CMessage> sent = Drain();
        for (size_t i = 1; i < sent.size(); ++i)
            EXPECT_EQ(sent[i].GetSequence(), uint16_t(sent[i - 1].GetSequence() + 1)) << "record " << i;
        for (const CMessage& message : sent)
        {
            const std::string text = MessageCommandName(message.GetCommand()) + " " +
                                     MessageManagerName(message.GetManager()) + " " +
                                     std::to_string(message.GetIndex0()) + "/" + std::to_string(message.GetIndex1());
            if (!runs.empty() && runs.back().compare(0, text.size(), text) == 0)
                runs.back() = text + " x" + std::to_string(++run);
            else
                runs.push_back(text), run = 1;
        }
        return runs;
    };
    std::vector<std::string> cues;
    for (int cue = 0; cue < 10; ++cue)
        cues.push_back("GetLabel Cue 5/" + std::to_string(cue));
    auto with = [](std::vector<std::string> first, const std::vector<std::string>& then) {
        first.insert(first.end(), then.begin(), then.end());
        return first;
    };
    std::vector<std::string> cuesButThree = cues;
    cuesButThree.erase(cuesButThree.begin() + 3);
    // The reads of playback 7's "all of it changed", which the program's own reading back of what
    // an aborted load reached asks ahead of news.
    const std::vector<std::string> readBack = {"GetProperties Playback 7/0", "GetLabel Playback 7/0",
                                               "GetIntensity Playback 7/0", "GetSpeed Playback 7/0"};

    struct SCase
    {
        const char* what;
        std::function<void()> steps;
        size_t queued;
        std::vector<std::string> drained;
        int resyncs;
    };
    const SCase cases[] = {
        {"the same refresh after an action", [&] { count(), press(), count(); }, 12,
         with({"SetIntensity Playback 3/0", "SetFlashDown Playback 0/0"}, cues), 0},
        {"a lane bounded by its targets",
         [&] {
             for (int i = 0; i < 50; ++i)
                 count(), label(), press();
         },
         63,
         with({"SetIntensity Playback 3/0", "SetFlashDown Playback 0/0 x50", "GetLabel Playback 5/0",
               "GetLabel Cue 5/3"},
              cuesButThree),
         0},
        {"narrow news twice for each turn of broad news",
         [&] { count(), reply(COMMAND_NOTIFY, 0u); }, 15,
         {"SetIntensity Playback 3/0", "GetProperties Playback 0/0", "GetLabel Playback 0/0", "GetLabel Cue 5/0",
          "GetIntensity Playback 0/0", "GetSpeed Playback 0/0", "GetLabel Cue 5/1", "GetLabel Cue 5/2",
          "GetLabel Cue 5/3", "GetLabel Cue 5/4", "GetLabel Cue 5/5", "GetLabel Cue 5/6", "GetLabel Cue 5/7",
          "GetLabel Cue 5/8", "GetLabel Cue 5/9"},
         0},
        {"an abort that keeps the reads",
         [&] {
             manager->ClearQueue();
             manager->BeginLoad();
             manager->QueueMessage(SetIntensity(7, 0.1f));
             Pass();
             manager->QueueMessage(SetIntensity(8, 0.1f));
             manager->QueueMessage(SetIntensity(7, 0.9f));
             manager->EndLoad();
             label(), count();
             manager->QueueMessage(SetIntensity(9, 0.2f));
             manager->AbortLoad();
         },
         18,
         with(with({"SetIntensity Playback 7/0", "SetIntensity Playback 9/0"}, readBack),
              with({"GetLabel Playback 5/0", "GetLabel Cue 5/3"}, cuesButThree)),
         1},
    };
    for (const SCase& c : cases)
    {
        manager->ClearQueue();
        manager->QueueMessage(SetIntensity(3, 0.5f));
        Pass();
        model.resyncs = 0;
        c.steps();
        EXPECT_EQ(manager->GetQueueLength(), c.queued) << c.what;
        EXPECT_EQ(drained(), c.drained) << c.what;
        EXPECT_EQ(model.resyncs, c.resyncs) << c.what;
    }
}

TEST_F(DeviceManagerTest, RecordTooLargeForOneFrameIsRefusedWhenQueued)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    CMessage label(MANAGER_FIXTURE, COMMAND_SET_PERSONALITY);
    label.SetValue(CMessageValue(std::string(1003, 'p')));
    EXPECT_TRUE(manager->QueueMessage(label));
    label.SetIndex0(1);
    label.SetValue(CMessageValue(std::string(1004, 'p')));
    EXPECT_FALSE(manager->QueueMessage(label));
    CMessage raw(MANAGER_CUE, COMMAND_SET_CUE_STREAM_BLOCK);
    const Bytes bytes(1005, 7);
    CMessageValue block;
    block.SetRawData(bytes.data(), 1004);
    raw.SetValue(block);
    EXPECT_TRUE(manager->QueueMessage(raw));
    raw.SetIndex0(1);
    block.SetRawData(bytes.data(), 1005);
    raw.SetValue(block);
    EXPECT_FALSE(manager->QueueMessage(raw));
    // Nor may it slip in by merging into a queued record.
    label.SetIndex0(0);
    EXPECT_FALSE(manager->QueueMessage(label));

    const std::vector<CMessage> drained = Drain();
    ASSERT_EQ(drained.size(), 2u);
    EXPECT_EQ(drained[0].GetValue().GetString().size(), 1003u);
    EXPECT_EQ(drained[1].GetValue().GetRawSize(), 1004u);
}

TEST_F(DeviceManagerTest, TheQueueRefusesRecordsPastItsBoundAndTakesThemOnceItHasRoom)
{
    char name[] = "tests_link";
    char* argv[] = {name, nullptr};
    const CApp app(CVersion(1, 7, 0), 1, argv);
    auto logged = [] { return LinesWith("The queue to the controller is full"); };
    ConnectUnit();
    // The costliest fill in records: presses, each a record of its own, between two values.
    auto press = [](size_t n) {
        CMessage message(MANAGER_PLAYBACK, COMMAND_SET_FLASH_DOWN);
        message.SetIndex0(uint32_t(n % 64));
        message.SetValue(CMessageValue(n % 2 == 0));
        return message;
    };
    ASSERT_TRUE(manager->QueueMessage(SetIntensity(3, 0.1f)));
    for (size_t n = 0; n + 2 < COutgoingQueue::kMostInOrder; ++n)
        ASSERT_TRUE(manager->QueueMessage(press(n)));
    ASSERT_TRUE(manager->QueueMessage(SetIntensity(4, 0.1f)));
    EXPECT_EQ(manager->GetQueueLength(), COutgoingQueue::kMostInOrder);

    // At the bound a press is refused, and so is a value the presses fence off, which the model
    // takes back, keeping the value of the target still waiting; a value that takes a waiting
    // record's place adds nothing and goes. The observers hear of the first refused change only.
    EXPECT_FALSE(manager->QueueMessage(press(0)));
    EXPECT_FALSE(manager->QueueMessage(SetIntensity(3, 0.2f)));
    EXPECT_TRUE(manager->QueueMessage(SetIntensity(4, 0.2f)));
    EXPECT_EQ(manager->GetQueueLength(), COutgoingQueue::kMostInOrder);
    ASSERT_EQ(model.takenBack.size(), 2u);
    EXPECT_EQ(model.takenBack[1], SetIntensity(3, 0.2f).GetTarget());
    EXPECT_TRUE(model.forgotten.empty());
    EXPECT_EQ(codes.Count(DEVICE_MANAGER_NOTIFY_REFUSED), 1u);

    // Once the head is answered there is room again; everything taken reaches the controller
    // once and in order.
    const std::vector<CMessage> head = PassRecords();
    ASSERT_EQ(head.size(), 1u);
    Receive(kController, FrameOf(AckOf(head[0])));
    EXPECT_TRUE(manager->QueueMessage(press(7)));
    std::vector<CMessage> drained;
    while (manager->GetQueueLength() > 0)
    {
        const std::vector<CMessage> some = Drain();
        ASSERT_FALSE(some.empty());
        drained.insert(drained.end(), some.begin(), some.end());
    }
    ASSERT_EQ(drained.size(), COutgoingQueue::kMostInOrder);
    for (size_t n = 0; n + 2 < COutgoingQueue::kMostInOrder; ++n)
    {
        if (drained[n].GetIndex0() != press(n).GetIndex0() || drained[n].GetValueRef() != press(n).GetValueRef())
            FAIL() << "press " << n << " out of order";
    }
    EXPECT_EQ(drained[drained.size() - 2].GetValueRef(), CMessageValue(0.2f));
    EXPECT_EQ(drained.back().GetValueRef(), press(7).GetValueRef());

    // The costliest fill in bytes: values of the longest payload, each of its own target.
    CMessage block(MANAGER_CUE, COMMAND_SET_CUE_STREAM_BLOCK);
    CMessageValue longest;
    longest.SetRawData(Bytes(CMessageFrame::kMaxSendPayload, 7).data(), uint32_t(CMessageFrame::kMaxSendPayload));
    block.SetValue(longest);
    size_t taken = 0;
    for (; taken <= COutgoingQueue::kMostInOrderBytes / CMessageFrame::kMaxSendPayload; ++taken)
    {
        block.SetIndex0(uint32_t(taken));
        if (!manager->QueueMessage(block))
            break;
    }
    EXPECT_EQ(taken, (COutgoingQueue::kMostInOrderBytes + CMessageFrame::kMaxSendPayload - 1) /
                         CMessageFrame::kMaxSendPayload);
    EXPECT_FALSE(manager->QueueMessage(press(0)));
    EXPECT_EQ(codes.Count(DEVICE_MANAGER_NOTIFY_REFUSED), 2u) << "told again once the queue had emptied";
    EXPECT_EQ(logged(), 2u);

    // Under a flood of notifications reads of news always wait: an episode ends once the records
    // in order have drained, and the next is told once again, on screen and in the log.
    while (manager->GetQueueLength() > 0)
        ASSERT_FALSE(Drain().empty());
    model.playbacks.onMessage = [&](const CMessage& reply) {
        CMessage read(MANAGER_CUE, COMMAND_GET_LABEL);
        read.SetIndex0(reply.GetIndex0());
        if (reply.GetCommand() == COMMAND_NOTIFY)
            manager->QueueMessage(read);
    };
    // Of a cue's label, under the sequence of a record answered before.
    auto notify = [&](uint32_t playback, uint16_t sequence) {
        CMessage label(MANAGER_CUE, COMMAND_NOTIFY);
        label.SetIndex0(playback);
        label.SetSequence(sequence);
        label.SetValue(CMessageValue(289u));
        Reply(label);
        manager->Update(0.04f);
    };
    notify(0, 0);
    for (uint32_t episode = 3; episode <= 4; ++episode)
    {
        size_t n = 0;
        while (manager->QueueMessage(press(n)))
            ++n;
        EXPECT_FALSE(manager->QueueMessage(press(n))) << episode;
        EXPECT_EQ(codes.Count(DEVICE_MANAGER_NOTIFY_REFUSED), episode) << episode;
        EXPECT_EQ(logged(), episode) << episode;
        // The link takes the records in order; a read of news waits all along.
        for (;;)
        {
            clock.Advance(CDeviceManager::kResendMilliseconds + 1);
            const std::vector<CMessage> head = PassRecords();
            ASSERT_EQ(head.size(), 1u);
            if (head[0].IsRead() && manager->GetQueueLength() == 1)
                break;
            if (head[0].IsRead())
                notify(episode, uint16_t(head[0].GetSequence() - 1));
            Receive(kController, FrameOf(AckOf(head[0])));
        }
    }
}

TEST_F(DeviceManagerTest, BadDatagramsNeverDisturbTheQueue)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    manager->QueueMessage(SetIntensity(3, 0.5f));
    Pass();
    const Bytes ack = FrameOf(AckOf(SetIntensity(3, 0.5f)));  // sequence 0, as the head's

    auto with = [&](size_t at, uint8_t value) {
        Bytes bytes = ack;
        bytes[at] = value;
        return bytes;
    };
    std::vector<Bytes> bad = {
        Bytes(),
        Bytes{0x29},
        Bytes(ack.begin(), ack.begin() + 19),  // shorter than a header
        with(0, 64),                            // manager 64
        with(2, 77),                            // command 77
        with(16, 1),                            // reserved byte not zero
        with(12, 1),                            // a payload the datagram does not hold
        with(13, 0x05),                         // payload length 1280 + 0
        kIdentify,                              // our own broadcast coming back
        AnswerOf("KDX-1", "0.0.0.0.0", "1"),    // an answer that does not parse
        Bytes(3000, 0x29),                      // longer than the receive buffer
    };
    Bytes limit = ack;
    limit[12] = 0xDC;  // payload length 1500
    limit[13] = 0x05;
    limit.resize(20 + 1500, 0);
    bad.push_back(limit);
    for (const Bytes& bytes : bad)
        Receive(kController, bytes);
    // A well-formed acknowledgement, but from a unit that is not the chosen one.
    Receive(CIpAddress(192, 168, 77, 3, 16945), ack);

    EXPECT_EQ(manager->GetQueueLength(), 1u);
    manager->Update(0.04f);
    EXPECT_TRUE(model.playbacks.messages.empty());
    EXPECT_EQ(manager->GetDeviceCount(), 0u);

    clock.Advance(1001);
    const std::vector<SDatagram> sent = Pass();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, kSetIntensityFrame);

    // A flood waiting at the socket is taken a batch a pass, and the acknowledgement behind it
    // gets through.
    for (size_t i = 0; i < CDeviceManager::kReceiveBatch + 10; ++i)
        ASSERT_TRUE(network.Deliver(kLinkPort, kController, bad[i % bad.size()]));
    ASSERT_TRUE(network.Deliver(kLinkPort, kController, FrameOf(AckOf(SetIntensity(3, 0.5f)))));
    EXPECT_EQ(manager->Pass(0), CDeviceManager::kReceiveBatch);
    EXPECT_EQ(manager->GetQueueLength(), 1u);
    EXPECT_EQ(manager->Pass(0), 11u);
    EXPECT_EQ(manager->GetQueueLength(), 0u);
}

TEST_F(DeviceManagerTest, RepliesReachTheirHandlersInArrivalOrderOnTheMainThread)
{
    ConnectUnit();
    const uint32_t managers[] = {MANAGER_PLAYBACK, MANAGER_FIXTURE_MANAGER, MANAGER_PROGRAMMER, MANAGER_ENGINE,
                                 MANAGER_CUE, MANAGER_FIXTURE, MANAGER_DMX, MANAGER_PROGRAMMER_CHANGE,
                                 MANAGER_PLAYBACK_MANAGER, MANAGER_DEVICE_MANAGER};
    // The controller's notifications, which answer no record but are news.
    uint32_t index = 0;
    for (uint32_t id : managers)
    {
        CMessage reply(id, COMMAND_NOTIFY);
        reply.SetIndex0(index++);
        Reply(reply);
    }
    // The unit's settings: the answer to their read is taken, a reply that answers nothing is not.
    ASSERT_TRUE(manager->QueueMessage(CMessage(MANAGER_ARTNET, COMMAND_GET_ENABLED)));
    const std::vector<CMessage> read = PassRecords();
    ASSERT_EQ(read.size(), 1u);
    CMessage artNet = read[0];
    artNet.SetValue(CMessageValue(true));
    Reply(artNet);
    CMessage acn(MANAGER_ACN, COMMAND_GET_ENABLED);
    acn.SetValue(CMessageValue(true));
    Reply(acn);
    EXPECT_TRUE(model.playbacks.messages.empty()) << "replies wait for the tick";

    // A handler may queue records while replies are applied.
    model.fixtures.onMessage = [&](const CMessage&) { manager->QueueMessage(CMessage(MANAGER_FIXTURE, COMMAND_GET_ADDRESS)); };
    manager->Update(0.04f);

    auto indexes = [](const CRecordingHandler& handler) {
        std::vector<uint32_t> out;
        for (const CMessage& message : handler.messages)
            out.push_back(message.GetIndex0());
        return out;
    };
    EXPECT_EQ(indexes(model.playbacks), (std::vector<uint32_t>{0, 4, 8}));
    EXPECT_EQ(indexes(model.fixtures), (std::vector<uint32_t>{1, 5}));
    EXPECT_EQ(indexes(model.programmer), (std::vector<uint32_t>{2, 7}));
    EXPECT_EQ(indexes(model.engine), (std::vector<uint32_t>{3}));
    EXPECT_TRUE(manager->GetConnectedDevice()->GetArtNetEnabled());
    EXPECT_FALSE(manager->GetConnectedDevice()->GetAcnEnabled());
    ASSERT_EQ(model.repliesToNothing.size(), 1u);
    EXPECT_EQ(model.repliesToNothing[0].GetManager(), MANAGER_ACN);
    EXPECT_EQ(manager->GetQueueLength(), 1u);
    for (SDL_threadID thread : model.playbacks.threads)
        EXPECT_EQ(thread, SDL_ThreadID());

    // Without a model the replies go nowhere, harmlessly.
    manager->SetCore(nullptr);
    Reply(CMessage(MANAGER_PLAYBACK, COMMAND_GET_LABEL));
    manager->Update(0.04f);
    EXPECT_EQ(model.playbacks.messages.size(), 3u);
}

TEST_F(DeviceManagerTest, RepliesFasterThanTheMainThreadKeepTheAnswerAndNotificationsWithinTheBounds)
{
    char name[] = "tests_link";
    char* argv[] = {name, nullptr};
    const CApp app(CVersion(1, 7, 0), 1, argv);
    ConnectUnit();
    uint32_t arrival = 0;
    auto arrive = [&](CMessage message) {
        message.SetIndex0(arrival++);
        ASSERT_TRUE(network.Deliver(kLinkPort, kController, FrameOf(message)));
    };
    // Under a number no record of this test leaves with: a notification completes nothing.
    auto notification = [](uint32_t code) {
        CMessage notify(MANAGER_PLAYBACK, COMMAND_NOTIFY);
        notify.SetSequence(40000);
        notify.SetValue(CMessageValue(code));
        return notify;
    };
    // Between two ticks a flood arrives while a record is in flight, its answer amid the flood.
    // Index0 numbers the replies in arrival order. The link takes all of it; the tick applies
    // what the mailbox kept.
    auto flood = [&](size_t costly, size_t notifications) {
        // The answer arrives eleventh of its kind and is numbered so: the record is for the
        // playback of that number, so that the answer has its target.
        const uint32_t answerAt = arrival + uint32_t(std::min<size_t>(costly, 10) + std::min<size_t>(notifications, 10));
        manager->QueueMessage(SetIntensity(answerAt, float(arrival)));
        const std::vector<CMessage> head = PassRecords();
        ASSERT_EQ(head.size(), 1u);
        for (size_t i = 0; i < std::max(costly, notifications); ++i)
        {
            if (i == 10)
                arrive(AckOf(head[0]));
            if (i < costly)
            {
                // What answers nothing, with the longest text a frame carries: the costliest to keep.
                CMessage label(MANAGER_PLAYBACK, COMMAND_GET_LABEL);
                label.SetIndex0(arrival++);
                label.SetSequence(uint16_t(head[0].GetSequence() + 1));
                ASSERT_TRUE(network.Deliver(kLinkPort, kController, LongestTextFrameOf(label)));
            }
            if (i < notifications)
                arrive(notification(289));
        }
        while (manager->Pass(0) > 0)
        {
        }
        EXPECT_EQ(manager->GetQueueLength(), 0u) << "the answer completed the record";
        model.playbacks.messages.clear();
        manager->Update(0.04f);
    };
    // What answers nothing reaches the model's look at it, in arrival order with the rest.
    model.onReplyToNothing = [&](const CMessage& reply) { model.playbacks.HandleMessage(reply); };
    const std::vector<CMessage>& applied = model.playbacks.messages;
    auto inArrivalOrder = [&] {
        for (size_t i = 1; i < applied.size(); ++i)
        {
            if (applied[i - 1].GetIndex0() >= applied[i].GetIndex0())
                return false;
        }
        return true;
    };
    auto count = [&](uint32_t command) {
        return size_t(std::count_if(applied.begin(), applied.end(),
                                    [&](const CMessage& message) { return message.GetCommand() == command; }));
    };

    // Twice the bytes the mailbox keeps in long texts, and half as many notifications as it keeps.
    const size_t costly = 2 * CDeviceManager::kMostReplyBytes / CMessageFrame::kPayloadLimit;
    flood(costly, CDeviceManager::kMostReplies / 2);
    EXPECT_TRUE(inArrivalOrder());
    EXPECT_EQ(count(COMMAND_NOTIFY), CDeviceManager::kMostReplies / 2)
        << "notifications go only after what nobody asked for";
    EXPECT_EQ(count(COMMAND_SET_INTENSITY), 1u) << "the answer is always kept";
    const size_t texts = count(COMMAND_GET_LABEL);
    EXPECT_GT(texts, 0u) << "replies nobody asked for fill what room is left";
    EXPECT_LT(texts * CMessageFrame::kPayloadLimit, CDeviceManager::kMostReplyBytes);

    // More notifications than the mailbox keeps: the oldest go, the answer stays, and what the
    // dropped could have named (any object's, the controller's own among them) is read again;
    // once in a while at most, however often they go.
    EXPECT_EQ(model.notificationsLost, 0) << "only unasked ones went";
    flood(0, CDeviceManager::kMostReplies + 100);
    EXPECT_EQ(model.notificationsLost, 1);
    manager->ClearQueue();
    EXPECT_TRUE(inArrivalOrder());
    EXPECT_EQ(count(COMMAND_NOTIFY), CDeviceManager::kMostReplies);
    ASSERT_EQ(count(COMMAND_SET_INTENSITY), 1u);
    EXPECT_EQ(applied.front().GetCommand(), COMMAND_SET_INTENSITY);
    EXPECT_EQ(applied.back().GetIndex0() - applied[1].GetIndex0() + 1, CDeviceManager::kMostReplies);
    flood(0, CDeviceManager::kMostReplies + 100);
    EXPECT_EQ(model.notificationsLost, 1) << "read again a while ago";
    clock.Advance(CDeviceManager::kDroppedNewsMilliseconds + 1);
    manager->Update(0.04f);
    EXPECT_EQ(model.notificationsLost, 2) << "dropped since, read again";
    EXPECT_EQ(LinesWith("come faster than they are applied"), 1u) << "said once while drops go on";

    // The system drops datagrams at the socket when the link cannot keep up, the controller's
    // notifications with the rest; the socket tells how many with the next it hands over. They
    // count as dropped notifications: the model reads again, once in a while at most, and so does
    // the unit its settings.
    auto systemDrops = [&](uint32_t dropped) {
        network.Drop(kLinkPort, dropped);
        arrive(notification(290));
        manager->Pass(0);
        manager->Update(0.04f);
    };
    clock.Advance(CDeviceManager::kDroppedNewsMilliseconds + 1);
    manager->ClearQueue();
    systemDrops(0);
    EXPECT_EQ(model.notificationsLost, 2) << "nothing dropped";
    systemDrops(3);
    EXPECT_EQ(model.notificationsLost, 3);
    // They stand for notifications, which anyone can have dropped: nothing the program waits for.
    EXPECT_EQ(manager->GetQueueLength(), 4u);
    EXPECT_EQ(manager->GetOwnQueueLength(), 0u);
    const std::vector<CMessage> settings = Drain();
    EXPECT_EQ(std::count_if(settings.begin(), settings.end(),
                            [](const CMessage& read) {
                                return read.GetManager() == MANAGER_ARTNET || read.GetManager() == MANAGER_ACN;
                            }),
              4);
    systemDrops(1);
    EXPECT_EQ(model.notificationsLost, 3) << "read again a while ago";
    clock.Advance(CDeviceManager::kDroppedNewsMilliseconds + 1);
    manager->Update(0.04f);
    EXPECT_EQ(model.notificationsLost, 4) << "dropped since, read again";
    manager->ClearQueue();

    // However many wait, a tick stops applying them once it has spent its time (each reply here
    // takes a millisecond): the rest wait for the next tick, in order.
    model.playbacks.messages.clear();
    model.playbacks.onMessage = [&](const CMessage&) { clock.Advance(1); };
    constexpr size_t kSlow = 8 * CDeviceManager::kRepliesPerClockLook;
    for (size_t i = 0; i < kSlow; ++i)
        arrive(notification(290));
    while (manager->Pass(0) > 0)
    {
    }
    size_t ticks = 0;
    while (model.playbacks.messages.size() < kSlow && ticks < kSlow)
    {
        manager->Update(0.04f);
        ++ticks;
        EXPECT_LE(model.playbacks.messages.size(),
                  ticks * (CDeviceManager::kReplyMillisecondsPerTick + CDeviceManager::kRepliesPerClockLook));
    }
    EXPECT_GT(ticks, 2u);
    // Each one left by a tick arrives in the next, once.
    ASSERT_EQ(applied.size(), kSlow);
    EXPECT_EQ(applied.back().GetIndex0() - applied.front().GetIndex0() + 1, kSlow);
    EXPECT_TRUE(inArrivalOrder());
}

TEST_F(DeviceManagerTest, ChoosingAUnitDropsTheQueueResyncsAndReadsItsSettings)
{
    Announce();
    manager->Update(0.04f);
    EXPECT_EQ(manager->GetStatusColour().GetValue(), CRgbaColour(0, 0, 0, 255).GetValue());
    manager->SetConnectedAddress(kOtherUnit);
    EXPECT_EQ(manager->GetStatusColour().GetValue(), CRgbaColour(255, 0, 0, 255).GetValue());
    manager->QueueMessage(SetIntensity(3, 0.5f));
    manager->QueueMessage(SetIntensity(4, 0.5f));
    Pass();
    codes.codes.clear();
    model.resyncs = 0;

    // The model reads everything, each object's values together: two values of two playbacks, of
    // two fixtures and of the programmer here.
    model.onResync = [&] {
        const uint32_t reads[][3] = {
            {MANAGER_PLAYBACK, COMMAND_GET_PROPERTIES, 0}, {MANAGER_PLAYBACK, COMMAND_GET_LABEL, 0},
            {MANAGER_PLAYBACK, COMMAND_GET_PROPERTIES, 1}, {MANAGER_PLAYBACK, COMMAND_GET_LABEL, 1},
            {MANAGER_FIXTURE, COMMAND_GET_LABEL, 0},       {MANAGER_FIXTURE, COMMAND_GET_ADDRESS, 0},
            {MANAGER_FIXTURE, COMMAND_GET_LABEL, 1},       {MANAGER_FIXTURE, COMMAND_GET_ADDRESS, 1},
            {MANAGER_PROGRAMMER, COMMAND_GET_FIXTURES, 0}, {MANAGER_PROGRAMMER, COMMAND_GET_BLIND, 0}};
        for (const auto& read : reads)
        {
            CMessage message(read[0], read[1]);
            message.SetIndex0(read[2]);
            manager->QueueMessage(message);
        }
    };
    manager->SetConnectedAddress(kUnit);
    EXPECT_EQ(codes.Count(NOTIFY_SELECTION), 1u);
    EXPECT_EQ(codes.Count(DEVICE_MANAGER_NOTIFY_CONNECTED), 1u);
    EXPECT_EQ(model.resyncs, 1);
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_EQ(manager->GetConnectedDevice(), manager->GetDevice(0));
    EXPECT_EQ(manager->GetStatusColour().GetValue(), CRgbaColour(0, 255, 0, 255).GetValue());
    // The old unit's records are gone. The chosen unit asks for its sACN settings, in order; the
    // controller then meets the resync as the protocol orders it, every playback, then every
    // fixture, then the programmer, numbered on from the record the old unit was sent.
    std::vector<std::string> drained;
    for (const CMessage& message : Drain())
        drained.push_back(std::to_string(message.GetSequence()) + " " + MessageCommandName(message.GetCommand()) + " " +
                          MessageManagerName(message.GetManager()) + " " + std::to_string(message.GetIndex0()));
    EXPECT_EQ(drained, (std::vector<std::string>{
                           "1 GetEnabled AcnManager 0", "2 GetValue AcnManager 0", "3 GetProperties Playback 0",
                           "4 GetLabel Playback 0", "5 GetProperties Playback 1", "6 GetLabel Playback 1",
                           "7 GetLabel Fixture 0", "8 GetAddress Fixture 0", "9 GetLabel Fixture 1",
                           "10 GetAddress Fixture 1", "11 GetFixtures Programmer 0", "12 GetBlind Programmer 0"}));
    model.onResync = nullptr;

    // The same choice again changes nothing; neither does any choice while locked.
    manager->SetConnectedAddress(kUnit);
    EXPECT_EQ(codes.Count(NOTIFY_SELECTION), 1u);
    manager->SetLocked(true);
    manager->SetLocked(true);
    EXPECT_EQ(codes.Count(NOTIFY_LOCK), 1u);
    manager->SetConnectedAddress(kOtherUnit);
    EXPECT_EQ(FormatIpAddressPort(manager->GetConnectedAddress()), "192.168.77.2:16946");
    EXPECT_EQ(model.resyncs, 1);
    manager->SetLocked(false);
    EXPECT_EQ(codes.Count(NOTIFY_LOCK), 2u);
}

TEST_F(DeviceManagerTest, ChosenUnitThatComesBackIsReadAgain)
{
    ConnectUnit();
    codes.codes.clear();
    model.resyncs = 0;

    manager->Update(10.5f);
    EXPECT_EQ(manager->GetDeviceCount(), 0u);
    EXPECT_EQ(codes.codes, (std::vector<uint32_t>{NOTIFY_LIST, DEVICE_MANAGER_NOTIFY_CONNECTED}));
    EXPECT_FALSE(manager->IsConnected());
    EXPECT_EQ(manager->GetStatusColour().GetValue(), CRgbaColour(255, 0, 0, 255).GetValue());
    EXPECT_EQ(model.resyncs, 0);

    Announce();
    manager->Update(0.04f);
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_EQ(codes.Count(DEVICE_MANAGER_NOTIFY_CONNECTED), 2u);
    EXPECT_EQ(model.resyncs, 1);
    // The new unit object reads its sACN settings (after the Hello that the long silence earned).
    size_t settings = 0;
    for (const CMessage& record : Drain())
        settings += record.GetManager() == MANAGER_ACN;
    EXPECT_EQ(settings, 2u);

    // A unit found for the first time after it was chosen needs no second reading.
    manager->SetConnectedAddress(kOtherUnit);
    model.resyncs = 0;
    Receive(CIpAddress(192, 168, 77, 3, 16945), AnswerOf("KDX-1", "192.168.77.3", "16946"));
    manager->Update(0.04f);
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_EQ(model.resyncs, 0);
}

TEST_F(DeviceManagerTest, HelloKeepsAnIdleLinkAlive)
{
    ConnectUnit();
    manager->Update(5.0f);
    Announce();
    manager->Update(5.0f);
    EXPECT_EQ(manager->GetQueueLength(), 0u) << "ten seconds is not yet idle";
    Announce();
    manager->Update(0.1f);
    ASSERT_EQ(manager->GetQueueLength(), 1u);

    const std::vector<SDatagram> sent = Pass();
    ASSERT_EQ(sent.size(), 1u);
    const Bytes hello = {
        0x3D,                    // manager 61 "DeviceManager"
        0x19,                    // payload tag 25 (none)
        0x4A, 0x00,              // command 74 "Hello"
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // indexes
        0xFF, 0xFF,              // filler
        0x00, 0x00,              // no payload
        0x00, 0x00,              // sequence 0: the unit's two requests were cleared before they left
        0x00, 0x00, 0x00, 0x00,  // reserved
    };
    EXPECT_EQ(sent[0].bytes, hello);
    CMessage ack(MANAGER_DEVICE_MANAGER, COMMAND_HELLO);
    ack.SetSequence(0);
    Reply(ack);
    Announce();
    manager->Update(0.1f);
    EXPECT_EQ(manager->GetQueueLength(), 0u) << "queueing the Hello made the link busy again";
}

TEST_F(DeviceManagerTest, ProgressIsToldOnTheMainThreadOncePerFrameSent)
{
    manager->SetConnectedAddress(kUnit);
    Pass();
    manager->QueueMessage(SetIntensity(3, 0.5f));
    Pass();
    clock.Advance(1001);
    Pass();
    EXPECT_EQ(codes.Count(NOTIFY_PROGRESS), 0u);
    manager->Update(0.04f);
    EXPECT_EQ(codes.Count(NOTIFY_PROGRESS), 2u);
    for (SDL_threadID thread : codes.threads)
        EXPECT_EQ(thread, SDL_ThreadID());
    manager->Update(0.04f);
    EXPECT_EQ(codes.Count(NOTIFY_PROGRESS), 2u);
}

TEST_F(DeviceManagerTest, StopDeletesTheUnitsAndStartBringsTheLinkBack)
{
    ConnectUnit();
    CCodeRecorder unitCodes;
    unitCodes.Observe(manager->GetDevice(0));
    codes.codes.clear();

    manager->Stop();
    EXPECT_EQ(manager->GetDeviceCount(), 0u);
    EXPECT_FALSE(manager->IsConnected());
    EXPECT_EQ(codes.codes, (std::vector<uint32_t>{DEVICE_MANAGER_NOTIFY_CONNECTED}));
    EXPECT_EQ(unitCodes.codes, (std::vector<uint32_t>{NOTIFY_RELEASE}));
    EXPECT_TRUE(network.GetBoundPorts().empty()) << "the link's and the unit's sockets are closed";
    EXPECT_TRUE(Pass().empty());

    manager->Start();
    EXPECT_EQ(Pass().size(), 2u) << "identifies at once";
    Announce();
    model.resyncs = 0;
    manager->Update(0.04f);
    EXPECT_TRUE(manager->IsConnected());
    EXPECT_EQ(model.resyncs, 1) << "what changed while suspended is read again";
}

// The link on the system's own sockets, in a private network namespace only (ctest runs there).
TEST(DeviceManagerSystemSocket, OnlyWhatItsOwnSocketLostIsReadAgain)
{
    if (!InPrivateNamespace())
        GTEST_SKIP() << "runs only in a private network namespace with nothing but loopback";
    // Sockets on loopback at ports the system chose: the link's, another's, and one that sends.
    auto bound = [](uint16_t& port) {
        const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(local);
        if (socket >= 0 && bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) == 0 &&
            getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) == 0)
            port = ntohs(local.sin_port);
        return socket;
    };
    uint16_t linkPort = 0;
    close(bound(linkPort));
    uint16_t otherPort = 0;
    const int other = bound(otherPort);
    uint16_t senderPort = 0;
    const int sender = bound(senderPort);
    ASSERT_TRUE(linkPort && otherPort && senderPort);
    auto send = [&](uint16_t port, size_t size, int times) {
        const std::vector<uint8_t> bytes(size, 1);
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < times; ++i)
            sendto(sender, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
    };

    CSystemUdpNetwork network;
    CFakeClock clock;
    CFakeModel model;
    CLinkSetup setup;
    setup.network = &network;
    setup.clock = &clock;
    setup.threads = false;
    setup.port = linkPort;
    setup.localAddresses = std::vector<CIpAddress>{CIpAddress(127, 0, 0, 1)};
    setup.broadcastTargets = std::vector<CIpAddress>{};
    CDeviceManager manager(setup);
    manager.SetCore(&model);
    // The link takes all that waits, and a tick comes after the while between two readings.
    auto tick = [&] {
        while (manager.Pass(0) > 0)
        {
        }
        clock.Advance(CDeviceManager::kDroppedNewsMilliseconds + 1);
        manager.Update(0.04f);
    };
    tick();

    // Another socket's queue overflowed, and then a datagram longer than any the link takes
    // came before the next: nothing the link would have taken was lost.
    send(otherPort, 1, 20000);
    send(linkPort, 3000, 1);
    send(linkPort, 1, 1);
    tick();
    EXPECT_EQ(model.notificationsLost, 0);

    // The link's own queue overflowed: what it lost is read again.
    send(linkPort, 1, 20000);
    tick();
    send(linkPort, 1, 1);
    tick();
    EXPECT_EQ(model.notificationsLost, 1);
    close(other);
    close(sender);
}

}  // namespace
