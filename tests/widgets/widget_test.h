#pragma once

// A root area on a canvas for driving one widget at a time: the program's font, a skin of flat
// coloured pictures written for the test, click sounds heard in a list, pointer events routed the
// way the application routes them, and rendering the way the frame loop renders.
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "tests/support/test_folder.h"
#include "widgets/area.h"
#include "widgets/click_sound.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace widget_test
{
const CRgbaColour kGrey(48, 48, 48, 255);

inline bool SavePng(const CBaseImage& image, const std::string& path)
{
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
        for (int32_t x = 0; x < image.GetWidth(); ++x)
            pixels.push_back(image.GetPixel(uint32_t(x), uint32_t(y)).GetValue());
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), image.GetWidth(), image.GetHeight(), 32,
                                                              image.GetWidth() * 4, SDL_PIXELFORMAT_ABGR8888);
    if (!surface)
        return false;
    const bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

// The number of pixels in the rectangle that differ between two images of one size.
inline int CountChanged(const CBaseImage& a, const CBaseImage& b, const CRect& rect)
{
    int changed = 0;
    for (int32_t y = rect.GetY(); y < rect.GetBottom(); ++y)
        for (int32_t x = rect.GetX(); x < rect.GetRight(); ++x)
            changed += a.GetPixel(uint32_t(x), uint32_t(y)) != b.GetPixel(uint32_t(x), uint32_t(y));
    return changed;
}

// The rows (top and bottom, inclusive) of the runs of rows in which a pixel differs.
inline std::vector<std::pair<int, int>> ChangedRowRuns(const CBaseImage& a, const CBaseImage& b, const CRect& rect)
{
    std::vector<std::pair<int, int>> runs;
    bool inRun = false;
    for (int32_t y = rect.GetY(); y < rect.GetBottom(); ++y)
    {
        const bool changed = CountChanged(a, b, CRect(rect.GetX(), y, rect.GetWidth(), 1)) > 0;
        if (changed && !inRun)
            runs.emplace_back(y, y);
        if (changed)
            runs.back().second = y;
        inRun = changed;
    }
    return runs;
}

class WidgetTest : public ::testing::Test
{
protected:
    WidgetTest()
    {
        CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
        m_root = new CArea2(nullptr, false, 400, 300);
        m_root->SetBackgroundColour(kGrey);
        m_root->SetVisible(true);
        SetClickSoundListener([this](const std::string& clip) { m_sounds.push_back(clip); });
    }
    ~WidgetTest() override
    {
        SetClickSoundListener(nullptr);
        delete m_root;
        CApp::SetScreenClass(5);
    }

    // Writes flat pictures of the given names, sizes and colours and makes them the skin.
    struct Picture
    {
        std::string name;
        uint32_t width;
        uint32_t height;
        CRgbaColour colour;
    };
    void LoadSkin(const std::vector<Picture>& pictures)
    {
        const std::string folder = FreshTestFolder("skin").string();
        for (const Picture& picture : pictures)
        {
            CZevralImage image(picture.width, picture.height);
            image.Fill(picture.colour);
            ASSERT_TRUE(SavePng(image, folder + "/" + picture.name + ".png"));
        }
        CSkinManager::Instance().LoadFolder(folder);
    }

    void Render()
    {
        const CTextureAdapter whole(m_canvas);
        if (m_root->NeedsRender())
            m_root->Render(CTextureAdapter(m_root->GetRect(), whole), CPoint(0, 0), false);
    }
    CRgbaColour At(int x, int y) const { return m_canvas.GetPixel(uint32_t(x), uint32_t(y)); }

    // Through the root, as the application hands the mouse's events on. Returns the handled flag.
    bool Down(const CPoint& point, uint32_t button = 1)
    {
        bool handled = false;
        m_root->PointerDown(0, point, button, &handled);
        return handled;
    }
    bool Up(const CPoint& point)
    {
        bool handled = false;
        m_root->PointerUp(0, point, &handled);
        return handled;
    }
    bool Key(uint32_t key, bool down = true)
    {
        bool handled = false;
        down ? m_root->KeyDown(key, &handled) : m_root->KeyUp(key, &handled);
        return handled;
    }
    void Ticks(int count, float seconds = 0.04f)
    {
        for (int i = 0; i < count; ++i)
            m_root->Tick(seconds);
    }

    CArea2* m_root;
    CZevralImage m_canvas{400, 300};
    std::vector<std::string> m_sounds;
};
}  // namespace widget_test
