// The effect dialog: the shapes a group offers, the faders' scaling of size, speed and phase, and
// what Ok, Cancel and X report.
#include "model/programmer.h"
#include "screens/dialogs/dialog_fx.h"
#include "tests/screens/dialogs/dialog_test.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_fader_soft.h"
#include "widgets/area_grid.h"

using namespace dialog_test;

namespace
{
class FxDialogTest : public DialogTest
{
protected:
    CDialogFx* Open(uint32_t group, const CFxValue& value = CFxValue())
    {
        CDialogFx* dialog = Show(std::make_unique<CDialogFx>(&host, group));
        dialog->SetValue(value);
        dialog->SetCallback(this, [](void* test, CDialogFx* d) {
            static_cast<FxDialogTest*>(test)->reported.push_back(d->GetValue());
        });
        return dialog;
    }
    CAreaGrid* Shapes() const { return Nth<CAreaGrid>(0); }
    bool Highlighted(uint32_t row) const
    {
        std::string text;
        CRgbaColour colour;
        bool lit = false;
        std::vector<CZevralImage> icons;
        return Shapes()->GetCellContents(0, row, text, colour, lit, icons), lit;
    }
    // Size, Speed, Phase; a press where the fader's travel puts the fraction f of the way up.
    CAreaFaderSoft* Fader(uint32_t index) const { return Nth<CAreaFaderSoft>(index); }
    void PressAt(const CAreaFaderSoft* fader, float f)
    {
        const int32_t half = int32_t(fader->GetWidth()) / 2;
        Click(fader, CPoint(half, half + int32_t((1.0f - f) * float(int32_t(fader->GetHeight()) - 2 * half) + 0.5f)));
    }
    void WheelOn(const CAreaFaderSoft* fader, int32_t amount)
    {
        bool handled = false;
        host.Wheel(0, host.GetModalChild()->GetPosition() + fader->GetRect().GetCentre(), amount, &handled);
    }

    std::vector<CFxValue> reported;
};
}  // namespace

TEST_F(FxDialogTest, ARowChoosesTheGroupsShapeUnderTheGroupsTitle)
{
    CDialogFx* dialog = Open(GROUP_POSITION_FX);
    EXPECT_EQ(Nth<CAreaCaptionBar>(0)->GetCaption(), "Position FX");
    EXPECT_EQ(Shapes()->GetRowCount(), 7u);
    // Every shape shows whole in the list, the last as well.
    const uint32_t row = Shapes()->GetRowHeight();
    EXPECT_LE(7 * row, Shapes()->GetHeight());
    Click(Shapes(), CPoint(20, int32_t(3 * row + row / 2)));
    EXPECT_EQ(dialog->GetValue().GetShape(), uint32_t(FX_SHAPE_SQUARE));
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_TRUE(Highlighted(3) && !Highlighted(0));
    // The empty space under the colour dialog's five rows chooses nothing.
    CDialogFx* colour = Open(GROUP_COLOUR_MIX_FX);
    Click(Shapes(), CPoint(20, 45 + 20));
    Click(Shapes(), CPoint(20, int32_t(Shapes()->GetHeight()) - 3));
    EXPECT_EQ(colour->GetValue().GetShape(), uint32_t(FX_SHAPE_RAINBOW));
    // A group without effects: no title, and None alone.
    Open(GROUP_POSITION);
    EXPECT_EQ(Nth<CAreaCaptionBar>(0)->GetCaption(), "");
    EXPECT_EQ(Shapes()->GetRowCount(), 1u);
}

TEST_F(FxDialogTest, FadersShowAndSetSizeSpeedAndPhaseWithinTheirRanges)
{
    CFxValue value;
    value.SetShape(FX_SHAPE_CIRCLE);
    value.SetSize(255);
    value.SetSpeed(-127);
    value.SetPhase(51);
    CDialogFx* dialog = Open(GROUP_POSITION_FX, value);
    EXPECT_FLOAT_EQ(Fader(0)->GetValues().at(0), 1.0f);
    EXPECT_FLOAT_EQ(Fader(1)->GetValues().at(0), -1.0f);
    EXPECT_FLOAT_EQ(Fader(2)->GetValues().at(0), 0.2f);
    // The wheel past the end of a fader leaves the effect at that end rather than wrapping it.
    WheelOn(Fader(0), 1);
    EXPECT_EQ(dialog->GetValue().GetSize(), 255);
    WheelOn(Fader(1), -1);
    EXPECT_EQ(dialog->GetValue().GetSpeed(), -127);
    PressAt(Fader(1), 1.0f);
    WheelOn(Fader(1), 1);
    EXPECT_EQ(dialog->GetValue().GetSpeed(), 127);
    // Three quarters of the way down the speed runs backwards at half: -0.5 x 127 truncated.
    PressAt(Fader(1), 0.25f);
    EXPECT_NEAR(dialog->GetValue().GetSpeed(), -63, 1);
    EXPECT_EQ(reported.size(), 5u) << "every move is reported at once";
}

TEST_F(FxDialogTest, CancelReportsTheOpeningValueAndXResetsWithoutClosing)
{
    CFxValue value;
    value.SetShape(FX_SHAPE_SINUS);
    value.SetSize(100);
    CDialogFx* dialog = Open(GROUP_INTENSITY_FX, value);
    PressAt(Fader(0), 1.0f);
    Click(Button("X"));
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    EXPECT_EQ(dialog->GetValue(), CFxValue());
    Click(Button("Cancel"));
    Tick();
    EXPECT_EQ(host.closedWith, 1) << "Cancel closes like Ok, so the host sends the opening value";
    EXPECT_EQ(reported.back(), value);

    Open(GROUP_INTENSITY_FX, value);
    EXPECT_TRUE(KeyDown(0x40000058) && KeyUp(0x40000058));
    EXPECT_FALSE(KeyDown('b'));
    Tick();
    EXPECT_EQ(host.closedWith, 1);
}
