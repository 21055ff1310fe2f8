#include "shell/held_file.h"

#include "foundation/file_helpers.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

bool CHeldFile::Create(const std::string& path, int& error)
{
    Release();
    error = 0;
    const int file = OpenRegularFile(path, O_WRONLY | O_CREAT | O_EXCL | O_APPEND, error);
    if (file < 0)
        return false;
    // Taken at once. Until then only a removal that found the file the oldest of its folder would
    // take it, and a file just made is the newest. Where the file system has no locks (some
    // network shares) the file is still made, and its name is still this process's own.
    [[maybe_unused]] const bool locked = ::flock(file, LOCK_EX | LOCK_NB) == 0;
    m_file = file;
    return true;
}

void CHeldFile::Release()
{
    if (m_file >= 0)
        ::close(m_file);
    m_file = -1;
}

bool CHeldFile::IsAt(const std::string& path) const
{
    struct stat held;
    struct stat named;
    return m_file >= 0 && ::fstat(m_file, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool CHeldFile::Append(const std::string& bytes, int& error)
{
    error = 0;
    if (m_file < 0)
    {
        error = EBADF;
        return false;
    }
    struct stat before;
    if (::fstat(m_file, &before) != 0)
    {
        error = errno;
        return false;
    }
    if (WriteWhole(m_file, bytes))
        return true;
    error = errno;
    // A line cut short (the disk full, a size limit) would stand before the same line written
    // whole by the next try.
    [[maybe_unused]] const int ignored = ::ftruncate(m_file, before.st_size);
    return false;
}

TRemoval RemoveUnlessHeld(const std::string& path)
{
    // A link, or a file this process may not read, is no file an instance holds.
    int ignored = 0;
    const int file = OpenRegularFile(path, O_RDONLY | O_NOFOLLOW, ignored);
    if (file >= 0 && ::flock(file, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    {
        ::close(file);
        return TRemoval::kHeld;
    }
    const bool removed = ::unlink(path.c_str()) == 0 || errno == ENOENT;
    if (file >= 0)
        ::close(file);
    return removed ? TRemoval::kRemoved : TRemoval::kFailed;
}
