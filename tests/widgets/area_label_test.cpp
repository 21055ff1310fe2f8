// Labels: where the text lands for each alignment, the highlight's underline, wrapping, and when
// nothing is drawn.
#include "tests/widgets/widget_test.h"
#include "widgets/area_label.h"

using namespace widget_test;

namespace
{
class Labels : public WidgetTest
{
protected:
    CAreaLabel* AddLabel(const CRect& rect)
    {
        auto made = std::make_unique<CAreaLabel>(m_root, false);
        made->SetRect(rect);
        made->SetTextColour(kWhite);
        CAreaLabel* label = m_root->AddChild(std::move(made));
        Render();
        m_blank = m_canvas;
        return label;
    }
    // The leftmost and rightmost columns drawn.
    std::pair<int, int> Columns(const CRect& rect)
    {
        Render();
        std::pair<int, int> ink(rect.GetRight(), -1);
        for (int x = rect.GetX(); x < rect.GetRight(); ++x)
            if (CountChanged(m_blank, m_canvas, CRect(x, rect.GetY(), 1, rect.GetHeight())) > 0)
                ink = {std::min(ink.first, x), x};
        return ink;
    }
    CZevralImage m_blank;
};
}  // namespace

TEST_F(Labels, AlignmentPlacesTheTextAndTheHighlightUnderlinesExactlyIt)
{
    const CRect rect(0, 0, 200, 30);
    CAreaLabel* label = AddLabel(rect);
    label->SetText("Wheel");
    int32_t width = 0, lineHeight = 0;
    label->MeasureText("Wheel", width, lineHeight);
    const int starts[] = {0, 200 - 5 - width, 100 - width / 2};
    for (uint32_t alignment : {0u, 1u, 2u})
    {
        label->SetHighlight(false);
        label->SetHorizontalAlignment(alignment);
        const auto ink = Columns(rect);
        EXPECT_NEAR(ink.first, starts[alignment], 2) << alignment;
        EXPECT_NEAR(ink.second, starts[alignment] + width, 2) << alignment;
        // The underline spans the measured text, in the shared blue.
        label->SetHighlight(true);
        Render();
        const int y = 15 + lineHeight / 2;
        const int start = starts[alignment];
        EXPECT_EQ(At(start, y), CAreaLabel::kHighlightColour) << alignment;
        EXPECT_EQ(At(start + width, y), CAreaLabel::kHighlightColour) << alignment;
        EXPECT_NE(At(start + width + 1, y), CAreaLabel::kHighlightColour) << alignment;
    }
}

TEST_F(Labels, WrapGivesCentredLinesUnlessATextSizeIsSetAndLowLabelsShowNothing)
{
    const CRect rect(0, 0, 90, 120);
    CAreaLabel* label = AddLabel(rect);
    label->SetText("one two three four five six");
    label->SetWrap(true);
    Render();
    const auto lines = ChangedRowRuns(m_blank, m_canvas, rect);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NEAR((lines.front().first + lines.back().second) / 2.0, 60.0, 3.0);
    label->SetTextSize(10);
    Render();
    EXPECT_EQ(ChangedRowRuns(m_blank, m_canvas, rect).size(), 1u);
    // Lower than 11 pixels, nothing at all.
    label->SetHeight(10);
    m_root->SetDirty();
    Render();
    EXPECT_EQ(CountChanged(m_blank, m_canvas, rect), 0);
}

TEST_F(Labels, ALineTooWideIsSetSmallerWholeInsteadOfCutAtTheEdge)
{
    // A right-aligned heading of a dialog row, as long as its German translation.
    const CRect rect(100, 0, 80, 30);
    CAreaLabel* label = AddLabel(rect);
    label->SetHorizontalAlignment(1);
    label->SetText("Wiederholung");
    int32_t width = 0, lineHeight = 0;
    label->MeasureText("Wiederholung", width, lineHeight);
    ASSERT_GT(width, 80);
    const auto ink = Columns(rect);
    EXPECT_GT(ink.first, rect.GetX() + 1);
    EXPECT_LE(ink.second, rect.GetRight() - 5);
}
