// The cue grid: presses and holds on cues, drag scrolling that settles on whole cells, the frames
// it draws, and following a playback whose cues come and go.
#include "widgets/area_cue_grid.h"

#include "graphics/glyph_manager.h"
#include "model/playback_manager.h"
#include "tests/model/playback_test_support.h"
#include "tests/widgets/widget_test.h"

namespace
{
using widget_test::WidgetTest;

// Cells are 94 pixels square; the strip is four cells wide.
class CueGridTest : public WidgetTest
{
protected:
    CueGridTest()
    {
        CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
        m_manager.SetSink(&m_sink);
        m_playback = m_manager.GetPlayback(2);
        SetCues(3);
        auto grid = std::make_unique<CAreaCueGrid>(m_root);
        grid->SetSize(4 * 94, 94);
        m_grid = m_root->AddChild(std::move(grid));
        m_grid->SetPlayback(m_playback);
        m_grid->SetPressCallback(
            this, [](void* c, CAreaCueGrid*, int32_t cue) { static_cast<CueGridTest*>(c)->m_presses.push_back(cue); });
        m_grid->SetHoldCallback(this, [](void* c, CAreaCueGrid*) { ++static_cast<CueGridTest*>(c)->m_holds; });
    }
    void SetCues(uint32_t n)
    {
        m_manager.ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_COUNT, 2, 0, 0, CMessageValue(n)));
    }
    void Move(const CPoint& point) { m_root->PointerMove(0, point); }

    CRecordingSink m_sink;
    CPlaybackManager m_manager;
    CPlayback* m_playback;
    CAreaCueGrid* m_grid;
    std::vector<int32_t> m_presses;
    int m_holds = 0;
};
}  // namespace

TEST_F(CueGridTest, APressReportsTheCueAndAHalfSecondOnItReportsAHold)
{
    // A release before the half second, or a press beyond the last cue, holds nothing.
    for (const CPoint& point : {CPoint(100, 40), CPoint(300, 40)})
    {
        EXPECT_TRUE(Down(point));
        Ticks(point.GetX() == 100 ? 1 : 4, 0.25f);
        Up(point);
        Ticks(4, 0.25f);
    }
    EXPECT_EQ(m_holds, 0);
    Down(CPoint(10, 40));
    Ticks(1, 0.25f);
    EXPECT_EQ(m_holds, 0);
    Ticks(4, 0.25f);
    EXPECT_EQ(m_holds, 1);
    EXPECT_EQ(m_presses, (std::vector<int32_t>{1, -1, 0}));
}

TEST_F(CueGridTest, APressThatDragsTheStripIsNoHold)
{
    SetCues(10);
    // A finger's wobble still holds; a slow drag through the list never does, however long.
    Down(CPoint(50, 40));
    Move(CPoint(47, 40));
    Ticks(3, 0.25f);
    Up(CPoint(47, 40));
    EXPECT_EQ(m_holds, 1);
    Down(CPoint(300, 40));
    for (int x = 290; x >= 100; x -= 10)
    {
        Move(CPoint(x, 40));
        Ticks(1, 0.1f);
    }
    Ticks(10, 0.1f);
    Up(CPoint(100, 40));
    EXPECT_EQ(m_holds, 1);
}

TEST_F(CueGridTest, DraggingScrollsAndTheStripSettlesOnWholeCells)
{
    SetCues(10);
    // Dragged far to the right: at most 500 pixels of empty space, halving back to the start.
    Down(CPoint(100, 40));
    Move(CPoint(800, 40));
    Ticks(3);
    EXPECT_EQ(m_grid->GetScrollOffset(), -500);
    Up(CPoint(800, 40));
    for (const int32_t offset : {-250, -125, -63, -32, -16, -8, -4, -2, -1, 0})
    {
        Ticks(1);
        EXPECT_EQ(m_grid->GetScrollOffset(), offset);
    }
    // While the strip springs back there is no cue left of the first cell.
    m_grid->SetScrollOffset(-200);
    Down(CPoint(150, 40));
    EXPECT_EQ(m_presses.back(), -1);
    // 100 pixels is nearer the second cell than the first; the last four cells end the strip.
    m_grid->SetScrollOffset(0);
    Down(CPoint(200, 40));
    Move(CPoint(100, 40));
    Up(CPoint(100, 40));
    Ticks(10);
    EXPECT_EQ(m_grid->GetScrollOffset(), 94);
    Down(CPoint(300, 40));
    Move(CPoint(-700, 40));
    Up(CPoint(-700, 40));
    Ticks(12);
    EXPECT_EQ(m_grid->GetScrollOffset(), 10 * 94 - 4 * 94);
    // Cues removed leave the strip at its new end at once; fewer cues than it holds, at the start.
    SetCues(6);
    EXPECT_EQ(m_grid->GetScrollOffset(), 6 * 94 - 4 * 94);
    SetCues(3);
    EXPECT_EQ(m_grid->GetScrollOffset(), 0);
    // Another playback starts at its first cue.
    SetCues(10);
    m_grid->SetScrollOffset(6 * 94);
    m_grid->SetPlayback(m_manager.GetPlayback(3));
    EXPECT_EQ(m_grid->GetScrollOffset(), 0);
}

