#include "foundation/money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Money, FromDoubleGoesThroughThousandths)
{
    EXPECT_EQ(CMoney(1.5).GetAmount(), 15000);
    // The half thousandth is added whatever the sign.
    EXPECT_EQ(CMoney(-1.5).GetAmount(), -14990);
    EXPECT_EQ(CMoney(1.23456).GetAmount(), 12350);
    EXPECT_DOUBLE_EQ(CMoney(2.25).ToDouble(), 2.25);
}

TEST(Money, FromDoubleSaturatesOutsideThirtyTwoBitThousandths)
{
    EXPECT_EQ(CMoney(1e12).GetAmount(), int64_t(std::numeric_limits<int32_t>::max()) * 10);
    EXPECT_EQ(CMoney(-1e12).GetAmount(), int64_t(std::numeric_limits<int32_t>::min()) * 10);
    EXPECT_EQ(CMoney(std::nan("")).GetAmount(), 0);
    EXPECT_EQ(CMoney(HUGE_VAL).GetAmount(), int64_t(std::numeric_limits<int32_t>::max()) * 10);
}

TEST(Money, Arithmetic)
{
    CMoney sum = CMoney(1.5) + CMoney(2.25);
    EXPECT_EQ(sum.GetAmount(), 37500);
    sum += CMoney(0.001);
    EXPECT_EQ(sum.GetAmount(), 37510);
    EXPECT_EQ((CMoney::FromUnits(10001) * 0.5).GetAmount(), 5000);
    EXPECT_EQ((CMoney::FromUnits(-10001) * 0.5).GetAmount(), -5000);
    EXPECT_EQ((CMoney::FromUnits(7) / 2).GetAmount(), 3);
    EXPECT_EQ((CMoney::FromUnits(-7) / 2).GetAmount(), -3);
}

TEST(Money, ArithmeticThatHasNoResultLeavesTheAmount)
{
    EXPECT_EQ((CMoney::FromUnits(7) / 0).GetAmount(), 7);
    const CMoney lowest = CMoney::FromUnits(std::numeric_limits<int64_t>::min());
    EXPECT_EQ((lowest / -1).GetAmount(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ((CMoney::FromUnits(7) * std::nan("")).GetAmount(), 7);
    EXPECT_EQ((CMoney::FromUnits(7) * 1e300).GetAmount(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ((CMoney::FromUnits(-7) * 1e300).GetAmount(), std::numeric_limits<int64_t>::min());
}

TEST(Money, TextsRoundToCentsOrShowThousandths)
{
    EXPECT_EQ(CMoney::FromUnits(12345).ToString(), "1.23");
    EXPECT_EQ(CMoney::FromUnits(12355).ToString(), "1.24");
    EXPECT_EQ(CMoney::FromUnits(-12355).ToString(), "-1.24");
    EXPECT_EQ(CMoney::FromUnits(-40).ToString(), "0.00");
    EXPECT_EQ(CMoney::FromUnits(-50).ToString(), "-0.01");
    EXPECT_EQ(CMoney::FromUnits(std::numeric_limits<int64_t>::min()).ToString(),
              "-922337203685477.58");
    EXPECT_EQ(CMoney::FromUnits(10000).ToPreciseString(), "1.00");
    EXPECT_EQ(CMoney::FromUnits(10010).ToPreciseString(), "1.001");
    EXPECT_EQ(CMoney::FromUnits(10010).ToString(), "1.00");
    EXPECT_EQ(CMoney::FromUnits(12340).ToPreciseString(), "1.234");
}
