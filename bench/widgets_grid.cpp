// Scrolling the personality list and repainting it: a grid asked for the library's 1,358 models (it
// holds its limit of 1,024 rows), drawn from a cell provider as the personality dialog draws it.
// Jumps to a row, frames of drag scrolling, and frames of a grid with a scroll bar turned by the
// wheel.
#include "bench/bench_support.h"
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "widgets/area_grid.h"
#include "widgets/area_scrollbar.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr uint32_t kModels = 1358;

// A list of the dialog's size on a dark dialog background, its cells from a list of names.
struct CModelList
{
    explicit CModelList(bool scrollbar)
    {
        CGlyphManager::Instance().LoadFolder(bench::ResourcesFolder() + "/glyphs");
        CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
        for (uint32_t i = 0; i < kModels; ++i)
            names.push_back("Moving head " + std::to_string(i + 1) + (i % 3 ? " Wash" : " Spot Pro"));
        root = std::make_unique<CArea2>(nullptr, false, 400, 700);
        root->SetBackgroundColour(CRgbaColour(48, 48, 48, 255));
        root->SetVisible(true);
        auto made = std::make_unique<CAreaGrid>(root.get(), scrollbar, false);
        made->SetRect(scrollbar ? CRect(0, 0, 400, 640) : CRect(0, 0, 157, 640));
        grid = root->AddChild(std::move(made));
        grid->SetRowCount(kModels);
        grid->SetCellProvider(this, [](void* context, CAreaGrid*, uint32_t, uint32_t row, std::string& text,
                                       CRgbaColour&, bool& highlighted, std::vector<CZevralImage>&) {
            const CModelList* list = static_cast<CModelList*>(context);
            text = list->names[row];
            highlighted = row == list->chosen;
        });
        Render();
    }
    void Render()
    {
        if (root->NeedsRender())
            root->Render(CTextureAdapter(canvas), CPoint(), false);
    }
    void Tick() { root->Tick(0.04f); }
    void Press(const CPoint& point)
    {
        bool handled = false;
        root->PointerDown(0, point, 1, &handled);
    }
    void Release(const CPoint& point)
    {
        bool handled = false;
        root->PointerUp(0, point, &handled);
    }

    std::vector<std::string> names;
    uint32_t chosen = 40;
    std::unique_ptr<CArea2> root;
    CAreaGrid* grid = nullptr;
    CZevralImage canvas{400, 700};
};

void BM_GridJumpToRowAndRepaint(benchmark::State& state)
{
    CModelList list(false);
    int32_t row = 0;
    for (auto _ : state)
    {
        row = (row + 37) % int32_t(list.grid->GetRowCount());
        list.grid->ScrollToCell(row, true);
        list.Render();
        benchmark::DoNotOptimize(list.canvas.GetPixels());
    }
}
BENCHMARK(BM_GridJumpToRowAndRepaint)->Unit(benchmark::kMicrosecond);

// One frame of a finger dragging the list: a move of 15 pixels, the frame's tick and the repaint.
// At either end the drag turns round.
void BM_GridDragScrollFrame(benchmark::State& state)
{
    CModelList list(false);
    int32_t y = 600;
    int32_t step = -15;
    list.Press(CPoint(50, y));
    for (auto _ : state)
    {
        y += step;
        if (y < 20 || y > 620)
        {
            step = -step;
            list.Release(CPoint(50, y));
            list.Press(CPoint(50, y));
        }
        list.root->PointerMove(0, CPoint(50, y));
        list.Tick();
        list.Render();
        benchmark::DoNotOptimize(list.canvas.GetPixels());
    }
    list.Release(CPoint(50, y));
}
BENCHMARK(BM_GridDragScrollFrame)->Unit(benchmark::kMicrosecond);

// Frames of a grid with a scroll bar and header turned by the wheel a row at a time: each turn
// eases over the frames that follow, every one of them repainted.
void BM_GridWheelFrameWithScrollbar(benchmark::State& state)
{
    CModelList list(true);
    int32_t direction = -1;
    int frame = 0;
    for (auto _ : state)
    {
        if (frame++ % 4 == 0)
        {
            CAreaScrollbar* bar = list.grid->GetScrollbar();
            if (bar && ((direction < 0 && !bar->CanScrollForward()) || (direction > 0 && !bar->CanScrollBack())))
                direction = -direction;
            bool handled = false;
            list.root->Wheel(0, CPoint(100, 100), direction, &handled);
        }
        list.Tick();
        list.Render();
        benchmark::DoNotOptimize(list.canvas.GetPixels());
    }
}
BENCHMARK(BM_GridWheelFrameWithScrollbar)->Unit(benchmark::kMicrosecond);
}  // namespace
