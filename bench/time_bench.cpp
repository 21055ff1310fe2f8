#include "foundation/clock.h"
#include "foundation/date.h"
#include "foundation/time.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// What an operator types into the duration dialog and what cue files hold.
const std::vector<std::string>& TimeTexts()
{
    static const std::vector<std::string> texts = {
        "90s", "1m30s", "1h05m", "1h00m30s", "2.5s", "0.05s", "1:02:03.45", "2:03.5",
        "1,5", ".25", "90", "01-02-03-45", "-00-05-00-50", "abc",
    };
    return texts;
}

void TimeParse(benchmark::State& state)
{
    const std::string& text = TimeTexts()[size_t(state.range(0))];
    state.SetLabel(text);
    for (auto _ : state) {
        CTime time;
        benchmark::DoNotOptimize(time.Parse(text));
        benchmark::DoNotOptimize(time);
    }
}
BENCHMARK(TimeParse)->DenseRange(0, 13);

void TimeParseFields(benchmark::State& state)
{
    const std::string text = "01-02-03-45";
    for (auto _ : state) {
        CTime time;
        benchmark::DoNotOptimize(time.ParseFields(text));
        benchmark::DoNotOptimize(time);
    }
}
BENCHMARK(TimeParseFields);

CTime Sample(int index)
{
    CTime time(1, 2, 3);
    if (index == 1)
        time = CTime(0, 1, 30);
    if (index == 2)
        time.SetSeconds(2.5);
    return time;
}

void TimeToString(benchmark::State& state)
{
    const CTime time = Sample(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(time.ToString());
}
BENCHMARK(TimeToString);

void TimeToShortString(benchmark::State& state)
{
    const CTime time = Sample(int(state.range(0)));
    state.SetLabel(time.ToShortString());
    for (auto _ : state)
        benchmark::DoNotOptimize(time.ToShortString());
}
BENCHMARK(TimeToShortString)->DenseRange(0, 2);

void TimeToClockString(benchmark::State& state)
{
    const CTime time = Sample(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(time.ToClockString(true, true, false));
}
BENCHMARK(TimeToClockString);

void TimeFormatClock(benchmark::State& state)
{
    const CTime time = Sample(0);
    char buffer[CTime::kClockBufferSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(time.FormatClock(buffer, sizeof(buffer), true));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(TimeFormatClock);

void TimeSetSeconds(benchmark::State& state)
{
    double seconds = 3723.45;
    for (auto _ : state) {
        CTime time;
        time.SetSeconds(seconds);
        benchmark::DoNotOptimize(time);
        seconds += 0.01;
    }
}
BENCHMARK(TimeSetSeconds);

void DateToString(benchmark::State& state)
{
    const CDate date(2015, 6, 30);
    for (auto _ : state)
        benchmark::DoNotOptimize(date.ToString());
}
BENCHMARK(DateToString);

void DateToCompactString(benchmark::State& state)
{
    const CDate date(2015, 6, 30);
    for (auto _ : state)
        benchmark::DoNotOptimize(date.ToCompactString());
}
BENCHMARK(DateToCompactString);

void DateAndTimeToString(benchmark::State& state)
{
    const CDateAndTime value(CDate(2015, 6, 30), CTime(14, 5, 9));
    for (auto _ : state)
        benchmark::DoNotOptimize(value.ToString());
}
BENCHMARK(DateAndTimeToString);

void DateWeekday(benchmark::State& state)
{
    for (auto _ : state) {
        const CDate date(2015, 6, 30);
        benchmark::DoNotOptimize(date.ComputeWeekday());
    }
}
BENCHMARK(DateWeekday);

// Once per frame on the main thread, and a lock that other threads share.
void ClockSetNow(benchmark::State& state)
{
    CClock clock;
    for (auto _ : state) {
        clock.SetNow();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ClockSetNow);

void ClockSnapshot(benchmark::State& state)
{
    CClock clock;
    clock.SetNow();
    for (auto _ : state)
        benchmark::DoNotOptimize(clock.Snapshot());
}
BENCHMARK(ClockSnapshot);

}  // namespace
