// The stand-in's sockets: whether another socket may bind their address and port. Binding
// only, on loopback; nothing is sent.
#include "tools/standin/udp_socket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using standin::CUdpSocket;
using standin::SEndpoint;

namespace
{
SEndpoint Endpoint(const char* address, uint16_t port)
{
    SEndpoint endpoint;
    SEndpoint::Parse(address, endpoint);
    endpoint.port = port;
    return endpoint;
}

// Whether a plain socket that asks to share addresses can bind this one.
bool SharingSocketBinds(const SEndpoint& local)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(local.address);
    address.sin_port = htons(local.port);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return bound;
}
}  // namespace

TEST(StandinUdpSocket, APortOfTheSystemsChoosingIsNeverShared)
{
    // Were it shared, the system could give the same port to a sharing socket of another
    // process, and the datagrams meant for this one would go there.
    CUdpSocket chosen;
    std::string error;
    ASSERT_TRUE(chosen.Open(Endpoint("127.0.0.1", 0), error)) << error;
    ASSERT_NE(chosen.GetLocal().port, 0);
    EXPECT_FALSE(SharingSocketBinds(chosen.GetLocal()));
}
