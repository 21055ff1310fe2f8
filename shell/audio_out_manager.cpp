#include "shell/audio_out_manager.h"

#include "foundation/ascii.h"
#include "foundation/file_helpers.h"
#include "shell/logger.h"
#include "shell/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>

namespace
{
CAudioOutManager* g_programPlayer = nullptr;
}

CAudioSample::~CAudioSample()
{
    // Halts any channel still playing it.
    if (m_chunk)
        Mix_FreeChunk(m_chunk);
}

CAudioOutManager* CAudioOutManager::GetProgramPlayer()
{
    return g_programPlayer;
}

void CAudioOutManager::SetProgramPlayer(CAudioOutManager* player)
{
    g_programPlayer = player;
}

CAudioOutManager::CAudioOutManager(bool enabled) : m_enabled(enabled)
{
    if (Mix_OpenAudio(kFrequency, AUDIO_S16LSB, kOutputChannels, kBufferFrames) != 0)
    {
        std::printf("Mix_OpenAudio: %s\n", SDL_GetError());
        std::fflush(stdout);
        return;
    }
    m_open = true;
    Mix_AllocateChannels(kMixerChannels);
    Mix_QuerySpec(&m_frequency, nullptr, &m_channels);
}

CAudioOutManager::~CAudioOutManager()
{
    Clear();
    if (m_open && !m_resting)
        Mix_CloseAudio();
}

void CAudioOutManager::Tick(float seconds)
{
    if (!m_open || m_resting)
        return;
    if (Mix_Playing(-1) > 0)
    {
        m_quiet = 0.0f;
        return;
    }
    m_quiet += seconds;
    if (m_quiet < kRestSeconds)
        return;
    Mix_CloseAudio();
    // The audio subsystem goes too, with whatever thread its driver keeps to watch for devices.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_resting = true;
}

bool CAudioOutManager::Wake()
{
    if (Mix_OpenAudio(kFrequency, AUDIO_S16LSB, kOutputChannels, kBufferFrames) != 0)
        return false;
    m_resting = false;
    m_quiet = 0.0f;
    Mix_AllocateChannels(kMixerChannels);
    int frequency = 0;
    int channels = 0;
    Mix_QuerySpec(&frequency, nullptr, &channels);
    // Another device now (one plugged in meanwhile): the clips are decoded again for it.
    if (frequency != m_frequency || channels != m_channels)
    {
        m_frequency = frequency;
        m_channels = channels;
        LoadAll(m_binaryPath, nullptr);
    }
    return true;
}

void CAudioOutManager::LoadAll(const std::string& binaryPath, CLogger* log)
{
    m_binaryPath = binaryPath;
    const std::string folder = JoinPath(binaryPath, "audio");
    if (log)
        log->Log("AudioOutManager", "Loading audios from \"" + folder + "\"", 1);
    Clear();

    std::vector<std::string> files;
    ListDirectory(folder, "*.*", files, true);
    for (const std::string& path : files)
    {
        // The source is closed here rather than by the mixer, which does not close it on
        // every path when a file is not a clip it can decode.
        SDL_RWops* source = SDL_RWFromFile(path.c_str(), "rb");
        Mix_Chunk* chunk = nullptr;
        if (source)
        {
            chunk = Mix_LoadWAV_RW(source, 0);
            SDL_RWclose(source);
        }
        // hw_down.wav gives hw_down, click.down.wav gives click.down.
        m_samples.push_back(std::make_unique<CAudioSample>(RemoveExtension(FileNameOf(path)), chunk));
    }
    if (log)
        log->Log("AudioOutManager", std::to_string(m_samples.size()) + " files loaded", 1);
}

CAudioSample* CAudioOutManager::FindSample(const std::string& name) const
{
    for (const auto& sample : m_samples)
        if (EqualIgnoringAsciiCase(sample->GetName(), name))
            return sample.get();
    return nullptr;
}

bool CAudioOutManager::Play(const std::string& name)
{
    return PlaySample(FindSample(name));
}

bool CAudioOutManager::PlaySample(const CAudioSample* sample)
{
    if (!sample || !m_enabled || !sample->GetChunk())
        return false;
    if (m_resting)
    {
        // The clips may be decoded again on waking: the sample is found anew by its name.
        const std::string name = sample->GetName();
        if (!Wake() || !(sample = FindSample(name)) || !sample->GetChunk())
            return false;
    }
    m_quiet = 0.0f;
    return Mix_PlayChannelTimed(-1, sample->GetChunk(), 0, -1) >= 0;
}

void CAudioOutManager::Clear()
{
    m_samples.clear();
}
