// The position pad: presses and drags on the pad and its handles, the handles' labels, nudging.
#include "widgets/area_axis.h"

#include "tests/widgets/widget_test.h"

#include <cmath>
#include <algorithm>

namespace
{
using widget_test::WidgetTest;

CMessageValue Pos(float x, float y)
{
    return CMessageValue(CCoordinate(x, y));
}

// An entry that counts toward the centre but holds no position of its own.
CMessageValue NoneAt(float x, float y)
{
    CMessageValue value = Pos(x, y);
    value.SetType(VALUE_NONE);
    return value;
}

class AxisTest : public WidgetTest
{
protected:
    AxisTest()
    {
        CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
        m_pad = new CAreaAxis(m_root, true);
        m_pad->SetRect(CRect(0, 0, 200, 200));
        m_root->AddChild(m_pad);
        m_pad->SetChangeCallback(this, [](void* context, CAreaAxis*) { ++static_cast<AxisTest*>(context)->m_changes; });
    }
    void Move(const CPoint& point) { m_root->PointerMove(0, point); }
    CCoordinate Position(size_t i) const { return m_pad->GetValues().at(i).GetCoordinate(); }
    // The width of the light grey text in a handle, as far as the pad shows it.
    int LabelWidth(const CRect& handle)
    {
        m_root->SetDirty();
        Render();
        int left = 200, right = -1;
        for (int y = std::max(0, handle.GetY()); y < std::min(200, handle.GetBottom()); ++y)
            for (int x = std::max(0, handle.GetX()); x < std::min(200, handle.GetRight()); ++x)
            {
                const CRgbaColour c = At(x, y);
                if (c.GetRed() > 112 && c.GetRed() == c.GetGreen() && c.GetRed() == c.GetBlue())
                    left = std::min(left, x), right = std::max(right, x);
            }
        return right - left + 1;
    }
    int TextWidth(const std::string& text) const
    {
        int32_t width = 0, height = 0;
        m_pad->MeasureText(text, width, height);
        return width;
    }

    CAreaAxis* m_pad;
    int m_changes = 0;
};
}  // namespace

TEST_F(AxisTest, APressOnThePadMovesEveryPositionToThePointer)
{
    // The client area is (3, 3) to (181, 181): its corners are the pad's extremes.
    EXPECT_TRUE(Down(CPoint(3, 3)));
    ASSERT_EQ(m_pad->GetValues().size(), 1u);
    EXPECT_EQ(Position(0), CCoordinate(-1.0f, 1.0f));
    EXPECT_EQ(m_changes, 1);
    Up(CPoint(3, 3));

    m_pad->SetValueList({Pos(0.5f, 0.5f), Pos(-0.5f, -0.2f)});
    EXPECT_EQ(m_changes, 1);
    Down(CPoint(182, 182));
    EXPECT_EQ(Position(0), CCoordinate(1.0f, -1.0f));
    EXPECT_EQ(Position(1), Position(0));
    // Dragging follows the pointer until the release; afterwards moves change nothing.
    Move(CPoint(3, 3));
    EXPECT_EQ(Position(1), CCoordinate(-1.0f, 1.0f));
    Up(CPoint(3, 3));
    Move(CPoint(100, 100));
    EXPECT_EQ(Position(1), CCoordinate(-1.0f, 1.0f));
    EXPECT_EQ(m_changes, 3);
}

TEST_F(AxisTest, AHandleMovesOnlyItsOwnAxis)
{
    m_pad->SetValueList({Pos(0.2f, 0.4f), Pos(0.6f, 0.4f)});
    const CRect yHandle = m_pad->GetYHandleRect();
    const CPoint onY = yHandle.GetCentre();
    Down(onY);
    EXPECT_FLOAT_EQ(Position(0).GetX(), 0.4f);
    EXPECT_EQ(Position(0), Position(1));
    EXPECT_EQ(Position(0).GetY(), m_pad->PointToCoordinate(onY).GetY());
    Move(CPoint(3, 3));
    EXPECT_FLOAT_EQ(Position(1).GetX(), 0.4f);
    EXPECT_EQ(Position(1).GetY(), 1.0f);
    Up(CPoint(3, 3));

    const CPoint onX = m_pad->GetXHandleRect().GetCentre();
    Down(onX);
    Move(CPoint(3, 100));
    EXPECT_EQ(Position(0), CCoordinate(-1.0f, 1.0f));
}

TEST_F(AxisTest, ShowingTheSamePositionsRepaintsNothing)
{
    m_pad->SetValues(CCoordinate(0.25f, -0.5f));
    Render();
    m_pad->SetValues(CCoordinate(0.25f, -0.5f));
    EXPECT_FALSE(m_root->NeedsRender());
    m_pad->SetValues(CCoordinate(0.25f, -0.25f));
    EXPECT_TRUE(m_root->NeedsRender());
    EXPECT_EQ(m_changes, 0);
}

TEST_F(AxisTest, HandlesShowTheCentreAsAWholePercentage)
{
    // Entries without a position still count toward the centre, and draw no marker. The tinted
    // pad, the grid and the handles' frames are not the text's light grey.
    m_pad->SetColour(CRgbaColour(200, 0, 0, 255));
    const struct
    {
        float x, y;
        bool xHandle;
        const char* label;
    } cases[] = {
        {0.0f, 0.0f, true, "0"},       {0.004f, 0.0f, true, "0"},      {1.0f, 0.0f, true, "100"},
        {0.996f, 0.0f, true, "100"},   {0.0f, -1.0f, false, "-100"},  {0.0f, -0.996f, false, "-100"},
        {0.0f, 0.5f, false, "50"},
    };
    for (const auto& c : cases)
    {
        m_pad->SetValueList({NoneAt(c.x, c.y), NoneAt(c.x, c.y)});
        const int width = LabelWidth(c.xHandle ? m_pad->GetXHandleRect() : m_pad->GetYHandleRect());
        EXPECT_NEAR(width, TextWidth(c.label), 2) << c.x << " " << c.y;
    }
}

TEST_F(AxisTest, NudgesMoveHeldPositionsWithinTheRange)
{
    m_pad->SetValueList({Pos(0.99f, 0.0f), NoneAt(0.5f, 0.5f)});
    m_pad->NudgeRight();
    EXPECT_EQ(Position(0), CCoordinate(1.0f, 0.0f));
    EXPECT_EQ(Position(1), CCoordinate(0.5f, 0.5f));
    m_pad->SetFine(true);
    m_pad->NudgeDown();
    EXPECT_FLOAT_EQ(Position(0).GetY(), -0.005f);
    EXPECT_EQ(m_changes, 2);
}

TEST_F(AxisTest, APadWithoutRoomTakesEveryPressAsTheCentre)
{
    m_pad->SetSize(10, 10);
    Down(CPoint(5, 5));
    EXPECT_EQ(Position(0), CCoordinate(0.0f, 0.0f));
    m_pad->SetSize(0, 0);
    m_root->SetDirty();
    Render();
}
