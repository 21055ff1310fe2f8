#include "foundation/time.h"
#include "tests/support/test_folder.h"

#include <boost/date_time/posix_time/posix_time.hpp>
#include <boost/filesystem.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

// Failures show the machine text rather than the bytes.
static void PrintTo(const CTime& t, std::ostream* os)
{
    *os << t.ToString() << "/" << t.GetMillisecondField() << "ms";
}

namespace {

struct SFields
{
    uint32_t h, m, s, ms;
    bool positive;
};

void ExpectFields(const CTime& t, const SFields& f, const std::string& context)
{
    EXPECT_EQ(t.GetHours(), f.h) << context;
    EXPECT_EQ(t.GetMinutes(), f.m) << context;
    EXPECT_EQ(t.GetSecondField(), f.s) << context;
    EXPECT_EQ(t.GetMillisecondField(), f.ms) << context;
    EXPECT_EQ(t.IsPositive(), f.positive) << context;
}

CTime Make(uint32_t h, uint32_t m, uint32_t s, uint32_t ms, bool positive = true)
{
    CTime t(h, m, s);
    t.SetMillisecondField(ms);
    t.SetPositive(positive);
    return t;
}

// The hour and minute split as first written: one subtraction per hour and per minute.
CTime SetSecondsBySubtraction(double v)
{
    CTime t;
    double a = std::fabs(v);
    uint32_t h = 0;
    uint32_t m = 0;
    while (a >= 3600) {
        a -= 3600;
        ++h;
    }
    while (a >= 60) {
        a -= 60;
        ++m;
    }
    const uint32_t s = uint32_t(a);
    t.SetHours(h);
    t.SetMinutes(m);
    t.SetSecondField(s);
    const uint32_t ms = uint32_t((a - s) * 1000 + 0.5);
    if (ms == 1000) {
        // SetMillisecondField refuses 1000; build it through SetSeconds' own path instead.
        t.SetMillisecondField(999);
    } else {
        t.SetMillisecondField(ms);
    }
    t.SetPositive(v >= 0);
    return t;
}

}  // namespace

TEST(Time, UnitFormsReadDecimalNumbers)
{
    const struct
    {
        const char* text;
        SFields expected;
    } cases[] = {
        {"90s", {0, 1, 30, 0, true}},
        {"75m", {1, 15, 0, 0, true}},
        {"2h", {2, 0, 0, 0, true}},
        {"1h90m", {1, 90, 0, 0, true}},  // minutes after hours are kept as typed
        {"1h30", {1, 30, 0, 0, true}},
        {"5m75s", {0, 6, 15, 0, true}},
        {"5m30", {0, 5, 30, 0, true}},
        {"010s", {0, 0, 10, 0, true}},  // not octal
        {"08s", {0, 0, 8, 0, true}},
        {"1m08s", {0, 1, 8, 0, true}},
        {"1h00m30s", {1, 0, 30, 0, true}},
        {"4294967295s", {1193046, 28, 15, 0, true}},
        {"-90s", {0, 1, 30, 0, false}},
    };
    for (const auto& c : cases) {
        CTime t = Make(7, 7, 7, 70);
        EXPECT_TRUE(t.Parse(c.text)) << c.text;
        ExpectFields(t, c.expected, c.text);
    }
}

