#pragma once

#include "graphics/glyph_page.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A frame built once and kept for its size and state.
struct CFrameCacheEntry
{
    CZevralImage image;
    uint8_t on = 0;
    uint8_t down = 0;
};

// The glyph pages (one per subfolder of the "glyphs" folder, "gobo" left out), and the frames that
// outline buttons, fields, faders, captions and grids, built at any size from a corner and a side
// piece of the page "display". Button and fill frames are built once per size and state.
class CGlyphManager
{
public:
    // The program-wide glyph manager.
    static CGlyphManager& Instance();

    CGlyphManager() = default;
    CGlyphManager(const CGlyphManager&) = delete;
    CGlyphManager& operator=(const CGlyphManager&) = delete;

    // Loads the "glyphs" folder of the shared resources.
    void Load();
    // Loads a glyph folder in place of any loaded before (the frame caches are emptied too).
    void LoadFolder(const std::string& folder);
    CGlyphPage* FindPage(const std::string& name) const;
    CGlyphPage* GetPage(uint32_t index) const;
    uint32_t GetPageCount() const { return uint32_t(m_pages.size()); }
    std::string GetFolder() const { return m_folder; }
    void LogPages() const;

    // The picture whose width is nearest twice the size; empty when the page or name is missing.
    CZevralImage GetImage(const std::string& page, const std::string& name, uint32_t size) const;
    // The picture whose width is nearest the size itself, into the image; untouched when missing.
    void FindImage(CZevralImage& image, const std::string& page, const std::string& name, uint32_t size) const;
    bool GetColouredGlyph(CZevralImage& image, const std::string& page, const std::string& name, uint32_t width,
                          uint32_t height, CRgbaColour colour, uint32_t sourceSize) const;
    CImageSet* FindImageSet(const std::string& page, const std::string& name) const;
    uint32_t GetImageCount(const std::string& page) const;

    // A frame of corners and sides over a body of the state's alpha (off 0, on 0.65, on and down 1).
    void GetButtonFrame(CZevralImage& image, uint32_t width, uint32_t height, bool on, bool down);
    // A filled frame: body alpha 0.6, or 1 when down.
    void GetFillFrame(CZevralImage& image, uint32_t width, uint32_t height, bool down);
    // A translucent rectangle with shaped top corners; not cached.
    void GetCaptionFrame(CZevralImage& image, uint32_t width, uint32_t height);
    // The grid panel in three pieces: the header band with its top edge and separator line, the
    // left edge and the bottom edge.
    void BuildDisplayFrame(CZevralImage& top, CZevralImage& left, CZevralImage& bottom, uint32_t width,
                           uint32_t height, uint32_t headerHeight);
    // A frame as four separate edge strips.
    void BuildFrameStrips(CZevralImage& top, CZevralImage& left, CZevralImage& bottom, CZevralImage& right,
                          uint32_t width, uint32_t height);
    // The image becomes rows of opaque and transparent black, starting opaque.
    void GetStripeMask(CZevralImage& image);
    // Empties every frame and glyph cache; returns the number of page entries.
    uint32_t ClearCaches();
    // Logs how many button frames have been built.
    void LogDebugCount() const;
    static uint32_t GetButtonFrameBuildCount();

private:
    void BuildButtonFrame(CZevralImage& frame, int32_t width, int32_t height, bool on, bool down) const;
    void BuildFillFrame(CZevralImage& frame, int32_t width, int32_t height, bool down) const;

    GlyphPages m_pages;
    std::vector<CFrameCacheEntry> m_buttonFrames;
    std::vector<CFrameCacheEntry> m_fillFrames;
    std::vector<CZevralImage> m_stripeMasks;
    std::string m_folder;
};
