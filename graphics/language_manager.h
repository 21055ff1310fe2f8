#pragma once

#include "foundation/subject.h"
#include "shell/options.h"
#include "shell/translator.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CLanguage;
struct CXmlRead;

// Every language read from the language files, the current one, and the lookup that turns an
// English phrase into the current language's text. Observers hear NOTIFY_UNKNOWN when the
// current language changes; once the options are known, every choice of language is passed on to
// them, so the options file keeps it. The desktop manager (language_manager_desktop.h) finds and
// loads the files. Main thread only.
class CLanguageManager : public CSubject, public CTranslator, public COptionsLanguage
{
public:
    CLanguageManager();
    // Deletes the languages, the last first.
    ~CLanguageManager() override;
    CLanguageManager(const CLanguageManager&) = delete;
    CLanguageManager& operator=(const CLanguageManager&) = delete;

    // The program's manager, as the application holds it; null before start-up made it.
    static CLanguageManager* FromApplication();

    // A shipped language file is a few dozen kilobytes. What one file within this bound may keep
    // and cost: some 16,000 languages without phrases, or some 15,000 phrases (a language and a
    // phrase take at least 14 and 17 bytes of it), each kept once with its name or phrase
    // upper-cased beside it. Reading it costs a look-up of the language by name for each language
    // element and a few searches of its table for each phrase; the check of missing phrases after
    // loading costs a few searches for each phrase, and the log a bounded number of lines however
    // many languages lack however many phrases (language_manager_desktop.cpp). The text a file
    // decodes to is held to the same bound, whatever encoding it declares.
    static constexpr size_t kMaxFileBytes = 256 * 1024;

    // Fills the list and selects "english".
    virtual void Load() = 0;
    // Adds the languages and phrases of one file to the list: a language already known (by name,
    // ignoring ASCII case) keeps its name and file name and gains the phrases it lacks. A file
    // that does not parse is logged and adds nothing; false then.
    bool LoadFile(const std::string& path);

    // The language whose name equals the name ignoring ASCII case (no two languages have such
    // names); null when none does. One look-up, however many languages there are.
    CLanguage* FindLanguage(const std::string& name) const;
    // Null at or past the end.
    CLanguage* GetLanguage(uint32_t index) const;
    uint32_t GetLanguageCount() const { return uint32_t(m_languages.size()); }
    // -1 when the language is not in the list.
    int32_t GetLanguageIndex(const CLanguage* language) const;
    bool IsCurrentLanguage(const CLanguage* language) const;
    // Empty when no language is current.
    std::string GetLanguageName() const;

    // Makes the language of that name (ignoring ASCII case) current, or none when no language has
    // it, notifying only a change; then hands the name, as given, to the options.
    void SetLanguage(const std::string& name) override;
    // From now on the choices of language go to these options (not owned; null: none).
    virtual void SetOptions(COptions* options);
    std::string Translate(const std::string& text, bool upperCase) const override;

protected:
    // As LoadFile, the file's bytes and its text each held to maxBytes; says how it was read.
    CXmlRead LoadFileWithin(const std::string& path, size_t maxBytes);
    // Empties the list; no language is current afterwards.
    void ClearLanguages();
    // By name, ignoring ASCII case; a name that is a prefix of another comes first.
    void SortLanguages();

private:
    std::vector<std::unique_ptr<CLanguage>> m_languages;
    // The languages by their names upper-cased.
    std::unordered_map<std::string, CLanguage*> m_byName;
    CLanguage* m_current = nullptr;
    COptions* m_options = nullptr;
};
