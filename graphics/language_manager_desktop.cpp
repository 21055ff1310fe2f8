#include "graphics/language_manager_desktop.h"

#include "foundation/file_helpers.h"
#include "graphics/graphics_log.h"
#include "graphics/language.h"
#include "shell/app.h"
#include "shell/platform.h"

#include <boost/filesystem/operations.hpp>

#include <map>
#include <string>
#include <vector>

namespace
{
constexpr const char* kLogCategory = "LanguageManager";
constexpr const char* kPattern = "*.xml";
// Lines about missing phrases per language; the rest are counted in one line.
constexpr uint32_t kMaxMissingLines = 50;
// Far beyond any language file; the reader refuses much less.
constexpr size_t kMaxCopyBytes = 16 * 1024 * 1024;

// Copies the file under the target name, never over an existing file, and opens neither side
// unless it is a regular file.
bool CopyRegularFile(const std::string& source, const std::string& target)
{
    std::string bytes;
    int error = 0;
    return ReadFileBounded(source, kMaxCopyBytes, bytes, error) == FileReadStatus::kRead &&
           WriteFileBytes(target, bytes, error, true);
}

void LogPassedOver(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        GraphicsLog(kLogCategory, "Not read: \"" + path + "\" " + DescribeFileError(kErrorNotRegularFile));
}

}  // namespace

CLanguageManagerDesktop::CLanguageManagerDesktop()
    : CLanguageManagerDesktop(CApp::GetResourcesSharedPath(), CApp::GetCommonDataPath(), CApp::GetVersion())
{
}

CLanguageManagerDesktop::CLanguageManagerDesktop(const std::string& resourcesFolder,
                                                 const std::string& commonDataFolder, const CVersion& programVersion)
    // Without a common data folder the folder stays empty rather than becoming a path relative to
    // wherever the program was started.
    : m_folder(commonDataFolder.empty() ? std::string() : JoinPath(commonDataFolder, kFolder)),
      m_sourceFolder(resourcesFolder.empty() ? std::string() : JoinPath(resourcesFolder, "languages")),
      m_versionFile(m_folder),
      m_programVersion(programVersion)
{
    UpdateUserFiles();
    Load();
}

void CLanguageManagerDesktop::UpdateUserFiles()
{
    if (m_folder.empty())
        return;
    if (m_versionFile.IsOutdated(m_programVersion))
        CopyFactoryFiles();
}

void CLanguageManagerDesktop::CopyFactoryFiles()
{
    if (m_folder.empty() || !IsFolder(ParentFolder(m_folder)))
    {
        GraphicsLog(kLogCategory, "No common data folder: the language files are not copied");
        return;
    }
    if (!CreateDirectory(m_folder))
        return;

    namespace fs = boost::filesystem;
    const std::string factory = JoinPath(m_folder, kFactoryFolder);
    boost::system::error_code error;
    fs::remove_all(factory, error);
    if (error || !fs::create_directory(factory, error) || error)
    {
        GraphicsLog(kLogCategory, "Could not empty \"" + factory + "\": the language files are not copied");
        return;
    }
    CreateDirectory(JoinPath(m_folder, kUserFolder));

    std::vector<std::string> files;
    std::vector<std::string> passedOver;
    if (!m_sourceFolder.empty())
        ListDirectory(m_sourceFolder, kPattern, files, true, &passedOver);
    LogPassedOver(passedOver);
    bool allCopied = true;
    for (const std::string& source : files)
    {
        if (!CopyRegularFile(source, JoinPath(factory, FileNameOf(source))))
        {
            GraphicsLog(kLogCategory, "Failed to copy file: " + source);
            allCopied = false;
        }
    }
    // Written only after a complete copy, so a failed one is tried again at the next start.
    if (allCopied)
        m_versionFile.Write(m_programVersion);
}

void CLanguageManagerDesktop::Load()
{
    GraphicsLog(kLogCategory, "Loading from \"" + m_folder + "\"");
    ClearLanguages();
    if (!m_folder.empty())
    {
        for (const char* part : {kFactoryFolder, kUserFolder})
        {
            std::vector<std::string> files;
            std::vector<std::string> passedOver;
            ListDirectory(JoinPath(m_folder, part), kPattern, files, true, &passedOver);
            LogPassedOver(passedOver);
            for (const std::string& file : files)
                LoadFile(file);
        }
    }
    SortLanguages();
    SetLanguage(kDefaultLanguage);
    GraphicsLog(kLogCategory, std::to_string(GetLanguageCount()) + " languages loaded");
    CheckPhrases();
}

void CLanguageManagerDesktop::CheckPhrases()
{
    // How many languages hold each phrase, exactly as written.
    std::map<std::string, uint32_t> holders;
    for (uint32_t i = 0; i < GetLanguageCount(); ++i)
    {
        for (const auto& entry : GetLanguage(i)->GetPhraseTable())
            ++holders[entry.first];
    }
    // A file of made-up phrases would otherwise fill log file after log file at every start.
    std::vector<uint32_t> missing(GetLanguageCount(), 0);
    for (const auto& phrase : holders)
    {
        if (phrase.second >= GetLanguageCount())
            continue;
        for (uint32_t i = 0; i < GetLanguageCount(); ++i)
        {
            const CLanguage* language = GetLanguage(i);
            if (!language->HasPhrase(phrase.first, false) && ++missing[i] <= kMaxMissingLines)
                GraphicsLog(kLogCategory,
                            "\"" + language->GetName() + "\" does not contain phrase \"" + phrase.first + "\"");
        }
    }
    for (uint32_t i = 0; i < GetLanguageCount(); ++i)
        if (missing[i] > kMaxMissingLines)
            GraphicsLog(kLogCategory, "\"" + GetLanguage(i)->GetName() + "\" lacks " +
                                          std::to_string(missing[i] - kMaxMissingLines) + " further phrases");
}
