#include "foundation/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const char* const kMark = ".partial-";
constexpr size_t kRandomLength = 6;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsRandomPart(const std::string& text)
{
    if (text.size() != kRandomLength)
        return false;
    for (char c : text)
    {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

// ".options.xml.partial-Ab12Cd", or an earlier version's ".big.show.Ab12Cd".
bool IsInterruptedReplace(const std::string& name)
{
    if (name.size() < 2 || name[0] != '.' || name.size() <= kRandomLength + 1)
        return false;
    const std::string random = name.substr(name.size() - kRandomLength);
    if (!IsRandomPart(random))
        return false;
    const std::string before = name.substr(0, name.size() - kRandomLength);
    return (EndsWith(before, kMark) && before.size() > std::strlen(kMark) + 1) || EndsWith(before, ".show.") ||
           EndsWith(before, ".xml.");
}

bool WriteAll(int fd, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size())
    {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            if (n == 0)
                errno = EIO;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}
}  // namespace

bool ReplaceFile(const std::string& path, const std::string& bytes, std::string& reason)
{
    const std::string folder = FolderOf(path);
    std::string temporary = folder + "/." + NameOf(path) + kMark + "XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
    {
        reason = std::strerror(errno);
        return false;
    }
    bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok)
        reason = std::strerror(errno);
    if (::close(fd) != 0 && ok)
    {
        reason = std::strerror(errno);
        ok = false;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        reason = std::strerror(errno);
        ok = false;
    }
    if (!ok)
    {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0)
    {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

std::vector<std::string> RemoveInterruptedReplaces(const std::string& folder)
{
    std::vector<std::string> removed;
    if (folder.empty())
        return removed;
    DIR* directory = ::opendir(folder.c_str());
    if (!directory)
        return removed;
    while (const dirent* entry = ::readdir(directory))
    {
        const std::string name = entry->d_name;
        if (!IsInterruptedReplace(name))
            continue;
        const std::string path = folder + "/" + name;
        struct stat status;
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::unlink(path.c_str()) == 0)
            removed.push_back(name);
    }
    ::closedir(directory);
    return removed;
}