TEST(Time, ColonAndPlainForms)
{
    using E = CTime::EEntry;
    // What the general reader makes of each text, and what the duration dialog makes of it.
    const struct
    {
        const char* text;
        SFields expected;
        E entry;
    } cases[] = {
        {"90", {0, 0, 90, 0, true}, E::kTime},          // no carry into minutes
        {"90 s", {0, 0, 90, 0, true}, E::kTime},
        {"1:30", {1, 30, 0, 0, true}, E::kTime},        // hours and minutes
        {"1:02:03", {1, 2, 3, 0, true}, E::kTime},
        {"1:02:03.45", {1, 2, 3, 450, true}, E::kTime},
        {"2:03.5", {0, 2, 3, 500, true}, E::kTime},     // a fraction is decimal: .5 is 500 ms
        {"2:03.05", {0, 2, 3, 50, true}, E::kTime},
        {"1:02:03.5", {1, 2, 3, 500, true}, E::kTime},
        {"1,5", {0, 0, 1, 500, true}, E::kTime},
        {".25", {0, 0, 0, 250, true}, E::kTime},
        {"1.05", {0, 0, 1, 50, true}, E::kTime},
        {"1.5", {0, 0, 1, 500, true}, E::kTime},
        {"1.125", {0, 0, 1, 120, true}, E::kTime},      // only the first two fraction digits count
        {"00-00-01-123", {0, 0, 1, 120, true}, E::kTime},
        {"00-00-01-0999999999999999999999", {0, 0, 1, 90, true}, E::kTime},
        {"2:03.999", {0, 2, 3, 990, true}, E::kTime},
        {"01-02-03-45", {1, 2, 3, 450, true}, E::kTime},
        {"00-00-59-100", {0, 0, 59, 1000, true}, E::kTime},  // a rounded-up second prints so
        {"-01-02-03-45", {1, 2, 3, 450, false}, E::kNegative},
        {"-1:30", {1, 30, 0, 0, false}, E::kNegative},
        {"-5", {0, 0, 5, 0, false}, E::kNegative},
        {"0.05s", {0, 0, 0, 50, true}, E::kTime},
        {"2.5s", {0, 0, 2, 500, true}, E::kTime},
        {"2.5 s", {0, 0, 2, 500, true}, E::kTime},
        {"100:00:00", {100, 0, 0, 0, true}, E::kTime},
        {"99:99:99", {99, 99, 99, 0, true}, E::kMinutesOver59},
        {"1:60", {1, 60, 0, 0, true}, E::kMinutesOver59},
        {"1:30:75", {1, 30, 75, 0, true}, E::kSecondsOver59},
        {"2:75.5", {0, 2, 75, 500, true}, E::kSecondsOver59},
        // Wildcards, as the machine text prints them; a duration has none, except the hours "XX"
        // that the machine text of a 24-hour duration shows.
        {"-XX-XX-05-50", {24, 60, 5, 500, false}, E::kNoTime},
        {"XX-00-00-50", {24, 0, 0, 500, true}, E::kTime},
        // A unit with no number before it is zero hours to the general reader, a slip when typed.
        {"h", {0, 0, 0, 0, true}, E::kNoNumber},
        {"hm", {0, 0, 0, 0, true}, E::kNoNumber},
        {"h30", {0, 0, 0, 0, true}, E::kNoNumber},
        {"h30m", {0, 0, 0, 0, true}, E::kNoNumber},
        // The controller counts a duration in 32-bit milliseconds: what it cannot hold is refused
        // when typed, never wrapped.
        {"4294967s", {1193, 2, 47, 0, true}, E::kTime},
        {"1193:02:47.29", {1193, 2, 47, 290, true}, E::kTime},
        {"4294968s", {1193, 2, 48, 0, true}, E::kTooLong},
        {"99999999", {0, 0, 99999999, 0, true}, E::kTooLong},
        {"1193h02m48s", {1193, 2, 48, 0, true}, E::kTooLong},
    };
    for (const auto& c : cases) {
        CTime t;
        EXPECT_TRUE(t.Parse(c.text)) << c.text;
        ExpectFields(t, c.expected, c.text);
        CTime typed;
        EXPECT_EQ(typed.ParseEntry(c.text), c.entry) << c.text;
        if (c.entry == E::kTime)
            ExpectFields(typed, c.expected, std::string("typed ") + c.text);
        else
            EXPECT_EQ(typed, CTime()) << c.text;
    }
}

