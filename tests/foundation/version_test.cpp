#include "foundation/version.h"

#include <gtest/gtest.h>

TEST(Version, ParsesDottedParts)
{
    const struct
    {
        const char* text;
        const char* expected;
    } cases[] = {
        {"1.7.0", "1.7.0"}, {"1.7", "1.7.0"},     {"5", "5.0.0"},         {"", "0.0.0"},
        {".3", "0.3.0"},    {"1..2", "1.0.2"},    {"1.2.3.4", "1.2.3"},   {"1.2b", "1.2.0"},
        {"x.5.6", "0.5.6"}, {"-1.2.3", "0.2.3"},  {"99999999999.1", "0.1.0"},
        {"4294967295.0.1", "4294967295.0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatVersion(CVersion(c.text)), c.expected) << c.text;
}

TEST(Version, OrdersNumericallyPartByPart)
{
    EXPECT_TRUE(CVersion("1.10.0") > CVersion("1.9.9"));
    EXPECT_FALSE(CVersion("1.9.9") > CVersion("1.10.0"));
    EXPECT_TRUE(CVersion("2.0.0") >= CVersion("2.0.0"));
    EXPECT_TRUE(CVersion("2.0.0") <= CVersion("2.0.0"));
    EXPECT_FALSE(CVersion("2.0.0") > CVersion("2.0.0"));
    EXPECT_TRUE(CVersion(3000000000u, 0, 0) > CVersion(1, 0, 0));  // unsigned
    EXPECT_EQ(CVersion("1.7"), CVersion(1, 7, 0));
    EXPECT_NE(CVersion("1.7.1"), CVersion(1, 7, 0));
}

TEST(CueNumber, ParsesAndTruncatesToSixteenBits)
{
    const struct
    {
        const char* text;
        const char* expected;
    } cases[] = {
        {"12", "12.0"},     {"3.25", "3.25"}, {"x.5", "0.5"},     {"70000.1", "4464.1"},
        {"", "0.0"},        {"3.0", "3.0"},   {"1.2.3", "1.2"},   {"65535.65536", "65535.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatCueNumber(CCueNumber(c.text)), c.expected) << c.text;
    EXPECT_EQ(FormatCueNumber(CCueNumber::FromTextLessOne("3.1")), "2.0");
    EXPECT_EQ(FormatCueNumber(CCueNumber::FromTextLessOne("1")), "0.65535");
}

TEST(CueNumber, OrdersPartByPart)
{
    EXPECT_TRUE(CCueNumber(3, 10) > CCueNumber(3, 9));
    EXPECT_TRUE(CCueNumber(4, 0) > CCueNumber(3, 65535));
    EXPECT_FALSE(CCueNumber(3, 2) <= CCueNumber(3, 1));
}

TEST(ShortVersion, NeedsBothNumbersAndClamps)
{
    const struct
    {
        const char* text;
        int major;
        int minor;
    } cases[] = {
        {"300.2", 255, 2}, {"7", 0, 0},       {"1.2", 1, 2},       {"1.", 0, 0},
        {"x.2", 0, 0},     {"99999999999999999999999.1", 255, 1}, {"-1.2", 0, 0},
    };
    for (const auto& c : cases) {
        const CShortVersion version(c.text);
        EXPECT_EQ(version.GetMajor(), c.major) << c.text;
        EXPECT_EQ(version.GetMinor(), c.minor) << c.text;
    }
    EXPECT_FALSE(CShortVersion(2, 0) <= CShortVersion(1, 255));
}
