#include "link/udp_socket.h"

#include <SDL_net.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
// Large enough for every datagram of the link and the unit protocol.
constexpr int kPacketSize = 2048;

class CSdlUdpSocket : public CUdpSocket
{
public:
    CSdlUdpSocket(UDPsocket socket, SDLNet_SocketSet set, UDPpacket* receive, UDPpacket* send)
        : m_socket(socket), m_set(set), m_receive(receive), m_send(send)
    {
    }

    ~CSdlUdpSocket() override
    {
        SDLNet_UDP_DelSocket(m_set, m_socket);
        SDLNet_FreeSocketSet(m_set);
        SDLNet_FreePacket(m_receive);
        SDLNet_FreePacket(m_send);
        SDLNet_UDP_Close(m_socket);
    }

    bool Receive(uint8_t* buffer, size_t capacity, size_t& count, CIpAddress& sender,
                 uint32_t waitMilliseconds) override
    {
        count = 0;
        if (SDLNet_CheckSockets(m_set, waitMilliseconds) <= 0 || !SDLNet_SocketReady(m_socket))
            return false;
        if (SDLNet_UDP_Recv(m_socket, m_receive) <= 0 || m_receive->len < 0)
            return false;
        count = std::min(static_cast<size_t>(m_receive->len), capacity);
        if (count > 0)
            std::memcpy(buffer, m_receive->data, count);
        // The host is kept in network order: its bytes in memory are the octets in order.
        const uint8_t* octets = reinterpret_cast<const uint8_t*>(&m_receive->address.host);
        sender = CIpAddress(octets[0], octets[1], octets[2], octets[3],
                            SDLNet_Read16(&m_receive->address.port));
        return true;
    }

    bool Send(const CIpAddress& destination, const uint8_t* bytes, size_t count) override
    {
        if (count > static_cast<size_t>(m_send->maxlen))
            return false;
        uint8_t* host = reinterpret_cast<uint8_t*>(&m_send->address.host);
        for (int i = 0; i < 4; ++i)
            host[i] = destination.GetOctet(i);
        SDLNet_Write16(destination.GetPort(), &m_send->address.port);
        if (count > 0)
            std::memcpy(m_send->data, bytes, count);
        m_send->len = static_cast<int>(count);
        return SDLNet_UDP_Send(m_socket, -1, m_send) > 0;
    }

    uint16_t GetPort() const override
    {
        const IPaddress* address = SDLNet_UDP_GetPeerAddress(m_socket, -1);
        return address ? SDLNet_Read16(&address->port) : 0;
    }

private:
    UDPsocket m_socket;
    SDLNet_SocketSet m_set;
    UDPpacket* m_receive;
    UDPpacket* m_send;
};
}  // namespace

CSdlUdpNetwork::CSdlUdpNetwork()
{
    if (SDLNet_Init() != 0)
    {
        std::printf("SDLNet_Init: %s\n", SDLNet_GetError());
        std::fflush(stdout);
        return;
    }
    m_initialised = true;
}

CSdlUdpNetwork::~CSdlUdpNetwork()
{
    if (m_initialised)
        SDLNet_Quit();
}

std::unique_ptr<CUdpSocket> CSdlUdpNetwork::Open(uint16_t port)
{
    UDPsocket socket = SDLNet_UDP_Open(port);
    if (!socket)
        return nullptr;
    UDPpacket* receive = SDLNet_AllocPacket(kPacketSize);
    UDPpacket* send = SDLNet_AllocPacket(kPacketSize);
    SDLNet_SocketSet set = SDLNet_AllocSocketSet(1);
    if (!receive || !send || !set || SDLNet_UDP_AddSocket(set, socket) < 0)
    {
        if (set)
            SDLNet_FreeSocketSet(set);
        SDLNet_FreePacket(receive);
        SDLNet_FreePacket(send);
        SDLNet_UDP_Close(socket);
        return nullptr;
    }
    return std::make_unique<CSdlUdpSocket>(socket, set, receive, send);
}
