#pragma once

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

    // The program's player while the application holds one, else null: the user interface plays
    // its clicks through it.
    static CAudioOutManager* GetProgramPlayer();
    static void SetProgramPlayer(CAudioOutManager* player);

    explicit CAudioOutManager(bool enabled);
    // Frees the clips and closes the audio device.
    ~CAudioOutManager();
    CAudioOutManager(const CAudioOutManager&) = delete;
    CAudioOutManager& operator=(const CAudioOutManager&) = delete;

    // Loads every file of binaryPath/audio, keeping the ones that do not decode as silent
    // samples; logs the folder and the count when a log is given.
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