TEST_F(CueGridTest, CellsAreFramedRedWhenTheCueHoldsValuesAndPressedWhenSelected)
{
    std::vector<uint8_t> block(CCue::kBlockSize, 0);
    block[16] = 200;
    m_manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_CUE_STREAM_BLOCK, 2, 1, 0, Raw(block)));
    Render();
    const CRgbaColour plain = At(0, 47);
    const CRgbaColour used = At(94, 47);
    EXPECT_EQ(plain.GetRed(), plain.GetGreen());
    EXPECT_GT(used.GetRed(), 200);
    EXPECT_LT(used.GetGreen(), 60);

    m_grid->SetSelection(-1, 3);
    EXPECT_FALSE(m_grid->IsSelected(0) || m_grid->IsSelected(1));
    m_grid->SetSelection(0, 0);
    EXPECT_FALSE(m_grid->IsSelected(0));
    const CRgbaColour unselected = At(2 * 94 + 2, 47);
    m_grid->SetSelection(2, 1);
    Render();
    EXPECT_NE(At(2 * 94 + 2, 47), unselected);
    EXPECT_EQ(At(2, 47), At(94 + 2, 47));
    // A selected cue that holds values keeps its red frame and is filled inside like any other.
    const CRgbaColour inside = At(94 + 10, 47);
    m_grid->SetSelection(1, 2);
    Render();
    EXPECT_GT(At(94, 47).GetRed(), 200);
    EXPECT_LT(At(94, 47).GetGreen(), 60);
    EXPECT_GT(int(At(94 + 10, 47).GetGreen()), int(inside.GetGreen()) + 60);
    EXPECT_EQ(At(94 + 10, 47), At(2 * 94 + 10, 47));
}

TEST_F(CueGridTest, TheGridFollowsCuesAndPlaybacksThatGo)
{
    // Cues deleted while observed are forgotten; the one left is still followed.
    SetCues(1);
    EXPECT_EQ(m_grid->GetCellCount(), 1u);
    Render();
    m_manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, 0, 0, CMessageValue("Intro")));
    EXPECT_TRUE(m_root->NeedsRender());

    auto* own = new CPlayback(nullptr);
    own->SetCueCount(5, false);
    m_grid->SetPlayback(own);
    EXPECT_EQ(m_grid->GetCellCount(), 5u);
    EXPECT_EQ(m_playback->GetObserverCount(), 0u);
    delete own;
    EXPECT_EQ(m_grid->GetPlayback(), nullptr);
    EXPECT_EQ(m_grid->GetCellCount(), 0u);
    Render();

    // Hidden, the grid lets go of its playback and its cues.
    m_grid->SetPlayback(m_playback);
    m_grid->SetVisible(false);
    EXPECT_EQ(m_grid->GetPlayback(), nullptr);
    EXPECT_EQ(m_playback->GetObserverCount(), 0u);
    EXPECT_EQ(m_playback->GetCue(0)->GetObserverCount(), 0u);
}

TEST_F(CueGridTest, ALongLabelIsShortenedInsideItsCell)
{
    m_manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, 0, 0, CMessageValue("A")));
    Render();
    const CZevralImage shortLabel = m_canvas;
    m_manager.ApplyMessage(Reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, 0, 0, CMessageValue("House lights out slowly")));
    Render();
    // The label row of the first cell: the long label is drawn, but not out to the cell's sides.
    const auto changed = [&](int32_t x, int32_t width) {
        return widget_test::CountChanged(shortLabel, m_canvas, CRect(x, 3, width, 22));
    };
    EXPECT_GT(changed(10, 74), 20);
    EXPECT_EQ(changed(0, 5) + changed(89, 5), 0);
}
