// Repainting one moving intensity fader on a page of the window's size: the cap moved by a new
// displayed value, and the same with the operator dragging it.
#include "bench/bench_support.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "screens/pages/area_image.h"
#include "widgets/area_fader.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace
{
// A page picture with one fader where the playback page puts its first one.
struct CFaderPage : bench::CPictureRoot
{
    CFaderPage()
    {
        CSkinManager::Instance().LoadFolder(bench::ResourcesFolder() + "/skin");
        fader = page->MakeChild<CAreaFader>();
        fader->SetPosition(CPoint(17, 760));
        Render();
    }
    void Render() { root->Render(CTextureAdapter(canvas), CPoint(), false); }

    CAreaFader* fader = nullptr;
    CZevralImage canvas{768, 1024};
};

void BM_FaderDisplayedValueRepaint(benchmark::State& state)
{
    CFaderPage page;
    int step = 0;
    for (auto _ : state)
    {
        step = (step + 1) % 100;
        page.fader->SetDisplayedValue(float(step) / 100.0f);
        page.Render();
    }
    benchmark::DoNotOptimize(page.canvas.GetPixels());
}
BENCHMARK(BM_FaderDisplayedValueRepaint);

// Press, then one pointer move, the value fed back as the displayed value, and the frame.
void BM_FaderDragRepaint(benchmark::State& state)
{
    CFaderPage page;
    page.fader->SetChangeCallback(page.fader, [](void*, CAreaFader* fader) {
        fader->SetDisplayedValue(fader->GetValue());
    });
    bool handled = false;
    page.root->PointerDown(0, CPoint(55, 800), 1, &handled);
    int step = 0;
    for (auto _ : state)
    {
        step = (step + 1) % 150;
        page.root->PointerMove(0, CPoint(55, 760 + step));
        page.Render();
    }
    benchmark::DoNotOptimize(page.canvas.GetPixels());
}
BENCHMARK(BM_FaderDragRepaint);
}
