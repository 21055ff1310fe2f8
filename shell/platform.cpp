#include "shell/platform.h"

#include "foundation/file_helpers.h"

#include <SDL_net.h>

#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace
{
// The octets of an IPv4 socket address, kept in network order.
CIpAddress FromSocketAddress(const sockaddr* address)
{
    const auto* octets = reinterpret_cast<const uint8_t*>(&reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
    return CIpAddress(octets[0], octets[1], octets[2], octets[3]);
}
}  // namespace

void CPlatform::GetLocalAddresses(std::vector<CIpAddress>& addresses)
{
    addresses.clear();
    IPaddress found[kMaxLocalAddresses];
    const int count = SDLNet_GetLocalAddresses(found, kMaxLocalAddresses);
    for (int i = 0; i < count; ++i)
    {
        // The host is kept in network order: its bytes in memory are the octets in order.
        const uint8_t* octets = reinterpret_cast<const uint8_t*>(&found[i].host);
        const CIpAddress address(octets[0], octets[1], octets[2], octets[3],
                                 SDLNet_Read16(&found[i].port));
        if (address == kLoopbackAddress && address.GetPort() == 0)
            continue;
        addresses.push_back(address);
    }
}

std::vector<CInterfaceAddress> ReadLocalInterfaces()
{
    std::vector<CInterfaceAddress> found;
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0)
        return found;
    for (const ifaddrs* entry = interfaces; entry; entry = entry->ifa_next)
    {
        if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET && entry->ifa_netmask)
            found.push_back({FromSocketAddress(entry->ifa_addr), FromSocketAddress(entry->ifa_netmask)});
    }
    freeifaddrs(interfaces);
    return found;
}

bool CreateDirectory(const std::string& path)
{
    if (IsFolder(path))
        return true;
    if (mkdir(path.c_str(), 0777) != 0)
    {
        std::printf("Could not create directory: %s\n", path.c_str());
        std::fflush(stdout);
        return false;
    }
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string ParentFolder(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}
