#pragma once

// What the tests of the list, tile and counter widgets share: the drawn glyph pages and the fonts
// loaded once, a visible root to hang widgets on, and the frame loop's way of painting it.
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "widgets/area.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace liststest
{
inline void LoadWidgetResources()
{
    CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
    CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
}

// A visible root of 400 x 400 and a canvas it paints into as the frame loop does.
struct WidgetTest : ::testing::Test
{
    static void SetUpTestSuite() { LoadWidgetResources(); }
    WidgetTest() { root.SetVisible(true); }

    // Adds the widget to the root at the rectangle.
    template <typename T>
    T* Place(std::unique_ptr<T> widget, const CRect& rect)
    {
        widget->SetRect(rect);
        return root.AddChild(std::move(widget));
    }
    void Render()
    {
        const CTextureAdapter whole(canvas);
        if (root.NeedsRender())
            root.Render(CTextureAdapter(CRect(0, 0, 400, 400), whole), CPoint(), false);
    }
    bool Press(const CPoint& point, uint32_t button = 1)
    {
        bool handled = false;
        root.PointerDown(0, point, button, &handled);
        return handled;
    }
    void Move(const CPoint& point) { root.PointerMove(0, point); }
    void Release(const CPoint& point)
    {
        bool handled = false;
        root.PointerUp(0, point, &handled);
    }
    CRgbaColour At(int32_t x, int32_t y) const { return canvas.GetPixel(uint32_t(x), uint32_t(y)); }
    // How many pixels of the rectangle differ between the canvas and an earlier copy of it.
    int CountChanged(const CZevralImage& before, const CRect& rect) const
    {
        int changed = 0;
        for (int32_t y = rect.GetY(); y < rect.GetBottom(); ++y)
            for (int32_t x = rect.GetX(); x < rect.GetRight(); ++x)
                changed += before.GetPixel(uint32_t(x), uint32_t(y)) != At(x, y) ? 1 : 0;
        return changed;
    }

    CArea2 root{nullptr, false, 400, 400};
    CZevralImage canvas{400, 400};
};
}  // namespace liststest
