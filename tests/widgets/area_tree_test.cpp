// The area tree: visibility, geometry setters and equal-share layouts.
#include "widgets/area.h"

#include "graphics/texture_adapter.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Counts its layouts and visibility changes.
class CCountingArea : public CArea2
{
public:
    CCountingArea(CArea2* parent, bool ownSurface) : CArea2(parent, ownSurface, 40, 30) {}
    int m_layouts = 0;
    int m_visibleChanges = 0;

protected:
    void Layout() override { ++m_layouts; }
    void OnVisibleChanged() override { ++m_visibleChanges; }
};

// Counts its ticks while it has work, and asks for ticks only then, as a held button does.
class CWorker : public CArea2
{
public:
    explicit CWorker(CArea2* parent) : CArea2(parent, false, 10, 10) {}
    void Start()
    {
        m_working = true;
        SetTicking(true);
    }
    int m_ticks = 0;
    bool m_working = false;

protected:
    void OnTick(float) override
    {
        if (!m_working)
            return SetTicking(false);
        ++m_ticks;
    }
};

struct AreaTree : ::testing::Test
{
    AreaTree() { root.SetVisible(true); }
    CArea2 root{nullptr, false, 768, 1024};
};
}

TEST_F(AreaTree, ChildrenFollowTheParentsVisibility)
{
    auto made = std::make_unique<CCountingArea>(&root, false);
    EXPECT_FALSE(made->IsVisible());
    auto* shown = root.AddChild(std::move(made));
    auto* hidden = root.AddChild(std::make_unique<CCountingArea>(&root, false), true);
    // A second owner would delete it twice: ignored.
    root.AddChild(std::unique_ptr<CCountingArea>(shown));
    EXPECT_EQ(root.GetChildCount(), 2u);
    EXPECT_TRUE(shown->IsVisible());
    EXPECT_FALSE(hidden->IsVisible());
    // The change lays out once through the refresh, AddChild once more.
    EXPECT_EQ(shown->m_layouts, 2);
    root.SetVisible(false);
    root.SetVisible(true);
    root.SetVisible(true);
    EXPECT_TRUE(hidden->IsVisible());
    EXPECT_EQ(shown->m_visibleChanges, 3);
}

TEST_F(AreaTree, PositionSettersClampAndOnlyOwnSurfacesRefreshOnMoves)
{
    auto* plain = root.MakeChild<CCountingArea>(false);
    auto* own = root.MakeChild<CCountingArea>(true);
    const struct
    {
        CPoint set, expected;
    } cases[] = {{{-5, -5}, {0, -5}}, {{3000, 3000}, {2048, 2048}}};
    for (const auto& c : cases)
    {
        plain->SetX(c.set.GetX());
        plain->SetY(c.set.GetY());
        EXPECT_EQ(plain->GetPosition(), c.expected);
    }
    plain->SetPosition(CPoint(-1, 3000));
    EXPECT_EQ(plain->GetPosition(), CPoint(0, 2048));
    EXPECT_EQ(plain->m_layouts, 2);
    own->SetPosition(CPoint(10, 10));
    EXPECT_EQ(own->m_layouts, 3);
    // A new place with the same size is taken as it is and refreshes nothing.
    own->SetRect(CRect(-20, -30, 40, 30));
    EXPECT_EQ(own->GetPosition(), CPoint(-20, -30));
    own->SetRect(CRect(0, 0, 64, 48));
    EXPECT_EQ(own->m_layouts, 4);
    EXPECT_EQ(CRect(0, 0, own->GetOwnImage().GetWidth(), own->GetOwnImage().GetHeight()), own->GetLocalRect());
}

TEST_F(AreaTree, EqualSharesGiveTheOuterItemsTheExactShare)
{
    const struct
    {
        CRect bounds;
        uint32_t gap;
        bool sideBySide;
        std::vector<CRect> expected;
    } cases[] = {
        {CRect(0, 0, 50, 100), 10, false, {{0, 0, 50, 26}, {0, 36, 50, 28}, {0, 74, 50, 26}}},
        {CRect(5, 7, 100, 20), 10, true, {{5, 7, 26, 20}, {41, 7, 28, 20}, {79, 7, 26, 20}}},
        {CRect(0, 0, 50, 40), 0, false, {{0, 0, 50, 40}}},
        // Gaps longer than the bounds give empty shares, not huge ones.
        {CRect(0, 0, 50, 10), 20, false, {{0, 0, 50, 0}, {0, 20, 50, 0}, {0, 10, 50, 0}}},
        // Bounds out of the accepted range leave the rectangles alone.
        {CRect(0, 0, 2048, 100), 0, false, {{1, 2, 3, 4}}},
        {CRect(0, 0, 100, 5), 0, false, {{1, 2, 3, 4}}},
    };
    for (const auto& c : cases)
    {
        std::vector<CRect> rects(c.expected.size(), CRect(1, 2, 3, 4));
        std::vector<CRect*> pointers;
        for (CRect& r : rects)
            pointers.push_back(&r);
        CArea2::ArrangeRects(pointers, c.bounds, c.gap, c.sideBySide);
        EXPECT_EQ(rects, c.expected) << rects.size() << " items, gap " << c.gap;
    }
}

TEST_F(AreaTree, AQuietSubtreeIsSkippedUntilSomethingInItAsksForTicksOrDrawing)
{
    auto* page = root.MakeChild<CArea2>(false, 100u, 100u);
    auto* worker = page->MakeChild<CWorker>();
    CZevralImage canvas(768, 1024);
    const auto frame = [&] {
        root.Tick(0.04f);
        if (root.NeedsRender())
            root.Render(CTextureAdapter(canvas), CPoint(), false);
        return root.NeedsRender();
    };
    EXPECT_FALSE(frame());
    EXPECT_EQ(worker->m_ticks, 0);
    // Work asked for between frames, deep in a quiet tree, is done in the next frame.
    worker->Start();
    frame();
    frame();
    EXPECT_EQ(worker->m_ticks, 2);
    worker->m_working = false;
    frame();
    worker->Start();
    frame();
    EXPECT_EQ(worker->m_ticks, 3);
    // A worker added to a quiet subtree, or shown over it as a dialog, ticks from the next frame.
    worker->m_working = false;
    frame();
    auto* added = page->MakeChild<CWorker>();
    added->m_working = true;
    auto* dialog = page->ShowDialog(std::make_unique<CWorker>(nullptr));
    dialog->m_working = true;
    frame();
    EXPECT_EQ(added->m_ticks, 1);
    EXPECT_EQ(dialog->m_ticks, 1);
    // A change deep down, or a hidden dirty area shown, is drawn; a hidden one changing is not.
    dialog->SetResult(CArea2::kResultOk);
    frame();
    worker->SetDirty();
    EXPECT_TRUE(root.NeedsRender());
    EXPECT_FALSE(frame());
    worker->SetVisible(false);
    EXPECT_FALSE(frame());
    worker->SetDirty();
    EXPECT_FALSE(root.NeedsRender());
    worker->SetVisible(true);
    EXPECT_TRUE(root.NeedsRender());
}
