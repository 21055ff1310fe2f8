#pragma once

// Says whether this machine's IPv4 addresses may have changed since it last looked: the kernel
// reports each address added or taken away (an adapter plugged in, a network joined, an interface
// given another netmask) on a routing socket, which this reads without waiting. Only the kernel's
// reports count: a process with the rights to send on that socket tells nothing. Without the
// socket (the system refused it) it never says so, and the caller's own periodic look must do.
// One thread at a time.
class CInterfaceWatch
{
public:
    // The most reports one look takes: the rest wait for the next look, so that however fast
    // they come, a look ends.
    static constexpr int kMostReportsPerLook = 64;

    CInterfaceWatch();
    ~CInterfaceWatch();
    CInterfaceWatch(const CInterfaceWatch&) = delete;
    CInterfaceWatch& operator=(const CInterfaceWatch&) = delete;

    // Takes the reports waiting, up to kMostReportsPerLook: true when one of them came from the
    // kernel, or when reports were lost. Full: the look ended at that bound.
    bool HasChanged(bool& full);

private:
    int m_socket = -1;
};
