// The device manager's main-thread costs: queueing a record (which finds a queued record of the
// same target to merge into by its index) and applying the replies of one tick. The link runs without a
// thread and without real sockets, so only the queue and the routing are measured. One benchmark
// runs the link thread over loopback sockets, so the whole program runs inside scripts/netns.sh.
#include "link/device_manager.h"
#include "link/link_clock.h"
#include "link/link_model.h"
#include "link/message_frame.h"
#include "link/udp_socket.h"
#include "tests/support/silent_network.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace
{
const CIpAddress kController(192, 168, 77, 2, 16946);

class CNoNetwork : public CUdpNetwork
{
public:
    std::unique_ptr<CUdpSocket> Open(uint16_t) override { return nullptr; }
};

class CCountingModel : public CLinkModel, public CMessageHandler
{
public:
    void HandleMessage(const CMessage& message) override
    {
        sum += message.GetValueRef().GetFloat();
        ++count;
    }
    CMessageHandler* GetPlaybackHandler() override { return this; }
    CMessageHandler* GetFixtureHandler() override { return this; }
    CMessageHandler* GetProgrammerHandler() override { return this; }
    CMessageHandler* GetEngineHandler() override { return this; }
    void Resync() override {}
    void OnNotificationsLost() override {}

    float sum = 0.0f;
    uint64_t count = 0;
};

// Time that stands still: a tick is never cut short by its time for replies, so that what is
// timed is their cost alone, on a loaded machine too.
class CStillClock : public CLinkClock
{
public:
    uint32_t GetMilliseconds() override { return 0; }
};

std::unique_ptr<CDeviceManager> MakeManager(CUdpNetwork& network, CLinkClock* clock = nullptr)
{
    CLinkSetup setup;
    setup.network = &network;
    setup.clock = clock;
    setup.threads = false;
    setup.broadcastTargets = std::vector<CIpAddress>();
    auto manager = std::make_unique<CDeviceManager>(setup);
    manager->SetConnectedAddress(kController);
    return manager;
}

CMessage CueFade(uint32_t playback, uint32_t cue, float value)
{
    CMessage message(MANAGER_CUE, COMMAND_SET_FADE_TIME);
    message.SetIndex0(playback);
    message.SetIndex1(cue);
    message.SetValue(CMessageValue(value));
    return message;
}

// Queues 1,000 records of distinct targets, as a show upload does.
void FillQueue(CDeviceManager& manager)
{
    for (uint32_t i = 0; i < 1000; ++i)
        manager.QueueMessage(CueFade(i / 48, i % 48, 0.0f));
}

// A new value for the record at the given position of a queue of 1,000: the same cost wherever
// it stands.
void QueueMergeInto1000(benchmark::State& state)
{
    CNoNetwork network;
    auto manager = MakeManager(network);
    FillQueue(*manager);
    const uint32_t position = uint32_t(state.range(0));
    float value = 0.0f;
    for (auto _ : state)
    {
        value += 0.001f;
        benchmark::DoNotOptimize(manager->QueueMessage(CueFade(position / 48, position % 48, value)));
    }
    if (manager->GetQueueLength() != 1000)
        state.SkipWithError("the queue grew");
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(QueueMergeInto1000)->Arg(0)->Arg(500)->Arg(999);

// 1,000 records of distinct targets into an empty queue.
void QueueThousandNewTargets(benchmark::State& state)
{
    CNoNetwork network;
    auto manager = MakeManager(network);
    for (auto _ : state)
    {
        FillQueue(*manager);
        state.PauseTiming();
        manager->ClearQueue();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
}
BENCHMARK(QueueThousandNewTargets);

// 10,000 notifications waiting at the start of a tick, each routed to the playbacks' handler: a
// reply that answers nothing sent reaches no handler, so the controller's news is what a tick
// applies in bulk.
void ApplyTenThousandRepliesInOneTick(benchmark::State& state)
{
    constexpr uint32_t kReplies = 10000;
    static_assert(kReplies <= CDeviceManager::kMostReplies, "a tick's replies all wait");
    CSilentNetwork network;
    CStillClock clock;
    auto manager = MakeManager(network, &clock);
    CCountingModel model;
    manager->SetCore(&model);
    std::vector<std::vector<uint8_t>> frames;
    for (uint32_t i = 0; i < kReplies; ++i)
    {
        CMessage reply(MANAGER_PLAYBACK, COMMAND_NOTIFY);
        reply.SetIndex0(i % 64);
        reply.SetSequence(uint16_t(50000 + i));
        reply.SetValue(CMessageValue(0.5f));
        frames.emplace_back();
        CMessageFrame::Encode(reply, frames.back());
    }
    for (auto _ : state)
    {
        state.PauseTiming();
        for (const std::vector<uint8_t>& frame : frames)
            network.Arrive(kController, frame);
        while (manager->Pass(0) > 0)
        {
        }
        state.ResumeTiming();
        manager->Update(0.04f);
    }
    benchmark::DoNotOptimize(model.sum);
    if (model.count != uint64_t(state.iterations()) * kReplies)
        state.SkipWithError("replies went missing");
    state.SetItemsProcessed(int64_t(state.iterations()) * kReplies);
}
BENCHMARK(ApplyTenThousandRepliesInOneTick)->Unit(benchmark::kMicrosecond);

// From queueing a record on an idle link to its frame arriving at a controller on loopback: the
// queue wakes the link thread from its socket wait, so the record does not wait out the rest of
// it (up to 50 ms). Each frame is acknowledged, untimed, so the link is idle again.
void QueueToArrivalOnAnIdleLink(benchmark::State& state)
{
    CSystemUdpNetwork network;
    std::unique_ptr<CUdpSocket> controller = network.Open(0);
    if (!controller)
    {
        state.SkipWithError("no loopback socket");
        return;
    }
    CLinkSetup setup;
    setup.network = &network;
    setup.broadcastTargets = std::vector<CIpAddress>();
    // The link sends to this port; its own socket, refused the port, takes any free one.
    setup.port = controller->GetPort();
    CDeviceManager manager(setup);
    manager.SetConnectedAddress(CIpAddress(127, 0, 0, 1, 16946));
    uint8_t buffer[CDeviceManager::kReceiveSize];
    float value = 0.0f;
    for (auto _ : state)
    {
        CMessage set(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
        set.SetValue(CMessageValue(value += 0.001f));
        manager.QueueMessage(set);
        size_t count = 0;
        CIpAddress link;
        if (!controller->Receive(buffer, sizeof(buffer), count, link, 1000))
        {
            state.SkipWithError("the record never arrived");
            break;
        }
        state.PauseTiming();
        CMessage sent;
        CMessageFrame::Decode(buffer, count, sent);
        CMessage ack(sent.GetManager(), sent.GetCommand());
        ack.SetSequence(sent.GetSequence());
        std::vector<uint8_t> frame;
        CMessageFrame::Encode(ack, frame);
        controller->Send(link, frame.data(), frame.size());
        while (manager.GetQueueLength() > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        state.ResumeTiming();
    }
}
BENCHMARK(QueueToArrivalOnAnIdleLink)->Unit(benchmark::kMicrosecond)->UseRealTime();
}  // namespace
