#include "foundation/file_helpers.h"

#include "foundation/ascii.h"

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <memory>
#include <queue>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

template <typename TLines>
bool WriteAll(const std::string& path, const TLines& lines, int* error)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    int ignored = 0;
    return WriteFileBytes(path, text, error ? *error : ignored);
}

// Opens a regular file to read it: the descriptor and its size, or -1 with the status and error.
int OpenRegularFileToRead(const std::string& path, FileReadStatus& status, int& error, unsigned long long& size)
{
    error = 0;
    status = FileReadStatus::kRead;
    const int file = OpenRegularFile(path, O_RDONLY, error);
    if (file < 0) {
        if (error == kErrorNotRegularFile)
            status = FileReadStatus::kNotRegular;
        else
            status = error == ENOENT || error == ENOTDIR ? FileReadStatus::kMissing : FileReadStatus::kUnreadable;
        return -1;
    }
    struct stat fileStatus;
    if (::fstat(file, &fileStatus) != 0) {
        error = errno;
        status = FileReadStatus::kUnreadable;
        ::close(file);
        return -1;
    }
    size = static_cast<unsigned long long>(fileStatus.st_size);
    return file;
}

// Reads from the open file until its end or until out holds limit + 1 bytes (one byte more than
// allowed tells a file that grew while it was read). expected is what fstat said it holds.
FileReadStatus ReadOpenFile(int file, size_t expected, size_t limit, std::string& out, int& error)
{
    out.resize(std::min(expected, limit) + 1);
    size_t count = 0;
    while (count < out.size()) {
        const ssize_t got = ::read(file, &out[count], out.size() - count);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            out.clear();
            return FileReadStatus::kUnreadable;
        }
        if (got == 0)
            break;
        count += static_cast<size_t>(got);
        if (count == out.size() && count <= limit)
            out.resize(std::min(limit + 1, out.size() * 2));
    }
    out.resize(count);
    return FileReadStatus::kRead;
}

// Opens and reads at most limit + 1 bytes; tooLarge decides, from the size the file reports,
// whether it is refused before anything is read.
template <typename TooLarge>
FileReadStatus ReadRegularFile(const std::string& path, size_t limit, std::string& out, int& error, TooLarge tooLarge)
{
    out.clear();
    FileReadStatus result = FileReadStatus::kRead;
    unsigned long long size = 0;
    const int file = OpenRegularFileToRead(path, result, error, size);
    if (file < 0)
        return result;
    if (tooLarge(size))
        result = FileReadStatus::kTooLarge;
    else
        result = ReadOpenFile(file, static_cast<size_t>(size), limit, out, error);
    ::close(file);
    return result;
}

void AddDumpText(std::vector<std::string>& lines, const std::string& value, const std::string& name,
                 uint32_t indent, uint32_t column)
{
    std::string line(size_t(indent) * 4, ' ');
    line += name;
    if (line.size() < column)
        line.append(column - line.size(), ' ');
    line += "= ";
    line += value;
    lines.push_back(std::move(line));
}

}  // namespace

