#include "graphics/gif_frame.h"
#include "graphics/gif_image.h"
#include "graphics/lzw_coder.h"
#include "graphics/zevral_image.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

namespace
{
// The largest picture the codec takes: 150 x 150, 256 colours; state.range(0) is the share of
// pixels in 256 that are noise rather than part of a smooth gradient.
void MakeGif(CGifImage& gif, int noise)
{
    std::mt19937 random(1);
    gif.SetWidth(150);
    gif.SetHeight(150);
    gif.SetBits(8);
    for (uint32_t i = 0; i < 256; ++i)
        gif.SetPaletteEntry(i, CRgbaColour(i, 255 - i, i / 2));
    CGifFrame* frame = gif.InsertFrame(0);
    for (uint32_t p = 0; p < frame->GetPixelCount(); ++p)
        frame->SetPixelIndex(p, int(random() % 256) < noise ? uint8_t(random()) : uint8_t(p / 150 + p % 150 / 8));
}

void BM_GifWrite150x150(benchmark::State& state)
{
    CGifImage gif;
    MakeGif(gif, int(state.range(0)));
    for (auto _ : state)
    {
        std::vector<uint8_t> bytes;
        gif.Write(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_GifWrite150x150)->Arg(0)->Arg(32)->Arg(256);

void BM_GifLoad150x150(benchmark::State& state)
{
    CGifImage gif;
    MakeGif(gif, int(state.range(0)));
    std::vector<uint8_t> bytes;
    gif.Write(bytes);
    for (auto _ : state)
    {
        std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
        CGifImage loaded;
        loaded.Load(file);
        std::fclose(file);
        benchmark::DoNotOptimize(loaded.GetFrame(0));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_GifLoad150x150)->Arg(0)->Arg(32)->Arg(256);

// Nearest-colour mapping of a full-size RGBA picture onto 256 palette colours.
void BM_GifFrameFromImage(benchmark::State& state)
{
    CGifImage gif;
    MakeGif(gif, 0);
    std::mt19937 random(2);
    CZevralImage picture(150, 150);
    for (uint32_t i = 0; i < picture.GetPixelCount(); ++i)
        picture.SetPixel(i, CRgbaColour(uint32_t(random() % 4096) * 0x00040404u | 0xFF000000u));
    CGifFrame* frame = gif.GetFrame(0);
    for (auto _ : state)
        frame->FromImage(picture, true);
}
BENCHMARK(BM_GifFrameFromImage);

void BM_LzwCoderRoundTrip(benchmark::State& state)
{
    std::mt19937 random(3);
    CLzwCoder::Queue text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text.push_back(uint8_t('a' + random() % 8));
    for (auto _ : state)
    {
        CLzwCoder encoder;
        CLzwCoder decoder;
        CLzwCoder::Queue input = text;
        CLzwCoder::Queue code;
        CLzwCoder::Queue output;
        encoder.Encode(input, code, 16);
        decoder.Decode(code, output, 16);
        benchmark::DoNotOptimize(output.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LzwCoderRoundTrip)->Arg(1024)->Arg(16384);
}  // namespace
