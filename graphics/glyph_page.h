#pragma once

#include "graphics/image_set.h"
#include "graphics/zevral_image.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A resized and recoloured glyph kept by its page.
struct CGlyph
{
    CGlyph(const CZevralImage& image, const std::string& name, CRgbaColour colour)
        : image(image), name(name), colour(colour)
    {
    }

    CZevralImage image;
    std::string name;
    CRgbaColour colour;
};

// One folder of pictures, each picture a set of size variants. A file's picture name is its file
// name up to the last ".", and of that only the part before the last "-" when there is one:
// fader_track.png and fader_track-64.png are two variants of "fader_track".
class CGlyphPage
{
public:
    // What a page's folder may hold: the shipped skin's folder has 159 files, a glyph page at most
    // 24. A start lists the first kMostFiles by name, whatever the folder holds: a walk over its
    // names, the paths of those files kept, and for each the look-up of its picture among the
    // others (a million comparisons at most); their pixels are decoded on first use, within the
    // budget the page is given (picture_budget.h).
    static constexpr size_t kMostFiles = 1024;

    // Without a budget, the page's pictures are decoded unweighed.
    explicit CGlyphPage(const std::string& folder, std::shared_ptr<CPictureBudget> budget = nullptr);
    CGlyphPage(const CGlyphPage&) = delete;
    CGlyphPage& operator=(const CGlyphPage&) = delete;

    // Lists the folder's files within the bounds above, and logs how many were left; they are
    // decoded on first request.
    void LoadFolder();
    // False when the file's picture has all the variants it may have (image_set.h).
    bool LoadImageFile(const std::string& path);

    // The first set whose name equals the name without regard to ASCII case, also with every space
    // of the name read as an underscore; null when none.
    CImageSet* FindImageSet(const std::string& name) const;
    // False when no set has the name; otherwise the nearest variant (the image untouched when the
    // set has none near enough).
    bool GetImage(CZevralImage& image, const std::string& name, uint32_t size) const;
    bool GetImagePointer(const CZevralImage*& image, const std::string& name, uint32_t size) const;
    // The named picture (variant nearest sourceSize) scaled smoothly to width x height and, unless
    // the colour is 0, given the colour in every pixel while keeping its alpha. Each name, size and
    // colour is built once and then served from the cache. False when no set has the name.
    bool GetColouredGlyph(CZevralImage& image, const std::string& name, uint32_t width, uint32_t height,
                          CRgbaColour colour, uint32_t sourceSize);
    bool HasImage(const std::string& name) const { return FindImageSet(name) != nullptr; }

    // The last component of the folder.
    std::string GetName() const;
    const std::string& GetFolder() const { return m_folder; }
    // One per listed file, so a picture with several files counts once per file.
    uint32_t GetImageCount() const { return uint32_t(m_imageSets.size()); }
    uint32_t GetGlyphCacheSize() const { return uint32_t(m_colouredGlyphs.size()); }
    void ClearGlyphCache() { m_colouredGlyphs.clear(); }

    // The picture name of a file: see the class comment.
    static std::string ImageNameOf(const std::string& path);
    // Same length and equal characters after ASCII upper-casing.
    static bool SameName(const std::string& a, const std::string& b);

private:
    std::vector<std::shared_ptr<CImageSet>> m_imageSets;
    std::vector<CGlyph> m_colouredGlyphs;
    std::string m_folder;
    std::shared_ptr<CPictureBudget> m_budget;
};

// The pages of the glyph manager and of the skin, a page possibly standing in the list twice.
using GlyphPages = std::vector<std::shared_ptr<CGlyphPage>>;
// The first page whose name matches without regard to ASCII case; null when none.
CGlyphPage* FindGlyphPage(const GlyphPages& pages, const std::string& name);
// Logs the count of pages, then a line per page with its image count and folder.
void LogGlyphPages(const char* category, const GlyphPages& pages);
// The sub-folders a folder of pages may have: the shipped skin has none, the glyph folder 3. With
// their files bounded too, a start lists at most these pages (and the skin's own folder) of
// kMostFiles each.
constexpr size_t kMostGlyphPages = 16;
// Loads a page from each of the first kMostGlyphPages sub-folders of the folder by name, but for
// one named as skipped, and appends it; the pictures of them all share the budget. A sub-folder
// named like a page listed already loads into that page, which then stands twice.
void LoadGlyphPages(const std::string& folder, GlyphPages& pages, const std::shared_ptr<CPictureBudget>& budget,
                    const std::string& skipped = std::string());
