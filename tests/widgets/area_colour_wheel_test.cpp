// The colour wheel: the disc it draws and how a drag keeps the pick on it.
#include "widgets/area_colour_wheel.h"

#include "tests/widgets/widget_test.h"

namespace
{
using widget_test::WidgetTest;
const CRgbaColour kWhite(255, 255, 255, 255);

// A 200 x 200 wheel at the root's corner: the field is 170 x 170 from (15, 15), its centre at
// (100, 100) on the canvas and its radius 85.
class WheelTest : public WidgetTest
{
protected:
    WheelTest()
    {
        CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
        m_wheel = new CAreaColourWheel(m_root, true);
        m_wheel->SetRect(CRect(0, 0, 200, 200));
        m_root->AddChild(m_wheel);
        m_wheel->SetChangeCallback(this, [](void* context, CAreaColourPicker*) { ++static_cast<WheelTest*>(context)->m_changes; });
    }
    void Move(const CPoint& point) { m_root->PointerMove(0, point); }

    CAreaColourWheel* m_wheel;
    int m_changes = 0;
};
}  // namespace

TEST_F(WheelTest, TheDiscIsWhiteInTheMiddleAndTheBackgroundOutsideTheRim)
{
    Render();
    EXPECT_EQ(At(100, 100), kWhite);
    EXPECT_EQ(m_wheel->GetColour(), kWhite);
    // Just inside the rim the colour is saturated; beyond it, on the diagonal, the background.
    const CRgbaColour rim = At(100 + 83, 100);
    EXPECT_GT(rim.GetSaturation(), 0.9f);
    EXPECT_NEAR(rim.GetHue(), 0.5f, 0.01f);
    EXPECT_EQ(At(17, 17), widget_test::kGrey);
    EXPECT_NE(At(15 + 144, 15 + 144), widget_test::kGrey);
    EXPECT_EQ(At(15 + 146, 15 + 146), widget_test::kGrey);
}

TEST_F(WheelTest, ADragBeyondTheDiscStaysOnTheRimInThePointersDirection)
{
    const CPoint centre(85, 85);
    Down(CPoint(150, 100));
    EXPECT_EQ(m_wheel->GetPick(), CPoint(135, 85));
    for (const auto& [pointer, pick] : {std::pair{CPoint(1000, 100), centre + CPoint(85, 0)},
                                        std::pair{CPoint(100, -1000), centre + CPoint(0, -85)},
                                        std::pair{CPoint(1100, 1100), centre + CPoint(60, 60)}})
    {
        Move(pointer);
        EXPECT_EQ(m_wheel->GetPick(), pick) << pointer.ToString();
    }
    EXPECT_EQ(m_changes, 4);
    // Within the same position nothing is reported; the exact centre is the white pick.
    Move(CPoint(1100, 1100));
    EXPECT_EQ(m_changes, 4);
    Move(CPoint(100, 100));
    EXPECT_EQ(m_wheel->GetPick(), centre);
    EXPECT_EQ(m_wheel->GetColour(), kWhite);
    Up(CPoint(100, 100));
    Move(CPoint(150, 100));
    EXPECT_EQ(m_changes, 5);
}

TEST_F(WheelTest, ADisabledWheelShowsOnlyItsFrameAndTakesPressesWithoutActing)
{
    m_wheel->SetEnabled(false);
    Render();
    EXPECT_EQ(At(100, 100), widget_test::kGrey);
    EXPECT_TRUE(Down(CPoint(150, 100)));
    Move(CPoint(160, 100));
    EXPECT_EQ(m_wheel->GetPick(), CPoint(85, 85));
    EXPECT_EQ(m_changes, 0);
}
