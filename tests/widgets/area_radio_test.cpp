// The radio group pressed through the area tree, and what its selected segment shows.
#include "tests/widgets/widget_test.h"
#include "widgets/area_radio.h"

using widget_test::WidgetTest;

namespace
{
const CRgbaColour kWhite(255, 255, 255, 255);
const CRgbaColour kAmber(250, 180, 0, 255);

class Radios : public WidgetTest
{
protected:
    // Three options on 200 pixels: segments of 66, and a dead strip of 2 at the right.
    CAreaRadio* AddRadio(uint32_t count = 3, uint32_t width = 200)
    {
        auto* radio = new CAreaRadio(m_root, count);
        radio->SetRect(CRect(0, 0, int32_t(width), 40));
        radio->SetColour(kAmber);
        radio->SetTextColour(kWhite);
        radio->SetChangeCallback(&m_changes, [](void* context, CAreaRadio*) { ++*static_cast<int*>(context); });
        m_root->AddChild(radio);
        return radio;
    }
    int m_changes = 0;
};
}  // namespace

TEST_F(Radios, APressOnAnotherSegmentSelectsItAndCallsBack)
{
    CAreaRadio* radio = AddRadio();
    EXPECT_EQ(radio->GetName(), "CAreaRadio");
    for (uint32_t i = 0; i < 3; ++i)
        radio->SetOptionText(i, std::string(1, char('A' + i)));
    radio->SetOptionText(3, "ignored");
    const struct
    {
        int x;
        uint32_t selection;
        int changes;
    } presses[] = {
        {70, 1, 1},
        {131, 1, 1},  // the selected segment again
        {132, 2, 2},
        {199, 2, 2},  // the dead strip beyond the last whole segment
        {0, 0, 3},
    };
    for (const auto& p : presses)
    {
        EXPECT_TRUE(Down(CPoint(p.x, 20)));
        EXPECT_EQ(radio->GetSelection(), p.selection) << p.x;
        EXPECT_EQ(m_changes, p.changes) << p.x;
    }
    EXPECT_EQ(radio->GetSelectedText(), "A");

    radio->SetSelection(5);
    EXPECT_EQ(radio->GetSelectedText(), "");
    radio->SetSelection(2);
    radio->SetEnabled(false);
    EXPECT_TRUE(Down(CPoint(10, 20)));
    EXPECT_EQ(radio->GetSelection(), 2u);
    EXPECT_EQ(m_changes, 3);
}

TEST_F(Radios, TheSelectedSegmentShowsItsBlockAndLongTextsStayInTheirSegment)
{
    CAreaRadio* radio = AddRadio();
    radio->SetOptionText(0, "A text far too long for a segment of sixty-six pixels");
    radio->SetSelection(1);
    Render();
    // The middle block fills its segment in the shaded colour.
    EXPECT_EQ(At(70, 5), kAmber.Scale(0.6f));
    EXPECT_EQ(At(128, 34), kAmber.Scale(0.6f));
    EXPECT_EQ(At(20, 5), widget_test::kGrey);
    int spilled = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 67; x < 200; ++x)
            spilled += At(x, y) == kWhite;
    EXPECT_EQ(spilled, 0);
}

TEST_F(Radios, TooNarrowOrEmptyRadiosTakePressesAndChangeNothing)
{
    for (CAreaRadio* radio : {AddRadio(0), AddRadio(5, 3)})
    {
        EXPECT_TRUE(Down(CPoint(1, 20)));
        EXPECT_EQ(radio->GetSelection(), 0u);
        Render();
        m_root->RemoveChild(radio);
    }
    EXPECT_EQ(m_changes, 0);
}
