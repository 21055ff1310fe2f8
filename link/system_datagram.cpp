#include "link/system_datagram.h"

#include <sys/socket.h>

#include <cstring>

ssize_t ReceiveDatagram(int socket, void* buffer, size_t capacity, int flags, sockaddr_in& from, uint32_t& dropped)
{
    iovec data = {buffer, capacity};
    alignas(cmsghdr) uint8_t control[CMSG_SPACE(sizeof(uint32_t))];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof(from);
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    const ssize_t received = recvmsg(socket, &message, flags);
    if (received < 0)
        return received;
    // The system adds the count only once it is above 0.
    dropped = 0;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header))
    {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SO_RXQ_OVFL)
            std::memcpy(&dropped, CMSG_DATA(header), sizeof(dropped));
    }
    return received;
}
