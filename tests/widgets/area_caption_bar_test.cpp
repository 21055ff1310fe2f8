// The dialogs' title strip: its tint, the caption cut out in the background colour, shortening,
// and captions that are upper-cased or too big for the strip.
#include "tests/widgets/widget_test.h"
#include "widgets/area_caption_bar.h"

using widget_test::WidgetTest;

namespace
{
const CRgbaColour kRed(220, 0, 0, 255);
const CRgbaColour kBlue(0, 0, 255, 255);

class CaptionBars : public WidgetTest
{
protected:
    CAreaCaptionBar* AddBar(const CRect& rect)
    {
        auto* bar = new CAreaCaptionBar(m_root, false);
        bar->SetRect(rect);
        m_root->AddChild(bar);
        return bar;
    }
    // Pixels of the caption: those that are bluer than they are red.
    int CaptionPixels(const CRect& rect)
    {
        int count = 0;
        for (int y = rect.GetY(); y < rect.GetBottom(); ++y)
            for (int x = rect.GetX(); x < rect.GetRight(); ++x)
                count += At(x, y).GetBlue() > At(x, y).GetRed() + 40;
        return count;
    }
};
}  // namespace

TEST_F(CaptionBars, TheFrameTakesTheMainColourAndTheCaptionTheBackgroundColour)
{
    CAreaCaptionBar* bar = AddBar(CRect(0, 0, 50, 200));
    EXPECT_EQ(bar->GetName(), "CAreaCaptionBar");
    bar->SetColour(kRed);
    bar->SetBackgroundColour(kBlue);
    bar->SetCaption("Playback", false, true);
    EXPECT_EQ(bar->GetCaption(), "PLAYBACK");
    Render();
    EXPECT_GT(At(5, 100).GetRed(), 100);
    // Written bottom to top within the 10-pixel margins, so the ink is tall and narrow.
    EXPECT_EQ(CaptionPixels(CRect(0, 0, 50, 10)) + CaptionPixels(CRect(0, 190, 50, 10)), 0);
    EXPECT_GT(CaptionPixels(CRect(10, 10, 30, 180)), 50);

    // A text colour of its own has no effect.
    bar->SetTextColour(kRed);
    EXPECT_EQ(bar->GetTextColour(), kBlue);

    // A new main colour re-tints the frame.
    bar->SetColour(CRgbaColour(0, 200, 0, 255));
    Render();
    EXPECT_GT(At(5, 100).GetGreen(), 100);
    EXPECT_LT(At(5, 100).GetRed(), 60);

    // The same caption again leaves the bar alone.
    EXPECT_FALSE(bar->IsDirty());
    bar->SetCaption("PLAYBACK", false, false);
    EXPECT_FALSE(bar->IsDirty());
}

TEST_F(CaptionBars, UpperCasingLeavesNonAsciiCharactersWhole)
{
    CAreaCaptionBar* bar = AddBar(CRect(0, 0, 50, 200));
    bar->SetCaption("r\xC3\xA9glages \xC3\xBF", false, true);
    EXPECT_EQ(bar->GetCaption(), "R\xC3\xA9GLAGES \xC3\xBF");
}

TEST_F(CaptionBars, LongCaptionsStayWithinTheMarginsAndTinyBarsDrawOnlyTheirFrame)
{
    for (CAreaCaptionBar* bar : {AddBar(CRect(0, 0, 50, 120)), AddBar(CRect(100, 0, 15, 15))})
    {
        bar->SetColour(kRed);
        bar->SetBackgroundColour(kBlue);
        bar->SetCaption("A very long caption that could never fit along so short a strip", false, false);
    }
    Render();
    int top = 120, bottom = -1;
    for (int y = 0; y < 120; ++y)
        if (CaptionPixels(CRect(0, y, 50, 1)) > 0)
            top = std::min(top, y), bottom = std::max(bottom, y);
    // Shortened and clipped to its box, the caption still spans most of the strip.
    EXPECT_GE(top, 10);
    EXPECT_LE(bottom, 110);
    EXPECT_GT(bottom - top, 60);
    EXPECT_EQ(CaptionPixels(CRect(100, 0, 15, 15)), 0);
}
