#include "foundation/date.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_folder.h"

#include <boost/filesystem.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

namespace {

// Sets TZ for one scope and puts the previous zone back afterwards.
class CScopedZone
{
public:
    explicit CScopedZone(const char* zone) : m_zone(std::in_place, "TZ", zone) { tzset(); }
    ~CScopedZone()
    {
        m_zone.reset();
        tzset();
    }

private:
    std::optional<CScopedEnv> m_zone;
};

std::string Text(const CDate& date)
{
    return date.ToString();
}

}  // namespace

TEST(Date, ConstructionClampsAndKeepsWildcards)
{
    EXPECT_EQ(Text(CDate()), "2007-01-01");
    EXPECT_EQ(Text(CDate(2015, 13, 40)), "2015-12-31");
    EXPECT_EQ(Text(CDate(2006, 0, 0)), "XXXX-XX-XX");
    EXPECT_EQ(CDate(2006, 0, 0).ToCompactString(), "20060000");
}

TEST(Date, DayCountIsAnOrderingNumber)
{
    EXPECT_EQ(CDate(2006, 0, 0).GetDayCount(), 0u);
    EXPECT_EQ(CDate(2007, 1, 1).GetDayCount(), 396u);
    EXPECT_EQ(CDate(2008, 2, 29).GetDayCount(), 819u);
    EXPECT_EQ(CDate(2005, 3, 10).GetDayCount(), 100u);
    EXPECT_EQ(CDate(2015, 1, 31).GetDayCount(), CDate(2015, 2, 1).GetDayCount());
}

TEST(Date, DayNumbersFollowTheCalendar)
{
    EXPECT_EQ(CDate(2015, 6, 30).ToDayNumber(), 2457204);
    EXPECT_EQ(CDate(2016, 3, 1).ToDayNumber() - CDate(2016, 2, 28).ToDayNumber(), 2);
    EXPECT_EQ(Text(CDate::FromDayNumber(2457204)), "2015-06-30");
    EXPECT_EQ(CDate(2006, 0, 0).ToDayNumber(), CDate::kNotADayNumber);
    EXPECT_EQ(CDate(2015, 2, 29).ToDayNumber(), CDate::kNotADayNumber);
    EXPECT_EQ(CDate(1399, 1, 1).ToDayNumber(), CDate::kNotADayNumber);
    EXPECT_EQ(CDate(0, 1, 1).ToDayNumber(), CDate::kNotADayNumber);
    EXPECT_EQ(Text(CDate::FromDayNumber(CDate::kNotADayNumber)), "2007-01-01");
    EXPECT_EQ(Text(CDate::FromDayNumber(-1)), "2007-01-01");

    EXPECT_EQ(CDate(1970, 1, 1).ToMilliseconds(), 0);
    EXPECT_EQ(CDate(2015, 6, 30).ToMilliseconds(), 1435622400000LL);
    EXPECT_EQ(CDate(2015, 0, 0).ToMilliseconds(), 0);  // no such day
}

TEST(Date, WildcardPatternsMatch)
{
    const CDate june(2006, 6, 0);
    EXPECT_TRUE(june.Matches(CDate(2015, 6, 1)));
    EXPECT_TRUE(june.Matches(CDate(2030, 6, 30)));
    EXPECT_FALSE(june.Matches(CDate(2015, 7, 1)));
    EXPECT_TRUE(CDate(2015, 0, 14).Matches(CDate(2015, 3, 14)));
    EXPECT_FALSE(CDate(2015, 3, 14).Matches(CDate(2006, 3, 14)));  // only the pattern's wildcards

    CDate a(2015, 6, 30);
    CDate b(2015, 6, 30);
    a.GetWeekday();
    EXPECT_EQ(a, b);  // the weekday is not compared
    EXPECT_TRUE(CDate(2015, 5, 31) <= CDate(2015, 6, 31));
    EXPECT_FALSE(CDate(2015, 5, 31) <= CDate(2016, 6, 30));  // field by field
}

