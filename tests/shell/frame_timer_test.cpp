#include "shell/frame_timer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace
{
// A clock that only moves when told to; a sleep moves it by the requested time plus an optional
// oversleep, as a real scheduler would.
class CFakeFrameClock : public CFrameClock
{
public:
    uint64_t Stamp() override { return m_now; }
    void Sleep(uint32_t milliseconds) override
    {
        m_sleeps.push_back(milliseconds);
        if (!m_wakeAtOnce)
            m_now += milliseconds + m_oversleep;
    }
    void Advance(uint64_t milliseconds) { m_now += milliseconds; }

    uint64_t m_now = 10000000000;
    uint32_t m_oversleep = 0;
    bool m_wakeAtOnce = false;
    std::vector<uint32_t> m_sleeps;
};

class FrameTimer : public ::testing::Test
{
protected:
    // One whole frame whose work takes the given time; returns what it slept (0 when nothing).
    uint32_t Frame(uint64_t work)
    {
        const size_t before = m_clock.m_sleeps.size();
        m_timer.BeginFrame();
        m_clock.Advance(work);
        m_timer.EndFrame();
        return m_clock.m_sleeps.size() > before ? m_clock.m_sleeps.back() : 0;
    }

    CFakeFrameClock m_clock;
    CFrameTimer m_timer{25.0f, m_clock};
};
}

TEST_F(FrameTimer, SleepsTheRestOfThePeriodAndSettlesAnOversleep)
{
    // The 30-ms sleep really lasts 32 ms: the next frame owes 2 ms and sleeps that much less.
    m_clock.m_oversleep = 2;
    EXPECT_EQ(Frame(10), 30u);
    EXPECT_EQ(m_timer.GetPlannedSleep(), 30);
    m_clock.m_oversleep = 0;
    m_timer.BeginFrame();
    EXPECT_EQ(m_timer.GetLag(), 2);
    m_clock.Advance(10);
    m_timer.EndFrame();
    EXPECT_EQ(m_clock.m_sleeps.back(), 28u);
    EXPECT_EQ(m_timer.GetLag(), 0);
}

TEST_F(FrameTimer, SlowFrameIsPaidBackByTheNextFramesOnly)
{
    // 10 ms over the period: no sleep, and the next ordinary frame sleeps 10 ms less.
    EXPECT_EQ(Frame(50), 0u);
    EXPECT_EQ(m_timer.GetLag(), 10);
    EXPECT_EQ(m_timer.GetPlannedSleep(), -10);
    m_timer.BeginFrame();
    EXPECT_EQ(m_timer.GetLag(), 10);
    m_clock.Advance(10);
    m_timer.EndFrame();
    EXPECT_EQ(m_clock.m_sleeps.back(), 20u);
    EXPECT_EQ(m_timer.GetLag(), 0);
}

TEST_F(FrameTimer, LargeLagSkipsSleepingUntilRepaid)
{
    EXPECT_EQ(Frame(140), 0u);
    ASSERT_EQ(m_timer.GetLag(), 100);

    EXPECT_EQ(Frame(10), 0u);
    EXPECT_EQ(m_timer.GetLag(), 70);
    EXPECT_EQ(m_timer.GetPlannedSleep(), 0);
    EXPECT_EQ(Frame(10), 0u);
    EXPECT_EQ(m_timer.GetLag(), 40);
    EXPECT_EQ(Frame(10), 0u);
    EXPECT_EQ(m_timer.GetLag(), 10);
    EXPECT_EQ(Frame(10), 20u);
    EXPECT_EQ(m_timer.GetLag(), 0);
}

TEST_F(FrameTimer, RemainingEqualToLagSleepsNothing)
{
    Frame(70);  // lag 30
    ASSERT_EQ(m_timer.GetLag(), 30);
    EXPECT_EQ(Frame(10), 0u);
    EXPECT_EQ(m_timer.GetLag(), 0);
    EXPECT_EQ(m_timer.GetPlannedSleep(), 0);
}

TEST_F(FrameTimer, LongSleepIsCutAndTheRestCarriedAsNegativeLag)
{
    // Sleeps that end at once leave their time owed, so the planned sleeps grow.
    m_clock.m_wakeAtOnce = true;
    EXPECT_EQ(Frame(10), 30u);
    EXPECT_EQ(Frame(10), 60u);
    EXPECT_EQ(Frame(10), 90u);
    EXPECT_EQ(Frame(10), 100u);
    EXPECT_EQ(m_timer.GetPlannedSleep(), 120);
    m_clock.m_wakeAtOnce = false;

    // 150 planned, 100 slept: the next frame sleeps 50 longer than the period alone asks.
    EXPECT_EQ(Frame(10), 100u);
    EXPECT_EQ(m_timer.GetPlannedSleep(), 150);
    EXPECT_EQ(Frame(10), 80u);
    EXPECT_EQ(Frame(10), 30u);
}

TEST_F(FrameTimer, LagBeyondFiveSecondsIsDropped)
{
    Frame(5040);
    EXPECT_EQ(m_timer.GetLag(), 5000);
    EXPECT_EQ(Frame(41), 0u);
    EXPECT_EQ(m_timer.GetLag(), 0);  // 5001 is dropped
}

TEST_F(FrameTimer, SustainedOverloadKeepsTheLagBoundedAndRecoversAtOnce)
{
    for (int i = 0; i < 1000; ++i)
    {
        Frame(45);
        ASSERT_LE(std::abs(m_timer.GetLag()), 5001) << "frame " << i;
    }
    // Once the load ends, frames sleep again within a bounded number of frames, never more than
    // the period asks.
    int framesWithoutSleep = 0;
    while (Frame(10) == 0)
        ++framesWithoutSleep;
    EXPECT_LE(framesWithoutSleep, 5000 / 30 + 1);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Frame(10), 30u);
}

TEST_F(FrameTimer, ClockGoingBackCountsAsNoWork)
{
    m_timer.BeginFrame();
    m_clock.m_now -= 3600000;
    m_timer.EndFrame();
    EXPECT_EQ(m_clock.m_sleeps.back(), 40u);
    EXPECT_EQ(m_timer.GetLag(), 0);
}
