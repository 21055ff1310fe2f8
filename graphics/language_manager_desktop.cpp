#include "graphics/language_manager_desktop.h"

#include "foundation/ascii.h"
#include "foundation/file_helpers.h"
#include "foundation/utf8.h"
#include "foundation/xml_file.h"
#include "graphics/graphics_log.h"
#include "graphics/language.h"
#include "shell/app.h"
#include "shell/platform.h"

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{
constexpr const char* kLogCategory = "LanguageManager";
constexpr const char* kPattern = "*.xml";
// Lines that name a language and a phrase it lacks; the rest are summed up in one line.
constexpr uint32_t kMaxMissingLines = 20;
// The longest name or phrase quoted whole in the log; a longer one is cut to this.
constexpr size_t kMaxLoggedBytes = 64;
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
            LoadFolder(JoinPath(m_folder, part));
    }
    SortLanguages();
    SetLanguage(kDefaultLanguage);
    GraphicsLog(kLogCategory, std::to_string(GetLanguageCount()) + " languages loaded");
    CheckPhrases();
}

void CLanguageManagerDesktop::LoadFolder(const std::string& folder)
{
    std::vector<std::string> files;
    std::vector<std::string> passedOver;
    ListDirectory(folder, kPattern, files, true, &passedOver);
    LogPassedOver(passedOver);
    std::sort(files.begin(), files.end());
    size_t read = 0;
    uint64_t bytes = 0;
    size_t left = 0;
    for (const std::string& file : files)
    {
        boost::system::error_code error;
        // A file past the reader's bound is refused unread: it costs no more than one at it.
        const uint64_t size = std::min<uint64_t>(boost::filesystem::file_size(file, error), kMaxFileBytes);
        if (read == kMostFiles || bytes + size > kMostBytes)
        {
            ++left;
            continue;
        }
        ++read;
        // Its text is held to what the folder has left: an encoding that makes several characters
        // of a byte cannot take the folder past its bound.
        const CXmlRead got = LoadFileWithin(file, size_t(std::min<uint64_t>(kMaxFileBytes, kMostBytes - bytes)));
        bytes = std::min(kMostBytes, bytes + std::max<uint64_t>(size, got.text));
    }
    if (left > 0)
        GraphicsLog(kLogCategory, "Not read: " + std::to_string(left) + " of the " + std::to_string(files.size()) +
                                      " files in \"" + folder + "\", past " + std::to_string(kMostFiles) +
                                      " files or " + std::to_string(kMostBytes / 1024) + " KB in all");
}

void CLanguageManagerDesktop::CheckPhrases()
{
    const uint32_t count = GetLanguageCount();
    // How many languages hold each phrase exactly as written, and how many find each phrase
    // upper-cased: a language finds a phrase by some lookup exactly when it holds the phrase in
    // some ASCII case, so the two counts say how many languages lack a phrase without asking each.
    std::map<std::string, uint32_t> holders;
    std::unordered_map<std::string, uint32_t> finders;
    for (uint32_t i = 0; i < count; ++i)
    {
        const CLanguage* language = GetLanguage(i);
        for (const auto& entry : language->GetPhraseTable())
            ++holders[entry.first];
        for (const auto& entry : language->GetUpperCaseIndex())
            ++finders[entry.first];
    }
    // A file of made-up languages or phrases would otherwise fill log file after log file at every
    // start: the first few are named, the rest summed up.
    uint64_t missing = 0;
    uint32_t listed = 0;
    for (const auto& [phrase, held] : holders)
    {
        if (held >= count)
            continue;
        const uint32_t lacking = count - finders[ToUpperAscii(phrase)];
        missing += lacking;
        // Naming the languages asks each of them: done only for the lines written.
        uint32_t named = 0;
        for (uint32_t i = 0; i < count && named < lacking && listed < kMaxMissingLines; ++i)
        {
            const CLanguage* language = GetLanguage(i);
            if (language->HasPhrase(phrase, false))
                continue;
            ++named;
            ++listed;
            GraphicsLog(kLogCategory, "\"" + QuotedForLog(language->GetName(), kMaxLoggedBytes) +
                                          "\" does not contain phrase \"" + QuotedForLog(phrase, kMaxLoggedBytes) +
                                          "\"");
        }
    }
    if (missing > listed)
    {
        // A language lacks some phrase exactly when it finds fewer phrases than all of them find.
        uint32_t incomplete = 0;
        for (uint32_t i = 0; i < count; ++i)
            if (GetLanguage(i)->GetUpperCaseIndex().size() < finders.size())
                ++incomplete;
        GraphicsLog(kLogCategory, std::to_string(missing - listed) + " further missing phrases are not listed (" +
                                      std::to_string(missing) + " in all, in " + std::to_string(incomplete) +
                                      " languages)");
    }
}
