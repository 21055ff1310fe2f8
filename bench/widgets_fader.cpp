// Repainting one moving intensity fader on a page of the window's size: the cap moved by a new
// displayed value, and the same with the operator dragging it.
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "screens/pages/area_image.h"
#include "widgets/area_fader.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <memory>
#include <string>

namespace
{
// <build>/Resources/skin, beside the benchmark's bin folder.
std::string SkinFolder()
{
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string exe(path, length > 0 ? size_t(length) : 0);
    for (int i = 0; i < 2 && exe.find('/') != std::string::npos; ++i)
        exe.erase(exe.rfind('/'));
    return exe + "/Resources/skin";
}

// A page picture with one fader where the playback page puts its first one.
struct CFaderPage
{
    CFaderPage()
    {
        CSkinManager::Instance().LoadFolder(SkinFolder());
        root = std::make_unique<CArea2>(nullptr, false, 768, 1024);
        root->SetVisible(true);
        CZevralImage picture(768, 1024);
        picture.Fill(CRgbaColour(30, 32, 36, 255));
        auto made = std::make_unique<CAreaImage>(root.get(), picture, false);
        made->SetSize(768, 1024);
        CAreaImage* page = root->AddChild(std::move(made));
        fader = page->MakeChild<CAreaFader>();
        fader->SetPosition(CPoint(17, 760));
        Render();
    }
    void Render() { root->Render(CTextureAdapter(canvas), CPoint(), false); }

    std::unique_ptr<CArea2> root;
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
