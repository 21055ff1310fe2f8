#include "graphics/version_file.h"

#include "foundation/file_helpers.h"
#include "graphics/graphics_log.h"
#include "shell/platform.h"

CVersionFile::CVersionFile(const std::string& folder) : m_path(JoinPath(folder, kFileName))
{
}

bool CVersionFile::Write(const CVersion& version)
{
    int error = 0;
    if (WriteFileBytes(m_path, FormatVersion(version), error))
        return true;
    GraphicsLog("LanguageManager", "Could not write \"" + m_path + "\": " + DescribeFileError(error));
    return false;
}

void CVersionFile::Read()
{
    m_stored = CVersion();
    std::string text;
    int error = 0;
    // A version is a few characters; a long file is no version file.
    const FileReadStatus status = ReadFileBounded(m_path, kMaxBytes, text, error);
    if (status == FileReadStatus::kRead)
        m_stored = CVersion(text);
    else if (status != FileReadStatus::kMissing)
        GraphicsLog("LanguageManager", "Not read: \"" + m_path + "\" " + DescribeFileRead(status, error));
}

bool CVersionFile::IsOutdated(const CVersion& program)
{
    Read();
    return program > m_stored;
}
