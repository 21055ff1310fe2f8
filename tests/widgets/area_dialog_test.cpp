// Dialogs shown over an area, closed by their result at the host's next tick, and the tick order.
#include "widgets/area.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
using Log = std::vector<std::string>;

// Logs its ticks, the dialogs it hears of and its own end.
class CLogged : public CArea2
{
public:
    CLogged(CArea2* host, const std::string& label, Log* log, uint32_t width = 200, uint32_t height = 100)
        : CArea2(host, false, width, height), m_label(label), m_log(log)
    {
    }
    ~CLogged() override { m_log->push_back("delete " + m_label); }
    std::string m_label;
    std::function<void()> m_onEvent;

protected:
    void OnTick(float) override { m_log->push_back("tick " + m_label); }
    void OnKeyDown(uint32_t, bool*) override { m_onEvent(); }
    void OnDialogClosed(CArea2* dialog, uint32_t result) override
    {
        // The dialog is still alive here.
        m_log->push_back("closed " + static_cast<CLogged*>(dialog)->m_label + " " + std::to_string(result));
        if (m_onEvent)
            m_onEvent();
    }

private:
    Log* m_log;
};

struct Dialogs : ::testing::Test
{
    Dialogs() { host->SetVisible(true); }
    Log Take() { return std::exchange(log, {}); }
    std::unique_ptr<CLogged> Dialog(const std::string& label, uint32_t width = 200, uint32_t height = 100)
    {
        return std::make_unique<CLogged>(host.get(), label, &log, width, height);
    }
    Log log;
    std::unique_ptr<CLogged> host = std::make_unique<CLogged>(nullptr, "host", &log, 768, 1024);
};
}

TEST_F(Dialogs, AResultClosesTheDialogAtTheNextTickAndTheHostRepaints)
{
    host->AddChild(std::make_unique<CLogged>(host.get(), "child", &log), true);
    // What the opener gave to happen at the close comes first, the dialog still alive.
    CLogged* dialog = host->ShowDialog(Dialog("d"), CArea2::kPlaceCentred, [&](CLogged& closing, uint32_t result) {
        log.push_back("then " + closing.m_label + " " + std::to_string(result));
    });
    EXPECT_TRUE(dialog->IsVisible());
    host->Tick(0.04f);
    // The modal child first, then the host, then its children, hidden or not.
    EXPECT_EQ(Take(), (Log{"tick d", "tick host", "tick child"}));
    dialog->SetResult(CArea2::kResultCancel);
    host->Tick(0.04f);
    EXPECT_EQ(Take(), (Log{"tick d", "then d 2", "closed d 2", "delete d", "tick host", "tick child"}));
    EXPECT_EQ(host->GetModalChild(), nullptr);
    EXPECT_TRUE(host->IsDirty());
}

TEST_F(Dialogs, ANewDialogClosesTheOpenOneAndIsPlacedOnTheHost)
{
    const struct
    {
        uint32_t width, height;
        CRect expected;
    } cases[] = {
        {200, 100, CRect(284, 462, 200, 100)},
        {200, 1010, CRect(284, 10, 200, 1004)},
        {200, 900, CRect(284, 62, 200, 900)},
        {800, 100, CRect(0, 462, 800, 100)},
    };
    for (const auto& c : cases)
    {
        CLogged* dialog = host->ShowDialog(Dialog("d", c.width, c.height));
        EXPECT_EQ(dialog->GetRect(), c.expected) << c.width << " x " << c.height;
    }
    EXPECT_EQ(Take(), (Log{"closed d 0", "delete d", "closed d 0", "delete d", "closed d 0", "delete d"}));
    // Showing the open dialog again is ignored rather than freeing it.
    EXPECT_EQ(host->ShowDialog(std::unique_ptr<CArea2>(host->GetModalChild())), nullptr);
    EXPECT_EQ(Take(), Log{});
    CLogged* cover = host->ShowDialog(Dialog("cover", 10, 10), CArea2::kPlaceCover);
    EXPECT_EQ(cover->GetRect(), CRect(0, 0, 768, 1024));
}

TEST_F(Dialogs, AHostMayOpenTheNextDialogWhileHearingOfTheLastOne)
{
    CLogged* next = nullptr;
    host->m_onEvent = [&] { next ? void() : void(next = host->ShowDialog(Dialog("next"))); };
    CLogged* first = host->ShowDialog(Dialog("first"));
    first->SetResult(CArea2::kResultOk);
    host->Tick(0.04f);
    EXPECT_EQ(Take(), (Log{"tick first", "closed first 1", "delete first", "tick host"}));
    EXPECT_EQ(host->GetModalChild(), next);
}

TEST_F(Dialogs, ADialogReplacedFromItsOwnHandlerGoesOnlyAfterTheHandler)
{
    CLogged* first = host->ShowDialog(Dialog("first"));
    first->m_onEvent = [&] {
        host->ShowDialog(Dialog("second"));
        log.push_back("still running in " + first->m_label);
    };
    bool handled = false;
    host->KeyDown(13, &handled);
    EXPECT_EQ(Take(), (Log{"closed first 0", "still running in first", "delete first"}));
}