TEST(Time, UnreadableTextLeavesTheValueAlone)
{
    const char* texts[] = {
        "abc", "", "-", "s", "m", "m30s", "1:-30", "--5", "1.-5", "99999999999s",
        "3000000000", "1hm30s",
    };
    const CTime before = Make(3, 4, 5, 60, false);
    for (const char* text : texts) {
        CTime t = before;
        EXPECT_FALSE(t.Parse(text)) << text;
        EXPECT_EQ(t, before) << text;
    }
    // A typed entry is read whole or not at all, where the general reader takes what it can.
    for (const char* text : {"1m 30s", "1h30s", "2 min", "1.5m", "1:30x", "5 m", "2.5ss", "1:XX"}) {
        CTime t = before;
        EXPECT_EQ(t.ParseEntry(text), CTime::EEntry::kNoTime) << text;
        EXPECT_EQ(t, before) << text;
    }
    for (const char* text : {"99999999999s", "3000000000", "1:99999999999"}) {
        CTime t = before;
        EXPECT_EQ(t.ParseEntry(text), CTime::EEntry::kTooLong) << text;
        EXPECT_EQ(t, before) << text;
    }
    // "h" alone names no number: it reads as zero, as "2h" reads as two hours.
    CTime t = before;
    EXPECT_TRUE(t.Parse("h"));
    ExpectFields(t, {0, 0, 0, 0, true}, "h");
}

TEST(Time, MachineTextReadsBackWithItsWildcards)
{
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        CTime t = Make(random() % 200, random() % 60, random() % 60, (random() % 100) * 10,
                       random() % 2 == 0);
        if (i % 7 == 0)
            t.SetHours(CTime::kAnyHour);
        if (i % 11 == 0)
            t.SetMinutes(CTime::kAnyMinute);
        if (i % 13 == 0)
            t.SetSecondField(CTime::kAnySecond);
        CTime back = Make(9, 9, 9, 90);
        ASSERT_TRUE(back.ParseFields(t.ToString())) << t.ToString();
        ASSERT_EQ(back, t) << t.ToString();
        // The general reader, which the typed value uses.
        back = Make(9, 9, 9, 90);
        ASSERT_TRUE(back.Parse(t.ToString())) << t.ToString();
        ASSERT_EQ(back, t) << t.ToString();
    }
}

TEST(Time, ParseFieldsPartsAndWildcards)
{
    CTime t = Make(1, 2, 3, 40);
    EXPECT_TRUE(t.ParseFields("XX-30-00-00"));
    ExpectFields(t, {24, 30, 0, 0, true}, "wildcard hours");

    t = Make(1, 2, 3, 40);
    EXPECT_TRUE(t.ParseFields("05:06"));  // seconds and hundredths stay
    ExpectFields(t, {5, 6, 3, 40, true}, "two fields");

    t = Make(1, 2, 3, 40);
    EXPECT_TRUE(t.ParseFields("05-06-07"));
    ExpectFields(t, {5, 6, 7, 40, true}, "three fields");

    t = Make(1, 2, 3, 40);
    EXPECT_TRUE(t.ParseFields("05-06-07-"));
    ExpectFields(t, {5, 6, 7, 0, true}, "empty hundredths");

    const CTime before = Make(1, 2, 3, 40);
    // Hundredths of more digits than the machine text writes count by their first two.
    t = Make(1, 2, 3, 40);
    EXPECT_TRUE(t.ParseFields("05-06-07-123"));
    ExpectFields(t, {5, 6, 7, 120, true}, "three hundredths digits");

    for (const char* bad : {"", "12", "01--02-03-04", "01-02-03--1", "-"}) {
        t = before;
        EXPECT_FALSE(t.ParseFields(bad)) << bad;
        EXPECT_EQ(t, before) << bad;
    }
}

