#pragma once

#include <netinet/in.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

// One datagram from a system UDP socket that counts its drops (SO_RXQ_OVFL set): recvmsg with the
// flags given, at most capacity bytes into the buffer, the sender into from. dropped takes the
// count the datagram came with: the datagrams the system had dropped at the socket, for want of
// room or memory, when this one was queued (0 until it drops one; it wraps). Returns what recvmsg
// returns, and leaves dropped alone when that is below 0.
ssize_t ReceiveDatagram(int socket, void* buffer, size_t capacity, int flags, sockaddr_in& from, uint32_t& dropped);
