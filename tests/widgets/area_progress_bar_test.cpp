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
    ProgressBar() { Place(bar, CRect(0, 0, 200, 80)); }
    CAreaProgressBar* bar = new CAreaProgressBar(nullptr);
};
}

TEST_F(ProgressBar, ProgressStaysBetweenEmptyAndFull)
{
    const struct
    {
        float in, stored;
    } cases[] = {{1.7f, 1.0f}, {-0.2f, 0.0f}, {0.25f, 0.25f}, {std::numeric_limits<float>::quiet_NaN(), 0.0f}};
    for (const auto& c : cases)
    {
        bar->SetProgress(c.in);
        EXPECT_EQ(bar->GetProgress(), c.stored) << c.in;
    }
    bar->SetProgress(0.5f);
    Render();
    bar->SetProgress(0.5f);
    EXPECT_FALSE(root.NeedsRender());
}

TEST_F(ProgressBar, FillCoversTheProgressShareOfTheWidth)
{
    Render();
    const CZevralImage empty = canvas;
    bar->SetProgress(0.5f);
    Render();
    EXPECT_GT(CountChanged(empty, CRect(0, 40, 100, 40)), 0);
    EXPECT_EQ(CountChanged(empty, CRect(100, 40, 100, 40)), 0);
    bar->SetProgress(1.0f);
    Render();
    EXPECT_GT(CountChanged(empty, CRect(150, 40, 50, 40)), 0);
}

TEST_F(ProgressBar, CaptionStandsInTheUpperHalf)
{
    Render();
    const CZevralImage captioned = canvas;
    bar->SetCaption("");
    Render();
    EXPECT_GT(CountChanged(captioned, CRect(0, 0, 200, 40)), 0);
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 200; ++x)
            ASSERT_EQ(At(x, y), bar->GetBackgroundColour()) << x << "," << y;
}
