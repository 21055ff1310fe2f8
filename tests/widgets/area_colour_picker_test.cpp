// The colour wheel and the spectrum: the fields they draw and how a drag keeps the pick on them.
#include "widgets/area_colour_wheel.h"
#include "widgets/area_spectrum.h"

#include "graphics/glyph_manager.h"
#include "tests/widgets/widget_test.h"

#include <cstdlib>

namespace
{
using widget_test::kGrey;
const CRgbaColour kWhite(255, 255, 255, 255);

// Pickers of 200 x 200 side by side: each field is 170 x 170 from (15, 15). The wheel's centre
// is at (100, 100) on the canvas, its radius 85.
class ColourPickerTest : public widget_test::WidgetTest
{
protected:
    ColourPickerTest()
    {
        CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
        for (CAreaColourPicker* picker : std::initializer_list<CAreaColourPicker*>{m_wheel, m_spectrum})
            picker->SetChangeCallback(this, [](void* c, CArea2*) { ++static_cast<ColourPickerTest*>(c)->m_changes; });
        m_wheel->SetRect(CRect(0, 0, 200, 200));
        m_spectrum->SetRect(CRect(200, 0, 200, 200));
    }
    void Move(const CPoint& point) { m_root->PointerMove(0, point); }

    CAreaColourWheel* m_wheel = m_root->MakeChild<CAreaColourWheel>(true);
    CAreaSpectrum* m_spectrum = m_root->MakeChild<CAreaSpectrum>(true);
    int m_changes = 0;
};
}  // namespace

TEST_F(ColourPickerTest, TheWheelIsWhiteInTheMiddleAndTheBackgroundBeyondTheRim)
{
    Render();
    EXPECT_EQ(At(100, 100), kWhite);
    // Just inside the rim the colour is saturated; beyond it, on the diagonal, the background.
    const CRgbaColour rim = At(100 + 83, 100);
    EXPECT_GT(rim.GetSaturation(), 0.9f);
    EXPECT_NEAR(rim.GetHue(), 0.5f, 0.01f);
    EXPECT_EQ(At(17, 17), kGrey);
    EXPECT_NE(At(15 + 144, 15 + 144), kGrey);
    EXPECT_EQ(At(15 + 146, 15 + 146), kGrey);

    // Disabled, only the frame is drawn, and presses are taken without acting.
    m_wheel->SetEnabled(false);
    Render();
    EXPECT_EQ(At(100, 100), kGrey);
    EXPECT_TRUE(Down(CPoint(150, 100)));
    Move(CPoint(160, 100));
    EXPECT_EQ(m_wheel->GetPick(), CPoint(85, 85));
    EXPECT_EQ(m_changes, 0);
}

TEST_F(ColourPickerTest, ADragBeyondTheWheelStaysOnTheRimInThePointersDirection)
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

TEST_F(ColourPickerTest, TheSpectrumIsWhiteAlongTheTopAndItsPickStopsAtTheEdges)
{
    Render();
    for (const int x : {215, 280, 384})
        EXPECT_EQ(At(x, 15), kWhite) << x;
    EXPECT_NEAR(At(215 + 85, 100).GetHue(), 0.5f, 0.01f);
    EXPECT_LT(At(215 + 85, 184).GetBrightness(), 0.05f);

    EXPECT_TRUE(Down(CPoint(300, 100)));
    EXPECT_EQ(m_spectrum->GetPick(), CPoint(85, 85));
    Move(CPoint(150, 60));
    EXPECT_EQ(m_spectrum->GetPick(), CPoint(0, 45));
    Move(CPoint(260, -50));
    EXPECT_EQ(m_spectrum->GetPick(), CPoint(45, 0));
    EXPECT_EQ(m_spectrum->GetColour(), kWhite);
    // The far edges lie one past the field's last pixel; their colour is still the rule's.
    Move(CPoint(1000, 1000));
    EXPECT_EQ(m_spectrum->GetPick(), CPoint(170, 170));
    EXPECT_EQ(m_spectrum->GetColour(), CRgbaColour(0, 0, 0, 255));
    EXPECT_EQ(m_changes, 4);
    Move(CPoint(2000, 2000));
    EXPECT_EQ(m_changes, 4);
}

TEST_F(ColourPickerTest, BothPickersFollowAColourSetElsewhereButNotWhileDragged)
{
    // The fields hold fully saturated colours only: the pick matches in hue and lightness.
    const auto near = [](const CRgbaColour& a, const CRgbaColour& b) {
        float hues[2], saturations[2], lightnesses[2];
        a.ToHsl(hues[0], saturations[0], lightnesses[0]);
        b.ToHsl(hues[1], saturations[1], lightnesses[1]);
        return std::abs(hues[0] - hues[1]) < 0.02f && std::abs(lightnesses[0] - lightnesses[1]) < 0.05f;
    };
    // Saturated colours of either field, the wheel's darkest (its rim) included.
    for (const CRgbaColour& colour : {CRgbaColour(255, 128, 0, 255), CRgbaColour(20, 40, 230, 255),
                                      CRgbaColour(255, 160, 200, 255), CRgbaColour(0, 230, 0, 255)})
    {
        for (CAreaColourPicker* picker : std::initializer_list<CAreaColourPicker*>{m_wheel, m_spectrum})
        {
            picker->SetPickedColour(colour);
            EXPECT_TRUE(near(picker->GetColour(), colour))
                << picker->GetName() << " " << picker->GetColour().GetValue() << " for " << colour.GetValue();
        }
    }
    // Black is the spectrum's bottom; the wheel has no place for it and keeps its pick.
    const CPoint wheelPick = m_wheel->GetPick();
    m_wheel->SetPickedColour(CRgbaColour(0, 0, 0, 255));
    m_spectrum->SetPickedColour(CRgbaColour(0, 0, 0, 255));
    EXPECT_EQ(m_wheel->GetPick(), wheelPick);
    EXPECT_EQ(m_spectrum->GetPick().GetY(), 170);
    // Laid out again (shown again, resized), the wheel keeps to the colour rather than its centre,
    // and its frame keeps the area's colour (red: the cues use the colour), not the picked one.
    m_wheel->SetPickedColour(CRgbaColour(255, 128, 0, 255));
    m_wheel->SetColour(CRgbaColour(255, 0, 0, 255));
    m_wheel->SetVisible(false);
    m_wheel->SetVisible(true);
    m_wheel->SetRect(CRect(0, 0, 180, 180));
    EXPECT_TRUE(near(m_wheel->GetColour(), CRgbaColour(255, 128, 0, 255)));
    Render();
    int redFrame = 0;
    for (int x = 0; x < 6; ++x)
        redFrame += At(x, 90).GetRed() > 150 && At(x, 90).GetGreen() < 60;
    EXPECT_GT(redFrame, 0);
    // While the pointer drags, the pointer has the pick; nobody hears of a colour set.
    Down(CPoint(150, 100));
    const CPoint dragged = m_wheel->GetPick();
    m_wheel->SetPickedColour(CRgbaColour(20, 40, 230, 255));
    EXPECT_EQ(m_wheel->GetPick(), dragged);
    Up(CPoint(150, 100));
    EXPECT_EQ(m_changes, 1);
}
