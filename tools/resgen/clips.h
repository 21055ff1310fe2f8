#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

// The click clips as 44.1 kHz, 16-bit, stereo PCM WAV files, synthesised the same way every
// run (the noise comes from a fixed-seed generator).
constexpr int kClipRate = 44100;

// Interleaved left/right samples of a clip, by name; throws for a name it cannot make.
std::vector<int16_t> SynthesiseClip(const std::string& name);

// The complete RIFF/WAVE file for interleaved stereo samples.
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& stereo);

}  // namespace resgen
