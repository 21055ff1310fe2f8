#pragma once

// A root area on a canvas for driving one widget at a time: the program's font, a skin of flat
// coloured pictures written for the test, click sounds heard in a list, events routed the way
// the application routes them, and rendering the way the frame loop renders.
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

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace widget_test
{
const CRgbaColour kGrey(48, 48, 48, 255);
const CRgbaColour kWhite(255, 255, 255, 255);
using Strings = std::vector<std::string>;

inline int CountChanged(const CBaseImage& a, const CBaseImage& b, const CRect& rect)
{
    int changed = 0;
    for (int32_t y = rect.GetY(); y < rect.GetBottom(); ++y)
        for (int32_t x = rect.GetX(); x < rect.GetRight(); ++x)
            changed += a.GetPixel(uint32_t(x), uint32_t(y)) != b.GetPixel(uint32_t(x), uint32_t(y));
    return changed;
}

// The first and last rows of each run of rows in which the images differ: the lines of a text.
inline std::vector<std::pair<int, int>> ChangedRowRuns(const CBaseImage& a, const CBaseImage& b, const CRect& rect)
{
    std::vector<std::pair<int, int>> runs;
    for (int32_t y = rect.GetY(); y < rect.GetBottom(); ++y)
        if (CountChanged(a, b, CRect(rect.GetX(), y, rect.GetWidth(), 1)) > 0)
        {
            if (runs.empty() || runs.back().second != y - 1)
                runs.emplace_back(y, y);
            runs.back().second = y;
        }
    return runs;
}

class WidgetTest : public ::testing::Test
{
protected:
    WidgetTest()
    {
        CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
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

    // Writes flat pictures (name, width, height, colour) as PNG files and makes them the skin; the
    // last clearRight columns of each are left clear, as a key drawn narrower than its picture.
    void LoadSkin(const std::vector<std::tuple<std::string, int, int, CRgbaColour>>& pictures, int clearRight = 0)
    {
        const std::string folder = FreshTestFolder("skin").string();
        for (const auto& [name, width, height, colour] : pictures)
        {
            std::vector<uint32_t> pixels(size_t(width * height), colour.GetValue());
            for (int x = std::max(0, width - clearRight); x < width; ++x)
                for (int y = 0; y < height; ++y)
                    pixels[size_t(y * width + x)] = 0;
            SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32, width * 4,
                                                                      SDL_PIXELFORMAT_ABGR8888);
            ASSERT_EQ(IMG_SavePNG(surface, (folder + "/" + name + ".png").c_str()), 0);
            SDL_FreeSurface(surface);
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

    // Each returns the handled flag.
    bool Down(const CPoint& p, uint32_t button = 1)
    {
        return Routed([&](bool* h) { m_root->PointerDown(0, p, button, h); });
    }
    bool Up(const CPoint& p) { return Routed([&](bool* h) { m_root->PointerUp(0, p, h); }); }
    bool Key(uint32_t key, bool down = true)
    {
        return Routed([&](bool* h) { down ? m_root->KeyDown(key, h) : m_root->KeyUp(key, h); });
    }
    template <typename Event>
    static bool Routed(Event event)
    {
        bool handled = false;
        event(&handled);
        return handled;
    }
    void Ticks(int count, float seconds = 0.04f)
    {
        for (int i = 0; i < count; ++i)
            m_root->Tick(seconds);
    }

    CArea2* m_root = new CArea2(nullptr, false, 400, 300);
    CZevralImage m_canvas{400, 300};
    Strings m_sounds;
};
}  // namespace widget_test
