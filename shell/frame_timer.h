#pragma once

#include <cstdint>

// Where the frame timer takes its time from and how it waits. The program's source stamps the
// global clock and sleeps with SDL_Delay; tests hand in a fake that advances by hand.
class CFrameClock
{
public:
    virtual ~CFrameClock() = default;
    // Sets the program's clock to now and returns that instant in milliseconds.
    virtual uint64_t Stamp() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// The program's source: stamps the global clock and sleeps with SDL_Delay.
class CProgramFrameClock : public CFrameClock
{
public:
    uint64_t Stamp() override;
    void Sleep(uint32_t milliseconds) override;
};

// Paces the main loop at a fixed frame period. Each frame measures its own work, sleeps for the
// rest of the period and carries the difference as a lag that later frames pay back. The model and
// the user interface never see measured time: they are always ticked with the fixed period.
class CFrameTimer
{
public:
    static constexpr uint32_t kMaxSleep = 100;
    static constexpr int32_t kMaxLag = 5000;

    CFrameTimer(float framesPerSecond, CFrameClock& clock);

    void BeginFrame();
    // Sleeps for the rest of the period, at most kMaxSleep milliseconds.
    void EndFrame();
    float GetFrameSeconds() const { return m_period / 1000.0f; }

    // Positive: behind time; negative: time still to be slept.
    int32_t GetLag() const { return m_lag; }
    // The sleep the last EndFrame decided on (0 or negative when it decided not to sleep).
    int32_t GetPlannedSleep() const { return m_plannedSleep; }

private:
    CFrameClock& m_clock;
    float m_period;
    uint64_t m_frameStart = 0;
    uint64_t m_frameEnd = 0;
    int32_t m_plannedSleep = 0;
    int32_t m_lag = 0;
};
