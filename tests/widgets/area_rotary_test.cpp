// The speed knob: steps of a tenth, turning by angle, wheel and reset, and the turned indents. The
// shipped knob is 94 x 97, so the widget is 94 x 77 with its centre at (47, 38).
#include "widgets/area_rotary.h"

#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
struct Rotary : ::testing::Test
{
    void SetUp() override
    {
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
        root.SetVisible(true);
        knob = root.MakeChild<CAreaRotary>();
        knob->SetChangeCallback(&reported, [](void* context, CAreaRotary*, float value) {
            static_cast<std::vector<float>*>(context)->push_back(value);
        });
    }
    void Press(uint32_t button) { root.PointerDown(0, CPoint(47, 38), button, &(handled = false)); }
    void Move(int x, int y) { root.PointerMove(0, CPoint(x, y)); }
    // Whether the light pointer mark of the indent ring covers the pixel.
    bool PointerAt(int x, int y)
    {
        root.Render(CTextureAdapter(canvas), CPoint(), false);
        return canvas.GetPixel(CPoint(x, y)).GetRed() > 150;
    }

    CArea2 root{nullptr, false, 200, 200};
    CAreaRotary* knob = nullptr;
    CZevralImage canvas{200, 200};
    std::vector<float> reported;
    bool handled = false;
};
}

TEST_F(Rotary, ValuesKeepToStepsOfATenthWithinRangeAndOnlyChangesCallBack)
{
    EXPECT_EQ(knob->GetRect(), CRect(0, 0, 94, 77));
    for (const auto& c : {std::make_pair(0.34f, 0.3f), {0.35f, 0.4f}, {5.0f, 1.0f}, {-0.26f, -0.3f}, {0.04f, 0.0f}})
    {
        knob->SetValue(c.first);
        EXPECT_NEAR(knob->GetValue(), c.second, 1e-6f) << c.first;
    }
    PointerAt(0, 0);
    knob->SetValue(0.01f);
    knob->SetValue(std::nanf(""));
    EXPECT_FALSE(knob->IsDirty());
    // The wheel steps a tenth a notch; any button but the first resets and does not drag.
    root.Wheel(0, CPoint(47, 38), -30, &handled);
    EXPECT_EQ(knob->GetValue(), -1.0f);
    Press(3);
    Move(90, 70);
    EXPECT_EQ(knob->GetValue(), 0.0f);
    EXPECT_EQ(reported.size(), 7u);
}

TEST_F(Rotary, DraggingTurnsTheKnobTowardsThePointer)
{
    knob->SetValue(0.5f);
    Press(1);
    const struct { int x, y; float value; } moves[] = {
        {47, 0, 0.0f},    // straight up
        {77, 8, 0.4f},    // 45 degrees right
        {20, 11, -0.4f},  // 45 degrees left
        {90, 70, 1.0f},   // beyond 120 degrees right
        {5, 70, -1.0f},   // beyond 120 degrees left
        {47, 76, 1.0f},   // straight down
        {47, 38, 1.0f},   // the centre itself points nowhere: unchanged
    };
    for (const auto& m : moves)
    {
        Move(m.x, m.y);
        EXPECT_NEAR(knob->GetValue(), m.value, 1e-6f) << m.x << "," << m.y;
    }
    root.PointerUp(0, CPoint(47, 0), &(handled = false));
    Move(5, 70);
    EXPECT_EQ(knob->GetValue(), 1.0f);
}

TEST_F(Rotary, ThePointerOfTheIndentsTurnsClockwiseWithTheValue)
{
    // The mark runs from the centre (47, 47) of the ring towards its rim.
    EXPECT_TRUE(PointerAt(47, 31) && !PointerAt(61, 55));
    knob->SetValue(1.0f);
    EXPECT_TRUE(PointerAt(61, 55) && !PointerAt(47, 31));
    knob->SetValue(-1.0f);
    EXPECT_TRUE(PointerAt(33, 55));
}
