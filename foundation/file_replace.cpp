#include "foundation/file_replace.h"

#include "foundation/file_helpers.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <set>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

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

// The most symbolic links a path may lead through, as the system itself follows before it gives
// up (ELOOP): a chain of this many opens, one more does not.
constexpr int kMaxLinks = 40;

// What the links a sweep follows have led to, and how many steps following them took: the
// folder's links may all lead through one chain (a shared folder linked once, its shows through
// that link), which is then read once, not once a link.
struct CLinkMemo
{
    std::unordered_map<std::string, std::pair<std::string, int>> resolved;  // target, error
    size_t steps = 0;
};

// What following the links of one sweep may cost in all: a genuine link leads to its file in a
// step or two, so this stands far above any user's folder, while the first kMostLinks links each
// through a chain of kMaxLinks of its own would cost some 80,000 calls to the file system.
constexpr size_t kMostLinkSteps = 4096;

// Where a write to the path lands: the file at the end of the symbolic links it names, each
// relative link read from its own folder. The path itself when it is no link, or nothing is there.
// With a memo, what an earlier call found is taken from it, and a call past its steps fails.
bool FollowLinks(const std::string& path, std::string& target, int& error, CLinkMemo* memo = nullptr)
{
    target = path;
    error = 0;
    std::vector<std::string> passed;
    for (int followed = 0;; ++followed)
    {
        if (memo)
        {
            const auto found = memo->resolved.find(target);
            if (found != memo->resolved.end())
            {
                target = found->second.first;
                error = found->second.second;
                break;
            }
            if (memo->steps >= kMostLinkSteps)
            {
                // Not remembered: it is no answer, only the end of what the sweep may spend.
                error = ELOOP;
                return false;
            }
            ++memo->steps;
        }
        struct stat status;
        if (::lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            break;
        if (followed == kMaxLinks)
        {
            // A loop, or a chain longer than anything the system would open.
            error = ELOOP;
            break;
        }
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), buffer, sizeof(buffer));
        if (length < 0 || size_t(length) >= sizeof(buffer))
        {
            error = length < 0 ? errno : ENAMETOOLONG;
            break;
        }
        if (memo)
            passed.push_back(target);
        const std::string next(buffer, size_t(length));
        target = next[0] == '/' ? next : FolderOf(target) + "/" + next;
    }
    // Each link passed leads where the whole chain did, within as many links as remained of
    // kMaxLinks, or further: remembered only for a chain that ended well.
    if (memo && error == 0)
    {
        for (const std::string& link : passed)
            memo->resolved.emplace(link, std::make_pair(target, 0));
    }
    return error == 0;
}

