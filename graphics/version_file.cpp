#include "graphics/version_file.h"

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
    std::FILE* file = std::fopen(m_path.c_str(), "rt");
    if (!file)
        return;
    std::string text;
    char buffer[256];
    size_t count = 0;
    // A version is short; a long file is read no further than a version could reach.
    while (text.size() < 4096 && (count = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (!failed)
        m_stored = CVersion(text);
}

bool CVersionFile::IsOutdated(const CVersion& program)
{
    Read();
    return program > m_stored;
}
