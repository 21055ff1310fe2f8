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
    CLoggingArea* m_a = m_root.MakeChild<CLoggingArea>("A", CRect(0, 0, 100, 100), &m_log, true);
    CLoggingArea* m_b = m_root.MakeChild<CLoggingArea>("B", CRect(50, 50, 100, 100), &m_log);
    CLoggingArea* m_c = m_root.MakeChild<CLoggingArea>("C", CRect(200, 200, 50, 50), &m_log, true);
};

// Takes every event and, on a press or a key, takes an area out of the tree: itself, or the one
// it is given. Says when it goes.
class CRemoving : public CLoggingArea
{
public:
    CRemoving(CArea2* parent, const std::string& label, const CRect& rect, Log* log, CArea2* removed = nullptr)
        : CLoggingArea(parent, label, rect, log, true), m_removed(removed ? removed : this), m_said(log), m_name(label)
    {
    }
    ~CRemoving() override { m_said->push_back(m_name + " gone"); }

protected:
    void OnPointerDown(const CPoint& p, uint32_t button, bool* h) override
    {
        CLoggingArea::OnPointerDown(p, button, h);
        Remove();
    }
    void OnKeyDown(uint32_t key, bool* h) override
    {
        CLoggingArea::OnKeyDown(key, h);
        Remove();
    }

private:
    void Remove()
    {
        m_removed->GetParent()->RemoveChild(m_removed);
        m_said->push_back("removed");
    }
    CArea2* m_removed;
    Log* m_said;
    std::string m_name;
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
    auto* dialog =
        m_root.ShowDialog(std::make_unique<CLoggingArea>(nullptr, "D", CRect(0, 0, 300, 300), &m_log, true),
                          CArea2::kPlaceCover);
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

TEST_F(Routing, AnAreaRemovedWhileItHandlesAnEventGoesOnceTheEventHasReturned)
{
    // S takes itself out on a press, X its parent M; K takes itself out on a key.
    m_root.MakeChild<CRemoving>("S", CRect(260, 0, 40, 40), &m_log);
    auto* parent = m_root.MakeChild<CLoggingArea>("M", CRect(150, 0, 100, 50), &m_log);
    parent->MakeChild<CRemoving>("X", CRect(0, 0, 50, 50), &m_log, parent);
    m_root.MakeChild<CRemoving>("K", CRect(0, 200, 50, 50), &m_log);
    EXPECT_EQ(Down(0, 270, 10), (Log{"S down 10,10", "removed", "S gone"}));
    // What took the press has gone: its moves reach the root, its release nobody.
    EXPECT_EQ(Move(0, 280, 20), (Log{"R move 280,20"}));
    EXPECT_EQ(Up(0, 280, 20), Log{});
    EXPECT_EQ(Down(1, 160, 10), (Log{"X down 10,10", "removed", "X gone"}));
    EXPECT_EQ(Up(1, 160, 10), Log{});
    m_a->SetVisible(false);
    m_c->SetVisible(false);
    bool handled = false;
    m_root.KeyDown(65, &handled);
    EXPECT_EQ(Take(), (Log{"B key65", "K key65", "removed", "K gone"}));
    m_root.KeyUp(65, &(handled = false));
    EXPECT_EQ(Take(), Log{});
    EXPECT_EQ(m_root.GetChildCount(), 3u);
}