bool IsFolder(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsRegularFile(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool PathExists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

bool IsWriteProtected(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && IsWriteProtected(path, status);
}

bool IsWriteProtected(const std::string& path, const struct stat& status)
{
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

std::string DescribeFileError(int error)
{
    return error == kErrorNotRegularFile ? "is not a regular file" : std::strerror(error);
}

int OpenRegularFile(const std::string& path, int flags, int& error)
{
    const int file = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (file < 0) {
        error = errno;
        // A folder opened for writing, or a pipe without a reader: something is there, not a file.
        struct stat status;
        if ((error == EISDIR || error == ENXIO) && ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
            error = kErrorNotRegularFile;
        return -1;
    }
    struct stat status;
    const bool known = ::fstat(file, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        error = known ? kErrorNotRegularFile : errno;
        ::close(file);
        return -1;
    }
    // Reads and writes of a regular file never wait on O_NONBLOCK, so it may stay set.
    return file;
}

int OpenFileToRead(const std::string& path, size_t maxBytes, FileReadStatus& status, int& error)
{
    unsigned long long size = 0;
    const int file = OpenRegularFileToRead(path, status, error, size);
    if (file >= 0 && size > maxBytes) {
        ::close(file);
        status = FileReadStatus::kTooLarge;
        return -1;
    }
    return file;
}

FileReadStatus ReadFileBounded(const std::string& path, size_t maxBytes, std::string& out, int& error)
{
    const FileReadStatus status = ReadRegularFile(path, maxBytes, out, error,
                                                  [maxBytes](unsigned long long size) { return size > maxBytes; });
    if (status == FileReadStatus::kRead && out.size() > maxBytes) {
        out.clear();
        return FileReadStatus::kTooLarge;
    }
    return status;
}

FileReadStatus ReadFileStart(const std::string& path, size_t count, std::string& out, int& error)
{
    const FileReadStatus status =
        ReadRegularFile(path, count > 0 ? count - 1 : 0, out, error, [](unsigned long long) { return false; });
    if (out.size() > count)
        out.resize(count);
    return status;
}

std::string DescribeFileRead(FileReadStatus status, int error)
{
    switch (status) {
    case FileReadStatus::kRead:
        break;
    case FileReadStatus::kMissing:
        return "is missing";
    case FileReadStatus::kNotRegular:
        return DescribeFileError(kErrorNotRegularFile);
    case FileReadStatus::kUnreadable:
        return "cannot be read: " + DescribeFileError(error);
    case FileReadStatus::kTooLarge:
        return "is too large";
    }
    return std::string();
}

bool WriteWhole(int file, const std::string& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(file, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes, int& error, bool exclusive)
{
    error = 0;
    const int file = OpenRegularFile(path, O_WRONLY | O_CREAT | (exclusive ? O_EXCL : 0), error);
    if (file < 0)
        return false;
    // Cut only once it is known to be a regular file.
    bool written = ::ftruncate(file, 0) == 0 && WriteWhole(file, bytes);
    if (!written)
        error = errno;
    if (::close(file) != 0 && written) {
        error = errno;
        written = false;
    }
    return written;
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

enum class EntryKind { kFolder, kFile, kOther };

// Calls found(name, path, kind) for each entry of the folder but "." and ".." whose name is
// wanted, in the file system's order: kOther is anything that is neither a folder nor a regular
// file. The kind is taken from the folder itself; the file system is asked (following a link) only
// where the folder does not say, so that a folder of 200 pictures costs no 200 look-ups, and
// never for a name not wanted. Not a folder (or none): nothing. Ends early once stop is set.
template <typename Wanted, typename Found>
void ForEachEntry(const std::string& folder, Wanted wanted, Found found, const std::atomic<bool>* stop = nullptr)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory)
        return;
    const std::string prefix = !folder.empty() && folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = ::readdir(directory.get())) {
        if (stop && stop->load(std::memory_order_relaxed))
            return;
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !wanted(name))
            continue;
        const std::string path = prefix + name;
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat status {};
            const bool known = ::stat(path.c_str(), &status) == 0;
            isFolder = known && S_ISDIR(status.st_mode);
            isFile = known && S_ISREG(status.st_mode);
        }
        found(name, path, isFolder ? EntryKind::kFolder : isFile ? EntryKind::kFile : EntryKind::kOther);
    }
}

bool Any(const std::string&)
{
    return true;
}

// Whether the name has the extension ListDirectory's pattern asks for.
bool MatchesPattern(const std::string& name, const std::string& wanted)
{
    return wanted == "*" || EqualIgnoringAsciiCase(GetExtension(name), wanted);
}

// The first `most` paths by name of those offered, and how many were left: the paths of one
// folder share their prefix, so paths order as their names do.
class CFirstByName
{
public:
    explicit CFirstByName(size_t most) : m_most(most) {}

    void Offer(const std::string& path)
    {
        if (m_first.size() < m_most) {
            m_first.push(path);
            return;
        }
        ++m_left;
        if (m_most > 0 && path < m_first.top()) {
            m_first.pop();
            m_first.push(path);
        }
    }
    // Appends the paths kept to out in their order; the count left.
    size_t TakeInto(std::vector<std::string>& out)
    {
        const size_t start = out.size();
        out.resize(start + m_first.size());
        for (size_t i = out.size(); i > start; --i) {
            out[i - 1] = m_first.top();
            m_first.pop();
        }
        return m_left;
    }

private:
    size_t m_most;
    // The largest kept path on top, to be put out by any smaller one found later.
    std::priority_queue<std::string> m_first;
    size_t m_left = 0;
};

enum class Listed { kNo, kYes, kPassedOver };

// The first `most` paths by name of the entries of a wanted name listed, into out in that order,
// and those passed over into passedOver, where given; the count left.
template <typename Wanted, typename Classify>
size_t ListFirst(const std::string& folder, size_t most, std::vector<std::string>& out, Wanted wanted,
                 Classify classify, CPassedOver* passedOver = nullptr, const std::atomic<bool>* stop = nullptr)
{
    CFirstByName first(most);
    CFirstByName passed(passedOver ? passedOver->most : 0);
    ForEachEntry(folder, wanted, [&](const std::string& name, const std::string& path, EntryKind kind) {
        const Listed listed = classify(name, kind);
        if (listed == Listed::kYes)
            first.Offer(path);
        else if (listed == Listed::kPassedOver && passedOver)
            passed.Offer(path);
    }, stop);
    if (passedOver)
        passedOver->left += passed.TakeInto(passedOver->first);
    return first.TakeInto(out);
}

}  // namespace

