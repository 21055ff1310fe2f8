#include "graphics/version_file.h"

#include "foundation/file_helpers.h"
#include "foundation/whole_number.h"
#include "graphics/graphics_log.h"
#include "shell/platform.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

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
    if (status != FileReadStatus::kRead)
    {
        if (status != FileReadStatus::kMissing)
            GraphicsLog("LanguageManager", "Not read: \"" + m_path + "\" " + DescribeFileRead(status, error));
        return;
    }
    // An editor may have left a byte-order mark, or blanks and a line end around the version.
    const std::string version = TrimBlanks(text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text);
    // Up to three parts, each a whole number; a missing or empty part is 0.
    uint32_t parts[3] = {0, 0, 0};
    size_t start = 0;
    for (size_t part = 0; start <= version.size(); ++part)
    {
        const size_t dot = std::min(version.find('.', start), version.size());
        const std::string number = version.substr(start, dot - start);
        const std::optional<int64_t> value = number.empty() ? 0 : ReadWholeInteger(number, 0, UINT32_MAX);
        if (part == 3 || !value)
        {
            // Counted as no version: the factory files are refreshed, which is always safe.
            GraphicsLog("LanguageManager", "Not read, counted as 0.0.0: \"" + m_path + "\" \"" + version + "\"");
            return;
        }
        parts[part] = uint32_t(*value);
        start = dot + 1;
    }
    m_stored = CVersion(parts[0], parts[1], parts[2]);
}

bool CVersionFile::IsOutdated(const CVersion& program)
{
    Read();
    return program > m_stored;
}
