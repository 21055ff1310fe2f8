// The intensity fader: what a press, a drag and the wheel make of the operator's value, and where
// the cap is drawn.
#include "widgets/area_fader.h"

#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
const CRgbaColour kGround(255, 0, 255, 255);

// A fader at the top-left corner of a visible root, over a plain ground, with the shipped cap
// (76 x 60, travel -9 .. 112).
struct Fader : ::testing::Test
{
    static void SetUpTestSuite()
    {
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
    }
    void SetUp() override
    {
        root.SetBackgroundColour(kGround);
        root.SetVisible(true);
        fader = new CAreaFader(&root);
        root.AddChild(fader);
        fader->SetChangeCallback(this, [](void* context, CAreaFader* f) {
            auto* self = static_cast<Fader*>(context);
            self->calls++;
            self->reported = f->GetValue();
        });
    }
    void Press(int y)
    {
        bool handled = false;
        root.PointerDown(0, CPoint(38, y), 1, &handled);
        EXPECT_TRUE(handled);
    }
    void Move(int y) { root.PointerMove(0, CPoint(38, y)); }
    void Release(int y)
    {
        bool handled = false;
        root.PointerUp(0, CPoint(38, y), &handled);
    }
    void Wheel(int amount)
    {
        bool handled = false;
        root.Wheel(0, CPoint(38, 100), amount, &handled);
        EXPECT_TRUE(handled);
    }
    // Renders what is dirty; true when any pixel changed.
    bool Render()
    {
        const CZevralImage before = canvas;
        root.Render(CTextureAdapter(canvas), CPoint(), false);
        return canvas != before;
    }
    bool Ground(int y) const { return canvas.GetPixel(CPoint(38, y)) == kGround; }

    CArea2 root{nullptr, false, 200, 400};
    CAreaFader* fader = nullptr;
    CZevralImage canvas{200, 400};
    int calls = 0;
    float reported = -1.0f;
};
}

TEST_F(Fader, TakesItsWidthFromTheCap)
{
    EXPECT_EQ(fader->GetName(), "CAreaFader");
    EXPECT_EQ(fader->GetWidth(), 76u);
    EXPECT_EQ(fader->GetHeight(), 200u);
}

TEST_F(Fader, APressOnTheCapKeepsTheValueAndADragFollowsThePointerWithinTheTravel)
{
    fader->SetValue(0.5f);
    // The cap is drawn from row 51 to 110; grabbing it anywhere leaves the value alone.
    Press(60);
    EXPECT_EQ(fader->GetValue(), 0.5f);
    EXPECT_EQ(calls, 1);
    // Back to the same row after a detour: the same value, not the drawn row's rounding.
    Move(70);
    Move(60);
    EXPECT_EQ(fader->GetValue(), 0.5f);
    // 121 rows of travel: 11 rows up is 11/121 more.
    Move(49);
    EXPECT_NEAR(fader->GetValue(), 0.5f + 11.0f / 121.0f, 1e-5f);
    Move(-300);
    EXPECT_EQ(fader->GetValue(), 1.0f);
    // At the limit every move still calls back.
    Move(-301);
    EXPECT_EQ(calls, 6);
    Move(500);
    EXPECT_EQ(fader->GetValue(), 0.0f);
    EXPECT_EQ(reported, 0.0f);
    // After the release the pointer's moves still reach the fader, which ignores them.
    Release(500);
    Move(20);
    EXPECT_EQ(fader->GetValue(), 0.0f);
    EXPECT_EQ(calls, 7);
    EXPECT_FALSE(fader->IsDragging());
}

TEST_F(Fader, APressBesideTheCapBringsTheCapsMiddleToThePointer)
{
    // At 0 the cap lies on rows 112 .. 171; a press at row 50 puts its top at row 20.
    Press(50);
    EXPECT_NEAR(fader->GetValue(), 1.0f - 29.0f / 121.0f, 1e-5f);
    EXPECT_EQ(calls, 1);
    Release(50);
    // The hit test on the cap uses the operator's value, wherever the cap is drawn.
    fader->SetDisplayedValue(1.0f);
    fader->SetValue(0.0f);
    Press(10);
    EXPECT_EQ(fader->GetValue(), 1.0f);
}

TEST_F(Fader, WheelStepsAreAHundredthOrWithShiftOrCtrlAThreeThousandth)
{
    fader->SetValue(0.5f);
    for (int i = 0; i < 10; ++i)
        Wheel(1);
    EXPECT_NEAR(fader->GetValue(), 0.6f, 1e-5f);
    Wheel(-100);
    EXPECT_EQ(fader->GetValue(), 0.0f);
    Wheel(-1);
    EXPECT_EQ(calls, 12);

    CApp::SetShiftDown(true);
    Wheel(1500);
    EXPECT_NEAR(fader->GetValue(), 0.5f, 1e-5f);
    CApp::SetShiftDown(false);
    CApp::SetCtrlDown(true);
    Wheel(1500);
    EXPECT_NEAR(fader->GetValue(), 1.0f, 1e-5f);
    CApp::SetCtrlDown(false);
}

TEST_F(Fader, TheCapIsDrawnAtTheDisplayedValueOnly)
{
    Render();
    // At 0 the cap's value line (its row 33) lies on row 145; nothing is drawn above the cap.
    EXPECT_FALSE(Ground(145));
    EXPECT_TRUE(Ground(100));
    // The operator's value alone moves nothing on screen.
    fader->SetValue(1.0f);
    EXPECT_FALSE(fader->IsDirty());
    EXPECT_FALSE(Render());
    // Displayed values are kept within 0 .. 1, and the same value repaints nothing.
    fader->SetDisplayedValue(1.7f);
    EXPECT_EQ(fader->GetDisplayedValue(), 1.0f);
    EXPECT_TRUE(Render());
    EXPECT_FALSE(Ground(24));
    EXPECT_TRUE(Ground(145));
    fader->SetDisplayedValue(1.0f);
    fader->SetDisplayedValue(std::nanf(""));
    EXPECT_FALSE(fader->IsDirty());
}

TEST_F(Fader, TheTrackStyleDrawsItsTrackAndAFaderWithoutTravelReadsZero)
{
    fader->SetStyle(CAreaFader::kStyleTrack);
    EXPECT_FALSE(fader->HasOwnSurface());
    Render();
    // The track's slot runs down the middle above the cap (now at rows 140 .. 199).
    EXPECT_FALSE(Ground(30));
    EXPECT_FALSE(Ground(160));
    EXPECT_TRUE(canvas.GetPixel(CPoint(10, 30)) == kGround);

    // Too short for its cap: no travel left, and no division by it.
    fader->SetHeight(75);
    fader->SetValue(0.7f);
    Press(20);
    Move(-50);
    EXPECT_EQ(fader->GetValue(), 0.0f);
    Render();
}

TEST(FaderLarge, DoublesItsSizeOnALargeScreen)
{
    CApp::SetScreenClass(6);
    CAreaFader fader(nullptr);
    CApp::SetScreenClass(5);
    EXPECT_EQ(fader.GetWidth(), 188u);
    EXPECT_EQ(fader.GetHeight(), 400u);
}
