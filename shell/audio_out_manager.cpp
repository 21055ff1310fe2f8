#include "shell/audio_out_manager.h"

#include "foundation/ascii.h"
#include "foundation/file_helpers.h"
#include "shell/logger.h"
#include "shell/platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
// The mixer library is opened by the first player made, not linked: with the codecs it pulls in
// it is fourteen more libraries and thousands of symbols to bind, which would hold up every start
// before the window shows anything (the application makes its player after the first frame).
struct CMixer
{
    decltype(&Mix_OpenAudio) openAudio = nullptr;
    decltype(&Mix_AllocateChannels) allocateChannels = nullptr;
    decltype(&Mix_QuerySpec) querySpec = nullptr;
    decltype(&Mix_CloseAudio) closeAudio = nullptr;
    decltype(&Mix_Playing) playing = nullptr;
    decltype(&Mix_LoadWAV_RW) loadWav = nullptr;
    decltype(&Mix_FreeChunk) freeChunk = nullptr;
    decltype(&Mix_PlayChannelTimed) playChannel = nullptr;
    // Why the library could not be had; empty when it was.
    std::string problem;

    static const CMixer& Get()
    {
        static const CMixer mixer = Open();
        return mixer;
    }

private:
    template <typename Function>
    static void Find(void* library, const char* name, Function& function, std::string& problem)
    {
        function = reinterpret_cast<Function>(dlsym(library, name));
        if (!function && problem.empty())
            problem = std::string("no ") + name + " in " + kLibrary;
    }

    static CMixer Open()
    {
        CMixer mixer;
        void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!library)
        {
            const char* error = dlerror();
            mixer.problem = error ? error : kLibrary;
            return mixer;
        }
        Find(library, "Mix_OpenAudio", mixer.openAudio, mixer.problem);
        Find(library, "Mix_AllocateChannels", mixer.allocateChannels, mixer.problem);
        Find(library, "Mix_QuerySpec", mixer.querySpec, mixer.problem);
        Find(library, "Mix_CloseAudio", mixer.closeAudio, mixer.problem);
        Find(library, "Mix_Playing", mixer.playing, mixer.problem);
        Find(library, "Mix_LoadWAV_RW", mixer.loadWav, mixer.problem);
        Find(library, "Mix_FreeChunk", mixer.freeChunk, mixer.problem);
        Find(library, "Mix_PlayChannelTimed", mixer.playChannel, mixer.problem);
        return mixer;
    }

    static constexpr const char* kLibrary = "libSDL2_mixer-2.0.so.0";
};

// The device cannot be opened without the library: said as a failed opening is.
bool OpenAudio(int frequency, int channels, int bufferFrames)
{
    const CMixer& mixer = CMixer::Get();
    if (!mixer.problem.empty())
    {
        SDL_SetError("%s", mixer.problem.c_str());
        return false;
    }
    return mixer.openAudio(frequency, AUDIO_S16LSB, channels, bufferFrames) == 0;
}
}

