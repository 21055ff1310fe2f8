#include "tools/resgen/clips.h"

#include "foundation/byte_order.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace resgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A small linear congruential generator: the same noise on every machine and run.
class CNoise
{
public:
    double Next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(m_state >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }

private:
    uint64_t m_state = 0x5EEDC0FFEEULL;
};

int16_t ToSample(double v)
{
    v = std::max(-1.0, std::min(1.0, v));
    return static_cast<int16_t>(std::lround(v * 32767.0));
}

// A mechanical key: a short band of filtered noise with a resonant body tone.
std::vector<double> Click(double seconds, double tone, double level, double noiseShare)
{
    const int n = static_cast<int>(seconds * kClipRate);
    std::vector<double> out(n);
    CNoise noise;
    double low = 0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kClipRate;
        const double attack = std::min(1.0, t / 0.0004);
        const double decay = std::exp(-t / (seconds * 0.22));
        // One-pole high-pass of the noise keeps the click bright without rumble.
        const double white = noise.Next();
        low += 0.35 * (white - low);
        const double hiss = white - low;
        const double body = std::sin(2 * kPi * tone * t) * std::exp(-t / (seconds * 0.35));
        out[i] = level * attack * (noiseShare * hiss * decay + (1 - noiseShare) * body);
    }
    return out;
}

// A soft tone sweep with raised-cosine edges.
std::vector<double> Blip(double seconds, double from, double to, double level, double buzz)
{
    const int n = static_cast<int>(seconds * kClipRate);
    std::vector<double> out(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kClipRate;
        const double f = from + (to - from) * (t / seconds);
        phase += 2 * kPi * f / kClipRate;
        const double edge = 0.006;
        double env = 1;
        if (t < edge) {
            env = 0.5 - 0.5 * std::cos(kPi * t / edge);
        } else if (t > seconds - edge * 3) {
            env = 0.5 + 0.5 * std::cos(kPi * (t - (seconds - edge * 3)) / (edge * 3));
        }
        // The buzz adds odd harmonics for a rougher, "refused" sound.
        const double v = std::sin(phase) + buzz * (std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5);
        out[i] = level * env * v / (1 + buzz * 0.5);
    }
    return out;
}

std::vector<double> Then(std::vector<double> a, const std::vector<double>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

std::vector<int16_t> SynthesiseClip(const std::string& name)
{
    std::vector<double> mono;
    if (name == "hw_down") {
        mono = Click(0.018, 2100, 0.45, 0.55);
    } else if (name == "hw_up") {
        mono = Click(0.012, 2900, 0.30, 0.5);
    } else if (name == "positive") {
        mono = Then(Blip(0.035, 880, 900, 0.22, 0), Blip(0.045, 1320, 1340, 0.22, 0));
    } else if (name == "negative") {
        mono = Blip(0.13, 220, 150, 0.25, 0.8);
    } else {
        throw std::runtime_error("no synthesis for clip " + name);
    }
    std::vector<int16_t> stereo;
    stereo.reserve(mono.size() * 2);
    for (double v : mono) {
        const int16_t s = ToSample(v);
        stereo.push_back(s);
        stereo.push_back(s);
    }
    return stereo;
}

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& stereo)
{
    const uint32_t dataBytes = static_cast<uint32_t>(stereo.size() * 2);
    std::vector<uint8_t> out;
    auto text = [&](const char* s) { out.insert(out.end(), s, s + 4); };
    text("RIFF");
    AppendLe32(out, 36 + dataBytes);
    text("WAVE");
    text("fmt ");
    AppendLe32(out, 16);
    AppendLe16(out, 1);                      // PCM
    AppendLe16(out, 2);                      // channels
    AppendLe32(out, kClipRate);
    AppendLe32(out, kClipRate * 2 * 2);      // bytes per second
    AppendLe16(out, 4);                      // bytes per frame
    AppendLe16(out, 16);                     // bits per sample
    text("data");
    AppendLe32(out, dataBytes);
    for (int16_t s : stereo) {
        AppendLe16(out, static_cast<uint16_t>(s));
    }
    return out;
}

}  // namespace resgen
