#pragma once

#include <SDL_ttf.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One opened TrueType font: a file at a point size. The handle is null when opening failed.
// The file is read into memory once for all the sizes opened from it, so that the font library
// reads glyphs from memory instead of seeking and reading the file for each one.
class CFontEntry
{
public:
    // Prints "TTF_OpenFont(path, size)" and opens the font.
    CFontEntry(const std::string& path, int32_t size);
    ~CFontEntry();
    CFontEntry(const CFontEntry&) = delete;
    CFontEntry& operator=(const CFontEntry&) = delete;

    TTF_Font* GetHandle() const { return m_handle; }
    const std::string& GetPath() const { return m_path; }
    // The file name without folder and extension.
    std::string GetName() const;
    int32_t GetSize() const { return m_size; }
    bool operator==(const CFontEntry& other) const;
    bool operator!=(const CFontEntry& other) const { return !(*this == other); }

private:
    // Before the handle: the font reads from it until it is closed.
    std::shared_ptr<const std::string> m_file;
    TTF_Font* m_handle = nullptr;
    std::string m_path;
    int32_t m_size = 0;
};

// The font cache: knows the font files of the resources and opens each (name, size) pair once,
// keeping the fonts open for the life of the program. A font's name is its file name without the
// extension, compared without regard to ASCII case.
class CFontManager
{
public:
    // The program-wide cache.
    static CFontManager& Instance();

    CFontManager();
    ~CFontManager();
    CFontManager(const CFontManager&) = delete;
    CFontManager& operator=(const CFontManager&) = delete;

    // Lists the "fonts" folder of the shared resources.
    void ScanFonts();
    // The shipped fonts folder holds one font. A start lists the first kMostFontFiles of a folder
    // by name, whatever it holds, and reads none of them: a font is read whole (at most 64 MB)
    // only once the program asks for it by name, and it asks for one.
    static constexpr size_t kMostFontFiles = 64;

    // Lists a folder's ".fon", then ".ttf", then ".otf" files in place of the present list, each
    // kind by name, at most kMostFontFiles in all, and logs how many were left.
    void ScanFolder(const std::string& folder);
    uint32_t GetFontFileCount() const { return uint32_t(m_fontFiles.size()); }
    // The file name with its extension; empty past the end.
    std::string GetFontFileName(uint32_t index) const;
    // The first listed file of that name; -1 when none.
    int32_t FindFontFile(const std::string& name) const;
    // The font of that name and point size, opened on first request; null when no file has the name
    // or the file could not be opened (a failure is remembered, not retried).
    TTF_Font* GetFont(const std::string& name, int32_t size);

private:
    std::vector<std::string> m_fontFiles;
    std::vector<std::unique_ptr<CFontEntry>> m_openFonts;
};