namespace
{
CAudioOutManager* g_programPlayer = nullptr;

// The clip of the file decoded for the open device, or none: with why when the file is refused
// for the bounds beside the player's constants (a file SDL's WAV reader cannot read stays silent
// unsaid, as it always has).
Mix_Chunk* LoadClip(const std::string& path, std::string& why)
{
    // Read through the one safe open: a pipe among the clips would hold the start for ever.
    std::string bytes;
    int error = 0;
    const FileReadStatus read = ReadFileBounded(path, CAudioOutManager::kMaxClipBytes, bytes, error);
    if (read == FileReadStatus::kTooLarge)
        why = "is larger than " + std::to_string(CAudioOutManager::kMaxClipBytes / 1024) + " KB";
    if (read != FileReadStatus::kRead || !CMixer::Get().problem.empty())
        return nullptr;
    // The mixer hands a RIFF file to SDL's WAV reader and converts what it gives for the device;
    // read first alone, it tells how long the clip plays at no more cost than its file's bytes.
    SDL_AudioSpec clip;
    Uint8* sound = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1, &clip, &sound, &length))
        return nullptr;
    SDL_FreeWAV(sound);
    const uint64_t samples = length / std::max(1, SDL_AUDIO_BITSIZE(clip.format) / 8);
    const uint64_t frames = samples / std::max<uint64_t>(1, clip.channels);
    if (frames > uint64_t(CAudioOutManager::kMaxClipSeconds) * uint64_t(clip.freq))
        why = "plays " + std::to_string(frames / uint64_t(clip.freq)) + " s, longer than a clip's " +
              std::to_string(CAudioOutManager::kMaxClipSeconds) + " s";
    else if (samples > CAudioOutManager::kMaxClipSamples)
        why = "holds " + std::to_string(samples) + " samples, more than a clip's " +
              std::to_string(CAudioOutManager::kMaxClipSamples);
    if (!why.empty())
        return nullptr;
    // The source is closed here rather than by the mixer, which does not close it on every path
    // when a file is not a clip it can decode.
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (!source)
        return nullptr;
    Mix_Chunk* chunk = CMixer::Get().loadWav(source, 0);
    SDL_RWclose(source);
    return chunk;
}
}

CAudioSample::~CAudioSample()
{
    // Halts any channel still playing it.
    if (m_chunk)
        CMixer::Get().freeChunk(m_chunk);
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
    if (!OpenAudio(kFrequency, kOutputChannels, kBufferFrames))
    {
        std::printf("Mix_OpenAudio: %s\n", SDL_GetError());
        std::fflush(stdout);
        return;
    }
    m_open = true;
    CMixer::Get().allocateChannels(kMixerChannels);
    CMixer::Get().querySpec(&m_frequency, nullptr, &m_channels);
}

CAudioOutManager::~CAudioOutManager()
{
    Clear();
    if (m_open && !m_resting)
        CMixer::Get().closeAudio();
}

void CAudioOutManager::Tick(float seconds)
{
    if (!m_open || m_resting)
        return;
    if (CMixer::Get().playing(-1) > 0)
    {
        m_quiet = 0.0f;
        return;
    }
    m_quiet += seconds;
    if (m_quiet < kRestSeconds)
        return;
    CMixer::Get().closeAudio();
    // The audio subsystem goes too, with whatever thread its driver keeps to watch for devices.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_resting = true;
}

bool CAudioOutManager::Wake()
{
    if (!OpenAudio(kFrequency, kOutputChannels, kBufferFrames))
        return false;
    m_resting = false;
    m_quiet = 0.0f;
    CMixer::Get().allocateChannels(kMixerChannels);
    int frequency = 0;
    int channels = 0;
    CMixer::Get().querySpec(&frequency, nullptr, &channels);
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
    const size_t left = ListFirstFiles(folder, "*.*", kMostClips, files);
    // A file kept as a silent sample is no clip loaded: the count says what can be heard.
    size_t loaded = 0;
    for (const std::string& file : files)
    {
        std::string why;
        Mix_Chunk* chunk = LoadClip(file, why);
        if (log && !why.empty())
            log->Log("AudioOutManager", "Not decoded: \"" + file + "\" " + why, 1);
        if (chunk)
            ++loaded;
        // hw_down.wav gives hw_down, click.down.wav gives click.down.
        m_samples.push_back(std::make_unique<CAudioSample>(RemoveExtension(FileNameOf(file)), chunk));
    }
    if (log && left > 0)
        log->Log("AudioOutManager",
                 DescribeLeft(folder, left, left + files.size(), "files", std::to_string(kMostClips) + " files"), 1);
    if (log)
        log->Log("AudioOutManager", std::to_string(loaded) + " files loaded", 1);
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
    return CMixer::Get().playChannel(-1, sample->GetChunk(), 0, -1) >= 0;
}

void CAudioOutManager::Clear()
{
    m_samples.clear();
}