TEST(Time, ShortTextTableAndReadBack)
{
    const struct
    {
        CTime value;
        const char* text;
    } cases[] = {
        {Make(0, 0, 0, 0), "0s"},
        {Make(0, 0, 42, 0), "42s"},
        {Make(3, 0, 0, 0), "3h"},
        {Make(0, 5, 0, 0), "5m"},
        {Make(1, 5, 0, 0), "1h05m"},
        {Make(0, 1, 30, 0), "1m30s"},
        {Make(0, 1, 8, 0), "1m08s"},
        {Make(0, 0, 2, 500), "2.5s"},
        {Make(0, 0, 0, 500), "0.5s"},
        {Make(0, 0, 0, 50), "0.05s"},
        {Make(0, 0, 7, 250), "7.25s"},
        {Make(1, 0, 30, 0), "1h00m30s"},
        {Make(12, 34, 56, 0), "12h34m56s"},
        {Make(0, 5, 0, 500), "00-05-00-50"},
        {Make(0, 0, 2, 5), "00-00-02-00"},
        {Make(0, 1, 30, 0, false), "1m30s"},  // the sign is not shown
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.ToShortString(), c.text);
        CTime back;
        ASSERT_TRUE(back.Parse(c.text)) << c.text;
        if (c.value.GetMillisecondField() % 10 == 0 && c.value.IsPositive()) {
            EXPECT_EQ(back, c.value) << c.text;
        }
    }
}

TEST(Time, EveryShortTextReadsBack)
{
    std::mt19937 random(11);
    for (int i = 0; i < 5000; ++i) {
        const CTime t = Make(random() % 3 == 0 ? random() % 24 : 0, random() % 60, random() % 60,
                             random() % 4 == 0 ? (random() % 100) * 10 : 0);
        CTime back(t.ToShortString());
        ASSERT_EQ(back, t) << t.ToShortString();
        // What the duration dialog proposes, it takes back as it stands.
        CTime typed;
        ASSERT_EQ(typed.ParseEntry(t.ToShortString()), CTime::EEntry::kTime) << t.ToShortString();
        ASSERT_EQ(typed, t) << t.ToShortString();
    }
}

TEST(Time, SetSecondsSplitsTheMagnitude)
{
    CTime t;
    t.SetSeconds(-90.25);
    ExpectFields(t, {0, 1, 30, 250, false}, "-90.25");
    t.SetSeconds(59.9996);
    ExpectFields(t, {0, 0, 59, 1000, true}, "59.9996");  // no carry from rounding
    t.SetSeconds(3723.45);
    ExpectFields(t, {1, 2, 3, 450, true}, "3723.45");
}

TEST(Time, SetSecondsSurvivesNonFiniteAndHugeValues)
{
    for (double v : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                     std::nan("")}) {
        CTime t = Make(1, 2, 3, 40, false);
        t.SetSeconds(v);
        EXPECT_EQ(t, CTime()) << v;
    }
    CTime huge;
    huge.SetSeconds(1e300);
    EXPECT_EQ(huge.GetHours(), 4294967295u);
    EXPECT_LT(huge.GetMinutes(), 60u);
    huge.SetSeconds(-1e20);
    EXPECT_EQ(huge.GetHours(), 4294967295u);
    EXPECT_FALSE(huge.IsPositive());

    // Dividing by a zero duration and multiplying by infinity reach SetSeconds with such values.
    CTime divided = Make(0, 1, 0, 0);
    divided /= CTime();
    EXPECT_EQ(divided, CTime());
    CTime scaled = Make(0, 1, 0, 0);
    scaled *= std::numeric_limits<double>::infinity();
    EXPECT_EQ(scaled, CTime());
}

TEST(Time, SetSecondsAgreesWithSubtractionOnOrdinaryValues)
{
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> below(-1e7, 1e7);
    for (int i = 0; i < 20000; ++i) {
        double v = below(random);
        if (i % 4 == 0)
            v = std::round(v);                  // exact hours and minutes boundaries too
        if (i % 8 == 0)
            v = std::round(v / 60) * 60;
        CTime fast;
        fast.SetSeconds(v);
        const CTime slow = SetSecondsBySubtraction(v);
        ASSERT_TRUE(fast.EqualsHms(slow)) << v;
        ASSERT_EQ(fast.IsPositive(), slow.IsPositive()) << v;
        if (fast.GetMillisecondField() != 1000) {
            ASSERT_EQ(fast.GetMillisecondField(), slow.GetMillisecondField()) << v;
        }
    }
}

