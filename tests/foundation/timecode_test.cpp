#include "foundation/timecode.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
CTimecode Tc(const char* text, uint32_t rate = CTimecode::kRate30)
{
    CTimecode timecode;
    EXPECT_TRUE(timecode.Parse(text)) << text;
    timecode.SetFrameRate(rate);
    return timecode;
}
}  // namespace

TEST(Timecode, ParseAcceptsOnlyTheTimecodePattern)
{
    for (const char* good : {"23:59:59:29", "1:2:3:4", "00-00-00-00", "0:0:0.0"}) {
        CTimecode timecode;
        EXPECT_TRUE(timecode.Parse(good)) << good;
    }
    EXPECT_EQ(CTimecode("1:2:3:4").ToString(), "01:02:03:04");
    for (const char* bad : {"24:00:00:00", "00:00:00:30", "00:60:00:00", "XX:00:00:00", "1:2:3",
                            " 1:2:3:4", "1:2:3:4 ", "1:2:3:4:5", "", "001:2:3:4"}) {
        CTimecode timecode = Tc("01:02:03:04");
        EXPECT_FALSE(timecode.Parse(bad)) << bad;
        EXPECT_EQ(timecode.ToString(), "01:02:03:04") << bad;
    }
}

TEST(Timecode, DotsAmongTheFirstSeparatorsShiftTheFields)
{
    CTimecode timecode = Tc("05:06:07:08");
    EXPECT_TRUE(timecode.Parse("10.20.30.15"));
    EXPECT_EQ(timecode.ToString(), "05:06:07:08");
    EXPECT_TRUE(timecode.Parse("10:20.30:15"));
    EXPECT_EQ(timecode.ToString(), "10:20:15:08");
    // Parsing leaves the rate alone.
    timecode.SetFrameRate(CTimecode::kRate25);
    timecode.Parse("1:2:3:4");
    EXPECT_EQ(timecode.GetFrameRate(), CTimecode::kRate25);
}

TEST(Timecode, WildcardsPrintAsXX)
{
    CTimecode timecode;
    timecode.SetHours(24);
    timecode.SetMinutes(60);
    timecode.SetSeconds(60);
    EXPECT_EQ(timecode.ToString(), "XX:XX:XX:00");
    EXPECT_EQ(CTimecode().GetFrameRate(), 3u);
}

TEST(Timecode, AdditionCarriesAtTheRateOfTheLeftValue)
{
    CTimecode a = Tc("00:00:00:20", CTimecode::kRate25);
    a += Tc("00:00:00:10");
    EXPECT_EQ(a.ToString(), "00:00:01:05");

    CTimecode b = Tc("00:00:59:29");
    b += Tc("00:00:00:01");
    EXPECT_EQ(b.ToString(), "00:01:00:00");

    CTimecode c = Tc("23:59:59:29");
    c += Tc("00:00:00:01");
    EXPECT_EQ(c.ToString(), "00:00:00:00");

    CTimecode d = Tc("00:00:00:23", CTimecode::kRate24);
    d += Tc("00:00:00:01");
    EXPECT_EQ(d.ToString(), "00:00:01:00");
}

TEST(Timecode, SubtractionBorrows)
{
    CTimecode a = Tc("00:00:00:00");
    a -= Tc("00:00:00:01");
    EXPECT_EQ(a.ToString(), "23:59:59:29");

    CTimecode b = Tc("01:00:00:00", CTimecode::kRate25);
    b -= Tc("00:00:00:01");
    EXPECT_EQ(b.ToString(), "00:59:59:24");

    CTimecode c = Tc("10:20:30:15");
    c -= Tc("01:02:03:04");
    EXPECT_EQ(c.ToString(), "09:18:27:11");
}

TEST(Timecode, OrderIgnoresTheRateButEqualityDoesNot)
{
    EXPECT_LT(Tc("00:00:00:29"), Tc("00:00:01:00"));
    EXPECT_GT(Tc("01:00:00:00"), Tc("00:59:59:29"));
    EXPECT_FALSE(Tc("00:00:01:00", 0) < Tc("00:00:01:00", 1));
    EXPECT_NE(Tc("00:00:01:00", 0), Tc("00:00:01:00", 1));
    EXPECT_LE(Tc("00:00:01:00", 0), Tc("00:00:01:00", 1));
}

TEST(Timecode, FramesTurnIntoHundredthsByTheRateTables)
{
    EXPECT_EQ(Tc("00:00:01:12", CTimecode::kRate24).ToTime().GetMilliseconds(), 1500u);
    EXPECT_EQ(Tc("00:00:01:12", CTimecode::kRate25).ToTime().GetMilliseconds(), 1480u);
    EXPECT_EQ(Tc("00:00:01:12", CTimecode::kRate30).ToTime().GetMilliseconds(), 1400u);
    // Every entry follows the nearest-hundredth rule.
    for (uint32_t rate : {CTimecode::kRate24, CTimecode::kRate30}) {
        const uint32_t fps = CTimecode::FramesPerSecond(rate);
        for (uint8_t frame = 0; frame < fps; ++frame) {
            CTimecode timecode;
            timecode.SetFrameRate(rate);
            timecode.SetFrames(frame);
            const uint32_t expected = uint32_t(std::floor(frame * 100.0 / fps + 0.5)) * 10;
            EXPECT_EQ(timecode.ToTime().GetMillisecondField(), expected) << fps << " " << int(frame);
        }
    }
    const CTime time = Tc("02:03:04:05").ToTime();
    EXPECT_EQ(time.GetHours(), 2u);
    EXPECT_EQ(time.GetMinutes(), 3u);
    EXPECT_EQ(time.GetSecondField(), 4u);
    EXPECT_TRUE(time.IsPositive());
}

TEST(Timecode, FramesPastTheTablesReadAsTheLastEntry)
{
    // Stepping allows 29 frames at every rate; 24 and 25 fps have fewer.
    CTimecode at24;
    at24.SetFrameRate(CTimecode::kRate24);
    at24.SetFrames(29);
    EXPECT_EQ(at24.ToTime().GetMillisecondField(), 960u);
    CTimecode at25;
    at25.SetFrameRate(CTimecode::kRate25);
    at25.SetFrames(29);
    EXPECT_EQ(at25.ToTime().GetMillisecondField(), 960u);
    CTime overfull(0, 0, 1);
    overfull.SetHundredths(150);
    EXPECT_EQ(CTimecode(overfull).GetFrames(), 29);
}

TEST(Timecode, FromTimeAtThirtyFrames)
{
    const CTimecode timecode{CTime(1.5)};
    EXPECT_EQ(timecode.ToString(), "00:00:01:15");
    EXPECT_EQ(timecode.GetFrameRate(), CTimecode::kRate30);
    EXPECT_EQ(CTimecode(CTime(3723.99)).ToString(), "01:02:03:29");
}

TEST(Timecode, FrameStepperAgreesWithItsQuestion)
{
    CTimecode timecode;
    timecode.SetFrames(29);
    EXPECT_FALSE(timecode.CanIncrementFrames());
    EXPECT_EQ(timecode.IncrementFrames(), 29);
    timecode.SetFrames(30);
    EXPECT_EQ(timecode.GetFrames(), 29);
}
