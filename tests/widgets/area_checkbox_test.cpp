// Check boxes pressed through the area tree, their box and cross, and the status lamp.
#include "tests/widgets/widget_test.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_label.h"
#include "widgets/area_led.h"

using widget_test::WidgetTest;

namespace
{
const CRgbaColour kWhite(255, 255, 255, 255);

class Checkboxes : public WidgetTest
{
protected:
    CAreaCheckbox* AddCheckbox(const CRect& rect)
    {
        auto* box = new CAreaCheckbox(m_root);
        box->SetRect(rect);
        box->SetTextColour(kWhite);
        box->SetChangeCallback(&m_changes, [](void* context, CAreaCheckbox*) { ++*static_cast<int*>(context); });
        m_root->AddChild(box);
        return box;
    }
    int m_changes = 0;
};
}  // namespace

TEST_F(Checkboxes, APressTogglesSoundsAndCallsBackButSettingItDoesNot)
{
    CAreaCheckbox* box = AddCheckbox(CRect(0, 0, 200, 40));
    box->SetText("Solo", false);
    EXPECT_EQ(box->GetName(), "CAreaCheckbox");
    // On the box, and on the caption, which lets the press through to the check box.
    EXPECT_TRUE(Down(CPoint(20, 20)));
    EXPECT_TRUE(box->IsChecked());
    EXPECT_TRUE(Down(CPoint(150, 20)));
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(m_changes, 2);
    EXPECT_EQ(m_sounds, (std::vector<std::string>{"positive", "positive"}));

    box->SetChecked(true);
    box->SetState(2);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(m_changes, 2);
    // Any state but 0 becomes 0 at a press.
    box->Press();
    box->Release();
    EXPECT_EQ(box->GetState(), 0u);
    EXPECT_EQ(m_changes, 3);

    box->SetEnabled(false);
    m_sounds.clear();
    EXPECT_TRUE(Down(CPoint(20, 20)));
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(m_changes, 3);
    EXPECT_TRUE(m_sounds.empty());
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

    // The cross shows in the text colour through the middle of the box while checked.
    Render();
    EXPECT_NE(At(270, 50), kWhite);
    box->SetChecked(true);
    Render();
    EXPECT_EQ(At(270, 50), kWhite);
    box->SetChecked(false);
    Render();
    EXPECT_NE(At(270, 50), kWhite);
}

TEST_F(Checkboxes, TheLampShowsOnlyForPureRedAndPureGreen)
{
    const CRgbaColour red(200, 10, 10, 255), green(10, 200, 10, 255);
    LoadSkin({{"led_red", 18, 16, red}, {"led_green", 18, 16, green}});
    auto* led = new CAreaLed(m_root);
    m_root->AddChild(led);
    EXPECT_EQ(led->GetName(), "CAreaLed");
    EXPECT_EQ(led->GetWidth(), 18u);
    const struct
    {
        CRgbaColour state;
        CRgbaColour shown;
    } cases[] = {
        {CRgbaColour(0, 255, 0, 255), green},
        {CRgbaColour(255, 0, 0, 255), red},
        {CRgbaColour(0, 255, 0, 254), widget_test::kGrey},
        {CRgbaColour(255, 128, 0, 255), widget_test::kGrey},
        {CRgbaColour(0, 0, 0, 255), widget_test::kGrey},
    };
    for (const auto& c : cases)
    {
        led->SetColour(c.state);
        Render();
        EXPECT_EQ(At(9, 8), c.shown) << c.state.GetValue();
    }
    // Re-colouring the page leaves the lamp as it was.
    led->SetColour(CAreaLed::kGreen);
    m_root->SetColour(CRgbaColour(1, 2, 3, 255));
    EXPECT_EQ(led->GetColour(), CAreaLed::kGreen);
}
