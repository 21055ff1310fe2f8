#include "foundation/range.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Range, DefaultsAndPackedForm)
{
    const CRange range;
    EXPECT_EQ(range.GetFunction(), 63u);
    EXPECT_EQ(range.GetFrom(), 0);
    EXPECT_EQ(range.GetTo(), 255);
    EXPECT_FALSE(range.IsSet());

    const CRange set(16, 3, 10, 200);
    const SPackedRange packed = set.Pack();
    EXPECT_EQ(packed.offset, 3u);
    EXPECT_EQ(packed.bounds, 10u | 200u << 8 | 1u << 16);
    EXPECT_EQ(packed.function, 16u);
    EXPECT_EQ(CRange(packed), set);
    EXPECT_EQ(sizeof(SPackedRange), 12u);
}

TEST(Range, ScaleClampsTheLevelAndFollowsFallingRanges)
{
    const CRange full(0, 0, 0, 255);
    EXPECT_EQ(full.Scale(128), 128u);
    EXPECT_EQ(full.Scale(300), 255u);
    EXPECT_EQ(full.Scale(-4), 0u);
    const CRange falling(0, 0, 255, 0);
    EXPECT_EQ(falling.Scale(0), 255u);
    EXPECT_EQ(falling.Scale(255), 0u);
    const CRange part(0, 0, 100, 200);
    EXPECT_EQ(part.Scale(0.5f), 150u);
    EXPECT_EQ(part.Scale(2.0f), 200u);
    EXPECT_EQ(part.Scale(std::nanf("")), 100u);
}

TEST(Range, ContainsAndFractionInEitherDirection)
{
    EXPECT_TRUE(CRange(0, 0, 50, 150).Contains(100));
    EXPECT_TRUE(CRange(0, 0, 150, 50).Contains(100));
    EXPECT_TRUE(CRange(0, 0, 150, 50).Contains(150));
    EXPECT_FALSE(CRange(0, 0, 150, 50).Contains(151));
    EXPECT_EQ(CRange(0, 0, 150, 50).GetMinimum(), 50);
    EXPECT_FLOAT_EQ(CRange(0, 0, 100, 200).GetFraction(150), 0.5f);
    EXPECT_FLOAT_EQ(CRange(0, 0, 200, 100).GetFraction(150), 0.5f);
    // A range of one value has no inside to divide.
    EXPECT_EQ(CRange(0, 0, 7, 7).GetFraction(7), 0.0f);
}

TEST(Range, SettersClampAndMarkTheRangeSet)
{
    CRange range;
    range.SetFrom(-5);
    EXPECT_EQ(range.GetFrom(), 0);
    EXPECT_TRUE(range.IsSet());
    range.SetTo(999);
    EXPECT_EQ(range.GetTo(), 255);
    range.SetOffset(600);
    EXPECT_EQ(range.GetOffset(), 511u);
    range.SetOffset(-1);
    EXPECT_EQ(range.GetOffset(), 0u);
}

TEST(Range, EqualityCoversEveryField)
{
    CRange a(5, 1, 2, 3);
    CRange b = a;
    EXPECT_EQ(a, b);
    b.SetSet(false);
    EXPECT_NE(a, b);
    EXPECT_NE(a, CRange(6, 1, 2, 3));
    EXPECT_NE(a, CRange(5, 2, 2, 3));
}
