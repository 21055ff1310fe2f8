// The soft fader: values from the pointer and the wheel, the meter and read-out it draws, and the
// parameter fader's level read-out.
#include "widgets/area_fader_soft.h"
#include "widgets/area_fader_soft_parameter.h"

#include "graphics/glyph_manager.h"
#include "tests/widgets/widget_test.h"

#include <cmath>

namespace
{
using widget_test::WidgetTest;
const CRgbaColour kRed(255, 0, 0, 255);

// Upright faders of 70 x 180: the pointer's travel runs from y 35 (top) to 145 (bottom); the
// meter has 18 segments of 6 pixels, segment i's middle row at y 139 - 6 i, from x 9.
class SoftFaderTest : public WidgetTest
{
protected:
    SoftFaderTest() { CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs"); }
    // A soft fader, or the parameter fader with a group, at (x, 10).
    CAreaFaderSoft* Add(int32_t x, int32_t group = -1)
    {
        std::unique_ptr<CAreaFaderSoft> made;
        if (group < 0)
            made = std::make_unique<CAreaFaderSoft>(m_root, 7);
        else
            made = std::make_unique<CAreaFaderSoftParameter>(m_root, uint32_t(group));
        made->SetPosition(CPoint(x, 10));
        CAreaFaderSoft* fader = m_root->AddChild(std::move(made));
        fader->SetChangeCallback(this, [](void* context, CAreaFaderSoft* f) {
            static_cast<SoftFaderTest*>(context)->m_reported.push_back(f->GetValue());
        });
        return fader;
    }
    bool Wheel(const CPoint& point, int32_t amount)
    {
        bool handled = false;
        return m_root->Wheel(0, point, amount, &handled), handled;
    }
    void Move(const CPoint& point) { m_root->PointerMove(0, point); }
    // The red of segment i of a fader at x.
    int Segment(int32_t x, int i) const { return At(x + 29, 10 + 139 - 6 * i).GetRed(); }
    // The box of 64 x 35 at y of a fader: read-out at 3, caption at 142.
    CZevralImage Box(const CAreaFaderSoft* f, int32_t y) const
    {
        return m_canvas.Crop(CRect(f->GetX() + 3, 10 + y, 64, 35));
    }

    std::vector<float> m_reported;
};

}  // namespace

TEST_F(SoftFaderTest, ThePointerAsksForValuesThatOnlyTheAnswerShows)
{
    CAreaFaderSoft* fader = Add(10);
    EXPECT_TRUE(Down(CPoint(20, 10 + 35)));
    Move(CPoint(20, 10 + 90));
    Move(CPoint(20, 10 + 400));
    Up(CPoint(20, 10 + 400));
    Move(CPoint(20, 10 + 35));
    EXPECT_EQ(m_reported, (std::vector<float>{1.0f, 0.5f, 0.0f}));
    EXPECT_TRUE(fader->GetValues().empty());

    // The right button puts the default back, and the press goes on to the owner.
    fader->SetDefaultValue(0.25f);
    EXPECT_FALSE(Down(CPoint(20, 50), 3));
    EXPECT_EQ(fader->GetValues(), std::vector<float>{0.25f});
    EXPECT_EQ(m_reported.back(), 0.25f);

    // The wheel may ask for more than the range; the answer is brought back into it.
    fader->SetValue(1.0f);
    EXPECT_TRUE(Wheel(CPoint(20, 50), 10));
    EXPECT_FLOAT_EQ(m_reported.back(), 1.1f);
    fader->SetValues({1.1f, -3.0f, 1.0f, 0.5f});
    EXPECT_EQ(fader->GetValues(), (std::vector<float>{1.0f, 0.0f, 0.5f}));
    EXPECT_EQ(fader->GetValue(), 1.0f);
}

TEST_F(SoftFaderTest, TheMeterLightsToTheLowestAndHalfLightsToTheHighest)
{
    CAreaFaderSoft* faders[] = {Add(10), Add(90), Add(170), Add(250), Add(330)};
    auto [both, high, low, none, bipolar] = faders;
    for (CAreaFaderSoft* fader : faders)
        fader->SetFaderColour(kRed);
    both->SetValues({0.2f, 0.7f});
    high->SetValue(0.7f);
    low->SetValue(0.2f);
    bipolar->SetMinimum(-1.0f);
    bipolar->SetValue(-0.5f);
    Render();
    // Lit below 0.2 (segments 0-3), half lit below 0.7 (4-12), unlit above.
    for (const auto& [i, red] : {std::pair{0, 255}, {3, 255}, {4, 153}, {12, 153}, {13, 76}, {17, 76}})
        EXPECT_EQ(Segment(10, i), red) << i;
    // The read-out shows the highest value; without values it reads as 0 with the knob at the bottom.
    EXPECT_TRUE(Box(both, 3) == Box(high, 3));
    EXPECT_FALSE(Box(both, 3) == Box(low, 3));
    EXPECT_EQ(none->GetKnobRect(), CRect(0, 110, 70, 70));
    EXPECT_EQ(Segment(250, 0), 76);
    // Below zero the meter lights from 0 toward the value: segment i stands for -1 + i / 9.
    for (const auto& [i, red] : {std::pair{4, 76}, {5, 255}, {9, 255}, {10, 76}})
        EXPECT_EQ(Segment(330, i), red) << i;
    bipolar->SetValue(-1.0f);
    Render();
    EXPECT_EQ(Segment(330, 0), 255);
}

TEST_F(SoftFaderTest, ADisabledFaderDrawsItsFrameAndCaptionAndIgnoresThePointer)
{
    CAreaFaderSoft* fader = Add(10);
    fader->SetFaderColour(kRed);
    fader->SetCaption("Zoom", false, false);
    fader->SetValue(1.0f);
    Render();
    const CZevralImage caption = Box(fader, 142);
    EXPECT_EQ(Segment(10, 8), 255);
    fader->SetEnabled(false);
    Render();
    EXPECT_NE(Segment(10, 8), 255);
    EXPECT_TRUE(Box(fader, 142) == caption);
    EXPECT_FALSE(Down(CPoint(20, 50)));
    EXPECT_FALSE(Wheel(CPoint(20, 50), 5));
    EXPECT_TRUE(m_reported.empty());
}

TEST_F(SoftFaderTest, AFaderWithoutTravelOrRangeStaysAtItsMinimum)
{
    CAreaFaderSoft* flat = Add(10);
    flat->SetMaximum(0.0f);
    flat->SetValue(std::nanf(""));
    EXPECT_EQ(flat->GetValues(), std::vector<float>{0.0f});
    Down(CPoint(20, 45));
    Up(CPoint(20, 45));
    CAreaFaderSoft* stub = Add(90);
    stub->SetSize(70, 60);
    Down(CPoint(100, 20));
    Render();
    EXPECT_EQ(m_reported, (std::vector<float>{0.0f, 0.0f}));
}

TEST_F(SoftFaderTest, AParameterFaderShowsTheLevelForASecondAfterEachAnswer)
{
    CAreaFaderSoft* fader = Add(10, 14);
    fader->SetCaption("Zoom", false, false);
    Render();
    const CZevralImage caption = Box(fader, 142);
    fader->SetValue(1.0f);
    Render();
    const CZevralImage full = Box(fader, 142);
    EXPECT_FALSE(full == caption);
    // The wheel may take the asked-for level past either end; it reads as the end.
    Wheel(CPoint(20, 50), 50);
    fader->SetDirty();
    Render();
    EXPECT_TRUE(Box(fader, 142) == full);
    Wheel(CPoint(20, 50), -300);
    fader->SetDirty();
    Render();
    const CZevralImage below = Box(fader, 142);
    fader->SetValue(0.0f);
    Render();
    EXPECT_TRUE(Box(fader, 142) == below);
    // A second later, however the frames divide it, the caption is back.
    Ticks(3, 0.25f);
    EXPECT_FALSE(m_root->NeedsRender());
    Ticks(1, 0.25f);
    Render();
    EXPECT_TRUE(Box(fader, 142) == caption);
}

TEST_F(SoftFaderTest, ACaptionWiderThanANarrowFaderIsFittedInsideItsBox)
{
    // The edit page's faders are 33 wide: the caption box is 27 x 16 at (3, 155).
    CAreaFaderSoft* fader = Add(10);
    fader->SetSize(33, 174);
    Render();
    const CZevralImage bare = m_canvas;
    const CRect box(10 + 3, 10 + 155, 27, 16);
    for (const char* caption : {"Custom1", "A caption far too long for any fader"})
    {
        fader->SetCaption(caption, false, false);
        Render();
        // Drawn, but nothing at the box's sides, where a cut-off text would run into the frame.
        const auto changed = [&](int32_t x, int32_t width) {
            return widget_test::CountChanged(bare, m_canvas, CRect(x, box.GetY(), width, box.GetHeight()));
        };
        EXPECT_GT(changed(box.GetX() + 2, box.GetWidth() - 4), 10) << caption;
        EXPECT_EQ(changed(box.GetX(), 1) + changed(box.GetRight() - 1, 1), 0) << caption;
    }
}
