#pragma once

#include "foundation/subject.h"
#include "model/personality_label_index.h"

#include <cstdint>
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
// The files named at start-up are read on the library's first use, or by LoadNow once the window
// shows: reading them is the longest step of start-up, and nothing needs them before that.
class CPersonalityManager : public CSubject
{
public:
    static constexpr const char* kUserFile = "user.personality";
    static constexpr const char* kLibraryFile = "personalities/personalities.xml";

    CPersonalityManager();
    ~CPersonalityManager() override;
    CPersonalityManager(const CPersonalityManager&) = delete;
    CPersonalityManager& operator=(const CPersonalityManager&) = delete;

    // The user's file from the application data folder, then the library from the resources.
    void Load();
    // The same from the given folders; an empty folder is skipped.
    void Load(const std::string& applicationDataFolder, const std::string& resourcesFolder);
    // Reads the files Load named and has not read yet; false when there were none.
    bool LoadNow();
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
    // Every manufacturer, the files still to read read first.
    const std::vector<std::unique_ptr<CManufacturer>>& Manufacturers() const;
    void ReadFile(const std::string& path, bool user);

    struct CPendingFile
    {
        std::string path;
        bool user = false;
    };
    std::vector<CPendingFile> m_pendingFiles;
    std::vector<std::unique_ptr<CManufacturer>> m_manufacturers;
    CPersonalityLabelIndex<CManufacturer> m_index;
};
