// The DIP switch bank and the letter index: presses turned straight into values.
#include "widgets/area_dip.h"
#include "widgets/area_index.h"

#include "tests/widgets/lists_test_support.h"

#include <gtest/gtest.h>

using liststest::WidgetTest;

namespace
{
struct Dip : WidgetTest
{
    Dip()
    {
        bank->SetChangeCallback(this, [](void* context, CAreaDip*) { ++static_cast<Dip*>(context)->changes; });
    }
    // The pixels of switch n's column (20 wide).
    CZevralImage Column(uint32_t n) const { return canvas.Crop(CRect(int32_t(n - 1) * 20, 0, 20, 40)); }

    CAreaDip* bank = Place(std::make_unique<CAreaDip>(nullptr), CRect(0, 0, 200, 40));
    int changes = 0;
};
}

TEST_F(Dip, ValueShowsAsSwitchPositions)
{
    Render();
    const CZevralImage off2 = Column(2);
    const CZevralImage off3 = Column(3);
    bank->SetValue(5);  // switches 1 and 3
    Render();
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(Column(2) == off2);
    EXPECT_FALSE(Column(3) == off3);
    bank->SetValue(2);
    Render();
    EXPECT_TRUE(Column(3) == off3);
    EXPECT_FALSE(Column(2) == off2);
}

TEST_F(Dip, PressTogglesTheSwitchUnderThePointer)
{
    EXPECT_TRUE(Press(CPoint(45, 20)));  // switch 3
    EXPECT_EQ(bank->GetValue(), 4u);
    Press(CPoint(199, 20));  // switch 10
    Press(CPoint(45, 5));
    EXPECT_EQ(bank->GetValue(), 512u);
    EXPECT_EQ(changes, 3);
    // Disabled, the press is swallowed.
    bank->SetEnabled(false);
    EXPECT_TRUE(Press(CPoint(5, 20)));
    EXPECT_EQ(bank->GetValue(), 512u);
    EXPECT_EQ(changes, 3);
    // The pixels left over right of the tenth switch reach bit 10; a bank of 9 takes no press.
    bank->SetEnabled(true);
    bank->SetWidth(205);
    Press(CPoint(202, 20));
    bank->SetWidth(9);
    EXPECT_TRUE(Press(CPoint(5, 20)));
    EXPECT_EQ(bank->GetValue(), 1536u);
    Render();
}

TEST_F(Dip, IndexChoosesTheLetterOfTheRow)
{
    auto* index = Place(std::make_unique<CAreaIndex>(nullptr), CRect(300, 0, 50, 300));  // rows of 11
    char chosen = 0;
    index->SetChangeCallback(&chosen, [](void* context, CAreaIndex* strip) {
        *static_cast<char*>(context) = strip->GetSelected();
    });
    for (const auto& [y, letter] : {std::pair(10, 'a'), std::pair(11, 'b'), std::pair(274, 'y'), std::pair(299, 'z')})
    {
        EXPECT_TRUE(Press(CPoint(320, y)));
        EXPECT_EQ(chosen, letter) << y;
    }
    // Disabled it still chooses; too short for its letters it chooses nothing.
    index->SetEnabled(false);
    Press(CPoint(320, 11));
    EXPECT_EQ(chosen, 'b');
    index->SetHeight(20);
    EXPECT_TRUE(Press(CPoint(320, 15)));
    EXPECT_EQ(index->GetSelected(), 'b');
    Render();
}