TEST(Time, MillisecondFormsKeepHundredths)
{
    CTime t = Make(0, 0, 0, 0, false);
    t.SetMilliseconds(3723456);
    ExpectFields(t, {1, 2, 3, 450, false}, "3723456 keeps the sign");
    t.SetMilliseconds(15);
    ExpectFields(t, {0, 0, 0, 10, false}, "15");
    EXPECT_EQ(Make(1, 2, 3, 450).GetMilliseconds(), 3723450u);
    EXPECT_EQ(Make(1, 2, 3, 450, false).GetMilliseconds(), 3723450u);
    EXPECT_EQ(Make(1, 2, 3, 450).GetWholeSeconds(), 3723u);
    // The wire's 32-bit count saturates instead of wrapping.
    EXPECT_EQ(Make(1193, 2, 47, 290).GetWireMilliseconds(), 4294967290u);
    EXPECT_EQ(Make(1193, 2, 48, 0).GetWireMilliseconds(), 4294967295u);

    // 3,723,456 = 0x0038D0C0, least significant byte first as on the wire.
    const uint8_t field[] = {0xC0, 0xD0, 0x38, 0x00};
    CTime wire;
    wire.ReadWire(field);
    ExpectFields(wire, {1, 2, 3, 450, true}, "wire");
}

TEST(Time, ArithmeticAndOrdering)
{
    const CTime a = Make(0, 1, 0, 0);
    const CTime b = Make(0, 0, 90, 0);
    ExpectFields(a - b, {0, 0, 30, 0, false}, "sign follows the arithmetic");
    ExpectFields(a + b, {0, 2, 30, 0, true}, "sum");
    ExpectFields(Make(0, 0, 2, 0) * Make(0, 0, 3, 0), {0, 0, 6, 0, true}, "product in seconds");
    CTime scaled = Make(0, 0, 10, 0);
    scaled *= 1.5;
    ExpectFields(scaled, {0, 0, 15, 0, true}, "scaled");
    CTime ratio = Make(0, 1, 0, 0);
    ratio /= Make(0, 0, 30, 0);
    ExpectFields(ratio, {0, 0, 2, 0, true}, "ratio");

    EXPECT_TRUE(a - b < CTime());
    EXPECT_TRUE(b > a);
    EXPECT_TRUE(a <= a);
    EXPECT_TRUE(a.IsBefore(60.5));
    EXPECT_FALSE(a.IsBefore(60.0));
    EXPECT_NE(Make(0, 0, 1, 0), Make(0, 0, 1, 0, false));  // the sign counts for equality

    // Exact at every hundredth: 0.57 s is 570 ms, not 569.
    EXPECT_EQ(Make(0, 0, 0, 570).DifferenceMilliseconds(CTime()), 570);
    EXPECT_EQ(CTime().DifferenceMilliseconds(Make(0, 0, 1, 990)), -1990);
    EXPECT_EQ(CTime().DifferenceSeconds(Make(0, 0, 1, 990)), -1);
    EXPECT_EQ(Make(25, 0, 0, 0).DifferenceSeconds(Make(0, 0, 1, 0, false)), 90001);
}

