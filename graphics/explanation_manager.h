#pragma once

#include "shell/options.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One first-use hint: a short text, known by its number, shown before an action whose effect a
// newcomer may not expect, until the user asks not to see it again.
class CExplanation
{
public:
    CExplanation() = default;
    CExplanation(uint32_t id, const std::string& text, bool enabled) : m_id(id), m_text(text), m_enabled(enabled) {}

    uint32_t GetId() const { return m_id; }
    void SetId(uint32_t id) { m_id = id; }
    const std::string& GetText() const { return m_text; }
    void SetText(const std::string& text) { m_text = text; }
    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

private:
    uint32_t m_id = 0;
    std::string m_text;
    bool m_enabled = false;
};

// The first-use hints of "explanations/explanations.xml" in the shared resources, read once at
// start-up. A hint the user silences stays silent for the rest of the run, and its number goes to
// the options, which silence it again at every later start. The model root owns the list.
// Failures are silent: without the file there are no hints and every request yields no text.
// Main thread only.
class CExplanationManager : public COptionsHints
{
public:
    static constexpr const char* kFile = "explanations/explanations.xml";

    CExplanationManager();
    ~CExplanationManager() override;
    CExplanationManager(const CExplanationManager&) = delete;
    CExplanationManager& operator=(const CExplanationManager&) = delete;

    // Keeps the options (not owned) and loads the application's hint file.
    void Init(COptions* options);
    // The hint file of the application's shared resources.
    void Load();
    // The hint file under the given resources folder; a file that is missing or does not parse
    // leaves the list as it was.
    void Load(const std::string& resourcesFolder);

    // For a number from 1 up, as FindExplanation; below 1 the text is left as it is.
    void GetExplanation(int32_t id, std::string& text);
    // The first enabled hint of that number: its text, and it becomes the current hint. Without
    // one the text is emptied and the current hint stays as it was.
    void FindExplanation(uint32_t id, std::string& text);
    // Enables or disables the current hint and records its number in the options as a hint not
    // to show; nothing before a hint was handed out.
    void SetCurrentEnabled(bool enabled);
    // Disables every hint of that number (the options' stored numbers at start-up).
    void DisableExplanation(int32_t id) override;

    uint32_t GetExplanationCount() const { return uint32_t(m_entries.size()); }
    // Null past the end.
    const CExplanation* GetExplanationAt(uint32_t index) const;
    // The hint last handed out; null until then.
    const CExplanation* GetCurrent() const { return m_current; }

private:
    CExplanation* m_current = nullptr;
    COptions* m_options = nullptr;
    std::vector<std::unique_ptr<CExplanation>> m_entries;
};
