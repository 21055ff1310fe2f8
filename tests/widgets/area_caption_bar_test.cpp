// The dialogs' title strip: its tint, the caption cut out in the background colour, upper-casing,
// and captions too big for the strip.
#include "tests/widgets/widget_test.h"
#include "widgets/area_caption_bar.h"

using namespace widget_test;

namespace
{
const CRgbaColour kRed(220, 0, 0), kBlue(0, 0, 255);

class CaptionBars : public WidgetTest
{
protected:
    CAreaCaptionBar* AddBar(const CRect& rect, const std::string& caption)
    {
        auto made = std::make_unique<CAreaCaptionBar>(m_root, false);
        made->SetRect(rect);
        CAreaCaptionBar* bar = m_root->AddChild(std::move(made));
        bar->SetColour(kRed);
        bar->SetBackgroundColour(kBlue);
        bar->SetCaption(caption, false, true);
        return bar;
    }
    // Rows holding caption pixels (bluer than red), first and last; -1 for none.
    std::pair<int, int> CaptionRows(const CRect& rect)
    {
        std::pair<int, int> rows(-1, -1);
        for (int y = rect.GetY(); y < rect.GetBottom(); ++y)
            for (int x = rect.GetX(); x < rect.GetRight(); ++x)
                if (At(x, y).GetBlue() > At(x, y).GetRed() + 40)
                    rows = {rows.first < 0 ? y : rows.first, y};
        return rows;
    }
};
}  // namespace

TEST_F(CaptionBars, TintedFrameWithTheCaptionInTheBackgroundColourWithinItsMargins)
{
    CAreaCaptionBar* bar = AddBar(CRect(0, 0, 50, 200), "r\xC3\xA9glages");
    // Too small for any text, a bar draws just its frame.
    AddBar(CRect(100, 0, 15, 15), "Tiny");
    // Only ASCII letters are upper-cased; other characters keep their bytes.
    EXPECT_EQ(bar->GetCaption(), "R\xC3\xA9GLAGES");
    Render();
    EXPECT_GT(At(5, 100).GetRed(), 100);
    const auto rows = CaptionRows(CRect(0, 0, 50, 200));
    EXPECT_GE(rows.first, 10);
    EXPECT_LE(rows.second, 190);
    EXPECT_GT(rows.second - rows.first, 40);
    EXPECT_EQ(CaptionRows(CRect(100, 0, 15, 15)).first, -1);

    // A text colour of its own has no effect; a new main colour re-tints the frame.
    bar->SetTextColour(kRed);
    EXPECT_EQ(bar->GetTextColour(), kBlue);
    bar->SetColour(CRgbaColour(0, 200, 0));
    Render();
    EXPECT_LT(At(5, 100).GetRed(), 60);
    EXPECT_GT(At(5, 100).GetGreen(), 100);
    // The same caption again leaves the bar alone.
    bar->SetCaption("R\xC3\xA9GLAGES", false, false);
    EXPECT_FALSE(bar->IsDirty());
}

TEST_F(CaptionBars, ALongTranslatedTitleIsSetSmallerWholeRatherThanCutAtTheEnds)
{
    // As long as the French title of the show file name dialog, in a dialog's 250-pixel bar.
    AddBar(CRect(0, 0, 50, 250), "Nom du fichier de show");
    Render();
    const auto rows = CaptionRows(CRect(0, 0, 50, 250));
    EXPECT_GT(rows.first, 10);
    EXPECT_LT(rows.second, 239);
    EXPECT_GT(rows.second - rows.first, 150);
}