TEST(Time, WildcardsMatchAnything)
{
    CTime pattern;
    ASSERT_TRUE(pattern.ParseFields("XX-30-00-00"));
    EXPECT_TRUE(pattern.Matches(Make(13, 30, 0, 370)));
    EXPECT_TRUE(pattern.Matches(Make(0, 30, 0, 0, false)));
    EXPECT_FALSE(pattern.Matches(Make(13, 31, 0, 0)));
    EXPECT_FALSE(Make(13, 30, 0, 0).Matches(pattern));
    EXPECT_EQ(pattern.ToString(), "XX-30-00-00");
    EXPECT_EQ(pattern.ToClockString(true, true, false), "XX:30:00");
    EXPECT_TRUE(Make(1, 2, 3, 10).EqualsHms(Make(1, 2, 3, 990, false)));
}

TEST(Time, ClockTexts)
{
    const CTime t = Make(14, 5, 9, 370);
    EXPECT_EQ(t.ToClockString(), "14:05:09");
    EXPECT_EQ(t.ToClockString(true, true, true), "14:05:09.37");
    EXPECT_EQ(t.ToClockString(false, false, true), "05");  // hundredths only with seconds
    EXPECT_EQ(Make(0, 1, 2, 0, false).ToClockString(true, true, false), "-00:01:02");
    EXPECT_EQ(Make(13, 5, 0, 0).ToClockString12(true, false, false), " 1:05 PM");
    EXPECT_EQ(Make(0, 5, 0, 0).ToClockString12(true, false, false), "12:05 AM");
    EXPECT_EQ(Make(12, 0, 0, 0).ToClockString12(true, true, false), "12:00:00 PM");
    EXPECT_TRUE(Make(12, 0, 0, 0).IsPM());
    EXPECT_FALSE(Make(11, 59, 0, 0).IsPM());

    char buffer[CTime::kClockBufferSize];
    char* end = Make(1, 2, 3, 450, false).FormatClock(buffer, sizeof(buffer), true);
    EXPECT_STREQ(buffer, "01:02:03.45");  // never a sign
    EXPECT_EQ(end, buffer + 11);
    CTime wild;
    ASSERT_TRUE(wild.ParseFields("XX-XX-XX-00"));
    wild.FormatClock(buffer, sizeof(buffer), false);
    EXPECT_STREQ(buffer, "XX:XX:XX");
    char tiny[4];
    end = t.FormatClock(tiny, sizeof(tiny), false);
    EXPECT_STREQ(tiny, "14:");
    EXPECT_EQ(end, tiny + 3);
    EXPECT_EQ(Make(4294967295u, 59, 59, 990).FormatClock(buffer, sizeof(buffer), true),
              buffer + 19);
}

TEST(Time, HundredthStepsFromBetweenTwoHundredthsStopAtZero)
{
    CTime between;
    between.SetSeconds(0.005);  // 5 ms
    ASSERT_EQ(between.GetMillisecondField(), 5u);
    between.DecrementHundredths();
    EXPECT_EQ(between.GetMillisecondField(), 0u);
    between.SetMillisecondField(990);
    between.IncrementHundredths();
    EXPECT_EQ(between.GetMillisecondField(), 990u);
}

TEST(Time, LocalAndFileTimesGiveTheTimeOfDay)
{
    using namespace boost::posix_time;
    CTime t = Make(0, 0, 0, 0, false);
    t.SetFromLocalTime(ptime(boost::gregorian::date(2015, 6, 30), hours(14) + minutes(5) +
                                                                        seconds(9) +
                                                                        microseconds(123456)));
    ExpectFields(t, {14, 5, 9, 123, true}, "local time");

    namespace fs = boost::filesystem;
    const fs::path dir = FreshTestFolder();
    const fs::path file = dir / "stamp.txt";
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    // 2015-06-30 14:05:09 after 1970-01-01 00:00, no zone.
    fs::last_write_time(file, std::time_t(1435673109));
    CTime fileTime = Make(1, 1, 1, 10, false);
    fileTime.SetFromFileTime(file.string());
    ExpectFields(fileTime, {14, 5, 9, 0, true}, "file time");

    const CTime before = fileTime;
    fileTime.SetFromFileTime((dir / "missing.txt").string());
    EXPECT_EQ(fileTime, before);
}
