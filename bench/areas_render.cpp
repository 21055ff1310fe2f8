// Rendering a full page of the area tree into the canvas: the whole tree, one dirty widget, and a
// frame in which nothing changed.
#include "bench/bench_support.h"
#include "graphics/font_manager.h"
#include "graphics/texture_adapter.h"
#include "screens/pages/area_image.h"
#include "widgets/area.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// A widget as the pages hold them: its own surface, a frame and a line of text.
class CBenchWidget : public CArea2
{
public:
    CBenchWidget(CArea2* parent, const std::string& label) : CArea2(parent, true, 94, 74), m_label(label) {}

protected:
    void Paint(CTextureAdapter& canvas) override
    {
        canvas.DrawRect(GetColour(), GetLocalRect());
        DrawText(canvas, m_label, GetTextColour(), CPoint(int32_t(GetWidth()) / 2, int32_t(GetHeight()) / 2),
                 kAlignCentre, kAlignMiddle);
    }

private:
    std::string m_label;
};

// The playback page's shape: a picture of the window's size, 64 buttons in eight rows and sixteen
// controls below them.
struct CFullPage : bench::CPictureRoot
{
    CFullPage()
    {
        CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
        std::vector<CArea2*> buttons;
        for (int i = 0; i < 64; ++i)
            buttons.push_back(page->MakeChild<CBenchWidget>("Playback " + std::to_string(i + 1)));
        CArea2::ArrangeInRows(buttons, CRect(8, 78, 752, 590), 4);
        for (int i = 0; i < 16; ++i)
        {
            auto* control = page->MakeChild<CBenchWidget>(std::to_string(i % 8 + 1));
            control->SetRect(CRect(8 + 94 * (i % 8), i < 8 ? 683 : 760, 90, i < 8 ? 70 : 200));
        }
        widget = buttons[27];
        Frame();
    }
    // One pass of the frame loop's drawing.
    void Frame()
    {
        if (!root->NeedsRender())
            return;
        const CTextureAdapter whole(canvas);
        root->Render(CTextureAdapter(CRect(0, 0, 768, 1024), whole), CPoint(), false);
    }

    CZevralImage canvas{768, 1024};
    CArea2* widget = nullptr;
};

void BM_AreasWholePage(benchmark::State& state)
{
    CFullPage page;
    for (auto _ : state)
    {
        page.page->SetDirty();
        page.Frame();
        benchmark::DoNotOptimize(page.canvas.GetPixels());
    }
}
BENCHMARK(BM_AreasWholePage);

void BM_AreasOneDirtyWidget(benchmark::State& state)
{
    CFullPage page;
    for (auto _ : state)
    {
        page.widget->SetDirty();
        page.Frame();
        benchmark::DoNotOptimize(page.canvas.GetPixels());
    }
}
BENCHMARK(BM_AreasOneDirtyWidget);

void BM_AreasNothingChanged(benchmark::State& state)
{
    CFullPage page;
    for (auto _ : state)
    {
        page.Frame();
        benchmark::DoNotOptimize(page.canvas.GetPixels());
    }
}
BENCHMARK(BM_AreasNothingChanged);
}
