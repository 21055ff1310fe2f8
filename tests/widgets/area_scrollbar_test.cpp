// The scroll bar: the grip's place and length, paging and dragging, and the position kept in range.
#include "widgets/area_scrollbar.h"

#include "tests/widgets/lists_test_support.h"

#include <gtest/gtest.h>

using liststest::WidgetTest;

namespace
{
// A vertical bar 100 long at (50, 50).
struct Scrollbar : WidgetTest
{
    Scrollbar()
    {
        Place(bar, CRect(50, 50, 35, 100));
        bar->SetCallback(this, [](void* context, CAreaScrollbar*) { ++static_cast<Scrollbar*>(context)->calls; });
    }
    // A point of the bar in the root's coordinates.
    static CPoint On(int32_t y) { return CPoint(60, 50 + y); }

    CAreaScrollbar* bar = new CAreaScrollbar(nullptr, false);
    int calls = 0;
};
}

TEST_F(Scrollbar, GripShowsTheVisibleShareAndIsNeverShorterThan30)
{
    const struct
    {
        uint32_t total, visible, position;
        int32_t start, length;
    } cases[] = {
        {10, 4, 6, 60, 40},
        {10, 4, 3, 30, 40},
        {1000, 4, 0, 0, 30},
        {1000, 4, 996, 70, 30},  // not 0.4 long, and never beyond 70
        {3, 10, 0, 0, 100},
        {0, 0, 0, 0, 0},  // no list, no grip
    };
    for (const auto& c : cases)
    {
        bar->SetRange(c.total, c.visible, c.position);
        const CRect grip = bar->GetGripRect();
        EXPECT_EQ(grip, CRect(0, c.start, 35, c.length)) << c.total << " " << c.visible << " " << c.position;
    }
}

TEST_F(Scrollbar, PositionStaysWithinTheList)
{
    bar->SetRange(5, 4, 3);
    EXPECT_EQ(bar->GetPosition(), 1u);
    EXPECT_EQ(calls, 1);
    bar->SetRange(10, 4, 3);
    EXPECT_EQ(bar->GetPosition(), 3u);
    EXPECT_EQ(calls, 1);
    // A list shorter than the view has nothing to scroll back to.
    bar->SetRange(2, 4, 3);
    EXPECT_EQ(bar->GetPosition(), 0u);
    EXPECT_FALSE(bar->CanScrollBack());
    EXPECT_FALSE(bar->CanScrollForward());
    bar->SetRange(10, 4, 6);
    bar->PageForward();
    EXPECT_EQ(bar->GetPosition(), 6u);
    bar->PageBack();
    bar->PageBack();
    EXPECT_EQ(bar->GetPosition(), 0u);
    EXPECT_EQ(calls, 2);  // paging from code is not reported
}

TEST_F(Scrollbar, PressesBesideTheGripPageAPageAtATime)
{
    bar->SetRange(10, 4, 2);
    EXPECT_TRUE(Press(On(5)));
    Release(On(5));
    EXPECT_EQ(bar->GetPosition(), 0u);
    bar->SetRange(10, 4, 5);
    Press(On(95));
    Release(On(95));
    EXPECT_EQ(bar->GetPosition(), 6u);
    EXPECT_EQ(calls, 2);
    // Without a list nothing moves and no drag starts.
    bar->SetRange(0, 4, 0);
    Press(On(0));
    Move(On(60));
    Release(On(60));
    EXPECT_EQ(bar->GetPosition(), 0u);
}

TEST_F(Scrollbar, DraggingTheGripMapsItsStartOntoTheList)
{
    bar->SetRange(10, 4, 0);
    Press(On(10));  // grabbed 10 below the grip's top
    // The travel is 100 - trunc(96 * 0.4) - 2 = 60.
    const struct
    {
        int32_t gripStart;
        uint32_t position;
    } steps[] = {{31, 3}, {2, 0}, {-20, 0}, {59, 5}, {60, 6}, {90, 6}};
    for (const auto& s : steps)
    {
        Move(On(s.gripStart + 10));
        EXPECT_EQ(bar->GetPosition(), s.position) << s.gripStart;
    }
    EXPECT_EQ(calls, 6);
    Release(On(100));
    Move(On(30));
    EXPECT_EQ(bar->GetPosition(), 6u);
    EXPECT_EQ(calls, 6);
}

TEST_F(Scrollbar, StepsOnlyWhileEnabled)
{
    bar->SetRange(10, 4, 5);
    bar->Step(1);
    bar->Step(-1);
    bar->Step(-1);
    EXPECT_EQ(bar->GetPosition(), 6u);
    bar->Step(-1);  // at the end already
    EXPECT_EQ(calls, 3);
    bar->SetEnabled(false);
    bar->Step(1);
    EXPECT_EQ(bar->GetPosition(), 6u);
}

TEST_F(Scrollbar, GripIsDrawnWhereItsRectangleIs)
{
    Render();
    const CZevralImage bare = canvas;
    bar->SetRange(10, 4, 6);
    Render();
    EXPECT_GT(CountChanged(bare, CRect(50, 110, 35, 40)), 0);
    EXPECT_EQ(CountChanged(bare, CRect(50, 50, 35, 60)), 0);
}
