#include "foundation/weekday_and_time.h"

#include "foundation/date.h"

#include <gtest/gtest.h>

namespace {
CWeekdayAndTime Parsed(const char* text)
{
    CWeekdayAndTime value;
    value.Parse(text);
    return value;
}
}  // namespace

TEST(WeekdayAndTime, KeywordsRoundTrip)
{
    const CWeekdayAndTime everyday = Parsed("Everyday 12:00:00");
    EXPECT_EQ(everyday.GetMask(), 0x7F);
    EXPECT_EQ(everyday.GetTime(), CTime(12, 0, 0));
    EXPECT_EQ(everyday.ToString(), "Everyday 12:00:00");
    EXPECT_EQ(Parsed("Weekdays 07:30:00").GetMask(), 0x3E);
    EXPECT_EQ(Parsed("Weekend 7h30m").GetMask(), 0x41);
    EXPECT_EQ(Parsed("Weekend 7h30m").GetTime(), CTime(7, 30, 0));
    EXPECT_EQ(Parsed("Never 01:00").ToString(), "Never 01:00:00");
}

TEST(WeekdayAndTime, DayLettersAreCaseSensitivePairs)
{
    const CWeekdayAndTime days = Parsed("MoWeFr 18:00");
    EXPECT_EQ(days.GetMask(), 0x2A);
    EXPECT_EQ(days.ToString(), "MoWeFr 18:00:00");
    EXPECT_EQ(Parsed("Tuesday 18:00:00").GetMask(), 0x04);
    EXPECT_EQ(Parsed("Tuesday 18:00:00").ToString(), "Tuesday 18:00:00");

    const CWeekdayAndTime lower = Parsed("mowe 18:00");
    EXPECT_EQ(lower.GetMask(), 0);
    EXPECT_EQ(lower.GetTime(), CTime(18, 0, 0));
    EXPECT_EQ(Parsed("everyday 12:00").GetMask(), 0);

    const CWeekdayAndTime timeOnly = Parsed("12:00:00");
    EXPECT_EQ(timeOnly.GetMask(), 0);
    EXPECT_EQ(timeOnly.GetTime(), CTime(12, 0, 0));
}

TEST(WeekdayAndTime, UnreadableTimeKeepsTheOldOne)
{
    CWeekdayAndTime value(CTime(9, 15, 0), 0x02);
    value.Parse("Sa nonsense");
    EXPECT_EQ(value.GetMask(), 0x40);
    EXPECT_EQ(value.GetTime(), CTime(9, 15, 0));
}

TEST(WeekdayAndTime, TextOfOddMasksAndWildcards)
{
    CWeekdayAndTime value(CTime(24, 0, 60), 0xFF);
    EXPECT_EQ(value.ToString(), "SuMoTuWeThFrSa XX:00:XX");
    value.SetMask(0x41 | 0x02);
    EXPECT_EQ(value.GetDayLetters(), "SuMoSa");
    EXPECT_EQ(value.ToDaysAndTimeString(), "SuMoSa XX:00:XX");
    EXPECT_EQ(value.ToTimeOnlyString(), " XX:00:XX");
    // Hours wider than two digits still fit, and a short buffer is cut, not overrun.
    CWeekdayAndTime wide(CTime(123456, 0, 0), 0x7F);
    EXPECT_EQ(wide.ToString(), "Everyday 123456:00:00");
    char small[6];
    EXPECT_EQ(wide.Format(small, sizeof(small)), small + 5);
    EXPECT_STREQ(small, "Every");
}

TEST(WeekdayAndTime, MatchesNeedsACommonDayAndTheTime)
{
    const CWeekdayAndTime pattern(CTime(24, 0, 0), CWeekdayAndTime::kWeekend);
    EXPECT_TRUE(pattern.Matches(CWeekdayAndTime(CTime(13, 0, 0), 0x01)));
    EXPECT_TRUE(pattern.Matches(CWeekdayAndTime(CTime(2, 0, 0), 0x40)));
    EXPECT_FALSE(pattern.Matches(CWeekdayAndTime(CTime(13, 0, 0), 0x02)));
    EXPECT_FALSE(pattern.Matches(CWeekdayAndTime(CTime(13, 0, 5), 0x01)));
    EXPECT_FALSE(CWeekdayAndTime(CTime(13, 0, 0), 0).Matches(CWeekdayAndTime(CTime(13, 0, 0), 0x7F)));
}

TEST(WeekdayAndTime, FromADateAndTimeTakesItsWeekday)
{
    const CDateAndTime wednesday(CDate(2015, 7, 1), CTime(8, 0, 0));
    const CWeekdayAndTime value(wednesday);
    EXPECT_EQ(value.GetMask(), 0x08);
    EXPECT_EQ(value.GetTime(), CTime(8, 0, 0));
    // The weekday of a date the calendar cannot place (255) leaves no day rather than a bad shift.
    CWeekdayAndTime unplaced;
    unplaced.SetWeekday(uint32_t(CDate::kUnknownWeekday));
    EXPECT_EQ(unplaced.GetMask(), 0);
}

