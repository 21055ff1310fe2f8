// The position pad: presses and drags on the pad and its handles, and the handles' labels.
#include "widgets/area_axis.h"

#include "graphics/glyph_manager.h"
#include "link/message_value.h"
#include "tests/widgets/widget_test.h"

#include <algorithm>

namespace
{
using widget_test::WidgetTest;

CMessageValue Pos(float x, float y, uint32_t type = VALUE_COORDINATE)
{
    CMessageValue value{CCoordinate(x, y)};
    value.SetType(type);
    return value;
}

class AxisTest : public WidgetTest
{
protected:
    AxisTest()
    {
        CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
        auto pad = std::make_unique<CAreaAxis>(m_root, true);
        pad->SetRect(CRect(0, 0, 200, 200));
        m_pad = m_root->AddChild(std::move(pad));
        m_pad->SetChangeCallback(this, [](void* context, CArea2*) { ++static_cast<AxisTest*>(context)->m_changes; });
    }
    void Move(const CPoint& point) { m_root->PointerMove(0, point); }
    CCoordinate Position(size_t i) const { return m_pad->GetValues().at(i).GetCoordinate(); }
    // The width of the light grey text in a handle, as far as the pad shows it.
    int LabelWidth(const CRect& handle)
    {
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
        return m_pad->MeasureText(text, width, height), width;
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

    Down(m_pad->GetXHandleRect().GetCentre());
    Move(CPoint(3, 100));
    Up(CPoint(3, 100));
    EXPECT_EQ(Position(0), CCoordinate(-1.0f, 1.0f));
    EXPECT_EQ(m_changes, 4);
    // Showing the positions shown already repaints nothing; no setter calls back.
    Render();
    m_pad->SetValueList({Pos(-1.0f, 1.0f), Pos(-1.0f, 1.0f)});
    EXPECT_FALSE(m_root->NeedsRender());
    m_pad->SetValues(CCoordinate(0.25f, -0.5f));
    EXPECT_TRUE(m_root->NeedsRender());
    EXPECT_EQ(m_changes, 4);
}

TEST_F(AxisTest, HandlesShowTheCentreAsAWholePercentage)
{
    // Entries of no value still count toward the centre, and draw no marker. The tinted pad, the
    // grid and the handles' frames are not the text's light grey.
    m_pad->SetColour(CRgbaColour(200, 0, 0, 255));
    const std::tuple<float, float, const char*> cases[] = {
        {0.0f, 0.0f, "0"},   {0.004f, 0.0f, "0"},     {1.0f, 0.0f, "100"},   {0.996f, 0.0f, "100"},
        {0.0f, -1.0f, "-100"}, {0.0f, -0.996f, "-100"}, {0.0f, 0.5f, "50"}};
    for (const auto& [x, y, label] : cases)
    {
        m_pad->SetValueList({Pos(x, y, VALUE_NONE), Pos(x, y, VALUE_NONE)});
        const CRect handle = y == 0.0f ? m_pad->GetXHandleRect() : m_pad->GetYHandleRect();
        EXPECT_NEAR(LabelWidth(handle), TextWidth(label), 3) << x << " " << y;
        // At the edges too the handle stays inside the pad.
        EXPECT_TRUE(handle.GetX() >= 0 && handle.GetY() >= 0 && handle.GetRight() <= 200 && handle.GetBottom() <= 200)
            << x << " " << y;
    }
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
