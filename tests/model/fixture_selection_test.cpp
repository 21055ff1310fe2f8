#include "model/fixture_selection.h"

#include "tests/model/patch_test_support.h"

#include <gtest/gtest.h>

using namespace patchtest;

namespace
{
uint64_t Bits(std::initializer_list<uint32_t> slots)
{
    uint64_t mask = 0;
    for (uint32_t slot : slots)
        mask |= uint64_t(1) << slot;
    return mask;
}

struct SProposals
{
    static void Take(void* context, uint64_t mask) { static_cast<SProposals*>(context)->masks.push_back(mask); }
    std::vector<uint64_t> masks;
};

class SelectionTest : public ::testing::Test
{
protected:
    void SetUp() override { selection.Attach(&observer); }
    void TearDown() override { selection.Detach(&observer); }
    void Drag(uint32_t from, uint32_t to)
    {
        selection.BeginDrag(from);
        selection.EndDrag(to);
    }

    CSelectionFixture selection;
    CCodeRecorder observer;
};
}  // namespace

TEST_F(SelectionTest, RectanglesCoverTheGridCellsBetweenAnchorAndPointer)
{
    Drag(9, 18);
    EXPECT_EQ(selection.GetMask(), Bits({9, 10, 17, 18}));
    selection.Clear();
    Drag(7, 8);
    EXPECT_EQ(selection.GetMask(), 0xFFFFull);
    selection.Clear();
    Drag(63, 54);
    EXPECT_EQ(selection.GetMask(), Bits({54, 55, 62, 63}));
}

TEST_F(SelectionTest, PressingASelectedCellDeselects)
{
    selection.SetMask(Bits({1, 2, 3}));
    observer.codes.clear();
    Drag(2, 2);
    EXPECT_EQ(selection.GetMask(), Bits({1, 3}));
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{0});
}

TEST_F(SelectionTest, EachStepBuildsOnTheCurrentMask)
{
    selection.BeginDrag(0);
    selection.DragTo(2);
    selection.DragTo(1);
    selection.EndDrag(1);
    EXPECT_EQ(selection.GetMask(), Bits({0, 1, 2})) << "cells covered earlier stay selected";

    selection.CancelDrag();
    selection.Clear();
    selection.DragTo(5);
    selection.EndDrag(5);
    EXPECT_TRUE(selection.IsEmpty()) << "no drag began";
    selection.BeginDrag(4);
    selection.CancelDrag();
    selection.EndDrag(4);
    EXPECT_TRUE(selection.IsEmpty());
}

TEST_F(SelectionTest, CountsAndPositions)
{
    selection.SetMask(Bits({1, 3}));
    EXPECT_EQ(selection.GetCount(), 2u);
    EXPECT_EQ(selection.GetSelected(0), 1);
    EXPECT_EQ(selection.GetSelected(1), 3);
    EXPECT_EQ(selection.GetSelected(2), -1);
    EXPECT_TRUE(selection.IsSelected(3 + 64));
    selection.Toggle(63);
    EXPECT_EQ(selection.GetSelected(2), 63);
    EXPECT_FALSE(selection.SetMask(selection.GetMask()));
}

TEST_F(SelectionTest, ClearOnNextPressStartsAFreshSelectingDrag)
{
    selection.SetMask(Bits({0, 20}));
    selection.SetClearOnNextPress();
    Drag(20, 21);
    EXPECT_EQ(selection.GetMask(), Bits({20, 21}));
    // Only the one press.
    Drag(0, 0);
    EXPECT_EQ(selection.GetMask(), Bits({0, 20, 21}));
}

TEST_F(SelectionTest, WithAHandlerChangesAreOnlyProposed)
{
    SProposals proposals;
    selection.SetChangeHandler(&proposals, &SProposals::Take);
    EXPECT_TRUE(selection.SetMask(Bits({4})));
    EXPECT_FALSE(selection.IsSelected(4));
    // Until the controller answers, each change builds on the one before: the clear goes, and
    // of two presses the first stays selected.
    selection.Clear();
    Drag(1, 2);
    Drag(9, 9);
    EXPECT_EQ(proposals.masks, (std::vector<uint64_t>{Bits({4}), 0, Bits({1, 2}), Bits({1, 2, 9})}));
    EXPECT_TRUE(observer.codes.empty());

    EXPECT_TRUE(selection.SetMaskQuietly(Bits({1, 2})));
    EXPECT_FALSE(selection.SetMaskQuietly(Bits({1, 2})));
    EXPECT_TRUE(selection.IsSelected(2));
    EXPECT_TRUE(observer.codes.empty());
    // Answered, a selection changed at the controller is built on.
    selection.ChangesAnswered();
    Drag(3, 3);
    EXPECT_EQ(proposals.masks.back(), Bits({1, 2, 3}));
}

TEST_F(SelectionTest, AFreshSelectionWithAHandlerDoesNotBuildOnTheOldOne)
{
    // The controller still reports the old selection while the clear is on its way: the drag
    // must propose the new cells alone, or the clear would be undone by the next proposal.
    SProposals proposals;
    selection.SetChangeHandler(&proposals, &SProposals::Take);
    selection.SetMaskQuietly(Bits({0, 1, 20}));
    selection.SetClearOnNextPress();
    selection.BeginDrag(20);
    selection.DragTo(21);
    selection.DragTo(20);
    selection.EndDrag(20);
    EXPECT_EQ(proposals.masks, (std::vector<uint64_t>{0, Bits({20, 21})}));
}
