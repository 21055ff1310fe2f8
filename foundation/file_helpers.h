#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Appends to out the full paths of the folder's regular files whose extension equals the
// pattern's extension ignoring ASCII case ("*" and "*.*" match every file), and, unless
// filesOnly, its sub-folders except ".svn". Entries come in the file system's order. Returns the
// size of out afterwards; a missing folder appends nothing.
int32_t ListDirectory(const std::string& folder, const std::string& pattern,
                      std::vector<std::string>& out, bool filesOnly);
// Appends to out the full paths of the folder's sub-folders except ".svn" (the folders
// ListDirectory lists beside the files), in the file system's order. Returns the size of out.
int32_t ListFolders(const std::string& folder, std::vector<std::string>& out);

// A folder, following links; false when missing or unreadable.
bool IsFolder(const std::string& path);
// A regular file, following links. Readers check this first: the XML reader would take a
// folder's size for its length.
bool IsRegularFile(const std::string& path);
// Anything at all stands at the path, even a link that leads nowhere.
bool PathExists(const std::string& path);

enum class FileReadStatus
{
    kRead,
    kMissing,  // nothing at the path, or no regular file
    kUnreadable,
    kTooLarge,
};
// Reads a whole regular file of at most maxBytes into out. A larger file is refused before any of
// it is read, and a pipe or device is refused without waiting for it. With kUnreadable, error
// holds the system's error number.
FileReadStatus ReadFileBounded(const std::string& path, size_t maxBytes, std::string& out, int& error);

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
// file cannot be opened.
void WriteLines(const std::string& path, const std::vector<std::string>& lines);
void WriteLines(const std::string& path, const std::deque<std::string>& lines);

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
