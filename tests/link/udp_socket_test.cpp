// The system's sockets on loopback, in a private network namespace only (ctest runs there).
#include "link/udp_socket.h"

#include "tests/support/network_links.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <vector>

TEST(SystemUdpSocket, CountsWhatTheSystemDroppedForWantOfRoomWithTheNextDatagram)
{
    if (!InPrivateNamespace())
        GTEST_SKIP() << "runs only in a private network namespace with nothing but loopback";
    CSystemUdpNetwork network;
    const std::unique_ptr<CUdpSocket> socket = network.Open(0);
    ASSERT_TRUE(socket);
    const int sender = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(sender, 0);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(socket->GetPort());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const uint8_t byte = 1;
    auto send = [&] { sendto(sender, &byte, 1, 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to)); };

    // One-byte datagrams while nobody reads, far more than the socket's queue holds.
    constexpr uint32_t kSent = 20000;
    for (uint32_t i = 0; i < kSent; ++i)
        send();
    uint8_t buffer[16];
    size_t count = 0;
    CIpAddress from;
    uint32_t received = 0;
    while (socket->Receive(buffer, sizeof(buffer), count, from, 0))
        ++received;
    EXPECT_GT(received, 0u);
    ASSERT_LT(received, kSent);
    // Those dropped after the last datagram queued are told with the next, and the network
    // counts them as dropped for want of room.
    send();
    ASSERT_TRUE(socket->Receive(buffer, sizeof(buffer), count, from, 1000));
    EXPECT_EQ(socket->GetDropped(), kSent - received);

    // Datagrams longer than any the link takes are thrown away as they are read, and the count
    // does not rise for them: they were never to be handed over.
    const std::vector<uint8_t> longest(3000, 1);
    for (int i = 0; i < 5; ++i)
        sendto(sender, longest.data(), longest.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
    send();
    ASSERT_TRUE(socket->Receive(buffer, sizeof(buffer), count, from, 1000));
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(socket->GetDropped(), kSent - received);
    EXPECT_FALSE(socket->Receive(buffer, sizeof(buffer), count, from, 0));
    close(sender);
}
