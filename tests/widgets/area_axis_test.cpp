// The position pad: presses and drags on the pad and its handles, and the handles' labels.
#include "widgets/area_axis.h"

#include "graphics/glyph_manager.h"
#include "link/message_value.h"
#include "tests/widgets/widget_test.h"

#include <algorithm>
#include <functional>

namespace
{
using widget_test::WidgetTest;

// The handles' figures and the crosses; the tinted frame, the grid and the handles' frames are
// not of it.
bool LightGrey(CRgbaColour c)
{
    return c.GetRed() > 112 && c.GetRed() == c.GetGreen() && c.GetRed() == c.GetBlue();
}

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
        // As large as the edit page makes it on the normal screen.
        const CPoint size = CAreaAxis::SizeForTravel(153);
        pad->SetRect(CRect(0, 0, size.GetX(), size.GetY()));
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
                if (LightGrey(At(x, y)))
                    left = std::min(left, x), right = std::max(right, x);
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
    // Presses out to the grid's corners reach the pad's extremes.
    EXPECT_TRUE(Down(CPoint(3, 3)));
    ASSERT_EQ(m_pad->GetValues().size(), 1u);
    EXPECT_EQ(Position(0), CCoordinate(-1.0f, 1.0f));
    EXPECT_EQ(m_changes, 1);
    Up(CPoint(3, 3));

    m_pad->SetValueList({Pos(0.5f, 0.5f), Pos(-0.5f, -0.2f)});
    Down(CPoint(167, 167));
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

TEST_F(AxisTest, APressInAHandlesStripMovesOnlyItsAxisAndWhereTheStripsMeetNothing)
{
    // From (0, 0): a press and a drag to the top left corner. A finger that misses a handle by a
    // little still lands in its strip, and takes only that axis to the pointer.
    struct Row
    {
        const char* where;
        std::function<CPoint(const CAreaAxis&)> point;
        bool movesX;
        bool movesY;
    };
    const Row rows[] = {
        {"on the x handle", [](const CAreaAxis& pad) { return pad.GetXHandleRect().GetCentre(); }, true, false},
        {"25 px left of the x handle",
         [](const CAreaAxis& pad) { return pad.GetXHandleRect().GetCentre() - CPoint(25, 0); }, true, false},
        {"on the y handle", [](const CAreaAxis& pad) { return pad.GetYHandleRect().GetCentre(); }, false, true},
        {"25 px above the y handle",
         [](const CAreaAxis& pad) { return pad.GetYHandleRect().GetCentre() - CPoint(0, 25); }, false, true},
        {"the y strip's top end", [](const CAreaAxis& pad) { return CPoint(pad.GetYHandleRect().GetX(), 0); },
         false, true},
        {"the grid's last column",
         [](const CAreaAxis& pad) { return CPoint(pad.GetYHandleRect().GetX() - 2, 40); }, true, true},
        {"the grid's last row", [](const CAreaAxis& pad) { return CPoint(40, pad.GetXHandleRect().GetY() - 2); },
         true, true},
        {"where the strips meet",
         [](const CAreaAxis& pad) { return CPoint(int32_t(pad.GetWidth()) - 4, int32_t(pad.GetHeight()) - 4); },
         false, false},
    };
    for (const Row& row : rows)
    {
        m_pad->SetValues(CCoordinate());
        const int changes = m_changes;
        const CPoint at = row.point(*m_pad);
        const CCoordinate pointed = m_pad->PointToCoordinate(at);
        Down(at);
        EXPECT_EQ(Position(0), CCoordinate(row.movesX ? std::clamp(pointed.GetX(), -1.0f, 1.0f) : 0.0f,
                                           row.movesY ? std::clamp(pointed.GetY(), -1.0f, 1.0f) : 0.0f))
            << row.where;
        EXPECT_EQ(m_changes, changes + (row.movesX || row.movesY)) << row.where;
        Move(CPoint(0, 0));
        EXPECT_EQ(Position(0), CCoordinate(row.movesX ? -1.0f : 0.0f, row.movesY ? 1.0f : 0.0f)) << row.where;
        Up(CPoint(0, 0));
    }
}

TEST_F(AxisTest, EveryPositionShowsItsCrossAndBothFiguresInsideTheFrame)
{
    // Entries of no value still count toward the centre, and draw no cross.
    m_pad->SetColour(CRgbaColour(200, 0, 0, 255));
    const std::tuple<float, float, uint32_t, const char*, const char*> cases[] = {
        {0.0f, 0.0f, VALUE_COORDINATE, "0", "0"},      {0.004f, 0.5f, VALUE_NONE, "0", "50"},
        {-0.004f, -0.5f, VALUE_NONE, "0", "-50"},
        {0.996f, -0.996f, VALUE_NONE, "100", "-100"},  {0.82f, -0.32f, VALUE_COORDINATE, "82", "-32"},
        {-1.0f, 1.0f, VALUE_COORDINATE, "-100", "100"}, {1.0f, 1.0f, VALUE_COORDINATE, "100", "100"},
        {-1.0f, -1.0f, VALUE_COORDINATE, "-100", "-100"}, {1.0f, -1.0f, VALUE_COORDINATE, "100", "-100"}};
    for (const auto& [x, y, type, xLabel, yLabel] : cases)
    {
        m_pad->SetValueList({Pos(x, y, type), Pos(x, y, type)});
        const CRect xHandle = m_pad->GetXHandleRect();
        const CRect yHandle = m_pad->GetYHandleRect();
        // Within less than a minus sign's width: a position a hair left of the middle reads 0.
        EXPECT_NEAR(LabelWidth(xHandle), TextWidth(xLabel), 2) << x << " " << y;
        EXPECT_NEAR(LabelWidth(yHandle), TextWidth(yLabel), 2) << x << " " << y;
        CRect inside = m_pad->GetLocalRect();
        inside.Shrink(1);
        for (const CRect& handle : {xHandle, yHandle})
            EXPECT_TRUE(handle.GetX() >= inside.GetX() && handle.GetY() >= inside.GetY() &&
                        handle.GetRight() <= inside.GetRight() && handle.GetBottom() <= inside.GetBottom())
                << x << " " << y;
        EXPECT_FALSE(xHandle.Intersects(yHandle)) << x << " " << y;
        if (type == VALUE_NONE)
            continue;
        // Every pixel of the cross's two bars shows, uncovered.
        const CPoint cross = m_pad->CoordinateToPoint(CCoordinate(x, y));
        int shown = 0;
        for (int along = -6; along <= 6; ++along)
            for (int across = -1; across <= 1; ++across)
                for (const CPoint at : {cross + CPoint(along, across), cross + CPoint(across, along)})
                    shown += LightGrey(At(at.GetX(), at.GetY()));
        EXPECT_EQ(shown, 2 * 13 * 3) << x << " " << y;
    }
}

TEST_F(AxisTest, APadWithoutRoomTakesEveryPressAsTheCentre)
{
    m_pad->SetSize(10, 10);
    Down(CPoint(1, 1));
    EXPECT_EQ(Position(0), CCoordinate(0.0f, 0.0f));
    m_pad->SetSize(0, 0);
    m_root->SetDirty();
    Render();
}
