#include "model/playback_selection.h"

#include <gtest/gtest.h>

namespace
{
uint64_t Cells(std::initializer_list<uint32_t> cells)
{
    uint64_t mask = 0;
    for (uint32_t c : cells)
        mask |= uint64_t(1) << c;
    return mask;
}
}  // namespace

TEST(PlaybackSelection, DragSelectsTheRectangleFromTheAnchorEitherWay)
{
    CSelectionPlayback selection;
    selection.BeginDrag(9);
    EXPECT_EQ(selection.GetMask(), 0u);
    EXPECT_TRUE(selection.DragTo(18));
    EXPECT_EQ(selection.GetMask(), Cells({9, 10, 17, 18}));
    EXPECT_FALSE(selection.DragTo(18));

    CSelectionPlayback backwards;
    backwards.BeginDrag(18);
    backwards.DragTo(9);
    EXPECT_EQ(backwards.GetMask(), Cells({9, 10, 17, 18}));

    // Across the row end: columns 7 and 0 span the whole width.
    CSelectionPlayback wide;
    wide.BeginDrag(7);
    wide.DragTo(8);
    EXPECT_EQ(wide.GetMask(), 0xFFFFu);
}

TEST(PlaybackSelection, ShrinkingTheDragDeselectsAgain)
{
    CSelectionPlayback selection;
    selection.BeginDrag(0);
    selection.DragTo(63);
    EXPECT_EQ(selection.GetMask(), ~uint64_t(0));
    selection.DragTo(0);
    EXPECT_EQ(selection.GetMask(), 1u);
    EXPECT_TRUE(selection.IsSelected(0));
    EXPECT_FALSE(selection.IsSelected(1));
    EXPECT_FALSE(selection.IsSelected(64));
}

TEST(PlaybackSelection, ClearKeepsTheDragState)
{
    CSelectionPlayback selection;
    selection.BeginDrag(3);
    EXPECT_TRUE(selection.IsDragging());
    selection.DragTo(4);
    selection.Clear();
    EXPECT_TRUE(selection.IsDragging());
    EXPECT_EQ(selection.GetMask(), 0u);
    EXPECT_EQ(selection.GetAnchor(), CSelectionPlayback::kNone);
    // The last cell is remembered: the same cell again changes nothing.
    EXPECT_FALSE(selection.DragTo(4));
    // Without an anchor, or beyond the grid, nothing is selected.
    EXPECT_TRUE(selection.DragTo(5));
    EXPECT_EQ(selection.GetMask(), 0u);
    selection.BeginDrag(70);
    selection.DragTo(2);
    EXPECT_EQ(selection.GetMask(), 0u);
    selection.EndDrag();
    EXPECT_FALSE(selection.IsDragging());
}
