// The device link with its threads running against a scripted controller inside the test. Also
// run under ThreadSanitizer.
#include "foundation/notify_codes.h"
#include "link/device.h"
#include "link/device_manager.h"
#include "link/discovery.h"
#include "link/message_frame.h"
#include "tests/link/link_fakes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>

namespace
{
const CIpAddress kController(192, 168, 77, 2, 16945);
const CIpAddress kUnit(192, 168, 77, 2, 16946);

// Answers discovery for its units, acknowledges every link frame (a GetLabel with a text), and
// answers the unit protocol's polls. Runs on whichever link thread sends.
class CScriptedController
{
public:
    explicit CScriptedController(CFakeNetwork& network) : m_network(network)
    {
        network.SetResponder([this](const SDatagram& datagram) { Answer(datagram); });
    }
    ~CScriptedController() { m_network.SetResponder(nullptr); }

    std::atomic<int> units{1};
    std::atomic<bool> silent{false};

    float GetIntensity(uint32_t playback)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_intensity[playback];
    }
    // Sequences of the playbacks' frames delivered to the program, in delivery order.
    std::vector<uint16_t> GetDelivered()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_delivered;
    }

private:
    void Answer(const SDatagram& datagram)
    {
        if (silent)
            return;
        const uint16_t port = datagram.from.GetPort();
        if (IsDiscoveryRequest(datagram.bytes.data(), datagram.bytes.size()))
        {
            for (int i = 0; i < units; ++i)
            {
                const std::string ip = "192.168.77." + std::to_string(2 + i);
                m_network.Deliver(port, CIpAddress(192, 168, 77, uint8_t(2 + i), 16945),
                                  AnswerOf("KDX-1", ip.c_str(), "16946"));
            }
            return;
        }
        if (datagram.to.GetPort() == 16945)
            AnswerFrame(datagram, port);
        else
            AnswerUnit(datagram, port);
    }

    void AnswerFrame(const SDatagram& datagram, uint16_t port)
    {
        CMessage request;
        if (!CMessageFrame::Decode(datagram.bytes.data(), datagram.bytes.size(), request))
            return;
        CMessage reply(request.GetManager(), request.GetCommand());
        reply.SetIndex0(request.GetIndex0());
        reply.SetSequence(request.GetSequence());
        if (request.GetCommand() == COMMAND_GET_LABEL)
            reply.SetValue(CMessageValue("P" + std::to_string(request.GetIndex0())));
        std::lock_guard<std::mutex> lock(m_mutex);
        if (request.GetCommand() == COMMAND_SET_INTENSITY)
            m_intensity[request.GetIndex0()] = request.GetValueRef().GetFloat();
        // Delivered under the lock, so the recorded order is the order of arrival.
        m_network.Deliver(port, datagram.to, FrameOf(reply));
        if (reply.GetManager() == MANAGER_PLAYBACK)
            m_delivered.push_back(reply.GetSequence());
    }

    void AnswerUnit(const SDatagram& datagram, uint16_t port)
    {
        CDevicePacket request;
        if (!request.Decode(datagram.bytes.data(), datagram.bytes.size()))
            return;
        CDevicePacket reply(request.GetCommand());
        switch (request.GetCommand())
        {
        case DEVICE_GET_MAC:
        {
            const uint8_t mac[6] = {0x02, 0x00, 0xC0, 0xA8, 0x4D, datagram.to.GetOctet(3)};
            reply.SetData(mac, 6);
            break;
        }
        case DEVICE_GET_LABEL:
            reply.SetDataText("Rack");
            break;
        default:
            break;
        }
        Bytes bytes(reply.GetWireLength());
        reply.Encode(bytes.data());
        m_network.Deliver(port, datagram.to, bytes);
    }

    CFakeNetwork& m_network;
    std::mutex m_mutex;
    std::map<uint32_t, float> m_intensity;
    std::vector<uint16_t> m_delivered;
};

class LinkThreads : public ::testing::Test
{
protected:
    LinkThreads()
    {
        CLinkSetup setup;
        setup.network = &network;
        setup.clock = &clock;
        setup.localAddresses = std::vector<CIpAddress>{CIpAddress(192, 168, 77, 1)};
        manager = std::make_unique<CDeviceManager>(setup);
        manager->SetCore(&model);
        codes.Observe(manager.get());
    }
    ~LinkThreads() override { manager.reset(); }

