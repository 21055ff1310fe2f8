#include "link/message.h"
#include "model/cue.h"
#include "model/message_sink.h"
#include "model/playback.h"
#include "model/playback_manager.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
class CDiscardingSink : public CMessageSink
{
public:
    bool QueueMessage(const CMessage&) override { return true; }
};

// A full show as a resync or a show load brings it: 64 playbacks of 48 cues, four block replies
// per cue, then the second of frames in which the playbacks rebuild their unions once.
void BM_ApplyEveryCueBlockOfAFullShow(benchmark::State& state)
{
    CDiscardingSink sink;
    CPlaybackManager manager;
    manager.SetSink(&sink);
    for (uint32_t p = 0; p < 64; ++p)
    {
        CMessage count(MANAGER_PLAYBACK, COMMAND_GET_COUNT);
        count.SetIndex0(p);
        count.SetValue(CMessageValue(uint32_t(48)));
        manager.ApplyMessage(count);
    }
    std::vector<uint8_t> bytes(CCue::kBlockSize, 0);
    CMessage block(MANAGER_CUE, COMMAND_GET_CUE_STREAM_BLOCK);
    uint8_t fill = 0;
    for (auto _ : state)
    {
        // Each pass brings different bytes, so every block is taken in.
        ++fill;
        bytes[3 * CCue::kRecordSize + 16] = fill;
        CMessageValue value;
        value.SetRawData(bytes.data(), CCue::kBlockSize);
        block.SetValue(value);
        for (uint32_t p = 0; p < 64; ++p)
        {
            block.SetIndex0(p);
            for (uint32_t c = 0; c < 48; ++c)
            {
                block.SetIndex1(c);
                for (uint32_t b = 0; b < CCue::kBlockCount; ++b)
                {
                    block.SetIndex2(b);
                    manager.ApplyMessage(block);
                }
            }
        }
        for (int frame = 0; frame < 25; ++frame)
            manager.Update(0.04f);
        benchmark::DoNotOptimize(manager.GetPlayback(63)->GetFixtureMask());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 64 * 48 * 4);
}
BENCHMARK(BM_ApplyEveryCueBlockOfAFullShow)->Unit(benchmark::kMillisecond);

// One frame of an idle show: 64 playbacks of 48 cues ticking their timers.
void BM_FrameOfAFullShow(benchmark::State& state)
{
    CDiscardingSink sink;
    CPlaybackManager manager;
    manager.SetSink(&sink);
    for (uint32_t p = 0; p < 64; ++p)
        manager.GetPlayback(p)->SetCueCount(48, false);
    for (auto _ : state)
        manager.Update(0.04f);
}
BENCHMARK(BM_FrameOfAFullShow);
}  // namespace
