// The progress bar: the progress kept within 0..1 and drawn as the filled share of the width.
#include "widgets/area_progress_bar.h"

#include "tests/widgets/lists_test_support.h"

#include <gtest/gtest.h>

#include <limits>

using liststest::WidgetTest;

namespace
{
struct ProgressBar : WidgetTest
{
    CAreaProgressBar* bar = Place(std::make_unique<CAreaProgressBar>(nullptr), CRect(0, 0, 200, 80));
};
}

TEST_F(ProgressBar, ProgressStaysBetweenEmptyAndFullAndFillsItsShare)
{
    for (const auto& [in, stored] : {std::pair(1.7f, 1.0f), {-0.2f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 0.0f}})
    {
        bar->SetProgress(in);
        EXPECT_EQ(bar->GetProgress(), stored) << in;
    }
    bar->SetProgress(0.0f);
    Render();
    const CZevralImage empty = canvas;
    bar->SetProgress(0.5f);
    Render();
    bar->SetProgress(0.5f);
    EXPECT_FALSE(root.NeedsRender());
    // The fill covers the progress's share of the width, under the caption.
    EXPECT_GT(CountChanged(empty, CRect(0, 40, 100, 40)), 0);
    EXPECT_EQ(CountChanged(empty, CRect(100, 40, 100, 40)), 0);
    bar->SetProgress(1.0f);
    Render();
    EXPECT_GT(CountChanged(empty, CRect(150, 40, 50, 40)), 0);
    // Without a caption the upper half is the background alone.
    const CZevralImage captioned = canvas;
    bar->SetCaption("");
    Render();
    EXPECT_GT(CountChanged(captioned, CRect(0, 0, 200, 40)), 0);
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 200; ++x)
            ASSERT_EQ(At(x, y), bar->GetBackgroundColour()) << x << "," << y;
}