    // Runs the main loop's ticks, the link's clock going with them, until the predicate holds;
    // the limit is a deadline only, for a very busy machine.
    bool Tick(const std::function<bool()>& predicate, int limitMilliseconds = 30000)
    {
        return WaitFor(
            [&] {
                clock.Advance(40);
                manager->Update(0.04f);
                return predicate();
            },
            std::chrono::milliseconds(limitMilliseconds));
    }

    CFakeNetwork network;
    CFakeClock clock;
    CScriptedController controller{network};
    CFakeModel model;
    CCodeRecorder codes;
    std::unique_ptr<CDeviceManager> manager;
};

TEST_F(LinkThreads, DiscoveryPollingAndTheLinkRunOnTheirOwnThreads)
{
    ASSERT_TRUE(Tick([&] { return manager->GetDeviceCount() == 1; }));
    CDevice* unit = manager->GetDevice(0);
    ASSERT_TRUE(Tick([&] { return unit->GetLabel() == "Rack" && unit->GetMac()[5] == 2; }));
    EXPECT_TRUE(unit->IsOnline());

    manager->SetConnectedAddress(kUnit);
    EXPECT_EQ(manager->GetStatusColour().GetValue(), CRgbaColour(0, 255, 0, 255).GetValue());

    // Fader moves from the main thread while the link thread sends and takes acknowledgements.
    for (int step = 1; step <= 400; ++step)
    {
        CMessage set(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
        set.SetIndex0(uint32_t(step % 4));
        set.SetValue(CMessageValue(float(step) / 400.0f));
        manager->QueueMessage(set);
        if (step % 20 == 0)
            manager->Update(0.04f);
    }
    for (uint32_t playback = 0; playback < 16; ++playback)
    {
        CMessage get(MANAGER_PLAYBACK, COMMAND_GET_LABEL);
        get.SetIndex0(playback);
        manager->QueueMessage(get);
    }
    // The link thread takes the last record off the queue before it hands over its reply.
    ASSERT_TRUE(Tick([&] {
        return manager->GetQueueLength() == 0 && model.playbacks.messages.size() >= controller.GetDelivered().size();
    }));
    manager->Update(0.04f);

    // Merging never lost the last value of any playback.
    for (uint32_t playback = 0; playback < 4; ++playback)
        EXPECT_FLOAT_EQ(controller.GetIntensity(playback), float(396 + (playback == 0 ? 4 : playback)) / 400.0f)
            << playback;
    // Replies reached the model on this thread, in the order they arrived.
    const std::vector<uint16_t> delivered = controller.GetDelivered();
    std::vector<uint16_t> applied;
    for (const CMessage& message : model.playbacks.messages)
        applied.push_back(message.GetSequence());
    EXPECT_EQ(applied, delivered);
    for (SDL_threadID thread : model.playbacks.threads)
        EXPECT_EQ(thread, SDL_ThreadID());
    EXPECT_EQ(model.playbacks.messages.back().GetValue().GetString(), "P15");
    // Every frame sent was told, on this thread.
    EXPECT_GE(codes.Count(NOTIFY_PROGRESS), delivered.size());
    for (SDL_threadID thread : codes.threads)
        EXPECT_EQ(thread, SDL_ThreadID());
}

TEST_F(LinkThreads, TheLinkStopsAndStartsAndUnitsGoWhileThreadsRun)
{
    controller.units = 4;
    ASSERT_TRUE(Tick([&] { return manager->GetDeviceCount() == 4; }));
    manager->SetConnectedAddress(kUnit);
    ASSERT_TRUE(Tick([&] { return manager->GetDevice(3)->IsOnline(); }));

    // Suspended and resumed twice while records wait; the chosen unit is found and read again.
    for (int round = 0; round < 2; ++round)
    {
        manager->QueueMessage(CMessage(MANAGER_PLAYBACK, COMMAND_GET_LABEL));
        manager->Stop();
        EXPECT_FALSE(manager->IsConnected());
        manager->Start();
        ASSERT_TRUE(Tick([&] { return manager->IsConnected() && manager->GetQueueLength() == 0; }));
    }

    // Every unit falls silent and goes, its thread with it. An answer already under way when the
    // controller fell silent may still be taken in and seen by one tick; every tick after it is
    // more than ten silent seconds. (How long a unit is kept is the unthreaded tests' matter.)
    controller.silent = true;
    ASSERT_TRUE(Tick([&] {
        manager->Update(10.5f);
        return manager->GetDeviceCount() == 0;
    }));
    EXPECT_FALSE(manager->IsConnected());
}
}  // namespace
