#include "shell/audio_out_manager.h"

#include "foundation/ascii.h"
#include "foundation/file_helpers.h"
#include "shell/logger.h"
#include "shell/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>

CAudioSample::~CAudioSample()
{
    // Halts any channel still playing it.
    if (m_chunk)
        Mix_FreeChunk(m_chunk);
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
}

CAudioOutManager::~CAudioOutManager()
{
    Clear();
    if (m_open)
        Mix_CloseAudio();
}

void CAudioOutManager::LoadAll(const std::string& binaryPath, CLogger* log)
{
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
    return Mix_PlayChannelTimed(-1, sample->GetChunk(), 0, -1) >= 0;
}

void CAudioOutManager::Clear()
{
    m_samples.clear();
}
