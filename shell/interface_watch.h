#pragma once

// Says whether this machine's IPv4 addresses may have changed since it last looked: the kernel
// reports each address added or taken away (an adapter plugged in, a network joined, an interface
// given another netmask) on a routing socket, which this reads without waiting. Without that
// socket (the system refused it) it never says so, and the caller's own periodic look must do.
// One thread at a time.
class CInterfaceWatch
{
public:
    CInterfaceWatch();
    ~CInterfaceWatch();
    CInterfaceWatch(const CInterfaceWatch&) = delete;
    CInterfaceWatch& operator=(const CInterfaceWatch&) = delete;

    // Takes every report waiting: true when there was one, or when reports were lost.
    bool HasChanged();

private:
    int m_socket = -1;
};
