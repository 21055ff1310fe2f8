#include "foundation/frame.h"

#include <gtest/gtest.h>

namespace
{
CFrame AllAt(float value)
{
    CFrame frame;
    for (int i = 0; i < CFrame::kComponents; ++i)
        frame.SetComponent(i, value);
    return frame;
}
}  // namespace

TEST(Frame, DefaultTextAndParseOfAPrefix)
{
    CFrame frame;
    EXPECT_EQ(frame.ToString(), "0 0 0 0 0 0 0 0 0.5");
    frame.Parse("0.1 0.2");
    EXPECT_FLOAT_EQ(frame.GetComponent(0), 0.1f);
    EXPECT_FLOAT_EQ(frame.GetComponent(1), 0.2f);
    EXPECT_EQ(frame.GetComponent(2), 0.0f);
    EXPECT_EQ(frame.GetComponent(8), 0.5f);
    EXPECT_EQ(frame.ToString(), "0.100000001 0.200000003 0 0 0 0 0 0 0.5");
    frame.Parse("x 0.7");
    EXPECT_FLOAT_EQ(frame.GetComponent(1), 0.2f);
}

TEST(Frame, ParseDoesNotClampButSettersDo)
{
    CFrame frame;
    frame.Parse("2 -1 0 0 0 0 0 0 0.25 9");
    EXPECT_EQ(frame.GetComponent(0), 2.0f);
    EXPECT_EQ(frame.GetComponent(1), -1.0f);
    EXPECT_EQ(frame.GetComponent(8), 0.25f);
    EXPECT_EQ(frame.ToString(), "2 -1 0 0 0 0 0 0 0.25");
    frame.SetComponent(0, 3.0f);
    frame.SetComponent(1, -3.0f);
    frame.SetComponent(9, 0.5f);
    frame.SetComponent(-1, 0.5f);
    EXPECT_EQ(frame.GetComponent(0), 1.0f);
    EXPECT_EQ(frame.GetComponent(1), 0.0f);
    EXPECT_EQ(frame.GetComponent(9), 0.0f);

    CFrame round;
    round.Parse(frame.ToString());
    EXPECT_EQ(round, frame);
}

TEST(Frame, ArithmeticClampsEachComponent)
{
    CFrame frame = AllAt(0.9f);
    frame += AllAt(0.5f);
    EXPECT_EQ(frame, AllAt(1.0f));
    frame -= AllAt(0.25f);
    EXPECT_EQ(frame, AllAt(0.75f));
    frame -= AllAt(1.0f);
    EXPECT_EQ(frame, AllAt(0.0f));

    CFrame scaled;
    scaled.SetComponent(3, 0.3f);
    scaled *= 2.0f;
    EXPECT_FLOAT_EQ(scaled.GetComponent(3), 0.6f);
    EXPECT_EQ(scaled.GetComponent(8), 1.0f);
    scaled /= 0.0f;
    EXPECT_EQ(scaled.GetComponent(3), 1.0f);
    EXPECT_EQ(scaled.GetComponent(0), 0.0f);  // 0 / 0 is no number: taken as 0
}

TEST(Frame, OrderIsBySum)
{
    CFrame low, high;
    high.SetComponent(0, 0.01f);
    EXPECT_TRUE(low < high);
    EXPECT_TRUE(high > low);
    EXPECT_FALSE(low < low);
    EXPECT_FLOAT_EQ(high.Sum(), 0.51f);
    CFrame shuffled;
    shuffled.SetComponent(8, 0.0f);
    shuffled.SetComponent(4, 0.51f);
    EXPECT_FALSE(shuffled < high);
    EXPECT_FALSE(shuffled > high);
    EXPECT_NE(shuffled, high);
}
