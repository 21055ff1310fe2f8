// Run by run_beside_check.sh only (TANZO_BESIDE_CHECK=1), inside the program's side of the
// namespace pair that scripts/run.sh builds: discovery by broadcast reaches the stand-in's
// units across the veth pair, and the link and the unit protocol work to the addresses they give.
#include "link/discovery.h"
#include "link/message_frame.h"
#include "tests/support/network_links.h"
#include "tools/standin/udp_socket.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>

using standin::CUdpSocket;
using standin::SEndpoint;

namespace
{
using Bytes = std::vector<uint8_t>;

SEndpoint Endpoint(const char* text, uint16_t port)
{
    SEndpoint endpoint;
    SEndpoint::Parse(text, endpoint);
    endpoint.port = port;
    return endpoint;
}

// The datagrams that arrive, with their senders: once the expected number has come, those that
// follow within a short while (too many is an error as well); else all that came in ten seconds.
std::vector<std::pair<SEndpoint, Bytes>> Collect(const CUdpSocket& socket, size_t expected)
{
    std::vector<std::pair<SEndpoint, Bytes>> received;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool lingering = false;
    for (;;)
    {
        if (!lingering && received.size() >= expected)
        {
            lingering = true;
            end = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        pollfd fd = {socket.GetFd(), POLLIN, 0};
        if (left <= 0 || poll(&fd, 1, int(left)) <= 0)
            return received;
        Bytes bytes;
        SEndpoint from;
        while (socket.Receive(bytes, from))
            received.emplace_back(from, bytes);
    }
}

class StandinBeside : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* check = std::getenv("TANZO_BESIDE_CHECK");
        if (!check || std::string(check) != "1")
            GTEST_SKIP() << "only run beside the stand-in, by run_beside_check.sh";
        // Broadcasts go out only where the one link besides loopback is the pair to the stand-in.
        ASSERT_EQ(NetworkLinks(), (std::set<std::string>{"lo", "tz-program"}));
        std::string error;
        ASSERT_TRUE(m_socket.Open(SEndpoint(), error)) << error;
    }

    // The accepted answers to one discovery request, by unit address.
    std::map<std::string, CDiscoveredDevice> Discover(const SEndpoint& target)
    {
        EXPECT_TRUE(m_socket.SendTo(target, Bytes(kDiscoveryRequest, kDiscoveryRequest + kDiscoveryRequestSize)));
        std::map<std::string, CDiscoveredDevice> found;
        // Two units stand behind the stand-in.
        for (const auto& [from, bytes] : Collect(m_socket, 2))
        {
            CDiscoveredDevice device;
            if (ParseDiscoveryAnswer(bytes.data(), bytes.size(), device))
                found[device.address.ToText()] = device;
        }
        return found;
    }

    CUdpSocket m_socket;
};
}  // namespace

TEST_F(StandinBeside, BroadcastDiscoveryFindsBothUnits)
{
    for (const char* target : {"255.255.255.255", "192.168.77.255"})
    {
        SCOPED_TRACE(target);
        const auto found = Discover(Endpoint(target, CMessageFrame::kPort));
        ASSERT_EQ(found.size(), 2u);
        EXPECT_EQ(found.at("192.168.77.2").type, DEVICE_TYPE_KDX1);
        EXPECT_EQ(found.at("192.168.77.2").address.GetPort(), 16946u);
        EXPECT_EQ(found.at("192.168.77.3").type, DEVICE_TYPE_MUREL1);
    }
}

TEST_F(StandinBeside, LinkAndUnitProtocolAcrossThePair)
{
    CMessage set(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
    set.SetIndex0(3);
    set.SetSequence(7);
    set.SetValue(CMessageValue(0.5f));
    Bytes frame;
    ASSERT_TRUE(CMessageFrame::Encode(set, frame));
    ASSERT_TRUE(m_socket.SendTo(Endpoint("192.168.77.2", CMessageFrame::kPort), frame));
    const auto answers = Collect(m_socket, 2);
    ASSERT_EQ(answers.size(), 2u) << "the acknowledgement and the Notify";
    EXPECT_EQ(answers[0].first.ToText(), "192.168.77.2:16945");
    CMessage ack;
    CMessage notify;
    ASSERT_TRUE(CMessageFrame::Decode(answers[0].second.data(), answers[0].second.size(), ack));
    ASSERT_TRUE(CMessageFrame::Decode(answers[1].second.data(), answers[1].second.size(), notify));
    EXPECT_TRUE(ack.IsSameTarget(set));
    EXPECT_EQ(ack.GetSequence(), 7u);
    EXPECT_EQ(notify.GetCommand(), COMMAND_NOTIFY);
    EXPECT_EQ(notify.GetValue().GetUnsigned(), 290u);

    const Bytes getLabel = {0x00, 0x11, 0, 0, 0, 0, 0, 0, 0x00};
    ASSERT_TRUE(m_socket.SendTo(Endpoint("192.168.77.3", 16946), getLabel));
    const auto replies = Collect(m_socket, 1);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].first.ToText(), "192.168.77.3:16946");
    EXPECT_EQ(replies[0].second, (Bytes{0x00, 0x11, 0, 0, 0, 0, 0, 0, 0x04, 'R', 'a', 'c', 'k'}));
}
