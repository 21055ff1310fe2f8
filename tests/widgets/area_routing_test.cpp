// Input routing through an area tree, called on the root as the event pump does.
#include "tests/widgets/logging_area.h"

#include <gtest/gtest.h>

#include <utility>

namespace
{
// Root R 300 x 300 with A (takes events) under B (lets them through), overlapping at 50..99, and
// C (takes) apart from both.
class Routing : public ::testing::Test
{
protected:
    Log Take() { return std::exchange(m_log, {}); }
    Log Down(int64_t id, int x, int y, bool handled = false)
    {
        m_root.PointerDown(id, CPoint(x, y), 1, &handled);
        return Take();
    }
    Log Up(int64_t id, int x, int y, bool handled = false) { return m_root.PointerUp(id, {x, y}, &handled), Take(); }
    Log Move(int64_t id, int x, int y) { return m_root.PointerMove(id, {x, y}), Take(); }
    Log Wheel(int x, int y, bool handled = false) { return m_root.Wheel(0, {x, y}, 1, &handled), Take(); }

    Log m_log;
    CLoggingArea m_root{nullptr, "R", CRect(0, 0, 300, 300), &m_log};
    CLoggingArea* m_a = new CLoggingArea(&m_root, "A", CRect(0, 0, 100, 100), &m_log, true);
    CLoggingArea* m_b = new CLoggingArea(&m_root, "B", CRect(50, 50, 100, 100), &m_log);
    CLoggingArea* m_c = new CLoggingArea(&m_root, "C", CRect(200, 200, 50, 50), &m_log, true);
};
}

TEST_F(Routing, PressesGoLastToFirstAndTheTakerKeepsThePointerUntilTheNextPress)
{
    EXPECT_EQ(Down(0, 60, 60), (Log{"B down 10,10", "A down 60,60"}));
    EXPECT_EQ(Up(0, 210, 210), (Log{"A up 210,210"}));
    EXPECT_EQ(Move(0, 5, 5), (Log{"A move 5,5"}));
    // A press on the background erases the capture; releases then go by place.
    EXPECT_EQ(Down(0, 180, 20), (Log{"R down 180,20"}));
    EXPECT_EQ(Up(0, 210, 210), (Log{"C up 10,10"}));
    EXPECT_EQ(Up(0, 180, 20), (Log{"R up 180,20"}));
    // Routing never clears a handled flag: an event that arrives handled reaches nobody.
    EXPECT_EQ(Down(0, 10, 10, true), Log{});
    EXPECT_EQ(Up(0, 180, 20, true), Log{});
}

TEST_F(Routing, EveryPointerKeepsItsOwnCaptureAndRemovalForgetsOnlyTheChildsOwn)
{
    Down(1, 10, 10);
    Down(2, 210, 210);
    Down(3, 20, 20);
    EXPECT_EQ(Move(1, 500, 500), (Log{"A move 500,500"}));
    EXPECT_EQ(Move(2, 0, 0), (Log{"C move -200,-200"}));
    m_root.RemoveChild(m_a);
    EXPECT_EQ(m_root.GetCapture(1), nullptr);
    EXPECT_EQ(m_root.GetCapture(3), nullptr);
    EXPECT_EQ(m_root.GetCapture(2), m_c);
}

TEST_F(Routing, AWheelTurnDuringAPressLeavesThatPointersCaptureAlone)
{
    EXPECT_EQ(Wheel(210, 210), (Log{"C wheel1 10,10"}));
    EXPECT_EQ(m_root.GetCapture(0), m_c);
    Down(0, 10, 10);
    EXPECT_EQ(Wheel(210, 210), (Log{"C wheel1 10,10"}));
    EXPECT_EQ(Up(0, 210, 210), (Log{"A up 210,210"}));
}

TEST_F(Routing, KeysAndCommandsGoFirstToLastAndHiddenAreasIgnoreTheRest)
{
    m_a->SetVisible(false);
    bool handled = false;
    m_root.KeyDown(65, &handled);
    EXPECT_EQ(Take(), (Log{"B key65", "C key65"}));
    m_c->m_takes = false;
    handled = false;
    m_root.DispatchCommand(5, &handled);
    EXPECT_EQ(Take(), (Log{"B command5", "C command5", "R command5"}));

    m_root.SetVisible(false);
    Down(0, 60, 60);
    Up(0, 60, 60);
    Move(0, 60, 60);
    Wheel(60, 60);
    m_root.Gesture(CPoint(60, 60), &handled);
    m_root.DispatchCommand(4, &handled);
    EXPECT_EQ(Take(), Log{});
}

TEST_F(Routing, AReleaseGoesToWhatTookItsPressWhateverOpenedMeanwhileAndARepeatOnlyThere)
{
    bool handled = false;
    auto key = [&](void (CArea2::*event)(uint32_t, bool*), uint32_t code) {
        handled = false;
        (m_root.*event)(code, &handled);
        return Take();
    };
    Down(0, 210, 210);
    EXPECT_EQ(key(&CArea2::KeyDown, 65), (Log{"A key65"}));
    auto* dialog = new CLoggingArea(nullptr, "D", CRect(0, 0, 300, 300), &m_log, true);
    m_root.ShowDialog(dialog, CArea2::kPlaceCover);
    EXPECT_EQ(key(&CArea2::KeyRepeat, 65), (Log{"A repeat65"}));
    EXPECT_EQ(Up(0, 210, 210), (Log{"C up 10,10"}));
    EXPECT_EQ(key(&CArea2::KeyUp, 65), (Log{"A keyup65"}));
    // Presses made while the dialog is open are its own, also when it closes before their release.
    EXPECT_EQ(key(&CArea2::KeyDown, 66), (Log{"D key66"}));
    dialog->SetResult(CArea2::kResultOk);
    m_root.Tick(0.04f);
    EXPECT_EQ(key(&CArea2::KeyRepeat, 66), Log{});
    EXPECT_EQ(key(&CArea2::KeyUp, 66), Log{});
    // A taker hidden meanwhile hears nothing more; a key nobody took repeats to nobody.
    key(&CArea2::KeyDown, 67);
    m_a->SetVisible(false);
    EXPECT_EQ(key(&CArea2::KeyUp, 67), Log{});
    m_c->m_takes = false;
    EXPECT_EQ(key(&CArea2::KeyDown, 68), (Log{"B key68", "C key68", "R key68"}));
    EXPECT_EQ(key(&CArea2::KeyRepeat, 68), Log{});
}
