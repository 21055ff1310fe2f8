// The counter and the up-down widget: stepping within the bounds or round them, the number as
// shown, and the arrow buttons that step it once per click and keep stepping while held.
#include "widgets/area_counter.h"
#include "widgets/area_up_down_single.h"

#include "widgets/area_button_soft.h"

#include "tests/widgets/lists_test_support.h"

#include <gtest/gtest.h>

using liststest::WidgetTest;

namespace
{
struct Counter : WidgetTest
{
    CAreaCounter* Make(bool wrap, uint32_t minimum, uint32_t maximum, uint32_t value)
    {
        auto* counter = Place(new CAreaCounter(nullptr, wrap), CRect(0, 0, 100, 40));
        counter->SetMaximum(maximum);
        counter->SetMinimum(minimum);
        counter->SetValue(value);
        return counter;
    }
};

struct UpDown : WidgetTest
{
    UpDown()
    {
        Place(widget, CRect(100, 100, 40, 120));
        widget->SetChangeCallback(this, [](void* context, CAreaUpDownSingle*) { ++static_cast<UpDown*>(context)->changes; });
    }
    CAreaUpDownSingle* widget = new CAreaUpDownSingle(nullptr, 0);
    int changes = 0;
};
}

TEST_F(Counter, StepsStopAtTheBoundsOrWrapRoundThem)
{
    const struct
    {
        bool wrap;
        uint32_t value;
        int32_t delta;
        uint32_t result;
    } cases[] = {
        {true, 512, 1, 1},   {true, 1, -1, 512},  {true, 510, 5, 3},   {false, 512, 1, 512},
        {false, 1, -1, 1},   {false, 500, 20, 512}, {true, 0, 1, 1},   {false, 0, 0, 1},
    };
    for (const auto& c : cases)
    {
        CAreaCounter* counter = Make(c.wrap, 1, 512, c.value);
        counter->Step(c.delta);
        EXPECT_EQ(counter->GetRawValue(), c.result) << c.wrap << " " << c.value << " " << c.delta;
        root.RemoveChild(counter);
    }
    // A step that changes nothing leaves the counter clean.
    CAreaCounter* counter = Make(false, 1, 512, 512);
    Render();
    counter->Step(1);
    EXPECT_FALSE(root.NeedsRender());
}

TEST_F(Counter, ShowsTheStoredValueWithItsDigits)
{
    CAreaCounter* counter = Make(false, 5, 100, 2);
    // Below the minimum: stored and shown as it is, read as the minimum.
    EXPECT_EQ(counter->GetRawValue(), 2u);
    EXPECT_EQ(counter->GetValue(), 5u);
    EXPECT_EQ(counter->GetText(), "02");
    counter->SetValue(7);
    EXPECT_EQ(counter->GetText(), "07");
    counter->SetDigits(3);
    EXPECT_EQ(counter->GetText(), "007");
    counter->SetValue(900);
    EXPECT_EQ(counter->GetText(), "100");
    counter->SetMaximum(60);
    EXPECT_EQ(counter->GetValue(), 60u);
    // Painting the number leaves nothing to paint in the next frame.
    Render();
    EXPECT_FALSE(root.NeedsRender());
}

TEST_F(UpDown, ButtonsStepTheCounterAndTellTheOwner)
{
    // Up over the counter over down, each 40 high.
    EXPECT_EQ(widget->GetFirstButton()->GetRect(), CRect(0, 0, 40, 40));
    EXPECT_EQ(widget->GetCounter()->GetRect(), CRect(0, 40, 40, 40));
    EXPECT_EQ(widget->GetSecondButton()->GetRect(), CRect(0, 80, 40, 40));
    EXPECT_EQ(widget->GetValue(), 1u);
    widget->PressSecond();
    EXPECT_EQ(widget->GetValue(), 512u);
    Press(CPoint(110, 110));
    Release(CPoint(110, 110));
    widget->PressFirst();
    EXPECT_EQ(widget->GetValue(), 2u);
    EXPECT_EQ(changes, 3);
    // Steps from code are not reported, and a disabled widget takes none.
    widget->StepBy(-3);
    EXPECT_EQ(widget->GetValue(), 511u);
    widget->SetEnabled(false);
    widget->StepBy(3);
    EXPECT_EQ(widget->GetValue(), 511u);
    EXPECT_EQ(changes, 3);
}

TEST_F(UpDown, FixedEnablingKeepsAButtonFromStepping)
{
    widget->SetFirstEnabled(false);
    EXPECT_FALSE(widget->GetFirstButton()->IsEnabled());
    EXPECT_TRUE(widget->GetSecondButton()->IsEnabled());
    widget->PressFirst();
    EXPECT_EQ(widget->GetValue(), 1u);
    widget->SetValue(5);
    EXPECT_FALSE(widget->GetFirstButton()->IsEnabled());
}

TEST_F(UpDown, HoldingAButtonKeepsStepping)
{
    Press(CPoint(110, 110));
    for (int i = 0; i < 45; ++i)
        root.Tick(0.04f);
    // The first repeat comes a second after the half-second hold.
    EXPECT_EQ(widget->GetValue(), 2u);
    EXPECT_EQ(changes, 1);
    for (int i = 0; i < 15; ++i)
        root.Tick(0.04f);
    // Past two seconds it steps on every frame.
    EXPECT_GE(widget->GetValue(), 10u);
    const uint32_t held = widget->GetValue();
    Release(CPoint(110, 110));
    EXPECT_EQ(widget->GetValue(), held);
    EXPECT_EQ(changes, int(held) - 1);
}

TEST(UpDownLayout, HorizontalButtonsStandEitherSideOfTheCounter)
{
    liststest::LoadWidgetResources();
    CArea2 root(nullptr, false, 400, 400);
    root.SetVisible(true);
    auto* widget = new CAreaUpDownSingle(nullptr, CAreaUpDownSingle::kHorizontal);
    root.AddChild(widget);
    EXPECT_EQ(widget->GetRect(), CRect(0, 0, 120, 40));
    EXPECT_EQ(widget->GetSecondButton()->GetRect(), CRect(0, 0, 40, 40));
    EXPECT_EQ(widget->GetCounter()->GetRect(), CRect(40, 0, 40, 40));
    EXPECT_EQ(widget->GetFirstButton()->GetRect(), CRect(80, 0, 40, 40));
}
