// Painting the area tree into a canvas that keeps its pixels, and drawing text.
#include "graphics/font_manager.h"
#include "graphics/texture_adapter.h"
#include "widgets/area.h"
#include "widgets/shorten_middle.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
const CRgbaColour kRed(255, 0, 0, 255);
const CRgbaColour kGreen(0, 255, 0, 255);
const CRgbaColour kBlue(0, 0, 255, 255);
const CRgbaColour kWhite(255, 255, 255, 255);

// Under an open dialog, as black at alpha 127 over the colour leaves it.
CRgbaColour Dimmed(CRgbaColour colour, int times = 1)
{
    CZevralImage pixel(1, 1);
    pixel.Fill(colour);
    for (int i = 0; i < times; ++i)
        pixel.DimRect(CRect(0, 0, 1, 1));
    return pixel.GetPixel(0u, 0u);
}

class CPaintingArea : public CArea2
{
public:
    CPaintingArea(CArea2* parent, const CRect& rect, CRgbaColour background, bool ownSurface = false)
        : CArea2(parent, ownSurface, 100, 100)
    {
        SetRect(rect);
        SetBackgroundColour(background);
        if (!parent)
            SetVisible(true);
    }
    int m_paints = 0;

protected:
    void Paint(CTextureAdapter&) override { ++m_paints; }
};

// A canvas of 300 x 200 drawn the way the frame loop draws.
struct Painting : ::testing::Test
{
    void Render()
    {
        const CTextureAdapter whole(canvas);
        if (root.NeedsRender())
            root.Render(CTextureAdapter(CRect(0, 0, 300, 200), whole), CPoint(0, 0), false);
    }
    CRgbaColour At(int x, int y) const { return canvas.GetPixel(uint32_t(x), uint32_t(y)); }

    CZevralImage canvas{300, 200};
    CPaintingArea root{nullptr, CRect(0, 0, 300, 200), kRed};
    CPaintingArea* a = root.MakeChild<CPaintingArea>(CRect(10, 10, 50, 50), kGreen);
    CPaintingArea* b = root.MakeChild<CPaintingArea>(CRect(100, 10, 50, 50), kBlue);
};
}

TEST_F(Painting, OnlyDirtyAreasAndWhatIsInsideThemRepaint)
{
    Render();
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(59, 59), kGreen);
    // A clean tree draws nothing at all.
    const CZevralImage before = canvas;
    EXPECT_FALSE(root.NeedsRender());
    Render();
    EXPECT_EQ(root.m_paints + a->m_paints + b->m_paints, 3);
    EXPECT_TRUE(canvas == before);
    // One dirty child repaints alone over what the canvas holds.
    canvas.SetPixel(20, 20, kWhite);
    canvas.SetPixel(110, 20, kWhite);
    a->SetDirty();
    Render();
    EXPECT_EQ(At(20, 20), kGreen);
    EXPECT_EQ(At(110, 20), kWhite);
    // A dirty parent repaints everything in it; a hidden child's place takes the parent's background.
    root.SetDirty();
    Render();
    EXPECT_EQ(At(110, 20), kBlue);
    b->SetVisible(false);
    Render();
    EXPECT_EQ(At(110, 20), kRed);
    EXPECT_EQ(b->m_paints, 2);
}

