#include "graphics/glyph_page.h"

#include "foundation/ascii.h"
#include "foundation/file_helpers.h"
#include "graphics/graphics_log.h"

#include <new>

namespace
{
constexpr const char* kCategory = "GlyphPage";

std::string LastComponent(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const size_t slash = trimmed.find_last_of('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}
}  // namespace

CGlyphPage::CGlyphPage(const std::string& folder, std::shared_ptr<CPictureBudget> budget)
    : m_folder(folder), m_budget(std::move(budget))
{
}

bool CGlyphPage::SameName(const std::string& a, const std::string& b)
{
    return EqualIgnoringAsciiCase(a, b);
}

std::string CGlyphPage::ImageNameOf(const std::string& path)
{
    std::string name = LastComponent(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    const size_t dash = name.rfind('-');
    if (dash != std::string::npos)
        name.erase(dash);
    return name;
}

std::string CGlyphPage::GetName() const
{
    return LastComponent(m_folder);
}

void CGlyphPage::LoadFolder()
{
    std::vector<std::string> files;
    const size_t left = ListFirstFiles(m_folder, "*.*", kMostFiles, files);
    if (left > 0)
        GraphicsLog(kCategory, DescribeLeft(m_folder, left, left + files.size(), "files",
                                            std::to_string(kMostFiles) + " files"));
    size_t variants = 0;
    for (const std::string& file : files)
        variants += !LoadImageFile(file);
    if (variants > 0)
        GraphicsLog(kCategory, DescribeLeft(m_folder, variants, files.size(), "files",
                                            std::to_string(CImageSet::kMostVariants) + " variants of their picture"));
}

bool CGlyphPage::LoadImageFile(const std::string& path)
{
    try
    {
        const std::string name = ImageNameOf(path);
        std::shared_ptr<CImageSet> set;
        if (const CImageSet* found = FindImageSet(name))
        {
            for (const auto& existing : m_imageSets)
                if (existing.get() == found)
                    set = existing;
        }
        else
        {
            set = std::make_shared<CImageSet>(m_budget);
            set->SetName(name);
        }
        if (!set->AddFile(path))
            return false;
        m_imageSets.push_back(set);
    }
    catch (const std::bad_alloc&)
    {
        GraphicsLog(kCategory, "Error loading " + LastComponent(path));
    }
    return true;
}

CImageSet* CGlyphPage::FindImageSet(const std::string& name) const
{
    std::string underscored = name;
    for (char& c : underscored)
        if (c == ' ')
            c = '_';
    for (const auto& set : m_imageSets)
        if (SameName(set->GetName(), name) || SameName(set->GetName(), underscored))
            return set.get();
    return nullptr;
}

bool CGlyphPage::GetImage(CZevralImage& image, const std::string& name, uint32_t size) const
{
    CImageSet* set = FindImageSet(name);
    if (!set)
        return false;
    set->GetImage(image, size);
    return true;
}

bool CGlyphPage::GetImagePointer(const CZevralImage*& image, const std::string& name, uint32_t size) const
{
    CImageSet* set = FindImageSet(name);
    if (!set)
        return false;
    image = set->GetImagePointer(size);
    return true;
}

bool CGlyphPage::GetColouredGlyph(CZevralImage& image, const std::string& name, uint32_t width, uint32_t height,
                                  CRgbaColour colour, uint32_t sourceSize)
{
    const CGlyph* otherColour = nullptr;
    for (const CGlyph& glyph : m_colouredGlyphs)
    {
        if (glyph.name != name || uint32_t(glyph.image.GetWidth()) != width ||
            uint32_t(glyph.image.GetHeight()) != height)
            continue;
        if (glyph.colour == colour)
        {
            image = glyph.image;
            return true;
        }
        otherColour = &glyph;
    }

    CZevralImage glyph;
    // A recoloured copy has lost the picture's own colours, so "own colours" (colour 0) is always
    // scaled afresh from the picture.
    if (otherColour && colour.GetValue() != 0)
        glyph = otherColour->image;
    else
    {
        CZevralImage source;
        if (!GetImage(source, name, sourceSize))
            return false;
        glyph.Resize(width, height, false);
        glyph.ScaleImage(source, true);
    }
    if (colour.GetValue() != 0)
        glyph.Fill(colour, true);
    m_colouredGlyphs.emplace_back(glyph, name, colour);
    image = glyph;
    return true;
}

CGlyphPage* FindGlyphPage(const GlyphPages& pages, const std::string& name)
{
    for (const auto& page : pages)
        if (CGlyphPage::SameName(page->GetName(), name))
            return page.get();
    return nullptr;
}

void LoadGlyphPages(const std::string& folder, GlyphPages& pages, const std::shared_ptr<CPictureBudget>& budget,
                    const std::string& skipped)
{
    std::vector<std::string> entries;
    const size_t left = ListFirstFolders(folder, kMostGlyphPages, entries);
    if (left > 0)
        GraphicsLog(kCategory, DescribeLeft(folder, left, left + entries.size(), "folders",
                                            std::to_string(kMostGlyphPages) + " pages"));
    for (const std::string& entry : entries)
    {
        const std::string name = CGlyphPage(entry).GetName();
        if (!skipped.empty() && CGlyphPage::SameName(name, skipped))
            continue;
        std::shared_ptr<CGlyphPage> page;
        for (const auto& existing : pages)
            if (!page && CGlyphPage::SameName(existing->GetName(), name))
                page = existing;
        if (!page)
            page = std::make_shared<CGlyphPage>(entry, budget);
        page->LoadFolder();
        pages.push_back(page);
    }
}

void LogGlyphPages(const char* category, const GlyphPages& pages)
{
    GraphicsLog(category, std::to_string(pages.size()) + " glyph pages loaded:");
    for (const auto& page : pages)
        GraphicsLog(category, "Page \"" + page->GetName() + "\" loaded " + std::to_string(page->GetImageCount()) +
                                  " images from " + page->GetFolder());
}