TEST(Date, Validity)
{
    EXPECT_FALSE(CDate(2100, 2, 29).IsValid());
    EXPECT_TRUE(CDate(2000, 2, 29).IsValid());
    EXPECT_TRUE(CDate(2016, 2, 29).IsValid());
    EXPECT_TRUE(CDate(2015, 0, 0).IsValid());
    EXPECT_FALSE(CDate(2015, 4, 31).IsValid());
    CDate month13;
    month13.SetMonth(13);
    EXPECT_FALSE(month13.IsValid());
}

TEST(Date, ParseClampsAndFillsWildcards)
{
    const struct
    {
        const char* text;
        const char* expected;
    } cases[] = {
        {"1999-13-40", "XXXX-12-31"},  // the year clamps up to the wildcard
        {"2040-01-01", "2037-01-01"},
        {"garbage", "XXXX-XX-XX"},
        {"XXXX-XX-XX", "XXXX-XX-XX"},
        {"2015-06-30", "2015-06-30"},
        {"2015-06", "2015-06-06"},      // a part without '-' also stands for the day
        {"2015", "2015-12-31"},
        {"2015-XX-07", "2015-XX-07"},
        {"2015-99999999999-07", "2015-12-07"},
    };
    for (const auto& c : cases) {
        CDate date(2010, 2, 3);
        date.Parse(c.text);
        EXPECT_EQ(Text(date), c.expected) << c.text;
    }
}

TEST(Date, ParseCStringReadsFromTheStart)
{
    CDate date;
    date.ParseCString("2015-06-45");
    EXPECT_EQ(Text(date), "2015-06-XX");
    date.ParseCString("2015");
    EXPECT_EQ(Text(date), "2015-XX-XX");
    date.ParseCString("2015-13-01 12:00:00");
    EXPECT_EQ(date.GetMonth(), 13u);  // not clamped
    date.ParseCString("XXXX-XX-XX 10:00:00");
    EXPECT_EQ(Text(date), "XXXX-XX-XX");

    date.ParseCompact("20150630");
    EXPECT_EQ(Text(date), "2015-06-30");
    date.ParseCompact("20161399");
    EXPECT_EQ(date.GetMonth(), 12u);
    EXPECT_EQ(date.GetDay(), 99u);
    date = CDate(2010, 2, 3);
    date.ParseCompact("201");  // too short: nothing read
    EXPECT_EQ(Text(date), "2010-02-03");

    EXPECT_STREQ(CDate::SkipPastDash("2015-06"), "06");
    EXPECT_STREQ(CDate::SkipPastDash("2015"), "");
}

TEST(Date, SetYearClampsSigned)
{
    CDate date;
    date.SetYear(1999);
    EXPECT_EQ(date.GetYear(), 2006u);
    date.SetYear(5000);
    EXPECT_EQ(date.GetYear(), 2037u);
    date.SetYear(uint32_t(-5));
    EXPECT_EQ(date.GetYear(), 2006u);
    date.SetYear(2020);
    EXPECT_EQ(date.GetYear(), 2020u);
}

TEST(Date, WeekdaysAndNames)
{
    EXPECT_EQ(CDate(2015, 6, 30).GetWeekday(), 2);  // a Tuesday
    EXPECT_EQ(CDate(2000, 1, 1).GetWeekday(), 6);
    char buffer[16];
    char* end = CDate(2015, 6, 28).ToWeekdayName(buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "Sunday");
    EXPECT_EQ(end, buffer + 6);
    char small[4];
    CDate(2015, 6, 28).ToWeekdayName(small, sizeof(small));
    EXPECT_STREQ(small, "Sun");

    // Changing the date forgets the weekday worked out before.
    CDate date(2015, 6, 30);
    ASSERT_EQ(date.GetWeekday(), 2);
    date.SetDay(28);
    EXPECT_EQ(date.GetWeekday(), 0);
    date.Parse("2015-07-01");
    EXPECT_EQ(date.GetWeekday(), 3);

    EXPECT_STREQ(CDate::MonthName(0), "Don't care");
    EXPECT_STREQ(CDate::MonthName(12), "December");
    EXPECT_STREQ(CDate::MonthName(13), "Unknown");
    EXPECT_STREQ(CDate::MonthName(14), "");
    EXPECT_STREQ(CDate::WeekdayName(6), "Saturday");
    EXPECT_STREQ(CDate::WeekdayName(7), "");
    EXPECT_STREQ(CDate::WeekdayName(CDate::kUnknownWeekday), "");
    EXPECT_EQ(CDate::MonthFromName("march"), 3u);
    EXPECT_EQ(CDate::MonthFromName("DON'T CARE"), 0u);
    EXPECT_EQ(CDate::MonthFromName("Mar"), 13u);
}

