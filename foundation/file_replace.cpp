#include "foundation/file_replace.h"

#include "foundation/file_helpers.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Long and particular enough that no file of the user's takes this form by accident (a
// ".gala.show.backup" or ".notes.xml.2024v2" never does).
const char* const kMark = ".tanzo-partial-";
constexpr size_t kRandomLength = 6;  // what mkostemp fills in
constexpr size_t kMaxPidDigits = 10;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool IsRandomCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The writer's process id when the name is one ReplaceFile gives its new files:
// ".<target>.tanzo-partial-<pid>-<6 random>". 0 for every other name.
pid_t WriterOf(const std::string& name)
{
    const size_t markLength = std::strlen(kMark);
    if (name.size() < 2 + markLength + 2 + kRandomLength || name[0] != '.')
        return 0;
    const size_t dash = name.size() - kRandomLength - 1;
    if (name[dash] != '-')
        return 0;
    for (size_t i = dash + 1; i < name.size(); ++i)
        if (!IsRandomCharacter(name[i]))
            return 0;
    size_t digits = dash;
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    const size_t count = dash - digits;
    if (count == 0 || count > kMaxPidDigits || name[digits] == '0' || digits < 1 + markLength + 1 ||
        name.compare(digits - markLength, markLength, kMark) != 0)
        return 0;
    const unsigned long long pid = std::strtoull(name.c_str() + digits, nullptr, 10);
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool IsAlive(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes the leftover unless its writer may still be at work: the process the name gives runs
// (the lock is taken only just after the file is made), or someone holds its lock (a writer on
// another machine sharing the folder, or a process of the same id elsewhere).
bool RemoveIfAbandoned(const std::string& path, pid_t writer)
{
    if (IsAlive(writer))
        return false;
    int error = 0;
    const int file = OpenRegularFile(path, O_RDONLY | O_NOFOLLOW, error);
    if (file < 0)
        return false;
    const bool abandoned = ::flock(file, LOCK_EX | LOCK_NB) == 0;
    // Removed while the lock is held, so no one can have taken the file up in between.
    const bool removed = abandoned && ::unlink(path.c_str()) == 0;
    ::close(file);
    return removed;
}
}  // namespace

bool ReplaceFile(const std::string& path, const std::string& bytes, int& error)
{
    error = 0;
    struct stat status;
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    {
        // A pipe or a device would be swept away unasked; a folder cannot be replaced anyway.
        error = kErrorNotRegularFile;
        return false;
    }
    const std::string folder = FolderOf(path);
    std::string temporary = folder + "/." + FileNameOf(path) + kMark + std::to_string(::getpid()) + "-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
    {
        error = errno;
        return false;
    }
    // Held until the name is gone: another start of the program leaves the file alone meanwhile.
    bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fchmod(fd, 0644) == 0 && WriteWhole(fd, bytes) &&
              ::fsync(fd) == 0 && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
    {
        error = errno;
        ::unlink(temporary.c_str());
    }
    ::close(fd);
    if (!ok)
        return false;
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
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory)
        return removed;
    while (const dirent* entry = ::readdir(directory.get()))
    {
        const std::string name = entry->d_name;
        const pid_t writer = WriterOf(name);
        if (writer != 0 && RemoveIfAbandoned(folder + "/" + name, writer))
            removed.push_back(name);
    }
    return removed;
}
