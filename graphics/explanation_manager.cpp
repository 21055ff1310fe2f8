#include "graphics/explanation_manager.h"

#include "foundation/file_helpers.h"
#include "foundation/whole_number.h"
#include "foundation/xml_element.h"
#include "foundation/xml_file.h"
#include "graphics/graphics_log.h"
#include "shell/app.h"
#include "shell/platform.h"

#include <tinyxml.h>

#include <cstdint>
#include <optional>

namespace
{
// The shipped hints are a few hundred bytes. The text the file decodes to is held to the same
// bound, whatever encoding it declares.
constexpr size_t kMaxBytes = 256 * 1024;
}  // namespace

CExplanationManager::CExplanationManager() = default;

CExplanationManager::~CExplanationManager()
{
    m_current = nullptr;
}

void CExplanationManager::Init(COptions* options)
{
    m_options = options;
    Load();
}

void CExplanationManager::Load()
{
    Load(CApp::GetResourcesSharedPath());
}

void CExplanationManager::Load(const std::string& resourcesFolder)
{
    // Without a resources folder the name would be taken relative to wherever the program runs.
    if (resourcesFolder.empty())
        return;
    const std::string path = JoinPath(resourcesFolder, kFile);
    TiXmlDocument document;
    const CXmlRead read = ReadXmlFile(path, kMaxBytes, document);
    if (!read.notice.empty())
        GraphicsLog("ExplanationManager", DescribeXmlNotice(path, read));
    if (read.status == XmlReadStatus::kRefused || read.status == XmlReadStatus::kUnreadable ||
        read.status == XmlReadStatus::kUndecodable)
        GraphicsLog("ExplanationManager", DescribeXmlRead(path, read));
    if (!read.IsRead())
        return;

    m_current = nullptr;
    m_entries.clear();
    const TiXmlElement* root = document.FirstChildElement("zevral");
    // A hint is an element with an "id" and a text, whatever its name.
    for (const TiXmlElement* group : XmlChildren(root, "explanations"))
    {
        for (const TiXmlElement* element : XmlChildren(group, nullptr))
        {
            const char* id = element->Attribute("id");
            // A hint without text would show an empty dialog: it is left out.
            const std::string text = XmlText(element);
            if (!id || text.empty())
                continue;
            // A number that does not read is hint 0, which is never shown.
            const std::optional<int64_t> number = ReadWholeInteger(id, INT32_MIN, INT32_MAX);
            if (!number)
                GraphicsLog("ExplanationManager",
                            "Not read, hint never shown: " + DescribeXmlValue(*element, "id", id));
            m_entries.push_back(std::make_unique<CExplanation>(uint32_t(number.value_or(0)), text, true));
        }
    }
}

void CExplanationManager::GetExplanation(int32_t id, std::string& text)
{
    if (id < 1)
        return;
    FindExplanation(uint32_t(id), text);
}

void CExplanationManager::FindExplanation(uint32_t id, std::string& text)
{
    for (const auto& entry : m_entries)
    {
        if (entry->GetId() == id && entry->IsEnabled())
        {
            text = entry->GetText();
            m_current = entry.get();
            return;
        }
    }
    text.clear();
}

void CExplanationManager::SetCurrentEnabled(bool enabled)
{
    if (!m_current)
        return;
    m_current->SetEnabled(enabled);
    if (m_options)
        m_options->AddIgnoredExplanation(int32_t(m_current->GetId()));
}

void CExplanationManager::DisableExplanation(int32_t id)
{
    for (const auto& entry : m_entries)
    {
        if (entry->GetId() == uint32_t(id))
            entry->SetEnabled(false);
    }
}

const CExplanation* CExplanationManager::GetExplanationAt(uint32_t index) const
{
    return index < m_entries.size() ? m_entries[index].get() : nullptr;
}
