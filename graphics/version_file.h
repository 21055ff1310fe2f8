#pragma once

#include "foundation/version.h"

#include <cstddef>
#include <string>

// "version.txt" of a folder: the program version that last refreshed the folder's factory
// copies, as "1.7.0" without a line end. A missing or unreadable file counts as 0.0.0, so the
// first start of any version refreshes.
class CVersionFile
{
public:
    static constexpr const char* kFileName = "version.txt";
    static constexpr size_t kMaxBytes = 4096;

    explicit CVersionFile(const std::string& folder);

    // Replaces the file with the version; false, with a log line, when it could not be written
    // (or something other than a regular file holds the name).
    bool Write(const CVersion& version);
    // Reads the stored version; 0.0.0 when the file is missing or unreadable (which is logged).
    void Read();
    // Reads, then true when the program is newer than the version stored.
    bool IsOutdated(const CVersion& program);

    const std::string& GetPath() const { return m_path; }
    const CVersion& GetStoredVersion() const { return m_stored; }

private:
    std::string m_path;
    CVersion m_stored;
};
