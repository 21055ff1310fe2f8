#include "graphics/version_file.h"

#include "foundation/file_helpers.h"
#include "shell/platform.h"

#include <cstdio>

CVersionFile::CVersionFile(const std::string& folder) : m_path(JoinPath(folder, kFileName))
{
}

bool CVersionFile::Write(const CVersion& version)
{
    std::FILE* file = std::fopen(m_path.c_str(), "wt");
    if (!file)
        return false;
    const std::string text = FormatVersion(version);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

void CVersionFile::Read()
{
    m_stored = CVersion();
    std::string text;
    int error = 0;
    // A version is a few characters; a long file, or a pipe in its place, is no version file.
    if (ReadFileBounded(m_path, 4096, text, error) == FileReadStatus::kRead)
        m_stored = CVersion(text);
}

bool CVersionFile::IsOutdated(const CVersion& program)
{
    Read();
    return program > m_stored;
}
