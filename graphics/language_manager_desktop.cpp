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
// Entries of a folder that are not regular files, named one a line in the log; the rest are
// summed up in one line.
constexpr size_t kMostPassedOverLines = 8;

// Copies the file under the target name, never over an existing file, and opens neither side
// unless it is a regular file. A file the reader would refuse is not copied.
bool CopyRegularFile(const std::string& source, const std::string& target)
{
    std::string bytes;
    int error = 0;
    return ReadFileBounded(source, CLanguageManager::kMaxFileBytes, bytes, error) == FileReadStatus::kRead &&
           WriteFileBytes(target, bytes, error, true);
}

// The first files of the folder by name, as many as a start reads, and their sizes; the names of
// a few entries that are not regular files, and how many more there are, are logged.
struct CFolderFiles
{
    std::vector<std::string> files;
    std::vector<uint64_t> sizes;  // the largest size for one that cannot be asked
    size_t left = 0;              // past the count of files
};
CFolderFiles ListFolderFiles(const std::string& folder)
{
    CFolderFiles listed;
    CPassedOver passedOver(kMostPassedOverLines);
    listed.left = ListFirstFiles(folder, kPattern, CLanguageManagerDesktop::kMostFiles, listed.files, &passedOver);
    for (const std::string& line : DescribePassedOver("Not read", folder, passedOver))
        GraphicsLog(kLogCategory, line);
    for (const std::string& file : listed.files)
    {
        boost::system::error_code error;
        listed.sizes.push_back(boost::filesystem::file_size(file, error));
    }
    return listed;
}

void LogLeft(const std::string& folder, size_t left, const CFolderFiles& listed, const std::string& fileBound)
{
    if (left > 0)
        GraphicsLog(kLogCategory, DescribeLeft(folder, left, listed.left + listed.files.size(), "files",
                                               std::to_string(CLanguageManagerDesktop::kMostFiles) + " files" +
                                                   fileBound + " or " +
                                                   std::to_string(CLanguageManagerDesktop::kMostBytes / 1024) +
                                                   " KB in all"));
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
    // Until every file is copied, what "Factory" holds is no whole language set.
    m_factoryIncomplete = true;
    if (m_folder.empty() || !IsFolder(ParentFolder(m_folder)))
    {
        GraphicsLog(kLogCategory, "No common data folder: the language files are not copied");
        return;
    }
    // Emptying "Factory" for a shipped folder that cannot be read would leave it empty for good:
    // the copy it holds is read instead, and the next start tries again.
    if (!m_sourceFolder.empty() && PathExists(m_sourceFolder) && !CanList(m_sourceFolder))
    {
        m_factoryIncomplete = false;
        return;
    }
    if (!CreateDirectory(m_folder))
    {
        GraphicsLog(kLogCategory, "Could not create \"" + m_folder + "\": the language files are not copied");
        return;
    }

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

    // What Load reads of the folder, and no more: the shipped folder may be anywhere (the
    // resources' folder is the user's to choose), and the copy costs a start at most what reading
    // it does, the first kMostFiles files by name of at most kMostBytes in all, each within the
    // reader's bound. The rest are not copied, and one log line says how many.
    const CFolderFiles listed = m_sourceFolder.empty() ? CFolderFiles() : ListFolderFiles(m_sourceFolder);
    size_t left = listed.left;
    uint64_t bytes = 0;
    bool allCopied = true;
    for (size_t i = 0; i < listed.files.size(); ++i)
    {
        const std::string& source = listed.files[i];
        if (listed.sizes[i] > kMaxFileBytes || bytes + listed.sizes[i] > kMostBytes)
        {
            ++left;
            continue;
        }
        bytes += listed.sizes[i];
        if (!CopyRegularFile(source, JoinPath(factory, FileNameOf(source))))
        {
            GraphicsLog(kLogCategory, "Failed to copy file: " + source);
            allCopied = false;
        }
    }
    LogLeft(m_sourceFolder, left, listed, ", " + std::to_string(kMaxFileBytes / 1024) + " KB a file");
    // Written only after a complete copy, so a failed one is tried again at the next start; what
    // the bounds left out is no failure.
    if (allCopied)
        m_versionFile.Write(m_programVersion);
    m_factoryIncomplete = !allCopied;
}

void CLanguageManagerDesktop::Load()
{
    GraphicsLog(kLogCategory, "Loading from \"" + m_folder + "\"");
    ClearLanguages();
    LoadFactoryFolder();
    // A user who never made the folder has nothing to say; one that cannot be read is said.
    const std::string user = m_folder.empty() ? std::string() : JoinPath(m_folder, kUserFolder);
    if (!user.empty() && PathExists(user) && CanList(user))
        LoadFolder(user);
    SortLanguages();
    SetLanguage(kDefaultLanguage);
    GraphicsLog(kLogCategory, std::to_string(GetLanguageCount()) + " languages loaded");
    CheckPhrases();
}

void CLanguageManagerDesktop::LoadFactoryFolder()
{
    if (!m_folder.empty() && !m_factoryIncomplete)
    {
        const std::string factory = JoinPath(m_folder, kFactoryFolder);
        if (CanList(factory))
        {
            LoadFolder(factory, m_sourceFolder);
            return;
        }
    }
    if (m_sourceFolder.empty() || !PathExists(m_sourceFolder) || !CanList(m_sourceFolder))
        return;
    GraphicsLog(kLogCategory, "The shipped languages are read from \"" + m_sourceFolder + "\"");
    LoadFolder(m_sourceFolder);
}

bool CLanguageManagerDesktop::CanList(const std::string& folder)
{
    boost::system::error_code error;
    const boost::filesystem::directory_iterator entries(folder, error);
    if (!error)
        return true;
    if (m_saidUnlisted.insert(folder).second)
        GraphicsLog(kLogCategory, "Could not read \"" + folder + "\": " + error.message());
    return false;
}

void CLanguageManagerDesktop::LoadFolder(const std::string& folder, const std::string& shipped)
{
    const CFolderFiles listed = ListFolderFiles(folder);
    size_t left = listed.left;
    uint64_t bytes = 0;
    for (size_t i = 0; i < listed.files.size(); ++i)
    {
        // A file past the reader's bound is refused unread: it costs no more than one at it.
        uint64_t size = std::min<uint64_t>(listed.sizes[i], kMaxFileBytes);
        if (bytes + size > kMostBytes)
        {
            ++left;
            continue;
        }
        // Its text is held to what the folder has left: an encoding that makes several characters
        // of a byte cannot take the folder past its bound.
        const size_t within = size_t(std::min<uint64_t>(kMaxFileBytes, kMostBytes - bytes));
        CXmlRead got = LoadFileWithin(listed.files[i], within);
        // A copy that cannot be read (its mode changed, say) would take its language with it: the
        // file it was copied from is read in its place, within what the copy had left, as a
        // Factory that cannot be read leaves all of them to the shipped folder.
        const std::string original = shipped.empty() ? std::string() : JoinPath(shipped, FileNameOf(listed.files[i]));
        if (got.status == XmlReadStatus::kUnreadable && !original.empty() && IsRegularFile(original))
        {
            GraphicsLog(kLogCategory, "Read in its place: \"" + original + "\"");
            boost::system::error_code error;
            size = std::max<uint64_t>(size, std::min<uint64_t>(boost::filesystem::file_size(original, error), within));
            got = LoadFileWithin(original, within);
        }
        bytes = std::min(kMostBytes, bytes + std::max<uint64_t>(size, got.text));
    }
    LogLeft(folder, left, listed, "");
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
