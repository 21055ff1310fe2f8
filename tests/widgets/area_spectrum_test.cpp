// The colour spectrum: hue across, lightness down, and a pick that stops at the edges.
#include "widgets/area_spectrum.h"

#include "tests/widgets/widget_test.h"

namespace
{
using widget_test::WidgetTest;
const CRgbaColour kWhite(255, 255, 255, 255);

// A 200 x 200 spectrum: the field is 170 x 170 from (15, 15).
class SpectrumTest : public WidgetTest
{
protected:
    SpectrumTest()
    {
        CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
        m_spectrum = new CAreaSpectrum(m_root, true);
        m_spectrum->SetRect(CRect(0, 0, 200, 200));
        m_root->AddChild(m_spectrum);
        m_spectrum->SetChangeCallback(this, [](void* context, CAreaColourPicker*) { ++static_cast<SpectrumTest*>(context)->m_changes; });
    }
    void Move(const CPoint& point) { m_root->PointerMove(0, point); }

    CAreaSpectrum* m_spectrum;
    int m_changes = 0;
};
}  // namespace

TEST_F(SpectrumTest, TheTopRowIsWhiteAndTheHueRunsAcross)
{
    m_spectrum->SetPosition(CPoint(100, 50));
    Render();
    for (const int x : {115, 180, 284})
        EXPECT_EQ(At(x, 65), kWhite) << x;
    EXPECT_NEAR(At(115 + 85, 150).GetHue(), 0.5f, 0.01f);
    EXPECT_LT(At(115 + 85, 234).GetBrightness(), 0.05f);
}

TEST_F(SpectrumTest, APickBeyondAnEdgeStaysOnThatEdge)
{
    EXPECT_TRUE(Down(CPoint(100, 100)));
    EXPECT_EQ(m_spectrum->GetPick(), CPoint(85, 85));
    Move(CPoint(-50, 60));
    EXPECT_EQ(m_spectrum->GetPick(), CPoint(0, 45));
    Move(CPoint(60, -50));
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

TEST_F(SpectrumTest, AStillPickerFollowsNoPointerButReportsIt)
{
    auto* still = new CAreaSpectrum(m_root, false);
    still->SetRect(CRect(200, 0, 200, 200));
    m_root->AddChild(still);
    int changes = 0;
    still->SetChangeCallback(&changes, [](void* context, CAreaColourPicker*) { ++*static_cast<int*>(context); });
    Down(CPoint(300, 100));
    Move(CPoint(320, 100));
    EXPECT_EQ(still->GetPick(), CPoint(0, 0));
    EXPECT_EQ(changes, 2);
}