TEST_F(Painting, UnderAnOpenDialogWhatChangesRepaintsAndTheDialogStaysWholeOverIt)
{
    // Half under the dialog, which is centred at (100, 80) to (200, 120).
    auto* under = root.MakeChild<CPaintingArea>(CRect(80, 60, 40, 40), kBlue);
    Render();
    auto* dialog = root.ShowDialog(std::make_unique<CPaintingArea>(nullptr, CRect(0, 0, 100, 40), kWhite));
    Render();
    EXPECT_EQ(At(150, 100), kWhite);
    EXPECT_EQ(At(0, 0), Dimmed(kRed));
    EXPECT_EQ(At(20, 20), Dimmed(kGreen));
    // A lamp beside the dialog turns as the link does, as dim as the page around it; an idle frame
    // after it draws nothing.
    canvas.SetPixel(20, 20, kBlue);
    a->SetDirty();
    Render();
    EXPECT_EQ(At(20, 20), Dimmed(kGreen));
    EXPECT_EQ(At(0, 0), Dimmed(kRed));
    EXPECT_FALSE(root.NeedsRender());
    // What the dialog partly covers shows its change beside the dialog, and the dialog stays over it.
    canvas.SetPixel(85, 65, kRed);
    under->SetDirty();
    Render();
    EXPECT_EQ(At(85, 65), Dimmed(kBlue));
    EXPECT_EQ(At(105, 85), kWhite);
    EXPECT_EQ(root.m_paints, 1);
    // A dialog opened over the dialog dims the page once more, and what changes under both too.
    auto* inner = dialog->ShowDialog(std::make_unique<CPaintingArea>(nullptr, CRect(0, 0, 20, 10), kGreen));
    Render();
    EXPECT_EQ(At(150, 100), kGreen);
    EXPECT_EQ(At(105, 85), Dimmed(kWhite));
    EXPECT_EQ(At(0, 0), Dimmed(kRed, 2));
    a->SetDirty();
    b->SetDirty();
    Render();
    EXPECT_EQ(At(20, 20), Dimmed(kGreen, 2));
    EXPECT_EQ(At(70, 20), Dimmed(kRed, 2));
    inner->SetResult(CArea2::kResultOk);
    root.Tick(0.04f);
    Render();
    EXPECT_EQ(At(105, 85), kWhite);
    EXPECT_EQ(At(0, 0), Dimmed(kRed));
    dialog->SetResult(CArea2::kResultOk);
    root.Tick(0.04f);
    Render();
    EXPECT_EQ(At(105, 85), kBlue);
    EXPECT_EQ(At(150, 100), kRed);
    EXPECT_EQ(At(20, 20), kGreen);
    // A dialog of a part of the page, centred on it, dims the whole page just as well, and what
    // changes beside that part with it.
    auto* small = b->ShowDialog(std::make_unique<CPaintingArea>(nullptr, CRect(0, 0, 20, 10), kWhite));
    Render();
    EXPECT_EQ(At(120, 35), kWhite);
    EXPECT_EQ(At(0, 0), Dimmed(kRed));
    a->SetDirty();
    Render();
    EXPECT_EQ(At(20, 20), Dimmed(kGreen));
    small->SetResult(CArea2::kResultOk);
    root.Tick(0.04f);
    Render();
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(120, 35), kBlue);
}

TEST_F(Painting, ADialogOpensOverThePageAsItStandsThen)
{
    Render();
    // A key changed by the press that opens the dialog shows its change under the dialog.
    canvas.SetPixel(20, 20, kWhite);
    a->SetDirty();
    auto* large = root.ShowDialog(std::make_unique<CPaintingArea>(nullptr, CRect(0, 0, 200, 100), kWhite));
    Render();
    EXPECT_EQ(At(20, 20), Dimmed(kGreen));
    EXPECT_EQ(At(150, 100), kWhite);
    // A smaller dialog that takes the larger one's place, opened as it closes or straight over
    // it, leaves nothing of it in sight, and the page under it dimmed once.
    for (bool onClose : {true, false})
    {
        if (onClose)
        {
            large->SetResult(CArea2::kResultOk);
            root.Tick(0.04f);
        }
        root.ShowDialog(std::make_unique<CPaintingArea>(nullptr, CRect(0, 0, 40, 20), kBlue));
        Render();
        EXPECT_EQ(At(150, 100), kBlue) << onClose;
        EXPECT_EQ(At(60, 60), Dimmed(kRed)) << onClose;
        EXPECT_EQ(At(20, 20), Dimmed(kGreen)) << onClose;
        large = root.ShowDialog(std::make_unique<CPaintingArea>(nullptr, CRect(0, 0, 200, 100), kWhite));
        Render();
        ASSERT_EQ(At(60, 60), kWhite);
    }
}

