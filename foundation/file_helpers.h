#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct stat;

// Appends to out the full paths of the folder's regular files whose extension equals the
// pattern's extension ignoring ASCII case ("*" and "*.*" match every file), and, unless
// filesOnly, its sub-folders except ".svn". Entries come in the file system's order. Returns the
// size of out afterwards; a missing folder appends nothing. When passedOver is given, the entries
// of a matching name that are not listed (pipes, devices, sockets, links that lead nowhere, and
// with filesOnly the folders) are appended to it, for readers that say what they skip.
int32_t ListDirectory(const std::string& folder, const std::string& pattern,
                      std::vector<std::string>& out, bool filesOnly,
                      std::vector<std::string>* passedOver = nullptr);
// Appends to out the full paths of the folder's sub-folders except ".svn" (the folders
// ListDirectory lists beside the files), in the file system's order. Returns the size of out.
int32_t ListFolders(const std::string& folder, std::vector<std::string>& out);
// Entries of a listing that a reader names in its log: the first `most` by name, and how many
// more there were.
struct CPassedOver
{
    explicit CPassedOver(size_t mostNamed) : most(mostNamed) {}
    size_t most;
    std::vector<std::string> first;
    size_t left = 0;
};
// What ListDirectory lists with filesOnly, or ListFolders, but only the first `most` by name (in
// byte order), appended to out in that order: however many entries the folder holds, no more than
// `most` paths are kept at any time, so that a reader at start costs a walk over the names and no
// more. Returns how many were left out. With passedOver, the entries ListDirectory would pass over
// are kept there within its own bound. A walk that another thread sets stop for ends at the next
// entry, with what it has found so far.
size_t ListFirstFiles(const std::string& folder, const std::string& pattern, size_t most,
                      std::vector<std::string>& out, CPassedOver* passedOver = nullptr,
                      const std::atomic<bool>* stop = nullptr);
size_t ListFirstFolders(const std::string& folder, size_t most, std::vector<std::string>& out);
// The log line of a reader that left entries out: "Not read: 2 of the 18 files in "folder", past
// 16 files", with "files" and "16 files" given.
std::string DescribeLeft(const std::string& folder, size_t left, size_t total, const std::string& entries,
                         const std::string& bound);
// The log lines of the entries passed over: "Not listed: "path" is not a regular file" for each
// named, with "Not listed" given, and one for the rest: "Not listed: 12 more entries of "folder"
// that are not regular files".
std::vector<std::string> DescribePassedOver(const std::string& verb, const std::string& folder,
                                            const CPassedOver& passedOver);

// A folder, following links; false when missing or unreadable.
bool IsFolder(const std::string& path);
// A regular file, following links. Readers check this first: the XML reader would take a
// folder's size for its length.
bool IsRegularFile(const std::string& path);
// Anything at all stands at the path, even a link that leads nowhere.
bool PathExists(const std::string& path);
// A file the user has made read-only, following links: no write permission bit left, or none for
// this process (another user's file, a read-only mount). The bits decide, since a process
// running as root may write every file. False when nothing is there.
bool IsWriteProtected(const std::string& path);
// The same of a file whose status (stat, following links) is at hand.
bool IsWriteProtected(const std::string& path, const struct stat& status);

// The error of a file refused because it is no regular file, beside the system's error numbers.
constexpr int kErrorNotRegularFile = -1;
// "is not a regular file", or the system's words for its error number.
std::string DescribeFileError(int error);

// Every file the program reads or writes is opened here: without waiting (a pipe without its
// other end, or a device, would otherwise hold the caller for ever), without becoming the
// controlling terminal, closed on exec, and only when it is a regular file; anything else is
// closed again before a byte moves and refused with kErrorNotRegularFile. flags are open(2)'s
// (O_CREAT makes the file with 0666 less the umask). The descriptor, or -1 with error set.
int OpenRegularFile(const std::string& path, int flags, int& error);

enum class FileReadStatus
{
    kRead,
    kMissing,     // nothing at the path
    kNotRegular,  // a pipe, device, socket or folder
    kUnreadable,
    kTooLarge,
};
// Opens a regular file of at most maxBytes to read it, as ReadFileBounded opens it: the descriptor,
// which the caller closes, or -1 with the status that says why (error holds the system's error
// number for kUnreadable). A larger file is refused before any of it is read.
int OpenFileToRead(const std::string& path, size_t maxBytes, FileReadStatus& status, int& error);
// Reads a whole regular file of at most maxBytes into out. A larger file is refused before any of
// it is read. With kUnreadable, error holds the system's error number.
FileReadStatus ReadFileBounded(const std::string& path, size_t maxBytes, std::string& out, int& error);
// Reads the first count bytes of a regular file (all of a shorter one) into out, opened as
// ReadFileBounded opens it: for readers that weigh a file by its header.
FileReadStatus ReadFileStart(const std::string& path, size_t count, std::string& out, int& error);
// Why a read did not succeed, worded to follow "the file": "is not a regular file".
std::string DescribeFileRead(FileReadStatus status, int error);
// Writes all the bytes to the open file; false with errno set.
bool WriteWhole(int file, const std::string& bytes);
// Replaces the content of a regular file in place, or makes the file (with exclusive, only makes
// it: an existing one is left alone, error EEXIST). False with error set.
bool WriteFileBytes(const std::string& path, const std::string& bytes, int& error, bool exclusive = false);

// The part after the last '/' (the whole text without one).
std::string FileNameOf(const std::string& path);
// The part after the last '.'; the whole text without a '.'; empty when the only '.' leads.
std::string GetExtension(const std::string& path);
// The text before its last '.' (the whole text without one).
std::string RemoveExtension(const std::string& path);
// Cuts the text before its last backslash (unchanged without one).
void RemoveLastPathPart(std::string& path);
// The text between its first and last double quote; unchanged with fewer than two quotes.
std::string Unquote(const std::string& text);
// Keeps the text between its last two double quotes; unchanged with fewer than two quotes.
void UnquoteLast(std::string& text);

// Replaces the file's content with the lines, each ended by a line feed; does nothing when the
// file cannot be opened (or is no regular file) and then returns false with the error set.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines, int* error = nullptr);
bool WriteLines(const std::string& path, const std::deque<std::string>& lines, int* error = nullptr);

// Appends "<indent x 4 blanks>name<blanks up to column>= value" to a dump listing.
void AddDumpLine(std::vector<std::string>& lines, const std::string& value, const std::string& name,
                 uint32_t indent, uint32_t column);
void AddDumpLine(std::vector<std::string>& lines, const char* value, const std::string& name,
                 uint32_t indent, uint32_t column);
void AddDumpLine(std::vector<std::string>& lines, bool value, const std::string& name,
                 uint32_t indent, uint32_t column);
void AddDumpLine(std::vector<std::string>& lines, float value, const std::string& name,
                 uint32_t indent, uint32_t column);
void AddDumpLine(std::vector<std::string>& lines, uint32_t value, const std::string& name,
                 uint32_t indent, uint32_t column);