TEST(Date, WeekdaySurvivesAMidnightThatDoesNotExist)
{
    // Clocks there jumped from 00:00 to 01:00 on this Sunday.
    if (!boost::filesystem::exists("/usr/share/zoneinfo/America/Sao_Paulo"))
        GTEST_SKIP() << "no time-zone data";
    CScopedZone zone("America/Sao_Paulo");
    EXPECT_EQ(CDate(2018, 11, 4).GetWeekday(), 0);
    EXPECT_EQ(CDate(2018, 11, 3).GetWeekday(), 6);
    // Wildcards are normalised: month 0 of 2019 is December 2018, day 0 the last of the month before.
    EXPECT_EQ(CDate(2019, 0, 4).GetWeekday(), CDate(2018, 12, 4).GetWeekday());
    EXPECT_EQ(CDate(2018, 12, 0).GetWeekday(), CDate(2018, 11, 30).GetWeekday());
}

TEST(Date, FileDates)
{
    namespace fs = boost::filesystem;
    const fs::path dir = FreshTestFolder();
    const fs::path file = dir / "stamp.txt";
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    // 2015-06-30 23:30:00 without a zone; in Tokyo (UTC+9) already the 1st of July.
    fs::last_write_time(file, std::time_t(1435707000));

    CDate date(2010, 2, 3);
    date.GetWeekday();
    date.SetFromFileTime(file.string());
    EXPECT_EQ(Text(date), "2015-06-30");
    EXPECT_EQ(date.GetWeekday(), 2);
    {
        CScopedZone zone("Asia/Tokyo");
        date.SetFromFileLocalTime(file.string());
        EXPECT_EQ(Text(date), "2015-07-01");
        EXPECT_EQ(date.GetWeekday(), 3);
    }

    const CDate before = date;
    date.SetFromFileTime((dir / "missing").string());
    date.SetFromFileLocalTime((dir / "missing").string());
    EXPECT_EQ(date, before);
}

TEST(DateAndTime, TextsAndPatterns)
{
    const CDateAndTime value;
    EXPECT_EQ(value.ToString(), "2007-01-01 00:00:00");

    CDateAndTime parsed;
    parsed.Parse("2015-06-30 14:05:09");
    EXPECT_EQ(parsed.ToString(), "2015-06-30 14:05:09");
    EXPECT_EQ(parsed.GetTime(), CTime(14, 5, 9));

    CDateAndTime pattern;
    pattern.SetDate(CDate(2006, 0, 0));
    CTime anyTime;
    ASSERT_TRUE(anyTime.ParseFields("XX-XX-XX-00"));
    pattern.SetTime(anyTime);
    EXPECT_EQ(pattern.ToString(), "XXXX-XX-XX XX:XX:XX");
    EXPECT_TRUE(pattern.Matches(parsed));

    CDateAndTime noon;
    noon.Parse("2006-06-00 XX:30:00");  // the time part reads as nothing: it stays
    EXPECT_EQ(noon.GetTime(), CTime());
    noon.Parse("XXXX-06-XX 14:05:09");
    EXPECT_TRUE(noon.Matches(parsed));
    noon.Parse("XXXX-07-XX 14:05:09");
    EXPECT_FALSE(noon.Matches(parsed));

    CDateAndTime dateOnly;
    dateOnly.Parse("2015-06-30");
    EXPECT_EQ(dateOnly.ToString(), "2015-06-30 00:00:00");
    EXPECT_STREQ(CDateAndTime::SkipToTime("a b c"), "b c");
    EXPECT_STREQ(CDateAndTime::SkipToTime("abc"), "");
}
