#pragma once

// Says whether this machine's IPv4 addresses may have changed since it last looked: the kernel
// reports each address added or taken away (an adapter plugged in, a network joined, an interface
// given another netmask) on a routing socket, which this reads without waiting. Only the kernel's
// reports count: a process with the rights to send on that socket tells nothing. Without the
// socket (the system refused it) it never says so, and the caller's own periodic look must do.
// It keeps nothing of the reports; each one taken costs a receive. One thread at a time.
class CInterfaceWatch
{
public:
    CInterfaceWatch();
    ~CInterfaceWatch();
    CInterfaceWatch(const CInterfaceWatch&) = delete;
    CInterfaceWatch& operator=(const CInterfaceWatch&) = delete;

    // Takes the reports waiting, at most `most`, so that however fast they come a look ends:
    // true when one of them came from the kernel, or when reports were lost. Taken: how many it
    // took, a loss counting as one; `most` when the look ended at that bound.
    bool HasChanged(int most, int& taken);

private:
    int m_socket = -1;
};