// The new file's name in the folder: the target's name leads, cut short where the whole would
// pass the longest name the folder takes, so that every name the file system allows can be
// saved (the mark, the id and the random end are what tells the file apart).
std::string TemporaryName(const std::string& folder, const std::string& name)
{
    const long asked = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const size_t longest = asked > 0 ? size_t(asked) : size_t(NAME_MAX);
    const std::string end = kMark + std::to_string(::getpid()) + "-XXXXXX";
    // At least one character of the name: that is what the start-up clean-up looks for.
    size_t cut = std::min(name.size(), longest > end.size() + 2 ? longest - end.size() - 1 : size_t(1));
    // Cut between characters, so the name stays readable.
    while (cut > 1 && cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return "." + name.substr(0, cut) + end;
}

// The new file takes the old one's permission bits and, where the process may give them, its
// owner and group; a file made anew is 0644.
bool TakeOwnerAndMode(int file, const struct stat* old)
{
    if (!old)
        return ::fchmod(file, 0644) == 0;
    // Only a privileged process may give a file away, and anyone may keep a group they belong
    // to; a file left the writer's own is no reason to fail the save.
    [[maybe_unused]] const bool kept =
        ::fchown(file, old->st_uid, old->st_gid) == 0 || ::fchown(file, uid_t(-1), old->st_gid) == 0;
    return ::fchmod(file, old->st_mode & 0777) == 0;
}

bool IsAlive(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes the leftover of a writer whose process has gone (the lock is taken only just after the
// file is made) unless someone holds its lock (a writer on another machine sharing the folder, or
// a process of the same id elsewhere).
bool RemoveIfAbandoned(const std::string& path)
{
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

// The entry is a symbolic link; the file system may leave its type to be asked.
bool IsLink(const dirent& entry, const std::string& path)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_LNK;
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// What one sweep may cost, however its folders are filled (a genuine data folder holds some
// hundreds of entries, its shows linked from a folder or two): a walk over the first
// kSweepMostNames names of the folder and of at most kMostFolders folders its links lead to, found
// by following the first kMostLinks symbolic links of the folder (each through at most kMaxLinks
// more); and at most kMostTried leftovers whose writer is gone tried (one opened, and removed
// unless someone holds its lock: some 10 us each). What is left waits for later starts, each of
// which removes as many more.
constexpr size_t kMostLinks = 1024;
constexpr size_t kMostFolders = 16;
constexpr size_t kMostTried = 64;

struct CSweep
{
    std::vector<std::string> removed;
    std::vector<std::string> links;
    size_t names = 0;  // walked, in all its folders
    size_t tried = 0;
    size_t left = 0;  // leftovers not tried
};

// Removes the folder's new files whose replace was cut short, adding their paths to the sweep's;
// with links asked for, adds there the paths of the folder's first symbolic links.
void SweepFolder(const std::string& folder, CSweep& sweep, bool links)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory)
        return;
    for (const dirent* entry = nullptr;
         sweep.names < kSweepMostNames && (entry = ::readdir(directory.get())) != nullptr; ++sweep.names)
    {
        const pid_t writer = WriterOf(entry->d_name);
        const bool mayBeLink = links && sweep.links.size() < kMostLinks &&
                               (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN);
        if (writer == 0 && !mayBeLink)
            continue;
        const std::string path = folder + "/" + entry->d_name;
        // Only a regular file is removed: anything the folder says is none is passed over unopened.
        const bool mayBeFile = entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN;
        if (writer != 0 && mayBeFile && !IsAlive(writer))
        {
            if (sweep.tried == kMostTried)
            {
                ++sweep.left;
            }
            else
            {
                ++sweep.tried;
                if (RemoveIfAbandoned(path))
                {
                    sweep.removed.push_back(path);
                    continue;
                }
            }
        }
        if (mayBeLink && IsLink(*entry, path))
            sweep.links.push_back(path);
    }
}
}  // namespace

bool ReplaceFile(const std::string& path, const std::string& bytes, int& error)
{
    error = 0;
    // A link (into a shared or synchronised folder) stays, and the file it leads to is replaced.
    std::string target;
    if (!FollowLinks(path, target, error))
        return false;
    struct stat status;
    const bool exists = ::stat(target.c_str(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode))
    {
        // A pipe or a device would be swept away unasked; a folder cannot be replaced anyway.
        error = kErrorNotRegularFile;
        return false;
    }
    const std::string folder = FolderOf(target);
    std::string temporary = folder + "/" + TemporaryName(folder, FileNameOf(target));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
    {
        error = errno;
        return false;
    }
    // Held until the name is gone: another start of the program leaves the file alone meanwhile.
    bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && TakeOwnerAndMode(fd, exists ? &status : nullptr) &&
              WriteWhole(fd, bytes) && ::fsync(fd) == 0 && std::rename(temporary.c_str(), target.c_str()) == 0;
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

std::vector<std::string> RemoveInterruptedReplaces(const std::string& folder, size_t* left)
{
    CSweep sweep;
    if (!folder.empty())
        SweepFolder(folder, sweep, true);
    // A save through a link writes its new file beside the file the link leads to: each such
    // folder is swept once, the folder itself not again. Shows linked from one shared folder
    // name it alike, and are passed over by name before anything is asked of the disk.
    std::unordered_set<std::string> sweptNames;
    std::set<std::pair<dev_t, ino_t>> swept;
    CLinkMemo memo;
    struct stat status;
    if (::stat(folder.c_str(), &status) == 0)
        swept.emplace(status.st_dev, status.st_ino);
    for (const std::string& link : sweep.links)
    {
        std::string target;
        int error = 0;
        if (!FollowLinks(link, target, error, &memo))
            continue;
        const std::string there = FolderOf(target);
        if (sweptNames.count(there) != 0)
            continue;
        // Only where a save through the link would write: beside a regular file, or beside the
        // file a link to nothing would make. A link to a folder leads no save anywhere.
        if (::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
            continue;
        if (::stat(there.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
            continue;
        sweptNames.insert(there);
        // The folder itself and as many as the bound.
        if (swept.size() > kMostFolders)
            break;
        if (swept.emplace(status.st_dev, status.st_ino).second)
            SweepFolder(there, sweep, false);
    }
    if (left)
        *left = sweep.left;
    return std::move(sweep.removed);
}
