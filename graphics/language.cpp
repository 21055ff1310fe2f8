#include "graphics/language.h"

#include <iterator>

std::string FirstCapitalForm(const std::string& text)
{
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = i == 0 ? UpperAscii(out[i]) : LowerAscii(out[i]);
    return out;
}

std::string EachWordForm(const std::string& text)
{
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i)
    {
        // A leading space starts no word.
        const bool wordStart = i == 0 || (i >= 2 && text[i - 1] == ' ');
        out[i] = wordStart ? UpperAscii(out[i]) : LowerAscii(out[i]);
    }
    return out;
}

CLanguage::CLanguage(const std::string& name, const std::string& fileName) : m_name(name), m_fileName(fileName)
{
}

void CLanguage::AddPhrase(const std::string& phrase, const std::string& translation)
{
    if (m_phrases.count(phrase) != 0 || m_phrases.count(FirstCapitalForm(phrase)) != 0)
        return;
    const auto added = m_phrases.emplace(phrase, translation).first;
    // The scan that ignores letter case takes the first phrase in table order.
    const auto [entry, isNew] = m_upperCase.emplace(ToUpperAscii(phrase), added);
    if (!isNew && phrase < entry->second->first)
        entry->second = added;
}

const std::string* CLanguage::Find(const std::string& text, bool formsOnly) const
{
    for (const std::string& form : {text, FirstCapitalForm(text), EachWordForm(text)})
    {
        const auto found = m_phrases.find(form);
        if (found != m_phrases.end())
            return &found->second;
    }
    if (formsOnly)
        return nullptr;
    const auto found = m_upperCase.find(ToUpperAscii(text));
    return found == m_upperCase.end() ? nullptr : &found->second->second;
}

std::string CLanguage::Translate(const std::string& text) const
{
    const std::string* translation = Find(text, false);
    return translation ? *translation : text;
}

bool CLanguage::HasPhrase(const std::string& text, bool formsOnly) const
{
    return Find(text, formsOnly) != nullptr;
}

std::string CLanguage::GetPhrase(uint32_t index) const
{
    if (index >= m_phrases.size())
        return std::string();
    return std::next(m_phrases.begin(), index)->first;
}
