// The grid: its limits, columns and hit test, selection by pointer, drag scrolling that settles on
// whole rows, the scroll bar kept in step, and cells drawn from the owner's provider.
#include "widgets/area_grid.h"

#include "shell/app.h"
#include "widgets/area_scrollbar.h"

#include "tests/widgets/lists_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using liststest::WidgetTest;

namespace
{
struct Grid : WidgetTest
{
    // A grid at the root's origin, 400 x 250 with rows of 45.
    CAreaGrid* Make(bool scrollbar, uint32_t rows, bool frame = false)
    {
        grid = Place(std::make_unique<CAreaGrid>(nullptr, scrollbar, frame), CRect(0, 0, 400, 250));
        grid->SetRowCount(rows);
        grid->SetPressCallback(this, [](void* context, CAreaGrid*, int32_t column, int32_t row) {
            static_cast<Grid*>(context)->presses.push_back({column, row});
        });
        grid->SetSelectionCallback(this, [](void* context, CAreaGrid*) { ++static_cast<Grid*>(context)->selections; });
        return grid;
    }
    std::vector<int32_t> Settle()
    {
        std::vector<int32_t> offsets;
        for (int i = 0; i < 20 && (offsets.empty() || grid->GetScrollOffset() != grid->GetScrollTarget()); ++i)
        {
            root.Tick(0.04f);
            offsets.push_back(grid->GetScrollOffset());
        }
        return offsets;
    }

    CAreaGrid* grid = nullptr;
    std::vector<std::pair<int32_t, int32_t>> presses;
    int selections = 0;
};
}

TEST_F(Grid, ColumnsShareTheWidthOrTakeTheirOwnWithinTheLimits)
{
    Make(true, 2000);
    EXPECT_EQ(grid->GetRowCount(), 1024u);
    grid->SetColumnCount(40);
    const uint32_t most = grid->GetColumnCount();
    grid->SetColumnCount(0);
    EXPECT_EQ(std::make_pair(most, grid->GetColumnCount()), std::make_pair(32u, 1u));
    grid->SetColumnCount(3);
    for (uint32_t c = 0; c < 3; ++c)
        EXPECT_EQ(grid->GetColumnRect(c), CRect(int32_t(c) * 119, 0, 119, 44));
    EXPECT_EQ(grid->GetColumnRect(7), grid->GetColumnRect(2));
    // Right edges belong to their column; past the last the last width repeats.
    const int32_t cases[][4] = {{-5, 0, 0, 0}, {119, 45, 0, 0}, {120, 46, 1, 1}, {357, 300, 2, 6}, {358, 0, 3, 0}};
    for (const auto& c : cases)
    {
        int32_t column = -9, row = -9;
        grid->HitTest(CPoint(c[0], c[1]), column, row);
        EXPECT_EQ(std::make_pair(column, row), std::make_pair(c[2], c[3])) << c[0] << "," << c[1];
    }

    grid->SetEqualColumns(false);
    grid->SetColumnWidth(0, 100);
    grid->SetColumnWidth(2, 80);  // column 1 keeps the default of 50
    grid->SetColumnWidth(4000000000u, 10);  // no such column: nothing grows
    EXPECT_EQ(grid->GetColumnRect(1), CRect(100, 0, 50, 44));
    // The last column of a grid with a scroll bar takes the rest of the content.
    EXPECT_EQ(grid->GetColumnRect(2), CRect(150, 0, 213, 44));
    EXPECT_EQ(grid->GetSpareColumnWidth(1, 1), 400u - 35 - 100 - 80);
}

TEST_F(Grid, PressesSelectCellsAndReportRowsBeyondTheList)
{
    Make(true, 3);
    grid->SetColumnCount(2);
    // Content starts at (3, 37); rows are 45 high.
    Press(CPoint(10, 37 + 200));
    Release(CPoint(10, 37 + 200));
    EXPECT_EQ(presses, (std::vector<std::pair<int32_t, int32_t>>{{0, 4}}));
    EXPECT_EQ(grid->GetSelection(), CRect(0, 4, 0, 0));  // past the last row: empty

    Press(CPoint(10, 37 + 50));
    Release(CPoint(10, 37 + 50));
    CApp::SetShiftDown(true);
    Press(CPoint(300, 37 + 100));
    CApp::SetShiftDown(false);
    EXPECT_EQ(grid->GetSelection(), CRect(0, 1, 2, 2));
    // Dragging spans from the pressed cell; above the content counts as row 0.
    Move(CPoint(10, 10));
    EXPECT_EQ(grid->GetSelection(), CRect(0, 0, 2, 3));
    Release(CPoint(10, 10));
    EXPECT_EQ(selections, 4);

    // A double click on the header band takes the whole column.
    bool handled = false;
    root.DoubleClick(0, CPoint(300, 20), 1, &handled);
    EXPECT_EQ(grid->GetSelection(), CRect(1, 0, 1, 3));
}

