#pragma once

#include "foundation/ascii.h"

#include <cstdint>
#include <map>
#include <string>

// The first byte upper-cased, every later one lower-cased: "OPEN FILE" gives "Open file".
std::string FirstCapitalForm(const std::string& text);
// The first byte and every byte after a space (other than a leading space) upper-cased, the rest
// lower-cased: "open FILE" gives "Open File". Only the space separates words.
std::string EachWordForm(const std::string& text);

// One language: its name (the "label" of its files, also the name the options store), the file
// that first defined it (which names its picture), and its phrase table from English phrases, as
// written in the files, to translations.
//
// Lookups forgive differences of letter case: a text is tried as it stands, in its first-capital
// form, in its each-word form, and at last against every phrase ignoring ASCII case. That last
// lookup goes through an index of the phrases upper-cased, so each lookup costs a few searches of
// the table, however many phrases a user's file gives the language.
class CLanguage
{
public:
    // Ordered byte by byte, so a phrase that is a prefix of another comes first.
    using PhraseTable = std::map<std::string, std::string>;

    CLanguage(const std::string& name, const std::string& fileName);

    const std::string& GetName() const { return m_name; }
    const std::string& GetFileName() const { return m_fileName; }

    // The first definition wins: a phrase already known, or whose first-capital form is already
    // known, is not stored (so "OK" after "Ok" is dropped, while "ok" after "OK" is kept).
    void AddPhrase(const std::string& phrase, const std::string& translation);
    // The translation, or the text itself when none is found.
    std::string Translate(const std::string& text) const;
    // With formsOnly the scan that ignores letter case is left out.
    bool HasPhrase(const std::string& text, bool formsOnly) const;

    uint32_t GetPhraseCount() const { return uint32_t(m_phrases.size()); }
    // The phrase (not its translation) at that place of the table; empty past the end.
    std::string GetPhrase(uint32_t index) const;
    const PhraseTable& GetPhraseTable() const { return m_phrases; }
    // Each phrase upper-cased (ASCII letters only), once, to the byte-wise first phrase of that
    // form: the phrases this language finds by some lookup.
    using UpperCaseIndex = std::map<std::string, PhraseTable::const_iterator>;
    const UpperCaseIndex& GetUpperCaseIndex() const { return m_upperCase; }

private:
    // The entry the lookups find for the text, or null.
    const std::string* Find(const std::string& text, bool formsOnly) const;

    std::string m_name;
    std::string m_fileName;
    PhraseTable m_phrases;
    UpperCaseIndex m_upperCase;
};
