// Rendering a full page of the area tree into the canvas: the whole tree, one dirty widget, and a
// frame in which nothing changed; and with a dialog open over the page, one dirty widget beside the
// dialog and one that the dialog partly covers (the dialog drawn again over it), and an idle frame.
#include "bench/bench_support.h"
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "screens/pages/area_image.h"
#include "widgets/area.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_label.h"

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
        // Row 4, column 3: the dialog covers its lower right part.
        covered = buttons[35];
        Frame();
    }
    // A dialog as the pages open them, centred over the grid: a caption strip, a line of text and
    // Ok and Cancel.
    void OpenDialog()
    {
        CGlyphManager::Instance().LoadFolder(bench::ResourcesFolder() + "/glyphs");
        auto dialog = std::make_unique<CArea2>(page, false, 400, 250);
        dialog->SetBackgroundColour(CRgbaColour(48, 48, 48, 255));
        auto* caption = dialog->MakeChild<CAreaCaptionBar>(false);
        caption->SetCaption("Rename playback", false, true);
        caption->SetRect(CRect(0, 0, 50, 250));
        dialog->MakeChild<CAreaLabel>(false)->SetRect(CRect(54, 80, 342, 40));
        for (int i = 0; i < 2; ++i)
        {
            auto* button = dialog->MakeChild<CAreaButtonSoft>();
            button->SetCaption(i == 0 ? "Ok" : "Cancel", false);
            button->SetRect(CRect(192 + 104 * i, 200, 100, 46));
        }
        page->ShowDialog(std::move(dialog));
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
    CArea2* covered = nullptr;
};

// What is marked dirty before each frame.
enum class EDirty
{
    kNothing,
    kWidget,
    // The widget the dialog partly covers.
    kCovered,
};

// Frames with one widget or nothing marked dirty in each, with or without a dialog open.
void Frames(benchmark::State& state, EDirty dirty, bool dialog)
{
    CFullPage page;
    if (dialog)
        page.OpenDialog();
    CArea2* widget = dirty == EDirty::kCovered ? page.covered : dirty == EDirty::kWidget ? page.widget : nullptr;
    for (auto _ : state)
    {
        if (widget)
            widget->SetDirty();
        page.Frame();
        benchmark::DoNotOptimize(page.canvas.GetPixels());
    }
}

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
    Frames(state, EDirty::kWidget, false);
}
BENCHMARK(BM_AreasOneDirtyWidget);

void BM_AreasNothingChanged(benchmark::State& state)
{
    Frames(state, EDirty::kNothing, false);
}
BENCHMARK(BM_AreasNothingChanged);

void BM_AreasOneDirtyWidgetBesideADialog(benchmark::State& state)
{
    Frames(state, EDirty::kWidget, true);
}
BENCHMARK(BM_AreasOneDirtyWidgetBesideADialog);

void BM_AreasOneDirtyWidgetUnderADialog(benchmark::State& state)
{
    Frames(state, EDirty::kCovered, true);
}
BENCHMARK(BM_AreasOneDirtyWidgetUnderADialog);

void BM_AreasNothingChangedUnderADialog(benchmark::State& state)
{
    Frames(state, EDirty::kNothing, true);
}
BENCHMARK(BM_AreasNothingChangedUnderADialog);
}  // namespace