TEST_F(Grid, DraggingPullsTheContentAtMost500AndItEasesBack)
{
    Make(false, 20);  // 900 high in a 250 view
    Press(CPoint(10, 100));
    Move(CPoint(10, 1000));
    EXPECT_EQ(grid->GetScrollOffset(), -500);
    root.Tick(0.04f);  // no easing while held
    EXPECT_EQ(grid->GetScrollOffset(), -500);
    Release(CPoint(10, 1000));
    EXPECT_EQ(Settle(), (std::vector<int32_t>{-125, -32, -8, -2, -1, 0}));

    // A drag of 30 settles on the next row.
    Press(CPoint(10, 200));
    Move(CPoint(10, 170));
    Release(CPoint(10, 170));
    EXPECT_EQ(Settle().back(), 45);
    // Never past the last row.
    Press(CPoint(10, 240));
    Move(CPoint(10, -900));
    Release(CPoint(10, -900));
    EXPECT_EQ(Settle().back(), 900 - 250);
    // Rows taken away, or the list made taller, leave it at its new end at once, never past it.
    grid->SetRowCount(12);
    EXPECT_EQ(grid->GetScrollOffset(), 12 * 45 - 250);
    grid->SetHeight(400);
    EXPECT_EQ(grid->GetScrollOffset(), 12 * 45 - 400);
    grid->SetRowCount(3);
    EXPECT_EQ(grid->GetScrollOffset(), 0);
    EXPECT_EQ(Settle().back(), 0);
}

TEST_F(Grid, ScrollbarAndGridFollowEachOther)
{
    Make(true, 10);  // content 206 high: 4 whole rows, the last offset 450 - 206 = 244
    CAreaScrollbar* bar = grid->GetScrollbar();
    ASSERT_NE(bar, nullptr);
    bool handled = false;
    root.Wheel(0, CPoint(100, 100), -1, &handled);
    EXPECT_EQ(Settle().back(), 45);
    EXPECT_EQ(bar->GetPosition(), 1u);

    grid->ScrollToCell(9, true);
    EXPECT_EQ(grid->GetScrollOffset(), 244);
    EXPECT_EQ(bar->GetPosition(), 6u);

    // Dragging the grip to the top scrolls the grid there at once.
    const CRect grip = bar->GetGripRect();
    Press(CPoint(380, grip.GetY() + 5));
    Move(CPoint(380, 0));
    Release(CPoint(380, 0));
    EXPECT_EQ(grid->GetScrollOffset(), 0);
    EXPECT_EQ(bar->GetPosition(), 0u);

    // Fewer rows than the view: nothing is left to scroll.
    grid->ScrollToCell(9, true);
    grid->SetRowCount(2);
    EXPECT_EQ(bar->GetPosition(), 0u);
    EXPECT_EQ(grid->GetScrollOffset(), 0);
}

TEST_F(Grid, CellsAreDrawnFromTheProviderAndScrollWithTheContent)
{
    Make(false, 8);
    grid->SetCellProvider(this, [](void*, CAreaGrid*, uint32_t, uint32_t row, std::string& text, CRgbaColour&,
                                   bool& highlighted, std::vector<CZevralImage>&) {
        text = "Row " + std::to_string(row);
        highlighted = row == 2;
    });
    Render();
    const CRgbaColour highlight = grid->GetColour().Scale(0.6f);
    // The right end of each row holds no text.
    EXPECT_EQ(At(390, 2 * 45 + 20), highlight);
    EXPECT_NE(At(390, 1 * 45 + 20), highlight);
    const CZevralImage before = canvas;
    grid->ScrollToCell(3, true);  // row 1 at the top
    Render();
    EXPECT_EQ(At(390, 1 * 45 + 20), highlight);
    EXPECT_NE(At(390, 2 * 45 + 20), highlight);
    EXPECT_GT(CountChanged(before, CRect(5, 0, 100, 45)), 0);  // "Row 1" where "Row 0" was
}
