// Check boxes pressed through the area tree, their box and cross, and the status lamp.
#include "tests/widgets/widget_test.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_led.h"

using namespace widget_test;

namespace
{
class Checkboxes : public WidgetTest
{
protected:
    CAreaCheckbox* AddCheckbox(const CRect& rect)
    {
        auto box = std::make_unique<CAreaCheckbox>(m_root);
        box->SetRect(rect);
        box->SetTextColour(kWhite);
        box->SetChangeCallback(&m_changes, [](void* context, CAreaCheckbox*) { ++*static_cast<int*>(context); });
        return m_root->AddChild(std::move(box));
    }
    int m_changes = 0;
};
}  // namespace

TEST_F(Checkboxes, APressTogglesSoundsAndCallsBackButSettingItDoesNot)
{
    CAreaCheckbox* box = AddCheckbox(CRect(0, 0, 200, 40));
    box->SetText("Solo", false);
    // On the box, and on the caption, which lets the press through.
    EXPECT_TRUE(Down(CPoint(20, 20)));
    EXPECT_TRUE(Down(CPoint(150, 20)));
    box->Press();
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(m_changes, 3);
    EXPECT_EQ(m_sounds, (Strings{"positive", "positive", "positive"}));
    // Setting never calls back.
    box->SetChecked(false);
    box->SetChecked(true);
    EXPECT_EQ(m_changes, 3);

    box->SetEnabled(false);
    EXPECT_TRUE(Down(CPoint(20, 20)));
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(m_changes, 3);
    EXPECT_EQ(m_sounds.size(), 3u);
}

TEST_F(Checkboxes, TheBoxStaysSquareAndCentredWithTheCaptionBesideIt)
{
    CAreaCheckbox* box = AddCheckbox(CRect(0, 0, 200, 100));
    EXPECT_EQ(box->GetBoxRect(), CRect(0, 30, 40, 40));
    const CArea2* caption = box->GetChild(0);
    EXPECT_EQ(caption->GetRect(), CRect(45, 0, 155, 100));
    box->SetHorizontalAlignment(1);
    box->SetBoxSize(60);
    box->SetSize(300, 100);
    EXPECT_EQ(box->GetBoxRect(), CRect(240, 20, 60, 60));
    EXPECT_EQ(caption->GetWidth(), 235u);
    // The cross shows through the middle of the box while checked only.
    for (const bool checked : {false, true, false})
    {
        box->SetChecked(checked);
        Render();
        EXPECT_EQ(At(270, 50) == kWhite, checked);
    }
}

TEST_F(Checkboxes, TheLampShowsOnlyForPureRedAndPureGreen)
{
    const CRgbaColour red(200, 10, 10), green(10, 200, 10);
    LoadSkin({{"led_red", 18, 16, red}, {"led_green", 18, 16, green}});
    auto* led = m_root->MakeChild<CAreaLed>();
    EXPECT_EQ(led->GetWidth(), 18u);
    const CRgbaColour states[] = {CAreaLed::kGreen, CAreaLed::kRed, CRgbaColour(0, 255, 0, 254),
                                  CRgbaColour(255, 128, 0), CRgbaColour(0, 0, 0)};
    const CRgbaColour shown[] = {green, red, kGrey, kGrey, kGrey};
    for (size_t i = 0; i < 5; ++i)
    {
        led->SetColour(states[i]);
        Render();
        EXPECT_EQ(At(9, 8), shown[i]) << i;
    }
    // Re-colouring the page leaves the lamp as it was.
    led->SetColour(CAreaLed::kGreen);
    m_root->SetColour(CRgbaColour(1, 2, 3));
    EXPECT_EQ(led->GetColour(), CAreaLed::kGreen);
}
