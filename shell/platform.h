#pragma once

#include "foundation/ip_address.h"

#include <cstdint>
#include <string>
#include <vector>

// What differs between operating systems: where the program's folders are, which IPv4
// addresses the machine has, how a URL is opened and how a command line is run. The application
// base makes exactly one platform object; everything else asks the application's accessors.
class CPlatform
{
public:
    enum Type : uint32_t
    {
        kWindows = 0,
        kOsx = 1,
        kLinux = 2,
        kIos = 3,  // the touch platform
        kEmbedded = 5,
    };

    static constexpr int kMaxLocalAddresses = 16;

    explicit CPlatform(uint32_t type) : m_type(type) {}
    virtual ~CPlatform() = default;
    CPlatform(const CPlatform&) = delete;
    CPlatform& operator=(const CPlatform&) = delete;

    // Opens the URL with the user's default handler; no result.
    virtual void OpenUrl(const std::string& url) = 0;
    // Replaces the list's contents with the machine's IPv4 addresses, loopback (127.0.0.1)
    // left out.
    virtual void GetLocalAddresses(std::vector<CIpAddress>& addresses);
    // The status the system's command runner returns.
    virtual int RunCommand(const std::string& commandLine) = 0;

    uint32_t GetType() const { return m_type; }
    // The folder of the executable ("audio" lies in it).
    const std::string& GetBinaryPath() const { return m_binaryPath; }
    // "skin" and the personality library lie in it.
    const std::string& GetResourcesSpecificPath() const { return m_resourcesSpecificPath; }
    // "fonts", "glyphs", the shipped languages and the hints lie in it.
    const std::string& GetResourcesSharedPath() const { return m_resourcesSharedPath; }
    // The maker's folder joined with "Common": the user's language files.
    const std::string& GetCommonDataPath() const { return m_commonDataPath; }
    // The maker's folder joined with the application name: logs, options, shows. Empty when the
    // user has no home folder at all.
    const std::string& GetApplicationDataPath() const { return m_applicationDataPath; }

protected:
    uint32_t m_type;
    std::string m_binaryPath;
    std::string m_resourcesSpecificPath;
    std::string m_resourcesSharedPath;
    std::string m_commonDataPath;
    std::string m_applicationDataPath;
};

// Every IPv4 address the machine's interfaces hold at this moment, loopback included, each with
// its interface's netmask; read afresh at each call (a few tens of microseconds). Empty when the
// system cannot say.
std::vector<CInterfaceAddress> ReadLocalInterfaces();

// Makes one folder (its parent must exist) unless the path is a folder already. A failure is
// reported on standard output and otherwise ignored: whatever needs the folder later fails on its
// own. Returns whether the path is a folder afterwards.
bool CreateDirectory(const std::string& path);
// "a" + "/" + "b", without doubling a slash; an empty folder gives the name alone.
std::string JoinPath(const std::string& folder, const std::string& name);
// The text before the last '/': "" when there is none, "/" for a name right under the root.
std::string ParentFolder(const std::string& path);
