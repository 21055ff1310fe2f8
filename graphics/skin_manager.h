#pragma once

#include "graphics/glyph_page.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The skin: the pictures that give every screen and widget its look. Files lying directly in the
// skin folder form page 0, the fallback for every lookup; each subfolder is a skin of its own and
// forms a page named after it. A lookup tries the page of the current skin name, then page 0.
class CSkinManager
{
public:
    // The program-wide skin.
    static CSkinManager& Instance();

    // An image's file name in the skin of the screen class: the name followed by the class's
    // suffix (none on the desktop, "r" for the large tablet), or by its short suffix, which the
    // buttons' images use.
    static std::string GetSkinFileName(const std::string& imageName);
    static std::string GetSkinFileNameShort(const std::string& imageName);
    // The image's file in the skin folder of the program's own resources: .../skin/<file name>.png.
    static std::string GetSkinImagePath(const std::string& imageName);

    CSkinManager() = default;
    CSkinManager(const CSkinManager&) = delete;
    CSkinManager& operator=(const CSkinManager&) = delete;

    // Loads the "skin" folder of the program's own resources.
    void Load();
    // Loads a skin folder in place of any loaded before.
    void LoadFolder(const std::string& folder);

    void SetSkinName(const std::string& name) { m_skinName = name; }
    const std::string& GetSkinName() const { return m_skinName; }
    // The first page whose name matches without regard to ASCII case; null when none.
    CGlyphPage* FindPage(const std::string& name) const;
    // Null past the end. A page may stand in the list more than once.
    CGlyphPage* GetPage(uint32_t index) const;
    uint32_t GetPageCount() const { return uint32_t(m_pages.size()); }

    // Copies the picture (variant nearest the size) into the image; untouched when not found.
    bool FindImage(CZevralImage& image, const std::string& name, uint32_t size) const;
    // The same search, yielding the set's own variant; the pointer is left alone when not found.
    // The variant lives until the next load.
    bool GetImagePointer(const CZevralImage*& image, const std::string& name, uint32_t size) const;
    // An empty image when not found.
    CZevralImage GetImage(const std::string& name, uint32_t size) const;
    // Starts decoding the picture a later search by the name will find, on a worker thread, so
    // that its first use waits less or not at all.
    void DecodeAhead(const std::string& name) const;

private:
    GlyphPages m_pages;
    std::string m_skinName = "lumivo";
};
