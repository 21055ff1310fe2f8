// The speed knob: rounding to steps, turning by angle, wheel and reset, and the turned indents.
#include "widgets/area_rotary.h"

#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
// A knob at the top-left corner of a visible root, with the shipped pictures: the knob 94 x 97
// (so the widget is 94 x 77, centre (47, 38)) and the indents 84 x 84 drawn at (5, 5).
struct Rotary : ::testing::Test
{
    static void SetUpTestSuite()
    {
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
    }
    void SetUp() override
    {
        root.SetVisible(true);
        knob = new CAreaRotary(&root);
        root.AddChild(knob);
        knob->SetChangeCallback(this, [](void* context, CAreaRotary*, float value) {
            static_cast<Rotary*>(context)->reported.push_back(value);
        });
    }
    void Press(uint32_t button, int x = 47, int y = 38)
    {
        bool handled = false;
        root.PointerDown(0, CPoint(x, y), button, &handled);
        EXPECT_TRUE(handled);
    }
    void Move(int x, int y) { root.PointerMove(0, CPoint(x, y)); }
    // True when the knob's pointer (a light mark on the indent ring) covers the pixel.
    bool PointerAt(int x, int y)
    {
        root.Render(CTextureAdapter(canvas), CPoint(), false);
        return canvas.GetPixel(CPoint(x, y)).GetRed() > 150;
    }

    CArea2 root{nullptr, false, 200, 200};
    CAreaRotary* knob = nullptr;
    CZevralImage canvas{200, 200};
    std::vector<float> reported;
};
}

TEST_F(Rotary, ValuesAreKeptWithinRangeOnStepsOfATenthAndOnlyChangesCallBack)
{
    EXPECT_EQ(knob->GetName(), "CAreaRotary");
    EXPECT_EQ(knob->GetWidth(), 94u);
    EXPECT_EQ(knob->GetHeight(), 77u);
    const struct
    {
        float in;
        float out;
    } cases[] = {{0.34f, 0.3f}, {0.35f, 0.4f}, {5.0f, 1.0f}, {-0.26f, -0.3f}, {-7.0f, -1.0f}, {0.04f, 0.0f}};
    for (const auto& c : cases)
    {
        knob->SetValue(c.in);
        EXPECT_NEAR(knob->GetValue(), c.out, 1e-6f) << c.in;
    }
    EXPECT_EQ(reported.size(), 6u);
    root.Render(CTextureAdapter(canvas), CPoint(), false);
    // The same step, or no number at all, neither calls back nor repaints.
    knob->SetValue(0.01f);
    knob->SetValue(std::nanf(""));
    EXPECT_EQ(reported.size(), 6u);
    EXPECT_FALSE(knob->IsDirty());
    EXPECT_EQ(knob->GetRotation(), 0.0f);
    knob->SetValue(-0.3f);
    EXPECT_NEAR(knob->GetRotation(), 0.9f, 1e-6f);
}

TEST_F(Rotary, DraggingTurnsTheKnobTowardsThePointer)
{
    knob->SetValue(0.5f);
    Press(1);
    EXPECT_TRUE(knob->IsDragging());
    const struct
    {
        int x;
        int y;
        float value;
    } moves[] = {
        {47, 0, 0.0f},     // straight up
        {77, 8, 0.4f},     // 45 degrees right
        {20, 11, -0.4f},   // 45 degrees left
        {90, 70, 1.0f},    // beyond 120 degrees right
        {5, 70, -1.0f},    // beyond 120 degrees left
        {47, 76, 1.0f},    // straight down
        {47, 38, 1.0f},    // the centre itself points nowhere: unchanged
    };
    for (const auto& m : moves)
    {
        Move(m.x, m.y);
        EXPECT_NEAR(knob->GetValue(), m.value, 1e-6f) << m.x << "," << m.y;
    }
    bool handled = false;
    root.PointerUp(0, CPoint(47, 0), &handled);
    EXPECT_TRUE(handled);
    Move(5, 70);
    EXPECT_EQ(knob->GetValue(), 1.0f);
}

TEST_F(Rotary, OtherButtonsResetTheKnobAndTheWheelStepsIt)
{
    bool handled = false;
    root.Wheel(0, CPoint(47, 38), 3, &handled);
    EXPECT_TRUE(handled);
    EXPECT_NEAR(knob->GetValue(), 0.3f, 1e-6f);
    handled = false;
    root.Wheel(0, CPoint(47, 38), -30, &handled);
    EXPECT_EQ(knob->GetValue(), -1.0f);
    Press(3);
    EXPECT_EQ(knob->GetValue(), 0.0f);
    EXPECT_FALSE(knob->IsDragging());
    Move(90, 70);
    EXPECT_EQ(knob->GetValue(), 0.0f);
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[2], 0.0f);
}

TEST_F(Rotary, ThePointerOfTheIndentsTurnsClockwiseWithTheValue)
{
    // The pointer runs from the centre (47, 47) towards the rim; 120 degrees either side of up at
    // the ends of the range.
    EXPECT_TRUE(PointerAt(47, 31));
    EXPECT_FALSE(PointerAt(61, 55));
    knob->SetValue(1.0f);
    EXPECT_TRUE(PointerAt(61, 55));
    EXPECT_FALSE(PointerAt(47, 31));
    knob->SetValue(-1.0f);
    EXPECT_TRUE(PointerAt(33, 55));
    EXPECT_FALSE(PointerAt(61, 55));
}
