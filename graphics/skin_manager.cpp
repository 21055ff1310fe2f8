#include "graphics/skin_manager.h"

#include "graphics/graphics_log.h"
#include "graphics/picture_budget.h"
#include "shell/app.h"

namespace
{
const char* kCategory = "SkinManager";

// The skin suffixes of the screen classes 0 to 8; a class past the table takes the last row.
struct CSkinSuffixes
{
    const char* suffix;
    const char* shortSuffix;
};

constexpr CSkinSuffixes kSkinSuffixes[] = {
    {"3", "3"}, {"4", "4"}, {"5", "4"}, {"6", "4"}, {"p", "4"}, {"", ""}, {"r", "r"}, {"", ""}, {"0", "0"},
};
constexpr uint32_t kSkinSuffixCount = sizeof(kSkinSuffixes) / sizeof(kSkinSuffixes[0]);

const CSkinSuffixes& SkinSuffixes()
{
    const uint32_t screenClass = CApp::GetScreenClass();
    return kSkinSuffixes[screenClass < kSkinSuffixCount ? screenClass : kSkinSuffixCount - 1];
}
}  // namespace

CSkinManager& CSkinManager::Instance()
{
    static CSkinManager instance;
    return instance;
}

std::string CSkinManager::GetSkinFileName(const std::string& imageName)
{
    return imageName + SkinSuffixes().suffix;
}

std::string CSkinManager::GetSkinFileNameShort(const std::string& imageName)
{
    return imageName + SkinSuffixes().shortSuffix;
}

std::string CSkinManager::GetSkinImagePath(const std::string& imageName)
{
    return CApp::GetResourcesSpecificPath() + "/skin/" + GetSkinFileName(imageName) + ".png";
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
    const auto budget = std::make_shared<CPictureBudget>();
    auto fallback = std::make_shared<CGlyphPage>(folder, budget);
    fallback->LoadFolder();
    m_pages.push_back(fallback);

    LoadGlyphPages(folder, m_pages, budget);
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

void CSkinManager::DecodeAhead(const std::string& name) const
{
    const CGlyphPage* page = FindPage(m_skinName);
    CImageSet* set = page ? page->FindImageSet(name) : nullptr;
    if (!set && !m_pages.empty())
        set = m_pages.front()->FindImageSet(name);
    if (set)
        set->DecodeAhead();
}

CZevralImage CSkinManager::GetImage(const std::string& name, uint32_t size) const
{
    CZevralImage image;
    FindImage(image, name, size);
    return image;
}
