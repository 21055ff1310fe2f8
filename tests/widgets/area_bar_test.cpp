// The level bar's lit segments for values around its thresholds, read from the canvas.
#include "tests/widgets/widget_test.h"
#include "widgets/area_bar.h"

using namespace widget_test;

namespace
{
const CRgbaColour kFace(0, 200, 0);
class Bars : public WidgetTest
{
};
}  // namespace

TEST_F(Bars, LevelBarsLightTheirSegmentsFromTheBaseOrFromTheMiddle)
{
    // 30 x 110 bars: step 10, margin 0, so segment row k (0 at the top) starts at y = 10k.
    CAreaBar* bars[2] = {};
    for (const bool bipolar : {false, true})
    {
        auto bar = std::make_unique<CAreaBar>(m_root, bipolar);
        bar->SetRect(CRect(0, 0, 30, 110));
        bar->SetColour(kFace);
        bars[bipolar] = m_root->AddChild(std::move(bar), bipolar);
    }
    const struct
    {
        bool bipolar;
        float value;
        const char* rows;
    } cases[] = {
        {false, 0.0f, "..........#"}, {false, 0.1f, ".........##"},
        // 9 x (1/10) in single precision lies above 0.9: 0.9 lights eight segments.
        {false, 0.9f, "..#########"}, {false, 1.0f, "###########"},
        // Negative thresholds are met within 0.01, positive ones exactly.
        {true, 0.0f, ".....#....."}, {true, 0.195f, ".....#....."}, {true, 0.2f, "....##....."},
        {true, -0.195f, ".....##...."}, {true, -1.0f, ".....######"}, {true, 1.0f, "######....."},
    };
    for (const auto& c : cases)
    {
        bars[0]->SetVisible(!c.bipolar);
        bars[1]->SetVisible(c.bipolar);
        bars[c.bipolar]->SetValue(c.value);
        m_root->SetDirty();
        Render();
        std::string rows;
        // Probed inside the narrowest segment's face.
        for (int k = 0; k <= CAreaBar::kSegments; ++k)
            rows += At(17, 10 * k + 1) == kFace ? '#' : '.';
        EXPECT_EQ(rows, c.rows) << c.bipolar << " " << c.value;
    }
    // Each segment reaches a pixel further out than the one inside it; dimming shows at the next
    // repaint.
    EXPECT_EQ(At(1, 1), kFace);
    EXPECT_NE(At(1, 11), kFace);
    bars[1]->SetDimmed(true);
    bars[1]->SetDirty();
    Render();
    EXPECT_EQ(At(10, 1).GetAlpha(), 127);
}
