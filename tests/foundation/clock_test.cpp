#include "foundation/clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

namespace {

CDateAndTime At(uint32_t year, uint32_t month, uint32_t day, uint32_t h, uint32_t m, uint32_t s,
                uint32_t ms)
{
    CTime time(h, m, s);
    time.SetMillisecondField(ms);
    return CDateAndTime(CDate(year, month, day), time);
}

void Set(CClock& clock, const CDateAndTime& value)
{
    clock.SetDateAndTime(value.GetDate(), value.GetTime());
}

}  // namespace

TEST(Clock, MillisecondsSinceSpanMidnight)
{
    CClock clock;
    Set(clock, At(2015, 7, 1, 0, 0, 1, 500));
    EXPECT_EQ(clock.GetMillisecondsSince(At(2015, 6, 30, 23, 59, 59, 0)), 2500u);
    EXPECT_EQ(clock.GetMillisecondsSince(At(2015, 7, 1, 0, 0, 1, 0)), 500u);
    EXPECT_EQ(clock.GetMillisecondsSince(At(2015, 7, 1, 0, 0, 1, 510)), 0u);  // later
    EXPECT_EQ(clock.GetMillisecondsSince(At(2015, 7, 2, 0, 0, 0, 0)), 0u);
    // Across a month and a year end, the calendar decides.
    Set(clock, At(2016, 3, 1, 0, 0, 0, 0));
    EXPECT_EQ(clock.GetMillisecondsSince(At(2016, 2, 28, 0, 0, 0, 0)), 2u * 86400000u);
    Set(clock, At(2016, 1, 1, 0, 0, 0, 10));
    EXPECT_EQ(clock.GetMillisecondsSince(At(2015, 12, 31, 23, 59, 59, 990)), 20u);
    // More than 49.7 days stops at the largest count.
    EXPECT_EQ(clock.GetMillisecondsSince(At(2007, 1, 1, 0, 0, 0, 0)), 4294967295u);
}

TEST(Clock, SettersStoreOnlyWhatDiffers)
{
    CClock clock;
    const CDate date(2015, 6, 30);
    clock.SetDate(date);
    EXPECT_EQ(clock.GetDate(), date);
    CTime negative(0, 0, 5);
    negative.SetPositive(false);
    clock.SetTime(CTime(0, 0, 5));
    clock.SetTime(negative);  // differs only in the sign: still a change
    EXPECT_FALSE(clock.GetTime().IsPositive());

    const CClock copy(clock);
    EXPECT_EQ(copy.Snapshot().ToString(), clock.Snapshot().ToString());
    CClock assigned;
    assigned = copy;
    EXPECT_EQ(assigned.GetDate(), date);
}

TEST(Clock, SetNowReadsTheLocalTime)
{
    CClock clock;
    clock.SetNow();
    const CDateAndTime first = clock.Snapshot();
    EXPECT_TRUE(first.GetDate().IsValid());
    EXPECT_NE(first.GetDate().ToDayNumber(), CDate::kNotADayNumber);
    EXPECT_LT(first.GetTime().GetHours(), 24u);
    EXPECT_TRUE(first.GetTime().IsPositive());
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_LE(std::abs(first.GetDate().ToDayNumber() -
                       CDate(uint32_t(local.tm_year + 1900), uint32_t(local.tm_mon + 1),
                             uint32_t(local.tm_mday))
                           .ToDayNumber()),
              1);
    clock.SetNow();
    EXPECT_LE(clock.Snapshot().GetTime().DifferenceMilliseconds(first.GetTime()), 1000);
}

TEST(Clock, ReadersOnOtherThreadsSeeWholeValues)
{
    // The writer keeps day, seconds and hundredths equal; a torn read would break that.
    CClock clock;
    Set(clock, At(2015, 1, 1, 0, 0, 1, 10));
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            while (!done.load()) {
                const CDateAndTime seen = clock.Snapshot();
                const uint32_t day = seen.GetDate().GetDay();
                const CTime time = seen.GetTime();
                if (time.GetSecondField() != day || time.GetHundredths() != day)
                    torn.fetch_add(1);
                const CTime alone = clock.GetTime();
                if (alone.GetSecondField() != alone.GetHundredths())
                    torn.fetch_add(1);
            }
        });
    }
    for (int i = 0; i < 100000; ++i) {
        const uint32_t n = 1 + uint32_t(i % 28);
        Set(clock, At(2015, 1, n, 0, 0, n, n * 10));
    }
    done = true;
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(torn.load(), 0);
}
