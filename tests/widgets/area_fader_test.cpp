// The intensity fader: what press, drag and wheel make of the operator's value, and where the cap
// is drawn. The shipped cap is 76 x 60, so the travel runs from row -9 (1) to row 112 (0).
#include "widgets/area_fader.h"

#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <gtest/gtest.h>

namespace
{
const CRgbaColour kGround(255, 0, 255, 255);

struct Fader : ::testing::Test
{
    void SetUp() override
    {
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
        root.SetBackgroundColour(kGround);
        root.SetVisible(true);
        fader = root.MakeChild<CAreaFader>();
        fader->SetChangeCallback(&calls, [](void* context, CAreaFader*) { ++*static_cast<int*>(context); });
    }
    void Press(int y) { root.PointerDown(0, CPoint(38, y), 1, &(handled = false)); }
    void Move(int y) { root.PointerMove(0, CPoint(38, y)); }
    void Wheel(int amount) { root.Wheel(0, CPoint(38, 100), amount, &(handled = false)); }
    // Whether row y of the fader's middle column shows the ground after the dirty areas repaint.
    bool Ground(int y)
    {
        root.Render(CTextureAdapter(canvas), CPoint(), false);
        return canvas.GetPixel(CPoint(38, y)) == kGround;
    }

    CArea2 root{nullptr, false, 200, 400};
    CAreaFader* fader = nullptr;
    CZevralImage canvas{200, 400};
    int calls = 0;
    bool handled = false;
};
}

TEST_F(Fader, TheCapIsGrabbedWithoutMovingAndDraggedWithinItsTravel)
{
    EXPECT_EQ(fader->GetRect(), CRect(0, 0, 76, 200));
    fader->SetValue(0.5f);
    // The cap lies on rows 51 .. 110; grabbing it, and coming back to the same row, keeps 0.5.
    Press(60);
    Move(70);
    Move(60);
    EXPECT_EQ(fader->GetValue(), 0.5f);
    Move(49);
    EXPECT_NEAR(fader->GetValue(), 0.5f + 11.0f / 121.0f, 1e-5f);
    Move(-300);
    Move(-301);
    EXPECT_EQ(fader->GetValue(), 1.0f);
    Move(500);
    // Every press and move calls back, at the limits too; after the release moves are ignored.
    root.PointerUp(0, CPoint(38, 500), &(handled = false));
    Move(20);
    EXPECT_EQ(fader->GetValue(), 0.0f);
    EXPECT_EQ(calls, 7);
    // Beside the cap (rows 112 .. 171 at 0) the cap's middle jumps to the pointer.
    Press(50);
    EXPECT_NEAR(fader->GetValue(), 1.0f - 29.0f / 121.0f, 1e-5f);
}

TEST_F(Fader, WheelStepsAreAHundredthOrWithShiftOrCtrlAThreeThousandth)
{
    for (int i = 0; i < 10; ++i)
        Wheel(1);
    EXPECT_NEAR(fader->GetValue(), 0.1f, 1e-5f);
    CApp::SetShiftDown(true);
    Wheel(-300);
    CApp::SetShiftDown(false);
    EXPECT_NEAR(fader->GetValue(), 0.0f, 1e-5f);
    Wheel(-1);
    EXPECT_EQ(calls, 12);
}

TEST_F(Fader, TheCapIsDrawnAtTheDisplayedValueOnly)
{
    // At 0 the cap's value line (its row 33) lies on row 145, and its clear top rows over 112.
    EXPECT_FALSE(Ground(145));
    EXPECT_TRUE(Ground(115));
    fader->SetValue(1.0f);
    EXPECT_FALSE(fader->IsDirty());
    fader->SetDisplayedValue(1.7f);
    EXPECT_FALSE(Ground(24));
    EXPECT_TRUE(Ground(145));
}

TEST_F(Fader, AFaderWithoutTravelReadsZero)
{
    // The track style brings the cap's lowest row to the bottom: 75 rows leave no travel.
    fader->SetStyle(CAreaFader::kStyleTrack);
    fader->SetHeight(75);
    fader->SetValue(0.7f);
    Press(20);
    Move(-50);
    EXPECT_EQ(fader->GetValue(), 0.0f);
    EXPECT_FALSE(Ground(30));
}
