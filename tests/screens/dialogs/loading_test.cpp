// The loading dialog against a device manager without threads on a network that swallows every
// datagram: it counts the manager's transmissions (resends too) against the queue it saw open, and
// ends with 1 when they are all out, with 3 on an abort or a lost link.
#include "link/device_manager.h"
#include "link/link_clock.h"
#include "link/message.h"
#include "link/udp_socket.h"
#include "screens/dialogs/dialog_loading.h"
#include "tests/screens/dialogs/dialog_test.h"
#include "widgets/area_progress_bar.h"

#include <memory>

using namespace dialog_test;

namespace
{
class CSilentSocket : public CUdpSocket
{
public:
    explicit CSilentSocket(uint16_t port) : m_port(port) {}
    bool Receive(uint8_t*, size_t, size_t&, CIpAddress&, uint32_t) override { return false; }
    bool Send(const CIpAddress&, const uint8_t*, size_t) override { return true; }
    uint16_t GetPort() const override { return m_port; }

private:
    uint16_t m_port;
};

class CSilentNetwork : public CUdpNetwork
{
public:
    std::unique_ptr<CUdpSocket> Open(uint16_t port) override { return std::make_unique<CSilentSocket>(port); }
};

class CManualClock : public CLinkClock
{
public:
    uint32_t GetMilliseconds() override { return now; }
    uint32_t now = 5000;
};

CLinkSetup QuietLink(CUdpNetwork* network, CLinkClock* clock)
{
    CLinkSetup setup;
    setup.network = network;
    setup.clock = clock;
    setup.broadcastTargets = std::vector<CIpAddress>{CIpAddress(127, 0, 0, 1)};
    setup.threads = false;
    return setup;
}

struct LoadingDialog : DialogTest
{
    LoadingDialog() { link.SetConnectedAddress(CIpAddress(127, 0, 0, 1)); }
    // Records a show file would queue for the controller.
    void Queue(uint32_t count)
    {
        for (uint32_t i = 0; i < count; ++i)
        {
            CMessage message(MANAGER_PLAYBACK, COMMAND_SET_GO_MODE);
            message.SetIndex0(i);
            message.SetValue(CMessageValue(uint32_t(1)));
            link.QueueMessage(message);
        }
    }
    // One unanswered transmission of the head, told in the main thread's tick.
    void Transmit()
    {
        clock.now += 1001;
        link.Pass(0);
        link.Update(0.04f);
    }
    float Progress() const { return Nth<CAreaProgressBar>(0)->GetProgress(); }

    CSilentNetwork network;
    CManualClock clock;
    CDeviceManager link{QuietLink(&network, &clock)};
};
}  // namespace

TEST_F(LoadingDialog, AnEmptyQueueEndsTheDialogAtTheFirstTick)
{
    Show(new CDialogLoading(&host, &link));
    Tick();
    EXPECT_EQ(host.closedWith, 1);
}

TEST_F(LoadingDialog, TheBarFollowsEveryTransmissionAndTheDialogEndsWhenTheCountIsReached)
{
    Queue(4);
    CDialogLoading* dialog = Show(new CDialogLoading(&host, &link));
    EXPECT_EQ(dialog->GetExpected(), 4u);
    Tick();
    EXPECT_EQ(Progress(), 0.0f);
    // The head is never answered here: its resends count as well.
    Transmit();
    Transmit();
    Tick();
    EXPECT_EQ(Progress(), 0.5f);
    Transmit();
    Transmit();
    EXPECT_EQ(host.closedWith, -1);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(link.GetQueueLength(), 4u) << "a finished load leaves the queue alone";
}

TEST_F(LoadingDialog, ALostLinkEndsWithThreeEvenWhenTheCountIsReachedAndDropsTheRest)
{
    Queue(1);
    link.SetConnected(true);
    Show(new CDialogLoading(&host, &link));
    Transmit();
    link.SetConnected(false);
    EXPECT_EQ(link.GetQueueLength(), 1u);
    Tick();
    EXPECT_EQ(host.closedWith, 3);
    EXPECT_EQ(link.GetQueueLength(), 0u);
}

TEST_F(LoadingDialog, AbortDropsTheQueueAtOnceAndWhatSlipsInBeforeTheDialogGoes)
{
    Queue(3);
    Show(new CDialogLoading(&host, &link));
    Click(Button("Abort"));
    EXPECT_EQ(link.GetQueueLength(), 0u);
    Queue(2);
    Tick();
    EXPECT_EQ(host.closedWith, 3);
    EXPECT_EQ(link.GetQueueLength(), 0u);
    EXPECT_FALSE(link.IsConnected());
}
