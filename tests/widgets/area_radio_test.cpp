// The radio group pressed through the area tree, and what its selected segment shows.
#include "tests/widgets/widget_test.h"
#include "widgets/area_radio.h"

using namespace widget_test;

namespace
{
const CRgbaColour kAmber(250, 180, 0);

class Radios : public WidgetTest
{
protected:
    // Three options on 200 pixels: segments of 66, and a dead strip of 2 at the right.
    CAreaRadio* AddRadio(uint32_t count = 3, int32_t width = 200)
    {
        auto radio = std::make_unique<CAreaRadio>(m_root, count);
        radio->SetRect(CRect(0, 0, width, 40));
        radio->SetColour(kAmber);
        radio->SetTextColour(kWhite);
        radio->SetChangeCallback(&m_changes, [](void* context, CAreaRadio*) { ++*static_cast<int*>(context); });
        return m_root->AddChild(std::move(radio));
    }
    int m_changes = 0;
};
}  // namespace

TEST_F(Radios, APressOnAnotherSegmentSelectsItAndCallsBack)
{
    CAreaRadio* radio = AddRadio();
    radio->SetOptionText(0, "A");
    // x, then the selection and the number of callbacks after a press there: the selected
    // segment again and the dead strip change nothing.
    const int presses[][3] = {{70, 1, 1}, {131, 1, 1}, {132, 2, 2}, {199, 2, 2}, {0, 0, 3}};
    for (const auto& p : presses)
    {
        EXPECT_TRUE(Down(CPoint(p[0], 20)));
        EXPECT_EQ(radio->GetSelection(), uint32_t(p[1])) << p[0];
        EXPECT_EQ(m_changes, p[2]) << p[0];
    }
    EXPECT_EQ(radio->GetSelectedText(), "A");
    radio->SetSelection(5);
    EXPECT_EQ(radio->GetSelectedText(), "");
    radio->SetEnabled(false);
    EXPECT_TRUE(Down(CPoint(10, 20)));
    EXPECT_EQ(radio->GetSelection(), 5u);
    EXPECT_EQ(m_changes, 3);
}

TEST_F(Radios, TheSelectedSegmentShowsItsBlockAndLongTextsStayInTheirSegment)
{
    CAreaRadio* radio = AddRadio();
    radio->SetOptionText(0, "A text far too long for a segment of sixty-six pixels");
    radio->SetSelection(1);
    Render();
    EXPECT_EQ(At(70, 5), kAmber.Scale(0.6f));
    EXPECT_EQ(At(128, 34), kAmber.Scale(0.6f));
    EXPECT_EQ(At(20, 5), kGrey);
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
        Render();
        m_root->RemoveChild(radio);
    }
    EXPECT_EQ(m_changes, 0);
}
