// Speed of the software drawing that every repaint goes through: compositing, copies into canvas
// views, translucent fills, smooth scaling, building frames from corner and side pieces, and text.

#include "graphics/glyph_manager.h"
#include "graphics/graphics_log.h"
#include "graphics/text_renderer.h"
#include "graphics/texture_adapter.h"
#include "graphics/zevral_image.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace
{
CZevralImage Noise(uint32_t width, uint32_t height, uint32_t seed)
{
    std::mt19937 random(seed);
    CZevralImage image(width, height);
    for (uint32_t i = 0; i < image.GetPixelCount(); ++i)
        image.SetPixel(i, CRgbaColour(uint32_t(random())));
    return image;
}

void BM_CompositeTranslucentImage(benchmark::State& state)
{
    const uint32_t side = uint32_t(state.range(0));
    CZevralImage canvas = Noise(768, 1024, 1);
    const CZevralImage source = Noise(side, side, 2);
    for (auto _ : state)
    {
        canvas.CompositeImage(CPoint(10, 10), source);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * side * side);
}
BENCHMARK(BM_CompositeTranslucentImage)->Arg(32)->Arg(256)->Arg(768);

// A translucent layer over the whole 768 x 1024 canvas, as the dialog dimming does each frame.
void BM_CompositeFullCanvas(benchmark::State& state)
{
    CZevralImage canvas = Noise(768, 1024, 11);
    const CZevralImage layer = Noise(768, 1024, 12);
    for (auto _ : state)
    {
        canvas.CompositeImage(CPoint(), layer);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 768 * 1024);
}
BENCHMARK(BM_CompositeFullCanvas);

void BM_CompositeIntoCanvasView(benchmark::State& state)
{
    CZevralImage canvas = Noise(768, 1024, 3);
    const CZevralImage button = Noise(100, 48, 4);
    CTextureAdapter whole(canvas);
    for (auto _ : state)
    {
        // A view per area per render, as the area tree makes them; one hangs over the edge.
        CTextureAdapter inside(CRect(300, 400, 100, 48), whole);
        inside.CompositeImage(CPoint(), button);
        CTextureAdapter overEdge(CRect(720, -20, 100, 48), whole);
        overEdge.CompositeImage(CPoint(), button);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2 * 100 * 48);
}
BENCHMARK(BM_CompositeIntoCanvasView);

void BM_CopyPageBackground(benchmark::State& state)
{
    CZevralImage canvas(768, 1024);
    const CZevralImage background = Noise(768, 1024, 5);
    CTextureAdapter whole(canvas);
    for (auto _ : state)
    {
        whole = background;
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 768 * 1024 * 4);
}
BENCHMARK(BM_CopyPageBackground);

void BM_FillTranslucent(benchmark::State& state)
{
    CZevralImage canvas = Noise(768, 1024, 6);
    for (auto _ : state)
    {
        canvas.FillTranslucent(CRgbaColour(0, 0, 0, 127));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 768 * 1024);
}
BENCHMARK(BM_FillTranslucent);

void BM_ScaleSmooth(benchmark::State& state)
{
    const CZevralImage source = Noise(64, 64, 7);
    CZevralImage target(48, 48);
    for (auto _ : state)
    {
        target.ScaleImage(source, true);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 48 * 48);
}
BENCHMARK(BM_ScaleSmooth);

// A glyph folder with a "display" page of 8-pixel corners and sides, made once.
class CFramePieces
{
public:
    CFramePieces()
    {
        char pattern[] = "/tmp/tanzo-bench-glyphsXXXXXX";
        m_root = mkdtemp(pattern) ? pattern : "";
        const std::string display = m_root + "/display";
        std::system(("mkdir -p '" + display + "'").c_str());
        for (const char* state : {"off_up", "off_down", "on_up", "on_down", "fill_up", "fill_down"})
        {
            Save(Noise(8, 8, 8), display + "/corner_" + state + ".png");
            Save(Noise(1, 8, 9), display + "/side_" + state + ".png");
        }
        Save(Noise(8, 8, 10), display + "/corner_caption.png");
        SetGraphicsLogSink([](const std::string&, const std::string&) {});
        m_manager.LoadFolder(m_root);
    }
    ~CFramePieces()
    {
        SetGraphicsLogSink(nullptr);
        if (!m_root.empty())
            std::system(("rm -rf '" + m_root + "'").c_str());
    }

    CGlyphManager& Manager() { return m_manager; }

private:
    static void Save(const CZevralImage& image, const std::string& path)
    {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(image.GetPixels(), image.GetWidth(),
                                                                  image.GetHeight(), 32, image.GetWidth() * 4,
                                                                  SDL_PIXELFORMAT_ABGR8888);
        IMG_SavePNG(surface, path.c_str());
        SDL_FreeSurface(surface);
    }

    std::string m_root;
    CGlyphManager m_manager;
};

CFramePieces& Pieces()
{
    static CFramePieces pieces;
    return pieces;
}

void BM_BuildButtonFrame(benchmark::State& state)
{
    CGlyphManager& manager = Pieces().Manager();
    const uint32_t width = uint32_t(state.range(0));
    CZevralImage frame;
    for (auto _ : state)
    {
        manager.ClearCaches();
        manager.GetButtonFrame(frame, width, 45, false, false);
        benchmark::DoNotOptimize(frame.GetPixels());
    }
}
// The 100 x 45 button of the pages' right-hand columns, and one as wide as the window.
BENCHMARK(BM_BuildButtonFrame)->Arg(100)->Arg(768);

void BM_CachedButtonFrame(benchmark::State& state)
{
    CGlyphManager& manager = Pieces().Manager();
    CZevralImage frame;
    manager.ClearCaches();
    // A page's worth of button sizes in the cache, as after the first paint.
    for (uint32_t width = 40; width < 140; width += 4)
        manager.GetButtonFrame(frame, width, 48, false, false);
    for (auto _ : state)
    {
        manager.GetButtonFrame(frame, 100, 48, false, false);
        benchmark::DoNotOptimize(frame.GetPixels());
    }
}
BENCHMARK(BM_CachedButtonFrame);

void BM_BuildFillFrame(benchmark::State& state)
{
    CGlyphManager& manager = Pieces().Manager();
    CZevralImage frame;
    for (auto _ : state)
    {
        manager.ClearCaches();
        manager.GetFillFrame(frame, 300, 24, false);
        benchmark::DoNotOptimize(frame.GetPixels());
    }
}
BENCHMARK(BM_BuildFillFrame);

void BM_BuildGridPanel(benchmark::State& state)
{
    CGlyphManager& manager = Pieces().Manager();
    CZevralImage top, left, bottom;
    for (auto _ : state)
    {
        manager.BuildDisplayFrame(top, left, bottom, 700, 400, 35);
        benchmark::DoNotOptimize(top.GetPixels());
    }
}
BENCHMARK(BM_BuildGridPanel);

// One line of a label in the shipped font, measured and rendered into an image.
void BM_RenderTextLine(benchmark::State& state)
{
    if (TTF_WasInit() == 0)
        TTF_Init();
    TTF_Font* font = TTF_OpenFont(TANZO_SOURCE_DIR "/resources/fonts/arial.ttf", 18);
    if (!font)
    {
        state.SkipWithError("the shipped font is missing");
        return;
    }
    const std::string text = "Playback 12: Warm wash";
    CZevralImage image;
    for (auto _ : state)
    {
        int32_t width = 0, height = 0;
        MeasureText(font, text, width, height);
        RenderText(font, text, CRgbaColour(255, 255, 255), image);
        benchmark::DoNotOptimize(image.GetPixels());
    }
    TTF_CloseFont(font);
}
BENCHMARK(BM_RenderTextLine);
}  // namespace
