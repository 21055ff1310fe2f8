#include "foundation/file_helpers.h"

#include "foundation/ascii.h"

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

template <typename TLines>
void WriteAll(const std::string& path, const TLines& lines)
{
    std::FILE* file = std::fopen(path.c_str(), "wt");
    if (file == nullptr)
        return;
    for (const std::string& line : lines) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fputc('\n', file);
    }
    std::fclose(file);
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

FileReadStatus ReadFileBounded(const std::string& path, size_t maxBytes, std::string& out, int& error)
{
    out.clear();
    error = 0;
    // Without blocking, so that a pipe put in a file's place cannot hold the reader.
    const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        error = errno;
        return error == ENOENT || error == ENOTDIR ? FileReadStatus::kMissing : FileReadStatus::kUnreadable;
    }
    struct stat status;
    FileReadStatus result = FileReadStatus::kRead;
    if (::fstat(file, &status) != 0) {
        error = errno;
        result = FileReadStatus::kUnreadable;
    } else if (!S_ISREG(status.st_mode)) {
        result = FileReadStatus::kMissing;
    } else if (static_cast<unsigned long long>(status.st_size) > maxBytes) {
        result = FileReadStatus::kTooLarge;
    } else {
        // The file may grow while it is read: one byte more than allowed tells.
        out.resize(static_cast<size_t>(status.st_size) + 1);
        size_t count = 0;
        while (count < out.size()) {
            const ssize_t got = ::read(file, &out[count], out.size() - count);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = errno;
                result = FileReadStatus::kUnreadable;
                break;
            }
            if (got == 0)
                break;
            count += static_cast<size_t>(got);
            if (count == out.size() && count <= maxBytes)
                out.resize(std::min(maxBytes + 1, out.size() * 2));
        }
        if (result == FileReadStatus::kRead && count > maxBytes)
            result = FileReadStatus::kTooLarge;
        out.resize(result == FileReadStatus::kRead ? count : 0);
    }
    ::close(file);
    return result;
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

enum class EntryKind { kFolder, kFile };

// Calls found(name, path, kind) for each folder and regular file in the folder, in the file
// system's order. The kind is taken from the folder itself; the file system is asked (following a
// link) only where the folder does not say, so that a folder of 200 pictures costs no 200
// look-ups. Not a folder (or none): nothing.
template <typename Found>
void ForEachEntry(const std::string& folder, Found found)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory)
        return;
    const std::string prefix = !folder.empty() && folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = prefix + name;
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat status {};
            if (::stat(path.c_str(), &status) != 0)
                continue;
            isFolder = S_ISDIR(status.st_mode);
            isFile = S_ISREG(status.st_mode);
        }
        if (isFolder)
            found(name, path, EntryKind::kFolder);
        else if (isFile)
            found(name, path, EntryKind::kFile);
    }
}

}  // namespace

int32_t ListDirectory(const std::string& folder, const std::string& pattern,
                      std::vector<std::string>& out, bool filesOnly)
{
    const std::string wanted = GetExtension(pattern);
    const bool everything = wanted == "*";
    ForEachEntry(folder, [&](const std::string& name, const std::string& path, EntryKind kind) {
        if (kind == EntryKind::kFolder) {
            if (!filesOnly && name != ".svn")
                out.push_back(path);
        } else if (everything || EqualIgnoringAsciiCase(GetExtension(name), wanted)) {
            out.push_back(path);
        }
    });
    return int32_t(out.size());
}

int32_t ListFolders(const std::string& folder, std::vector<std::string>& out)
{
    ForEachEntry(folder, [&](const std::string& name, const std::string& path, EntryKind kind) {
        if (kind == EntryKind::kFolder && name != ".svn")
            out.push_back(path);
    });
    return int32_t(out.size());
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

void WriteLines(const std::string& path, const std::vector<std::string>& lines)
{
    WriteAll(path, lines);
}

void WriteLines(const std::string& path, const std::deque<std::string>& lines)
{
    WriteAll(path, lines);
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
