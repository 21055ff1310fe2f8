#include "foundation/coordinate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

TEST(Coordinate, ConstructionSettersAndSumsClamp)
{
    const CCoordinate c(1.5f, -2.0f);
    EXPECT_EQ(c.GetX(), 1.0f);
    EXPECT_EQ(c.GetY(), -1.0f);

    CCoordinate s;
    s.SetX(-7.0f);
    s.SetY(0.25f);
    EXPECT_EQ(s, CCoordinate(-1.0f, 0.25f));

    EXPECT_EQ(CCoordinate(0.8f, 0.0f) + CCoordinate(0.5f, 0.0f), CCoordinate(1.0f, 0.0f));
    EXPECT_EQ(CCoordinate(-0.8f, 0.5f) - CCoordinate(0.5f, 0.25f), CCoordinate(-1.0f, 0.25f));
}

TEST(Coordinate, CompoundOperatorsDoNotClampUntilAskedTo)
{
    CCoordinate c(0.8f, 0.0f);
    c += CCoordinate(0.5f, 0.0f);
    EXPECT_FLOAT_EQ(c.GetX(), 1.3f);
    c -= CCoordinate(0.0f, 1.0f);
    c -= CCoordinate(0.0f, 1.0f);
    EXPECT_EQ(c.GetY(), -2.0f);
    c *= 2.0f;
    EXPECT_FLOAT_EQ(c.GetX(), 2.6f);
    c /= 4.0f;
    EXPECT_FLOAT_EQ(c.GetX(), 0.65f);
    EXPECT_EQ(c.GetY(), -1.0f);
    const CCoordinate scaled = CCoordinate(0.75f, -0.5f) * 4.0f;
    EXPECT_EQ(scaled.GetX(), 3.0f);
    EXPECT_EQ(scaled.GetY(), -2.0f);
    CCoordinate copy(scaled);
    EXPECT_EQ(copy.GetX(), 3.0f);
    copy.Clamp();
    EXPECT_EQ(copy, CCoordinate(1.0f, -1.0f));
}

TEST(Coordinate, NearnessAndEquality)
{
    const CCoordinate a(0.5f, 0.5f);
    EXPECT_TRUE(a.IsNear(CCoordinate(0.6f, 0.4f), 0.125f));
    EXPECT_FALSE(a.IsNear(CCoordinate(0.5f, 0.25f), 0.125f));
    EXPECT_TRUE(a.IsNear(a, -1.0f));
    EXPECT_FALSE(a.IsNear(CCoordinate(0.5f, 0.5001f), -1.0f));
    CCoordinate nan = a * std::nanf("");
    EXPECT_NE(nan, nan);
}

TEST(Coordinate, TextHasFourDecimals)
{
    EXPECT_EQ(CCoordinate(0.5f, -1.0f).ToString(), "0.5000 -1.0000");
    std::ostringstream stream;
    stream << CCoordinate(0.125f, 0.0f);
    EXPECT_EQ(stream.str(), "0.1250 0.0000");
    std::string text;
    CCoordinate().ToString(text);
    EXPECT_EQ(text, "0.0000 0.0000");
}
