// The level bar's lit segments for values around its thresholds, read from the canvas.
#include "tests/widgets/widget_test.h"
#include "widgets/area_bar.h"

using widget_test::WidgetTest;

namespace
{
const CRgbaColour kFace(0, 200, 0, 255);

// A 30 x 110 bar: step 10, margin 0, segments 5 high, so segment k (0 = top row) starts at 10k.
class Bars : public WidgetTest
{
protected:
    CAreaBar* AddBar(bool bipolar)
    {
        auto* bar = new CAreaBar(m_root, bipolar);
        bar->SetRect(CRect(0, 0, 30, 110));
        bar->SetColour(kFace);
        m_root->AddChild(bar);
        return bar;
    }
    // The rows whose segment is drawn, top to bottom, probed at the right end of the narrowest
    // possible segment's face.
    std::string LitRows()
    {
        Render();
        std::string rows;
        for (int k = 0; k <= CAreaBar::kSegments; ++k)
            rows += At(17, 10 * k + 1) == kFace ? '#' : '.';
        return rows;
    }
};
}  // namespace

TEST_F(Bars, UnipolarLightsFromTheBaseUp)
{
    CAreaBar* bar = AddBar(false);
    EXPECT_EQ(bar->GetName(), "CAreaBar");
    const struct
    {
        float value;
        const char* rows;
    } cases[] = {
        {0.0f, "..........#"},
        {0.1f, ".........##"},
        {0.55f, ".....######"},
        // 9 x (1/10) in single precision lies above 0.9: 0.9 lights eight segments.
        {0.9f, "..#########"},
        {1.0f, "###########"},
    };
    for (const auto& c : cases)
    {
        bar->SetValue(c.value);
        EXPECT_EQ(LitRows(), c.rows) << c.value;
    }
    // Each lit segment is a pixel wider than the one below it: a wedge.
    EXPECT_EQ(At(27, 1), kFace);
    EXPECT_NE(At(27, 11), kFace);
}

TEST_F(Bars, BipolarLightsFromTheMiddleWithToleranceBelowOnly)
{
    CAreaBar* bar = AddBar(true);
    const struct
    {
        float value;
        const char* rows;
    } cases[] = {
        {0.0f, ".....#....."},
        {0.195f, ".....#....."},
        {0.2f, "....##....."},
        {-0.195f, ".....##...."},
        {-1.0f, ".....######"},
        {1.0f, "######....."},
    };
    for (const auto& c : cases)
    {
        bar->SetValue(c.value);
        EXPECT_EQ(LitRows(), c.rows) << c.value;
    }
}

TEST_F(Bars, DimmingShowsAtTheNextRepaint)
{
    CAreaBar* bar = AddBar(false);
    bar->SetValue(1.0f);
    Render();
    bar->SetDimmed(true);
    Render();
    EXPECT_EQ(At(5, 1), kFace);
    bar->SetDirty();
    Render();
    EXPECT_EQ(At(5, 1).GetAlpha(), 127);
}
