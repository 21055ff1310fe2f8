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
        bar->SetCallback(this, [](void* context, CAreaScrollbar*) { ++static_cast<Scrollbar*>(context)->calls; });
    }
    // A point of the bar in the root's coordinates.
    static CPoint On(int32_t y) { return CPoint(60, 50 + y); }

    CAreaScrollbar* bar = Place(std::make_unique<CAreaScrollbar>(nullptr, false), CRect(50, 50, 35, 100));
    int calls = 0;
};
}

TEST_F(Scrollbar, GripShowsTheVisibleShareAndIsNeverShorterThan30)
{
    // Total, visible, position; the grip's start and length. 1000 rows give 30, not 0.4, and the
    // grip never starts beyond 70; without a list there is no grip.
    const int32_t cases[][5] = {{10, 4, 6, 60, 40},    {10, 4, 3, 30, 40}, {1000, 4, 0, 0, 30},
                                {1000, 4, 996, 70, 30}, {3, 10, 0, 0, 100}, {0, 0, 0, 0, 0}};
    for (const auto& c : cases)
    {
        bar->SetRange(uint32_t(c[0]), uint32_t(c[1]), uint32_t(c[2]));
        EXPECT_EQ(bar->GetGripRect(), CRect(0, c[3], 35, c[4])) << c[0] << " " << c[1] << " " << c[2];
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
    EXPECT_EQ(calls, 2);
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
}

TEST_F(Scrollbar, DraggingTheGripMapsItsStartOntoTheList)
{
    bar->SetRange(10, 4, 0);
    Press(On(10));  // grabbed 10 below the grip's top
    // The travel is 100 - trunc(96 * 0.4) - 2 = 60.
    for (const auto& [gripStart, position] : {std::pair(31, 3u), {2, 0u}, {-20, 0u}, {59, 5u}, {60, 6u}, {90, 6u}})
    {
        Move(On(gripStart + 10));
        EXPECT_EQ(bar->GetPosition(), position) << gripStart;
    }
    EXPECT_EQ(calls, 6);
    Release(On(100));
    Move(On(30));
    EXPECT_EQ(bar->GetPosition(), 6u);
    EXPECT_EQ(calls, 6);
}
