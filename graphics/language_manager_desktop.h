#pragma once

#include "foundation/version.h"
#include "graphics/language_manager.h"
#include "graphics/version_file.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

// The desktop language manager: the shipped language files (the resources' "languages" folder)
// are copied into "Languages/Factory" of the user's common data folder at the first start of each
// newer program version, and at every start "Factory" and then "Languages/User" (the user's own
// files, never written) are read. Since the first definition of a phrase wins, a user file adds
// languages and phrases but does not replace a factory translation. When "Factory" could not be
// filled, or cannot be read, the shipped folder is read in its place, and so is a file of it that
// cannot be read, so that the user's language is kept however the common data folder fails.
class CLanguageManagerDesktop : public CLanguageManager
{
public:
    static constexpr const char* kFolder = "Languages";
    static constexpr const char* kFactoryFolder = "Factory";
    static constexpr const char* kUserFolder = "User";
    static constexpr const char* kDefaultLanguage = "english";
    // What each of the two folders may cost a start, however many files it holds: its files are
    // read in the order of their names, at most this many, while what they may hold (each up to
    // the reader's bound) and the text they decode to stay within these bytes in all, four full
    // files or some seventy real languages. The rest are not read, and one log line says how
    // many.
    static constexpr size_t kMostFiles = 64;
    static constexpr uint64_t kMostBytes = 4 * kMaxFileBytes;

    // The application's folders and version.
    CLanguageManagerDesktop();
    // Copies when the version file is older than the program, then loads.
    CLanguageManagerDesktop(const std::string& resourcesFolder, const std::string& commonDataFolder,
                            const CVersion& programVersion);

    // Reads "Factory", then "User", sorts the languages by name, selects "english" and logs the
    // phrases that some languages lack.
    void Load() override;
    // Empties "Factory" and fills it with the shipped files, as many as a start reads (the first by
    // name within the bounds above, each within the reader's); the version file is written only
    // when each of those was copied, so a failed copy is tried again at the next start, and this
    // start reads the shipped folder instead. Without a usable common data folder nothing is
    // touched; with a shipped folder that cannot be read, "Factory" keeps what it holds.
    void CopyFactoryFiles();
    // Copies when the version file asks for it.
    void UpdateUserFiles();
    // Logs, for each phrase that some language lacks, the languages that cannot find it by any
    // lookup: the first few pairs one a line, the rest summed up in one line. Costs a few searches
    // for each phrase of each language.
    void CheckPhrases();

    // The common data "Languages" folder; empty without a common data folder.
    const std::string& GetFolder() const { return m_folder; }
    const std::string& GetSourceFolder() const { return m_sourceFolder; }

private:
    // Reads the files of one folder ("Factory", "User" or the shipped one) within the bounds above;
    // with a shipped folder, a file that cannot be read is read from there under its name instead.
    void LoadFolder(const std::string& folder, const std::string& shipped = std::string());
    // "Factory", or the shipped folder when that could not be filled or cannot be read.
    void LoadFactoryFolder();
    // Whether the folder can be listed; one that cannot, or is missing, is said in the log, once
    // however often it is asked for.
    bool CanList(const std::string& folder);

    std::string m_folder;
    std::string m_sourceFolder;
    CVersionFile m_versionFile;
    CVersion m_programVersion;
    // The shipped files were not all copied into "Factory" at this start.
    bool m_factoryIncomplete = false;
    std::set<std::string> m_saidUnlisted;
};
