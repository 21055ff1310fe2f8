// The loading dialog against a device manager without threads or network: it counts the manager's
// transmissions against the queue it saw open, and ends with 1 when they are all out, with 3 on an
// abort or a lost link.
#include "foundation/notify_codes.h"
#include "link/device_manager.h"
#include "link/message.h"
#include "link/udp_socket.h"
#include "screens/dialogs/dialog_loading.h"
#include "tests/screens/dialogs/dialog_test.h"
#include "widgets/area_progress_bar.h"

#include <memory>

using namespace dialog_test;

namespace
{
// The dialog hears of transmissions through the manager's notifications alone: no socket is needed.
struct CNoNetwork : CUdpNetwork
{
    std::unique_ptr<CUdpSocket> Open(uint16_t) override { return nullptr; }
};

struct LoadingDialog : DialogTest
{
    LoadingDialog() { link.SetConnectedAddress(CIpAddress(127, 0, 0, 1)); }
    // Records a show file would queue for the controller, as one load.
    void Queue(uint32_t count)
    {
        link.BeginLoad();
        CMessage message(MANAGER_PLAYBACK, COMMAND_SET_GO_MODE);
        for (uint32_t i = 0; i < count; ++i)
            message.SetIndex0(i), link.QueueMessage(message);
        link.EndLoad();
    }
    // One transmission of the head (a resend counts too), as the link's tick tells it.
    void Transmit() { link.Notify(NOTIFY_PROGRESS); }
    float Progress() const { return Nth<CAreaProgressBar>(0)->GetProgress(); }

    CNoNetwork network;
    CDeviceManager link{CLinkSetup{&network, nullptr, std::nullopt, std::vector<CIpAddress>{}, 16945, false}};
};
}  // namespace

TEST_F(LoadingDialog, TheBarFollowsEveryTransmissionAndTheDialogEndsWhenTheCountIsReached)
{
    Show(std::make_unique<CDialogLoading>(&host, &link));
    Tick();
    EXPECT_EQ(host.closedWith, 1) << "nothing to send";

    Queue(4);
    CDialogLoading* dialog = Show(std::make_unique<CDialogLoading>(&host, &link));
    EXPECT_EQ(dialog->GetExpected(), 4u);
    Tick();
    EXPECT_EQ(Progress(), 0.0f);
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
    Show(std::make_unique<CDialogLoading>(&host, &link));
    Transmit();
    link.SetConnected(false);
    EXPECT_EQ(link.GetQueueLength(), 1u);
    Tick();
    EXPECT_EQ(host.closedWith, 3);
    EXPECT_EQ(link.GetQueueLength(), 0u);
}

TEST_F(LoadingDialog, AbortDropsTheShowAtOnceAndWhatSlipsInBeforeTheDialogGoesButNoRead)
{
    // The Abort button, or Escape; Return leaves the load running.
    for (const bool escape : {false, true})
    {
        link.ClearQueue();
        Queue(3);
        // A read the controller asked for meanwhile.
        link.QueueMessage(CMessage(MANAGER_PLAYBACK, COMMAND_GET_LABEL));
        Show(std::make_unique<CDialogLoading>(&host, &link));
        Key(kReturn);
        EXPECT_EQ(link.GetQueueLength(), 4u) << escape;
        escape ? Key(kEscape) : Click(Button("Abort"));
        EXPECT_EQ(link.GetQueueLength(), 1u) << escape;
        Queue(2);
        Tick();
        EXPECT_EQ(host.closedWith, 3) << escape;
        EXPECT_EQ(link.GetQueueLength(), 1u) << escape;
    }
}
