// Labels: where the text lands for each alignment, the highlight and its underline, wrapping, and
// when nothing is drawn.
#include "shell/translator.h"
#include "tests/widgets/widget_test.h"
#include "widgets/area_label.h"

#include <algorithm>

using widget_test::WidgetTest;

namespace
{
const CRgbaColour kWhite(255, 255, 255, 255);

// The columns and rows of pixels that differ from the blank canvas.
struct Ink
{
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    bool Empty() const { return right < 0; }
};
Ink InkOf(const CBaseImage& blank, const CBaseImage& canvas, const CRect& rect)
{
    Ink ink;
    for (int32_t y = rect.GetY(); y < rect.GetBottom(); ++y)
        for (int32_t x = rect.GetX(); x < rect.GetRight(); ++x)
            if (blank.GetPixel(uint32_t(x), uint32_t(y)) != canvas.GetPixel(uint32_t(x), uint32_t(y)))
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x), ink.top = std::min(ink.top, y),
                ink.bottom = std::max(ink.bottom, y);
    return ink;
}

class UpperTranslator : public CTranslator
{
public:
    std::string Translate(const std::string& text, bool upperCase) const override
    {
        return "<" + text + (upperCase ? ">!" : ">");
    }
};

class Labels : public WidgetTest
{
protected:
    CAreaLabel* AddLabel(const CRect& rect)
    {
        auto* label = new CAreaLabel(m_root, false);
        label->SetRect(rect);
        label->SetTextColour(kWhite);
        m_root->AddChild(label);
        Render();
        m_blank = m_canvas;
        return label;
    }
    Ink DrawnInk(const CRect& rect)
    {
        Render();
        return InkOf(m_blank, m_canvas, rect);
    }
    CZevralImage m_blank;
};
}  // namespace

TEST_F(Labels, AlignmentPlacesTheTextAndHighlightUnderlinesItExactly)
{
    const CRect rect(0, 0, 200, 30);
    CAreaLabel* label = AddLabel(rect);
    EXPECT_EQ(label->GetName(), "CAreaLabel");
    label->SetText("Wheel");
    int32_t textWidth = 0, lineHeight = 0;
    label->MeasureText("Wheel", textWidth, lineHeight);

    label->SetHorizontalAlignment(0);
    const Ink left = DrawnInk(rect);
    EXPECT_LE(left.left, 2);
    label->SetHorizontalAlignment(1);
    const Ink right = DrawnInk(rect);
    EXPECT_NEAR(right.right, 200 - 5, 2);
    label->SetHorizontalAlignment(2);
    const Ink centred = DrawnInk(rect);
    EXPECT_NEAR((centred.left + centred.right) / 2.0, 100.0, 2.0);

    // The underline spans exactly the measured text, for every alignment, in the shared blue.
    const int underline = 15 + lineHeight / 2;
    const int starts[] = {0, 200 - 5 - textWidth, 100 - textWidth / 2};
    label->SetHighlight(true);
    for (uint32_t alignment : {0u, 1u, 2u})
    {
        label->SetHorizontalAlignment(alignment);
        Render();
        const int start = starts[alignment];
        EXPECT_EQ(At(start, underline), CAreaLabel::kHighlightColour) << alignment;
        EXPECT_EQ(At(start + textWidth, underline), CAreaLabel::kHighlightColour) << alignment;
        if (start > 0)
        {
            EXPECT_NE(At(start - 1, underline), CAreaLabel::kHighlightColour) << alignment;
        }
        EXPECT_NE(At(start + textWidth + 1, underline), CAreaLabel::kHighlightColour) << alignment;
    }
}

TEST_F(Labels, TooSmallOrEmptyLabelsDrawNothingAndTheSameTextIsNoChange)
{
    const CRect rect(0, 0, 100, 10);
    CAreaLabel* label = AddLabel(rect);
    label->SetText("Hidden");
    EXPECT_TRUE(DrawnInk(rect).Empty());
    label->SetHeight(11);
    EXPECT_FALSE(DrawnInk(rect).Empty());

    EXPECT_FALSE(label->IsDirty());
    label->SetText("Hidden");
    EXPECT_FALSE(label->IsDirty());
    label->SetText("");
    EXPECT_TRUE(DrawnInk(rect).Empty());
}

TEST_F(Labels, WrapBreaksIntoCentredLinesUnlessATextSizeIsSet)
{
    const CRect rect(0, 0, 90, 120);
    CAreaLabel* label = AddLabel(rect);
    label->SetText("one two three four five six");
    const Ink single = DrawnInk(rect);
    label->SetWrap(true);
    label->SetDirty();
    Render();
    const auto lines = widget_test::ChangedRowRuns(m_blank, m_canvas, rect);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NEAR((lines.front().first + lines.back().second) / 2.0, 60.0, 3.0);

    // A size of its own draws one line, wrap or not.
    label->SetTextSize(10);
    const Ink sized = DrawnInk(rect);
    EXPECT_EQ(widget_test::ChangedRowRuns(m_blank, m_canvas, rect).size(), 1u);
    EXPECT_LT(sized.bottom - sized.top, single.bottom - single.top + 1);
}

TEST_F(Labels, TranslatesWhenAskedAndPassesPressesOnWithoutACallback)
{
    CApp::SetLanguageManager(new UpperTranslator);
    CAreaLabel* label = AddLabel(CRect(0, 0, 100, 30));
    label->SetText("Go", true, true);
    EXPECT_EQ(label->GetText(), "<Go>!");
    label->SetText("Go", false, true);
    EXPECT_EQ(label->GetText(), "Go");
    CApp::SetLanguageManager(nullptr);

    EXPECT_FALSE(Down(CPoint(10, 10)));
    uint32_t pressed = 0;
    label->SetPressCallback(&pressed, [](void* context, CAreaLabel*, uint32_t button, bool*) {
        *static_cast<uint32_t*>(context) = button;
    });
    EXPECT_TRUE(Down(CPoint(10, 10), 2));
    EXPECT_EQ(pressed, 2u);
}
