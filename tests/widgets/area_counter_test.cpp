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
        auto* counter = Place(std::make_unique<CAreaCounter>(nullptr, wrap), CRect(0, 0, 100, 40));
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
        widget->SetChangeCallback(this, [](void* context, CAreaUpDownSingle*) { ++static_cast<UpDown*>(context)->changes; });
    }
    CAreaUpDownSingle* widget = Place(std::make_unique<CAreaUpDownSingle>(nullptr, 0), CRect(100, 100, 40, 120));
    int changes = 0;
};
}

TEST_F(Counter, StepsStopAtTheBoundsOrWrapRoundThem)
{
    // Wrap, value, step, result; in 1 .. 512.
    const int32_t cases[][4] = {{1, 512, 1, 1},  {1, 1, -1, 512},   {1, 510, 5, 3}, {0, 512, 1, 512},
                                {0, 1, -1, 1},   {0, 500, 20, 512}, {1, 0, 1, 1},   {0, 0, 0, 1}};
    for (const auto& c : cases)
    {
        CAreaCounter* counter = Make(c[0] != 0, 1, 512, uint32_t(c[1]));
        counter->Step(c[2]);
        EXPECT_EQ(counter->GetRawValue(), uint32_t(c[3])) << c[0] << " " << c[1] << " " << c[2];
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
    // Up over the counter over down; right of it and left when horizontal.
    auto* sideways = Place(std::make_unique<CAreaUpDownSingle>(nullptr, CAreaUpDownSingle::kHorizontal), CRect(0, 0, 120, 40));
    for (const auto* w : {widget, sideways})
    {
        const bool vertical = w == widget;
        EXPECT_EQ(w->GetFirstButton()->GetRect(), vertical ? CRect(0, 0, 40, 40) : CRect(80, 0, 40, 40));
        EXPECT_EQ(w->GetCounter()->GetRect(), vertical ? CRect(0, 40, 40, 40) : CRect(40, 0, 40, 40));
        EXPECT_EQ(w->GetSecondButton()->GetRect(), vertical ? CRect(0, 80, 40, 40) : CRect(0, 0, 40, 40));
    }
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
    widget->SetFirstEnabled(false);
    EXPECT_TRUE(widget->GetSecondButton()->IsEnabled());
    widget->PressFirst();
    widget->SetEnabled(false);
    widget->StepBy(3);
    EXPECT_EQ(widget->GetValue(), 511u);
    EXPECT_EQ(changes, 3);
}

TEST_F(UpDown, HoldingAButtonKeepsStepping)
{
    Press(CPoint(110, 110));
    for (int i = 0; i < 60; ++i)
        root.Tick(0.04f);
    Release(CPoint(110, 110));
    // One step a second after the half-second hold, then one a frame from two seconds on.
    EXPECT_GE(widget->GetValue(), 10u);
    EXPECT_EQ(changes, int(widget->GetValue()) - 1);
}