int32_t ListDirectory(const std::string& folder, const std::string& pattern,
                      std::vector<std::string>& out, bool filesOnly, std::vector<std::string>* passedOver)
{
    const std::string wanted = GetExtension(pattern);
    ForEachEntry(folder, Any, [&](const std::string& name, const std::string& path, EntryKind kind) {
        const bool matches = MatchesPattern(name, wanted);
        if (kind == EntryKind::kFolder && !filesOnly) {
            if (name != ".svn")
                out.push_back(path);
        } else if (matches) {
            if (kind == EntryKind::kFile)
                out.push_back(path);
            else if (passedOver && name != ".svn")
                passedOver->push_back(path);
        }
    });
    return int32_t(out.size());
}

int32_t ListFolders(const std::string& folder, std::vector<std::string>& out)
{
    ForEachEntry(folder, Any, [&](const std::string& name, const std::string& path, EntryKind kind) {
        if (kind == EntryKind::kFolder && name != ".svn")
            out.push_back(path);
    });
    return int32_t(out.size());
}

size_t ListFirstFiles(const std::string& folder, const std::string& pattern, size_t most,
                      std::vector<std::string>& out, CPassedOver* passedOver, const std::atomic<bool>* stop)
{
    const std::string wanted = GetExtension(pattern);
    return ListFirst(
        folder, most, out, [&](const std::string& name) { return MatchesPattern(name, wanted); },
        // As ListDirectory passes them over.
        [](const std::string& name, EntryKind kind) {
            return kind == EntryKind::kFile ? Listed::kYes : name != ".svn" ? Listed::kPassedOver : Listed::kNo;
        },
        passedOver, stop);
}

size_t ListFirstFolders(const std::string& folder, size_t most, std::vector<std::string>& out)
{
    return ListFirst(
        folder, most, out, [](const std::string& name) { return name != ".svn"; },
        [](const std::string&, EntryKind kind) { return kind == EntryKind::kFolder ? Listed::kYes : Listed::kNo; });
}

std::string DescribeLeft(const std::string& folder, size_t left, size_t total, const std::string& entries,
                         const std::string& bound)
{
    return "Not read: " + std::to_string(left) + " of the " + std::to_string(total) + " " + entries + " in \"" +
           folder + "\", past " + bound;
}

std::vector<std::string> DescribePassedOver(const std::string& verb, const std::string& folder,
                                            const CPassedOver& passedOver)
{
    std::vector<std::string> lines;
    for (const std::string& path : passedOver.first)
        lines.push_back(verb + ": \"" + path + "\" " + DescribeFileError(kErrorNotRegularFile));
    if (passedOver.left > 0)
        lines.push_back(verb + ": " + std::to_string(passedOver.left) + " more entries of \"" + folder +
                        "\" that are not regular files");
    return lines;
}

std::string GetExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return path;
    if (dot == 0)
        return std::string();
    return path.substr(dot + 1);
}

std::string RemoveExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(0, dot);
}

void RemoveLastPathPart(std::string& path)
{
    const size_t slash = path.rfind('\\');
    if (slash != std::string::npos)
        path.erase(slash);
}

std::string Unquote(const std::string& text)
{
    const size_t first = text.find('"');
    const size_t last = text.rfind('"');
    if (first == std::string::npos || first == last)
        return text;
    return text.substr(first + 1, last - first - 1);
}

void UnquoteLast(std::string& text)
{
    const size_t last = text.rfind('"');
    if (last == std::string::npos || last == 0)
        return;
    const size_t before = text.rfind('"', last - 1);
    if (before == std::string::npos)
        return;
    text = text.substr(before + 1, last - before - 1);
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines, int* error)
{
    return WriteAll(path, lines, error);
}

bool WriteLines(const std::string& path, const std::deque<std::string>& lines, int* error)
{
    return WriteAll(path, lines, error);
}

void AddDumpLine(std::vector<std::string>& lines, const std::string& value, const std::string& name,
                 uint32_t indent, uint32_t column)
{
    AddDumpText(lines, "\"" + value + "\"", name, indent, column);
}

void AddDumpLine(std::vector<std::string>& lines, const char* value, const std::string& name,
                 uint32_t indent, uint32_t column)
{
    AddDumpLine(lines, std::string(value ? value : ""), name, indent, column);
}

void AddDumpLine(std::vector<std::string>& lines, bool value, const std::string& name,
                 uint32_t indent, uint32_t column)
{
    AddDumpText(lines, value ? "ON" : "OFF", name, indent, column);
}

void AddDumpLine(std::vector<std::string>& lines, float value, const std::string& name,
                 uint32_t indent, uint32_t column)
{
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%f", double(value));
    AddDumpText(lines, buffer, name, indent, column);
}

void AddDumpLine(std::vector<std::string>& lines, uint32_t value, const std::string& name,
                 uint32_t indent, uint32_t column)
{
    AddDumpText(lines, std::to_string(value), name, indent, column);
}
