#include "graphics/skin_manager.h"

#include "foundation/file_helpers.h"
#include "graphics/graphics_log.h"
#include "shell/app.h"

namespace
{
const char* kCategory = "SkinManager";

}  // namespace

CSkinManager& CSkinManager::Instance()
{
    static CSkinManager instance;
    return instance;
}

void CSkinManager::Load()
{
    const std::string resources = CApp::GetResourcesSpecificPath();
    LoadFolder(resources.empty() ? std::string() : resources + "/skin");
}

void CSkinManager::LoadFolder(const std::string& folder)
{
    m_pages.clear();
    GraphicsLog(kCategory, "Loading from \"" + folder + "\"");
    auto fallback = std::make_shared<CGlyphPage>(folder);
    fallback->LoadFolder();
    m_pages.push_back(fallback);

    std::vector<std::string> entries;
    ListDirectory(folder, "*.*", entries, false);
    for (const std::string& entry : entries)
    {
        if (!IsFolder(entry))
            continue;
        const std::string name = CGlyphPage(entry).GetName();
        std::shared_ptr<CGlyphPage> page;
        for (const auto& existing : m_pages)
            if (!page && CGlyphPage::SameName(existing->GetName(), name))
                page = existing;
        if (!page)
            page = std::make_shared<CGlyphPage>(entry);
        page->LoadFolder();
        m_pages.push_back(page);
    }

    LogGlyphPages(kCategory, m_pages);
}

CGlyphPage* CSkinManager::FindPage(const std::string& name) const
{
    return FindGlyphPage(m_pages, name);
}

CGlyphPage* CSkinManager::GetPage(uint32_t index) const
{
    return index < m_pages.size() ? m_pages[index].get() : nullptr;
}

bool CSkinManager::FindImage(CZevralImage& image, const std::string& name, uint32_t size) const
{
    const CGlyphPage* page = FindPage(m_skinName);
    if (page && page->GetImage(image, name, size))
        return true;
    return !m_pages.empty() && m_pages.front()->GetImage(image, name, size);
}

bool CSkinManager::GetImagePointer(const CZevralImage*& image, const std::string& name, uint32_t size) const
{
    const CGlyphPage* page = FindPage(m_skinName);
    if (page && page->GetImagePointer(image, name, size))
        return true;
    return !m_pages.empty() && m_pages.front()->GetImagePointer(image, name, size);
}

CZevralImage CSkinManager::GetImage(const std::string& name, uint32_t size) const
{
    CZevralImage image;
    FindImage(image, name, size);
    return image;
}
