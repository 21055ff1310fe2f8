#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Mix_Chunk;
class CLogger;

// One click clip: its decoded chunk (none when the file could not be decoded) and its name,
// the file name without the part from its last '.' on.
class CAudioSample
{
public:
    CAudioSample(const std::string& name, Mix_Chunk* chunk) : m_chunk(chunk), m_name(name) {}
    ~CAudioSample();
    CAudioSample(const CAudioSample&) = delete;
    CAudioSample& operator=(const CAudioSample&) = delete;

    const std::string& GetName() const { return m_name; }
    Mix_Chunk* GetChunk() const { return m_chunk; }

private:
    Mix_Chunk* m_chunk;
    std::string m_name;
};

// The click-sound player: opens the audio device, loads every clip of the "audio" folder beside
// the executable, and plays a clip by name on a free mixer channel. Main thread only; the mixer
// plays on its own audio thread. Without an audio device the program stays silent. After a
// quiet spell the device rests (closed, its thread gone: an open device mixes silence dozens of
// times a second) and the next clip opens it again.
class CAudioOutManager
{
public:
    static constexpr int kFrequency = 44100;
    static constexpr int kOutputChannels = 2;
    static constexpr int kBufferFrames = 1024;
    static constexpr int kMixerChannels = 2;
    static constexpr float kRestSeconds = 5.0f;
    // A click is a fraction of a second: the four shipped clips are 2 to 23 KB, 0.01 to 0.13 s.
    // What the audio folder may cost, however many files it holds and whatever they declare: its
    // files are read in the order of their names, at most kMostClips of them, each of at most
    // kMaxClipBytes (2 s of 16-bit stereo at 48 kHz); only a WAV file is decoded (the one kind
    // shipped), and only once SDL's WAV reader, whose output is at most four times the file, has
    // found it to play at most kMaxClipSeconds in at most kMaxClipSamples (2 s of stereo at
    // 48 kHz). So a clip keeps at most 353 KB in the device format asked for (44.1 kHz, 16-bit,
    // stereo), all of them 5.6 MB, and each costs the main thread a few milliseconds.
    static constexpr size_t kMostClips = 16;
    static constexpr size_t kMaxClipBytes = 384 * 1024;
    static constexpr uint32_t kMaxClipSeconds = 2;
    static constexpr uint32_t kMaxClipSamples = 2 * 2 * 48000;

    // The program's player while the application holds one, else null: the user interface plays
    // its clicks through it.
    static CAudioOutManager* GetProgramPlayer();
    static void SetProgramPlayer(CAudioOutManager* player);

    explicit CAudioOutManager(bool enabled);
    // Frees the clips and closes the audio device.
    ~CAudioOutManager();
    CAudioOutManager(const CAudioOutManager&) = delete;
    CAudioOutManager& operator=(const CAudioOutManager&) = delete;

    // Loads the files of binaryPath/audio within the bounds above, keeping the ones that do not
    // decode as silent samples; logs the folder, the files refused or left unread and the count
    // of the clips decoded when a log is given.
    void LoadAll(const std::string& binaryPath, CLogger* log);
    // Plays the clip once; false when it is unknown, silent, disabled or both channels are busy.
    bool Play(const std::string& name);
    bool PlaySample(const CAudioSample* sample);
    // The first sample of that name, ignoring the case of ASCII letters.
    CAudioSample* FindSample(const std::string& name) const;
    void Clear();
    // Once a frame: counts the time nothing has played and lets the device rest after
    // kRestSeconds of it.
    void Tick(float seconds);

    bool IsOpen() const { return m_open; }
    bool IsResting() const { return m_resting; }
    bool IsEnabled() const { return m_enabled; }
    size_t GetSampleCount() const { return m_samples.size(); }
    const CAudioSample* GetSample(size_t index) const { return m_samples[index].get(); }

private:
    // Opens the device again for a clip; false when it cannot be had.
    bool Wake();

    std::vector<std::unique_ptr<CAudioSample>> m_samples;
    bool m_enabled;
    bool m_open = false;
    bool m_resting = false;
    float m_quiet = 0.0f;
    // What the clips were decoded for, and where they came from.
    int m_frequency = 0;
    int m_channels = 0;
    std::string m_binaryPath;
};
