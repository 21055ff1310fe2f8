// The model against the stand-in controller, run as its own process on loopback: the playbacks
// and cues mirror the controller, and setters go out and come back. Only ever in a private
// network namespace with nothing but loopback (ctest runs there); anywhere else the cases skip.
#include "model/core.h"

#include "model/cue.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "tests/model/playback_test_support.h"
#include "tests/model/standin_process.h"
#include "tests/support/test_folder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

using patchtest::CStandinProcess;

namespace
{
const CIpAddress kUnit(127, 0, 0, 2);

// The stand-in's digest of a patch it was never sent: 64 untouched fixture slots.
CDigest UntouchedPatchDigest()
{
    CDigestBuilder patch;
    for (int slot = 0; slot < 64; ++slot)
    {
        CDigestBuilder fixture;
        fixture.AddString("\"\",\"\",\"\",\"\"");
        fixture.AddString("");
        fixture.AddUnsigned(0);
        for (int flag = 0; flag < 4; ++flag)
            fixture.AddInt(0);
        patch.AddDigest(fixture.GetDigest());
    }
    return patch.GetDigest();
}

class MirrorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!InPrivateNamespace())
            GTEST_SKIP() << "runs only in a private network namespace with nothing but loopback";
        std::string error;
        ASSERT_TRUE(standin.Start({}, error)) << error;
    }

    void TearDown() override
    {
        core.reset();
        standin.Stop();
    }

    void Create()
    {
        CCoreSetup setup;
        setup.link.broadcastTargets = std::vector<CIpAddress>{kUnit};
        setup.link.port = standin.GetLinkPort();
        setup.optionsFolder = folder.Path();
        core = CCore::Create(0, nullptr, setup);
        playbacks = core->GetPlaybackManager();
    }

    // Runs frames of the model until the condition holds (true) or thirty seconds have passed: a
    // deadline for a very busy machine only.
    bool Run(const std::function<bool()>& condition)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < end)
        {
            core->Update(0.04f);
            if (condition())
                return true;
            SDL_Delay(2);
        }
        return false;
    }
    // Until nothing is queued for a while and every reply has been applied: the model then
    // holds what the controller holds. An empty queue alone does not say so, as the last
    // acknowledgement leaves the queue before the tick applies it and the controller's Notifies
    // follow their acknowledgements; the quiet frames give a Notify told twice time to show.
    bool Settle()
    {
        int quiet = 0;
        return Run([&] {
            quiet = core->GetDeviceManager()->GetQueueLength() == 0 ? quiet + 1 : 0;
            return quiet > 30 && standin.Command("digest") == "ok " + ModelDigest();
        });
    }
    void Connect()
    {
        core->GetDeviceManager()->SetConnectedAddress(kUnit);
        ASSERT_TRUE(Settle());
    }

    // The model's playbacks beside an untouched patch, digested as the stand-in does its show.
    std::string ModelDigest() const
    {
        CDigestBuilder model;
        model.AddDigest(UntouchedPatchDigest());
        model.AddDigest(playbacks->GetDigest());
        return model.GetDigest().ToString();
    }

    void ExpectSameDigest()
    {
        const std::string reply = standin.Command("digest");
        ASSERT_EQ(reply.rfind("ok ", 0), 0u) << reply;
        EXPECT_EQ(ModelDigest(), reply.substr(3));
    }

    CTempFolder folder;
    CStandinProcess standin;
    std::unique_ptr<CCore> core;
    CPlaybackManager* playbacks = nullptr;
};
}  // namespace

TEST_F(MirrorTest, ChoosingTheControllerFillsPlaybacksAndCues)
{
    for (const char* command :
         {"playback 3 label Intro", "playback 3 intensity 0.5", "playback 3 speed -0.25", "playback 3 repeat 1",
          "playback 3 gomode 2", "playback 3 background on", "playback 3 count 2", "cue 3 1 label Look",
          "cue 3 1 condition 1", "cue 3 1 fade 1500", "cue 3 1 delay 250", "cue 3 1 fill 1 7",
          "playback 63 label Last"})
        ASSERT_EQ(standin.Command(command), "ok") << command;
    Create();
    Connect();

    const CPlayback* intro = playbacks->GetPlayback(3);
    EXPECT_EQ(intro->GetLabel(), "Intro");
    EXPECT_FLOAT_EQ(intro->GetIntensity(), 0.5f);
    EXPECT_FLOAT_EQ(intro->GetSpeed(), -0.25f);
    EXPECT_EQ(intro->GetRepeat(), 1u);
    EXPECT_EQ(intro->GetGoMode(), 2u);
    EXPECT_TRUE(intro->GetBackground());
    EXPECT_FALSE(intro->GetExclusive());
    EXPECT_EQ(playbacks->GetPlayback(63)->GetLabel(), "Last");
    ASSERT_EQ(intro->GetCueCount(), 2u);
    const CCue* look = intro->GetCue(1);
    EXPECT_EQ(look->GetLabel(), "Look");
    EXPECT_EQ(look->GetCondition(), 1u);
    EXPECT_EQ(look->GetFadeTime().GetMilliseconds(), 1500u);
    EXPECT_EQ(look->GetDelayTime().GetMilliseconds(), 250u);
    // Block 1 filled: the records of slots 16 to 31, every attribute group.
    EXPECT_EQ(look->GetFixtureMask(), 0xFFFF0000u);
    EXPECT_EQ(look->GetAttributeMask(), 0x1FFFFu);
    EXPECT_EQ(look->GetBlock(1)[0], 7);
    EXPECT_TRUE(intro->GetCue(0)->IsEmpty());
    // The unions follow within a second.
    ASSERT_TRUE(Run([&] { return intro->GetFixtureMask() == 0xFFFF0000u; }));
    EXPECT_EQ(intro->GetAttributeMask(), 0x1FFFFu);
    ExpectSameDigest();
}

