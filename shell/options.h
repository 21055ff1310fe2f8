#pragma once

#include "foundation/ip_address.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the options hand the chosen controller and its lock to when they read their file: the
// device link, reached through the model root.
class COptionsLink
{
public:
    virtual void SetConnectedAddress(const CIpAddress& address) = 0;
    virtual void SetLocked(bool locked) = 0;

protected:
    ~COptionsLink() = default;
};

// The language manager as the options see it. Choosing a language there comes back to
// COptions::SetLanguage with the same name, which ends the exchange.
class COptionsLanguage
{
public:
    virtual void SetLanguage(const std::string& name) = 0;

protected:
    ~COptionsLanguage() = default;
};

// The list of first-use hints as the options see it: the hints the user asked not to see again.
// The model root owns the list through this face.
class COptionsHints
{
public:
    virtual ~COptionsHints() = default;
    // An identifier that no hint has changes nothing.
    virtual void DisableExplanation(int32_t id) = 0;
};

// The user settings that outlive a run, kept in "options.xml" of the application data folder:
// the chosen controller, the lock that keeps that choice fixed for demonstrations, the language,
// and the hints not to show again. Changes are written at the next point of a fixed 5-second
// rhythm and once more at destruction.
//
// The file is replaced whole (written beside it, flushed to disk, then renamed over it), so a
// crash or a full disk never leaves a damaged file where the good one was; a write that fails
// keeps the change pending for the next 5-second point. Without an application data folder the
// options are neither read nor written. Main thread only.
class COptions
{
public:
    static constexpr const char* kFileName = "options.xml";
    static constexpr float kSavePeriod = 5.0f;

    // The file in the application data folder.
    COptions();
    // The file in the given folder; an empty folder means none.
    explicit COptions(const std::string& folder);
    // Saves when something changed since the last save.
    ~COptions();
    COptions(const COptions&) = delete;
    COptions& operator=(const COptions&) = delete;

    // Keeps the three (any may be null) and reads the file, handing what it holds to them.
    void SetCore(COptionsLink* link, COptionsLanguage* language, COptionsHints* hints);
    // A missing file leaves everything as it was; a damaged or unreadable one too, and is kept
    // beside under a name that says so. Something other than a regular file in its place (a
    // pipe, a folder), or a file that cannot be set aside, is left alone and never written over
    // in this run. True when read.
    bool Load();
    // True when the file was replaced; only then is the change no longer pending. Never replaces
    // a file that Load left alone, nor one the user has made read-only (no write permission bit,
    // or none for this process): the settings then hold for the run, and the log says so once.
    bool Save();
    // Once per frame.
    void Update(float seconds);

    CIpAddress GetDevice() const { return m_device; }
    // A different address (or port) is stored and handed to the device link.
    void SetDevice(const CIpAddress& address);
    void ClearDevice();
    bool GetLock() const { return m_lock; }
    void SetLock(bool locked);
    const std::string& GetLanguage() const { return m_language; }
    // A name of more than a kilobyte is no language's: it is not kept.
    void SetLanguage(const std::string& name);
    // Listed as often as it is added; past 10,000 the oldest goes, so that the file stays within
    // what its reader takes, and the next save point says in one line how many went.
    void AddIgnoredExplanation(int32_t id);
    const std::vector<int32_t>& GetIgnoredExplanations() const { return m_ignoredExplanations; }

    bool IsModified() const { return m_modified; }
    // Empty when there is no application data folder.
    const std::string& GetPath() const { return m_path; }

private:
    // A file that cannot be read is set aside as "options.damaged-<date>.xml", and the log says so.
    void KeepDamagedFile(const std::string& why);
    // Drops the oldest ignored hints beyond the number kept; returns how many.
    size_t ForgetOldestIgnored();
    void ReportForgottenIgnored(size_t count);

    bool m_modified = true;
    COptionsLink* m_link = nullptr;
    COptionsLanguage* m_languageManager = nullptr;
    std::string m_path;
    CIpAddress m_device;
    bool m_lock = false;
    std::string m_language;
    float m_saveTimer = 0.0f;
    std::vector<int32_t> m_ignoredExplanations;
    COptionsHints* m_hints = nullptr;
    // The file at the path is the user's to look into: this run does not write it.
    bool m_fileKept = false;
    // Why the last save failed (none after one that worked), so a lasting failure is logged once.
    std::optional<int> m_saveError;
    // Ignored hints dropped since the last save point, said then in one line.
    size_t m_forgottenIgnored = 0;
};
