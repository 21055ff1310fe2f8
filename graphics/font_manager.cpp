#include "graphics/font_manager.h"

#include "foundation/ascii.h"
#include "foundation/file_helpers.h"
#include "graphics/graphics_log.h"
#include "graphics/text_renderer.h"
#include "shell/app.h"

#include <boost/filesystem/path.hpp>

#include <cstdio>
#include <map>

namespace
{
// No font file is anywhere near this; a larger one is not opened.
constexpr size_t kMaxFontFileBytes = 64u << 20;

std::string FontName(const std::string& path)
{
    return RemoveExtension(FileNameOf(path));
}

// The bytes of a font file, shared by the sizes open from it; null when it cannot be read whole.
std::shared_ptr<const std::string> ReadFontFile(const std::string& path)
{
    static std::map<std::string, std::weak_ptr<const std::string>> files;
    if (std::shared_ptr<const std::string> file = files[path].lock())
        return file;
    auto bytes = std::make_shared<std::string>();
    int error = 0;
    if (ReadFileBounded(path, kMaxFontFileBytes, *bytes, error) != FileReadStatus::kRead || bytes->empty())
        return nullptr;
    files[path] = bytes;
    return bytes;
}
}  // namespace

CFontEntry::CFontEntry(const std::string& path, int32_t size)
    : m_file(ReadFontFile(path)), m_path(path), m_size(size)
{
    printf("TTF_OpenFont(%s, %i)\n", path.c_str(), size);
    fflush(stdout);
    SDL_RWops* source = m_file ? SDL_RWFromConstMem(m_file->data(), int(m_file->size())) : nullptr;
    // A font is opened only from its bytes: the font library would open a pipe in its place and
    // wait on it for ever.
    m_handle = source ? TTF_OpenFontRW(source, 1, size) : nullptr;
    KeepTextsOf(m_handle);
}

CFontEntry::~CFontEntry()
{
    if (!m_handle)
        return;
    ForgetTextsOf(m_handle);
    TTF_CloseFont(m_handle);
}

std::string CFontEntry::GetName() const
{
    return FontName(m_path);
}

bool CFontEntry::operator==(const CFontEntry& other) const
{
    return boost::filesystem::path(m_path) == boost::filesystem::path(other.m_path) && m_size == other.m_size;
}

CFontManager& CFontManager::Instance()
{
    static CFontManager instance;
    return instance;
}

CFontManager::CFontManager()
{
    TTF_Init();
}

CFontManager::~CFontManager()
{
    m_openFonts.clear();
    TTF_Quit();
}

void CFontManager::ScanFonts()
{
    const std::string resources = CApp::GetResourcesSharedPath();
    // Without a resources folder there is nothing to list (and "/fonts" is not ours).
    if (resources.empty())
    {
        m_fontFiles.clear();
        return;
    }
    ScanFolder(resources + "/fonts");
}

void CFontManager::ScanFolder(const std::string& folder)
{
    m_fontFiles.clear();
    size_t left = 0;
    for (const char* pattern : {"*.fon", "*.ttf", "*.otf"})
        left += ListFirstFiles(folder, pattern, kMostFontFiles - m_fontFiles.size(), m_fontFiles);
    if (left > 0)
        GraphicsLog("FontManager", DescribeLeft(folder, left, left + m_fontFiles.size(), "files",
                                                std::to_string(kMostFontFiles) + " files"));
}

std::string CFontManager::GetFontFileName(uint32_t index) const
{
    return index < m_fontFiles.size() ? FileNameOf(m_fontFiles[index]) : std::string();
}

int32_t CFontManager::FindFontFile(const std::string& name) const
{
    for (size_t i = 0; i < m_fontFiles.size(); ++i)
        if (EqualIgnoringAsciiCase(FontName(m_fontFiles[i]), name))
            return int32_t(i);
    return -1;
}

TTF_Font* CFontManager::GetFont(const std::string& name, int32_t size)
{
    for (const auto& entry : m_openFonts)
        if (entry->GetSize() == size && EqualIgnoringAsciiCase(entry->GetName(), name))
            return entry->GetHandle();
    const int32_t index = FindFontFile(name);
    if (index < 0)
        return nullptr;
    m_openFonts.push_back(std::make_unique<CFontEntry>(m_fontFiles[size_t(index)], size));
    return m_openFonts.back()->GetHandle();
}
