#include "graphics/language_manager.h"

#include "foundation/notify_codes.h"
#include "foundation/xml_element.h"
#include "foundation/xml_file.h"
#include "graphics/graphics_log.h"
#include "graphics/language.h"
#include "shell/app.h"

#include <tinyxml.h>

#include <algorithm>

namespace
{
constexpr const char* kLogCategory = "LanguageManager";

// The file's name without its folder and without the part from its last dot.
std::string FileNameWithoutExtension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}
}  // namespace

CLanguageManager::CLanguageManager() = default;

CLanguageManager::~CLanguageManager()
{
    m_current = nullptr;
    ClearLanguages();
}

CLanguageManager* CLanguageManager::FromApplication()
{
    return dynamic_cast<CLanguageManager*>(CApp::GetLanguageManager());
}

bool CLanguageManager::LoadFile(const std::string& path)
{
    return LoadFileWithin(path, kMaxFileBytes).IsRead();
}

CXmlRead CLanguageManager::LoadFileWithin(const std::string& path, size_t maxBytes)
{
    TiXmlDocument document;
    const CXmlRead read = ReadXmlFile(path, maxBytes, document);
    if (!read.notice.empty())
        GraphicsLog(kLogCategory, DescribeXmlNotice(path, read));
    if (read.status == XmlReadStatus::kMalformed)
    {
        std::string where;
        if (read.line > 0)
            where = " at line " + std::to_string(read.line) + ", column " + std::to_string(read.column);
        GraphicsLog(kLogCategory, "Error loading file \"" + path + "\", error = \"" + read.error + "\"" + where);
        return read;
    }
    if (!read.IsRead())
    {
        GraphicsLog(kLogCategory, DescribeXmlRead(path, read));
        return read;
    }
    const TiXmlElement* root = document.FirstChildElement("show");
    if (!root)
        return read;
    const std::string fileName = FileNameWithoutExtension(path);
    // The format names its languages and phrases by attribute, not by element name: a language is
    // an element with a "label", a phrase one with a "ref" and a text.
    for (const TiXmlElement* group : XmlChildren(root, "languages"))
    {
        for (const TiXmlElement* element : XmlChildren(group, nullptr))
        {
            // A language without a name cannot be chosen: it is left out.
            const char* label = element->Attribute("label");
            if (!label)
                continue;
            CLanguage*& language = m_byName[ToUpperAscii(label)];
            if (!language)
            {
                m_languages.push_back(std::make_unique<CLanguage>(label, fileName));
                language = m_languages.back().get();
            }
            for (const TiXmlElement* phrase : XmlChildren(element, nullptr))
            {
                // Without its English phrase or its translation an entry says nothing; the
                // English then shows.
                const char* ref = phrase->Attribute("ref");
                const std::string text = XmlText(phrase);
                if (ref && !text.empty())
                    language->AddPhrase(ref, text);
            }
        }
    }
    return read;
}

CLanguage* CLanguageManager::FindLanguage(const std::string& name) const
{
    const auto found = m_byName.find(ToUpperAscii(name));
    return found == m_byName.end() ? nullptr : found->second;
}

CLanguage* CLanguageManager::GetLanguage(uint32_t index) const
{
    return index < m_languages.size() ? m_languages[index].get() : nullptr;
}

int32_t CLanguageManager::GetLanguageIndex(const CLanguage* language) const
{
    for (size_t i = 0; i < m_languages.size(); ++i)
    {
        if (m_languages[i].get() == language)
            return int32_t(i);
    }
    return -1;
}

bool CLanguageManager::IsCurrentLanguage(const CLanguage* language) const
{
    return m_current && m_current == language;
}

std::string CLanguageManager::GetLanguageName() const
{
    return m_current ? m_current->GetName() : std::string();
}

void CLanguageManager::SetLanguage(const std::string& name)
{
    CLanguage* language = FindLanguage(name);
    if (language != m_current)
    {
        m_current = language;
        Notify(NOTIFY_UNKNOWN);
    }
    // The options call back with the same name once, which then changes nothing.
    if (m_options)
        m_options->SetLanguage(name);
}

void CLanguageManager::SetOptions(COptions* options)
{
    m_options = options;
}

std::string CLanguageManager::Translate(const std::string& text, bool upperCase) const
{
    if (text.empty())
        return text;
    const std::string shown = m_current ? m_current->Translate(text) : text;
    return upperCase ? ToUpperAscii(shown) : shown;
}

void CLanguageManager::ClearLanguages()
{
    m_current = nullptr;
    m_byName.clear();
    while (!m_languages.empty())
        m_languages.pop_back();
}

void CLanguageManager::SortLanguages()
{
    // Each name upper-cased once, not at every comparison: a user's file may bring thousands.
    std::vector<std::pair<std::string, std::unique_ptr<CLanguage>>> keyed;
    keyed.reserve(m_languages.size());
    for (auto& language : m_languages)
        keyed.emplace_back(ToUpperAscii(language->GetName()), std::move(language));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i)
        m_languages[i] = std::move(keyed[i].second);
}
