#include "shell/platform_linux.h"

#include <SDL.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <vector>

namespace
{
// mkdir -p for the data base: a fresh account may have no ~/.local/share yet. Failures are left
// for CreateDirectory to report on the folders the program needs.
void CreateFolderWithParents(const std::string& path)
{
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1))
    {
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty())
            mkdir(prefix.c_str(), 0700);
        if (slash == std::string::npos)
            break;
    }
}

std::string PasswordHome()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry;
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return "";
    return found->pw_dir;
}

bool StartsWithIgnoringCase(const std::string& text, const char* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}
}

CPlatformLinux::CPlatformLinux(const std::string& executablePath,
                               const std::string& applicationName)
    : CPlatform(kLinux)
{
    const std::string userFolder = FindUserDataFolder();
    if (!userFolder.empty())
    {
        CreateFolderWithParents(userFolder);
        const std::string makerFolder = JoinPath(userFolder, kMakerFolder);
        CreateDirectory(makerFolder);
        m_commonDataPath = JoinPath(makerFolder, "Common");
        CreateDirectory(m_commonDataPath);
        m_applicationDataPath = JoinPath(makerFolder, applicationName);
        CreateDirectory(m_applicationDataPath);
    }

    m_binaryPath = ParentFolder(executablePath);
    const char* resources = std::getenv("TANZO_RESOURCES");
    if (resources && *resources)
        m_resourcesSharedPath = resources;
    else
        m_resourcesSharedPath = JoinPath(ParentFolder(m_binaryPath), "Resources");
    m_resourcesSpecificPath = m_resourcesSharedPath;
}

std::string CPlatformLinux::FindExecutablePath(const char* firstArgument)
{
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length > 0 && static_cast<size_t>(length) < buffer.size())
        return std::string(buffer.data(), static_cast<size_t>(length));
    return firstArgument ? firstArgument : "";
}

std::string CPlatformLinux::FindUserDataFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    std::string base = home && *home ? home : PasswordHome();
    if (base.empty())
        return "";
    return JoinPath(base, ".local/share");
}

bool CPlatformLinux::IsOpenableUrl(const std::string& url)
{
    size_t schemeLength = 0;
    if (StartsWithIgnoringCase(url, "http://"))
        schemeLength = 7;
    else if (StartsWithIgnoringCase(url, "https://"))
        schemeLength = 8;
    else
        return false;
    if (url.size() == schemeLength)
        return false;
    for (const char c : url)
        if (c < 0x21 || c > 0x7E)
            return false;
    return true;
}

void CPlatformLinux::OpenUrl(const std::string& url)
{
    // SDL hands the URL to xdg-open as a single argument, without a shell, and does not wait.
    if (IsOpenableUrl(url))
        SDL_OpenURL(url.c_str());
}

int CPlatformLinux::RunCommand(const std::string& commandLine)
{
    return std::system(commandLine.c_str());
}