TEST_F(Painting, AreasOverTheCanvasEdgePaintOnlyTheirPartInside)
{
    Render();
    root.MakeChild<CPaintingArea>(CRect(280, 190, 50, 50), kWhite);
    root.MakeChild<CPaintingArea>(CRect(-40, 50, 30, 30), kWhite);
    auto* above = root.MakeChild<CPaintingArea>(CRect(0, 0, 20, 20), kBlue);
    above->SetY(-15);
    Render();
    EXPECT_EQ(At(299, 199), kWhite);
    EXPECT_EQ(At(279, 199), kRed);
    EXPECT_EQ(At(5, 4), kBlue);
    EXPECT_EQ(At(5, 5), kRed);
}

TEST(AreaText, FitsAndCentresText)
{
    CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
    CArea2 area(nullptr, false, 200, 50);
    ASSERT_NE(area.GetFont(), nullptr);
    // Set smaller down to the legible size, then shortened in its middle.
    uint32_t size = 14;
    std::string text = "A text that does not fit at any legible size";
    area.FitText(60, text, size);
    EXPECT_EQ(size, CArea2::GetLegibleFontSize());
    int32_t width = 0, height = 0;
    area.MeasureText(text, size, width, height);
    EXPECT_LE(width, 60);
    EXPECT_EQ(text.substr(0, 3), "A t");
    EXPECT_NE(text.find("..."), std::string::npos);

    CZevralImage canvas(200, 50);
    const CZevralImage blank = canvas;
    area.DrawText(canvas, "", kWhite, CPoint(100, 25), CArea2::kAlignCentre, CArea2::kAlignMiddle);
    EXPECT_TRUE(canvas == blank);
    area.DrawText(canvas, "HHHH", kWhite, CPoint(100, 25), CArea2::kAlignCentre, CArea2::kAlignMiddle);
    int left = 200, right = -1;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas.GetPixel(uint32_t(x), uint32_t(y)).GetRed() > 128)
                left = std::min(left, x), right = std::max(right, x);
    EXPECT_NEAR((left + right) / 2.0, 100.0, 2.0);
}

TEST(ShortenMiddle, TakesTwoBytesAtATimeFromTheMiddle)
{
    const struct
    {
        std::string in;
        bool shortened;
        std::string out;
    } cases[] = {
        {"abcdef", false, "abcdef"},
        {"abcdefg", true, "a...g"},
        {"0123456789", true, "012...89"},
        // Neither cut splits a two-byte character (C3 A9).
        {"ab\xC3\xA9" "cdefgh", true, "ab...gh"},
        {"abcdefg\xC3\xA9" "j", true, "abc...j"},
    };
    for (const auto& c : cases)
    {
        std::string text = c.in;
        EXPECT_EQ(ShortenMiddle(text), c.shortened) << c.in;
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST(ShortenMiddle, TheLongestFormThatFitsIsFoundWithAFewMeasurements)
{
    const std::string label = std::string(100000, 'a') + "\xC3\xA9" + std::string(100000, 'z');
    const struct
    {
        std::string in;
        size_t widest;
        std::string out;
    } cases[] = {
        {"0123456789", 10, "0123456789"},
        {"0123456789", 8, "012...89"},  // as ShortenMiddle's first cut
        {"0123456789", 3, "0...9"},     // nothing fits: the shortest form
        {"ab\xC3\xA9" "cdefgh", 9, "ab...gh"},
        {label, 12, "aaaaa...zzzz"},
    };
    for (const auto& c : cases)
    {
        size_t measured = 0;
        const std::string fitted = ShortenMiddleToFit(c.in, [&](const std::string& text) {
            ++measured;
            return text.size() <= c.widest;
        });
        EXPECT_EQ(fitted, c.out) << c.widest;
        EXPECT_LE(measured, 16u) << c.widest;
    }
}