TEST_F(MirrorTest, ASetterReachesTheControllerAndComesBackOnce)
{
    Create();
    Connect();
    CPlayback* playback = playbacks->GetPlayback(4);
    CCodeRecorder observer;
    observer.Observe(playback);

    playback->SetLabel("Fader");
    playback->SetExclusive(true);
    ASSERT_TRUE(Run([&] { return playback->GetLabel() == "Fader" && playback->GetExclusive(); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_LABEL), 1u);
    EXPECT_EQ(standin.Field("show playback 4", "exclusive"), "1");
    EXPECT_EQ(standin.Field("show playback 4", "label"), "Fader");

    // A fader dragged through many values while the link is busy ends on the last one.
    for (int step = 1; step <= 20; ++step)
        playback->SetIntensity(step / 40.0f);
    ASSERT_TRUE(Run([&] { return playback->GetIntensity() == 0.5f; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(standin.Field("show playback 4", "intensity"), "0.5");
    ExpectSameDigest();
}

TEST_F(MirrorTest, ChangesMadeOnTheControllerReachTheModel)
{
    Create();
    Connect();
    CCodeRecorder observer;
    observer.Observe(playbacks->GetPlayback(5));
    ASSERT_EQ(standin.Command("playback 5 label Remote"), "ok");
    ASSERT_EQ(standin.Command("playback 5 count 1"), "ok");
    ASSERT_TRUE(Run([&] { return playbacks->GetPlayback(5)->GetCueCount() == 1; }));
    ASSERT_EQ(standin.Command("cue 5 0 fill 0 3"), "ok");
    ASSERT_TRUE(Run([&] { return playbacks->GetPlayback(5)->GetCue(0)->GetFixtureMask() == 0xFFFFu; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(playbacks->GetPlayback(5)->GetLabel(), "Remote");
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_LABEL), 1u);
    ExpectSameDigest();
}

TEST_F(MirrorTest, CueListsAreEditedThroughTheController)
{
    Create();
    Connect();
    CPlayback* playback = playbacks->GetPlayback(7);
    // One at a time: two Adds still queued would be one record.
    playback->AddCue(CPlayback::kAtEnd);
    ASSERT_TRUE(Run([&] { return playback->GetCueCount() == 1; }));
    playback->AddCue(CPlayback::kAtEnd);
    ASSERT_TRUE(Run([&] { return playback->GetCueCount() == 2; }));
    playback->SetCueLabel(0, 2, "Both");
    playback->SetCueFadeTime(1, 1, CTime(2.5));
    ASSERT_TRUE(Run([&] { return playback->GetCue(1)->GetFadeTime().GetMilliseconds() == 2500; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(playback->GetCue(0)->GetLabel(), "Both");
    EXPECT_EQ(playback->GetCue(1)->GetLabel(), "Both");
    playback->RemoveCues(0, 1);
    ASSERT_TRUE(Run([&] { return playback->GetCueCount() == 1; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(standin.Field("show playback 7", "cues"), "1");
    ExpectSameDigest();
}

TEST_F(MirrorTest, SwapAndReleaseGoThroughTheController)
{
    ASSERT_EQ(standin.Command("playback 3 label Three"), "ok");
    ASSERT_EQ(standin.Command("playback 3 count 2"), "ok");
    ASSERT_EQ(standin.Command("cue 3 0 label First"), "ok");
    Create();
    Connect();
    playbacks->ToggleMode(CPlaybackManager::kModeSwap);
    playbacks->SwapPlaybacks(3, 5);
    // The model itself changes nothing until the controller reports.
    EXPECT_EQ(playbacks->GetPlayback(5)->GetLabel(), "");
    ASSERT_TRUE(Run([&] { return playbacks->GetPlayback(5)->GetLabel() == "Three"; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(playbacks->GetPlayback(3)->GetLabel(), "");
    EXPECT_EQ(playbacks->GetPlayback(3)->GetCueCount(), 0u);
    ASSERT_EQ(playbacks->GetPlayback(5)->GetCueCount(), 2u);
    EXPECT_EQ(playbacks->GetPlayback(5)->GetCue(0)->GetLabel(), "First");

    playbacks->ReleaseAll();
    EXPECT_EQ(playbacks->GetMode(), CPlaybackManager::kModeNone);
    playbacks->SetPage(-1);
    EXPECT_EQ(playbacks->GetPage(), 7u);
    ASSERT_TRUE(Settle());
    ExpectSameDigest();
}

