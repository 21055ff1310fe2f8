#include "shell/audio_out_manager.h"

#include "shell/logger.h"
#include "tests/shell/services_test_support.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace
{
void PutLe(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A PCM WAV, 16-bit stereo at 44100 Hz unless told otherwise: a square wave of the given length.
std::string MakeWav(int milliseconds, uint32_t rate = 44100, uint32_t channels = 2, uint32_t bits = 16)
{
    const uint32_t frames = uint32_t(uint64_t(rate) * uint32_t(milliseconds) / 1000u);
    const uint32_t frameBytes = channels * bits / 8;
    const uint32_t dataBytes = frames * frameBytes;
    std::string wav = "RIFF";
    PutLe(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);                  // format chunk size
    PutLe(wav, 1, 2);                   // PCM
    PutLe(wav, channels, 2);
    PutLe(wav, rate, 4);
    PutLe(wav, rate * frameBytes, 4);   // bytes per second
    PutLe(wav, frameBytes, 2);
    PutLe(wav, bits, 2);
    wav += "data";
    PutLe(wav, dataBytes, 4);
    for (uint32_t i = 0; i < frames; ++i)
    {
        // 8-bit samples are unsigned, wider ones signed.
        const uint32_t high = bits == 8 ? 0xC0 : 8000;
        const uint32_t low = bits == 8 ? 0x40 : uint16_t(-8000);
        for (uint32_t c = 0; c < channels; ++c)
            PutLe(wav, (i / 50) % 2 ? high : low, int(bits / 8));
    }
    return wav;
}

void PutBe(std::string& out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// An AIFF clip the mixer decodes: 8-bit mono at 8000 Hz, 0.1 s of a square wave.
std::string MakeAiff()
{
    std::string common;
    PutBe(common, 1, 2);      // channels
    PutBe(common, 800, 4);    // frames
    PutBe(common, 8, 2);      // bits per sample
    common += std::string("\x40\x0B\xFA\0\0\0\0\0\0\0", 10);  // 8000 as an 80-bit float
    std::string sound(8, '\0');  // offset and block size
    for (int i = 0; i < 800; ++i)
        sound.push_back(static_cast<char>((i / 50) % 2 ? 0x40 : 0xC0));
    std::string body = "AIFFCOMM";
    PutBe(body, uint32_t(common.size()), 4);
    body += common + "SSND";
    PutBe(body, uint32_t(sound.size()), 4);
    body += sound;
    std::string aiff = "FORM";
    PutBe(aiff, uint32_t(body.size()), 4);
    return aiff + body;
}

class AudioOutManagerTest : public testing::Test
{
protected:
    AudioOutManagerTest() { std::filesystem::create_directory(m_binary / "audio"); }
    ~AudioOutManagerTest() override { SDL_Quit(); }

    void AddClip(const std::string& name, int milliseconds = 1000)
    {
        WriteFile(m_binary / ("audio/" + name), MakeWav(milliseconds));
    }

    CTempFolder m_binary;
    CLogger m_log{2, "", nullptr};
};
}

TEST_F(AudioOutManagerTest, LoadsEveryFileOfTheAudioFolderByName)
{
    AddClip("hw_down.wav");
    AddClip("hw_up.WAV");
    AddClip("click.down.wav");
    WriteFile(m_binary / "audio/readme.txt", "not a sound");
    CAudioOutManager audio(true);
    ASSERT_TRUE(audio.IsOpen());
    audio.LoadAll(m_binary.Path(), &m_log);

    ASSERT_EQ(audio.GetSampleCount(), 4u);
    ASSERT_NE(audio.FindSample("hw_down"), nullptr);
    EXPECT_EQ(audio.FindSample("HW_DOWN"), audio.FindSample("hw_down"));
    ASSERT_NE(audio.FindSample("hw_up"), nullptr);
    EXPECT_NE(audio.FindSample("hw_up")->GetChunk(), nullptr);
    EXPECT_NE(audio.FindSample("click.down"), nullptr);
    ASSERT_NE(audio.FindSample("readme"), nullptr);
    EXPECT_EQ(audio.FindSample("readme")->GetChunk(), nullptr);
    EXPECT_EQ(audio.FindSample("hw_dow"), nullptr);

    const std::vector<std::string> lines = m_log.GetLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "[00:00:00] [AudioOutManager] Loading audios from \"" + m_binary.Path() +
                            "/audio\"");
    EXPECT_EQ(lines[2], "[00:00:00] [AudioOutManager] 3 files loaded");

    // A second load replaces the clips rather than adding to them.
    audio.LoadAll(m_binary.Path(), nullptr);
    EXPECT_EQ(audio.GetSampleCount(), 4u);
}

TEST_F(AudioOutManagerTest, ClipsPastTheirBoundsStaySilentAndFilesPastTheirCountAreNotRead)
{
    const size_t most = CAudioOutManager::kMostClips;
    std::vector<std::pair<std::string, std::string>> many;
    for (size_t i = 0; i <= most; ++i)
        many.emplace_back("note" + std::to_string(100 + i) + ".txt", "not a sound");
    const struct
    {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        size_t samples;
        // The line the log holds before the count, or none.
        std::string logged;
    } rows[] = {
        // 3 KB that the device would take as 529 KB.
        {"3 s at 1000 Hz", {{"long.wav", MakeWav(3000, 1000, 1, 8)}}, 1,
         "Not decoded: \"%s/long.wav\" plays 3 s, longer than a clip's 2 s"},
        {"1.5 s at 192 kHz", {{"fast.wav", MakeWav(1500, 192000, 1, 8)}}, 1,
         "Not decoded: \"%s/fast.wav\" holds 288000 samples, more than a clip's 192000"},
        {"1.1 s of 32-bit stereo at 48 kHz", {{"deep.wav", MakeWav(1100, 48000, 2, 32)}}, 1,
         "Not decoded: \"%s/deep.wav\" is larger than 384 KB"},
        {"an AIFF clip, no kind the program ships", {{"beep.aiff", MakeAiff()}}, 1, ""},
        {"one file past the count", many, most,
         "Not read: 1 of the " + std::to_string(most + 1) + " files in \"%s\", past " + std::to_string(most) +
             " files"},
    };
    for (const auto& row : rows)
    {
        CTempFolder binary;
        for (const auto& file : row.files)
            binary.Write("audio/" + file.first, file.second);
        CLogger log{2, "", nullptr};
        CAudioOutManager audio(true);
        ASSERT_TRUE(audio.IsOpen());
        audio.LoadAll(binary.Path(), &log);
        ASSERT_EQ(audio.GetSampleCount(), row.samples) << row.what;
        for (size_t i = 0; i < row.samples; ++i)
            EXPECT_EQ(audio.GetSample(i)->GetChunk(), nullptr) << row.what;
        const std::vector<std::string> lines = log.GetLines();
        std::string logged = row.logged;
        const size_t at = logged.find("%s");
        if (at != std::string::npos)
            logged.replace(at, 2, binary / "audio");
        // The logger's own line, the folder, the line of the row and the count, of none heard.
        ASSERT_EQ(lines.size(), logged.empty() ? 3u : 4u) << row.what;
        EXPECT_EQ(lines[2], logged.empty() ? lines[2] : "[00:00:00] [AudioOutManager] " + logged) << row.what;
        EXPECT_EQ(lines.back(), "[00:00:00] [AudioOutManager] 0 files loaded") << row.what;
    }
}

TEST_F(AudioOutManagerTest, PlaysOnAFreeChannelAndDropsWhatDoesNotFit)
{
    AddClip("hw_down.wav");
    AddClip("hw_up.wav");
    WriteFile(m_binary / "audio/readme.txt", "not a sound");
    CAudioOutManager audio(true);
    audio.LoadAll(m_binary.Path(), nullptr);

    EXPECT_FALSE(audio.Play("unknown"));
    EXPECT_FALSE(audio.Play("readme"));
    EXPECT_FALSE(audio.PlaySample(nullptr));
    EXPECT_EQ(Mix_Playing(-1), 0);

    EXPECT_TRUE(audio.Play("HW_DOWN"));
    EXPECT_TRUE(audio.Play("hw_up"));
    EXPECT_EQ(Mix_Playing(-1), 2);
    EXPECT_FALSE(audio.Play("hw_down"));  // both channels busy
    EXPECT_EQ(Mix_Playing(-1), 2);
}

TEST_F(AudioOutManagerTest, TheDeviceRestsAfterAQuietSpellAndWakesForTheNextClip)
{
    AddClip("hw_down.wav", 50);
    CAudioOutManager audio(true);
    audio.LoadAll(m_binary.Path(), nullptr);
    ASSERT_TRUE(audio.Play("hw_down"));
    // A clip still playing keeps the device awake however long the frame.
    audio.Tick(CAudioOutManager::kRestSeconds);
    EXPECT_FALSE(audio.IsResting());
    for (int i = 0; i < 3000 && Mix_Playing(-1) > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    audio.Tick(CAudioOutManager::kRestSeconds / 2);
    EXPECT_FALSE(audio.IsResting());
    audio.Tick(CAudioOutManager::kRestSeconds / 2);
    EXPECT_TRUE(audio.IsResting());
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);

    EXPECT_TRUE(audio.Play("hw_down"));
    EXPECT_FALSE(audio.IsResting());
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(AudioOutManagerTest, ADisabledPlayerStaysSilent)
{
    AddClip("hw_down.wav");
    CAudioOutManager audio(false);
    audio.LoadAll(m_binary.Path(), nullptr);
    EXPECT_FALSE(audio.Play("hw_down"));
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(AudioOutManagerTest, AMissingFolderLoadsNothing)
{
    CAudioOutManager audio(true);
    audio.LoadAll(m_binary / "elsewhere", &m_log);
    EXPECT_EQ(audio.GetSampleCount(), 0u);
    EXPECT_EQ(m_log.GetLines().back(), "[00:00:00] [AudioOutManager] 0 files loaded");
}

TEST_F(AudioOutManagerTest, DestructionClosesTheDevice)
{
    AddClip("hw_down.wav");
    {
        CAudioOutManager audio(true);
        audio.LoadAll(m_binary.Path(), nullptr);
        audio.Play("hw_down");
        EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 1);
    }
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
    // The device can be opened again afterwards.
    CAudioOutManager again(true);
    EXPECT_TRUE(again.IsOpen());
}

TEST_F(AudioOutManagerTest, WithoutAnAudioDeviceTheProgramGoesOnSilently)
{
    AddClip("hw_down.wav");
    CScopedEnv driver("SDL_AUDIODRIVER", "bogus");
    testing::internal::CaptureStdout();
    CAudioOutManager audio(true);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.rfind("Mix_OpenAudio: ", 0), 0u) << printed;
    EXPECT_FALSE(audio.IsOpen());

    audio.LoadAll(m_binary.Path(), &m_log);
    ASSERT_EQ(audio.GetSampleCount(), 1u);
    EXPECT_EQ(audio.GetSample(0)->GetChunk(), nullptr);
    EXPECT_FALSE(audio.Play("hw_down"));
    EXPECT_EQ(m_log.GetLines().back(), "[00:00:00] [AudioOutManager] 0 files loaded");
}

TEST_F(AudioOutManagerTest, EveryShippedClipIsMixedOnAFreeChannel)
{
    // The clips the build puts beside the executable, each played alone into the disk driver.
    const std::string binary = std::string(TANZO_BINARY_DIR) + "/bin";
    std::vector<std::string> clips;
    for (const auto& entry : std::filesystem::directory_iterator(binary + "/audio"))
        clips.push_back(entry.path().stem().string());
    ASSERT_GE(clips.size(), 4u);
    for (const std::string& clip : clips)
    {
        const std::string output = m_binary / (clip + ".raw");
        {
            CScopedEnv driver("SDL_AUDIODRIVER", "disk");
            CScopedEnv file("SDL_DISKAUDIOFILE", output.c_str());
            CAudioOutManager audio(true);
            ASSERT_TRUE(audio.IsOpen());
            audio.LoadAll(binary, nullptr);
            ASSERT_EQ(audio.GetSampleCount(), clips.size());
            ASSERT_NE(audio.FindSample(clip), nullptr) << clip;
            EXPECT_NE(audio.FindSample(clip)->GetChunk(), nullptr) << clip;
            ASSERT_TRUE(audio.Play(clip)) << clip;
            EXPECT_EQ(Mix_Playing(-1), 1);
            // The disk driver plays in real time; thirty seconds is a deadline for a busy machine.
            for (int i = 0; i < 3000 && Mix_Playing(-1) > 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_EQ(Mix_Playing(-1), 0) << clip;
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        std::ifstream in(output, std::ios::binary);
        const std::string mixed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t sounding = 0;
        for (size_t i = 0; i + 1 < mixed.size(); i += 2)
        {
            int16_t sample;
            std::memcpy(&sample, mixed.data() + i, 2);
            if (sample > 256 || sample < -256)
                ++sounding;
        }
        EXPECT_GT(sounding, 100u) << clip << ": " << mixed.size() << " bytes mixed";
    }
}
