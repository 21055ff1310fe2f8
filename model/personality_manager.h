#pragma once

#include "foundation/subject.h"
#include "foundation/xml_file.h"
#include "model/personality_label_index.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

class CManufacturer;
class CPersonalityRef;

// The personality library: the manufacturers, models and modes that fixtures are patched from.
// It is filled once at start-up from the user's own file ("user.personality" in the application
// data folder, its manufacturers shown as "[label]" and listed first) and the library shipped in
// the resources ("personalities/personalities.xml"). A missing file leaves its part empty; one that
// cannot be read, and elements that make no entry, are logged. It has no counterpart in the
// controller and sends nothing.
// The files named at start-up are read on the library's first use, or ahead by LoadAhead once the
// window shows. Reading them is the longest step of start-up (a user's library near the reader's
// bound takes some 300 ms), so LoadAhead reads them on a worker thread of the library's own, which
// touches nothing but the files and the manufacturers it makes (attached to no observer) and hands
// them over whole through one future; the main thread takes them over in a later call. A use of
// the library before then waits for the worker, as a first use waited for the reading before.
// The worker is confined to reading the library's files, and the library joins it as it goes.
class CPersonalityManager : public CSubject
{
public:
    static constexpr const char* kUserFile = "user.personality";
    static constexpr const char* kLibraryFile = "personalities/personalities.xml";
    // Reads one of the library's files, as ReadXmlFile does; on the worker for the files named at
    // start-up.
    using CFileReader = std::function<CXmlRead(const std::string& path, size_t maxBytes, TiXmlDocument& document)>;

    CPersonalityManager();
    explicit CPersonalityManager(CFileReader reader);
    // Waits for the worker, which stops at the next manufacturer it would make.
    ~CPersonalityManager() override;
    CPersonalityManager(const CPersonalityManager&) = delete;
    CPersonalityManager& operator=(const CPersonalityManager&) = delete;

    // The user's file from the application data folder, then the library from the resources.
    void Load();
    // The same from the given folders; an empty folder is skipped.
    void Load(const std::string& applicationDataFolder, const std::string& resourcesFolder);
    // The first call starts reading the files Load named on the worker; a later one takes over what
    // it read once it is done, never waiting for it. True in the call that took it over, so that
    // the heap the reading borrowed can go back to the system.
    bool LoadAhead();
    // Appends the manufacturers of one file (after those named before); the user's get brackets
    // around their labels.
    void LoadFile(const std::string& path, bool user);

    uint32_t GetManufacturerCount() const { return static_cast<uint32_t>(Manufacturers().size()); }
    CManufacturer* GetManufacturer(uint32_t index) const;
    int32_t GetManufacturerIndex(const CManufacturer* manufacturer) const;
    // The first manufacturer whose label matches ignoring ASCII case, or null; looked up, not
    // searched, so that a show's fixtures cost what they cost however large the library.
    CManufacturer* FindManufacturer(const std::string& label) const;
    // For the jump-to-letter buttons (letter: 'a'..'z'): the first manufacturer with that
    // initial; else the last one below it; the first when all lie above. An entry with an empty
    // label stops the walk. Null for an empty library.
    CManufacturer* FindByInitial(int32_t letter) const;
    // The reference's profile as the library has it; empty when manufacturer or model is unknown.
    std::string GetProfile(const CPersonalityRef& personality) const;

    // Models and modes of every manufacturer, for the log and the benchmark.
    uint32_t CountModels() const;
    uint32_t CountModes() const;

private:
    using CManufacturers = std::vector<std::unique_ptr<CManufacturer>>;
    struct CPendingFile
    {
        std::string path;
        bool user = false;
    };
    // What the files make, with its look-up.
    struct CRead
    {
        CManufacturers manufacturers;
        CPersonalityLabelIndex<CManufacturer> index;
    };

    // Every manufacturer, the files still to read read (or waited for) first.
    const CManufacturers& Manufacturers() const;
    void Finish();
    void TakeOver(CRead read);
    // Appends what the files make, as far as it goes before stopping is asked.
    static void ReadFiles(const CFileReader& reader, const std::vector<CPendingFile>& files,
                          CPersonalityManager* owner, const std::atomic<bool>& stopping, CRead& read);

    CFileReader m_reader;
    std::vector<CPendingFile> m_pendingFiles;
    std::atomic<bool> m_stopping{false};
    std::future<CRead> m_reading;
    CManufacturers m_manufacturers;
    CPersonalityLabelIndex<CManufacturer> m_index;
};
