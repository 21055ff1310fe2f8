#include "model/core.h"

#include "foundation/colour.h"
#include "link/message_frame.h"
#include "model/cue.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/programmer.h"
#include "model/programmer_change.h"
#include "tests/model/playback_test_support.h"
#include "tests/support/silent_network.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace
{
// What the model root hands the language manager and the hint list.
class CLanguageRecorder : public COptionsLanguage
{
public:
    void SetLanguage(const std::string& name) override { names.push_back(name); }
    std::vector<std::string> names;
};

class CHintRecorder : public COptionsHints
{
public:
    explicit CHintRecorder(std::vector<int32_t>& hidden) : m_hidden(hidden) {}
    void DisableExplanation(int32_t id) override { m_hidden.push_back(id); }

private:
    std::vector<int32_t>& m_hidden;
};

const CIpAddress kController(10, 0, 0, 9);

class CoreTest : public ::testing::Test
{
protected:
    void TearDown() override { core.reset(); }

    void Create()
    {
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = folder.Path();
        setup.language = &language;
        setup.createExplanations = [this](COptions& options) -> std::unique_ptr<COptionsHints> {
            hintOptions = &options;
            return std::make_unique<CHintRecorder>(hidden);
        };
        core = CCore::Create(0, nullptr, setup);
    }

    // A frame from the controller, taken in by a pass of the link.
    void Receive(const CMessage& message)
    {
        std::vector<uint8_t> frame;
        ASSERT_TRUE(CMessageFrame::Encode(message, frame));
        network.Arrive(kController, frame);
        core->GetDeviceManager()->Pass(0);
    }
    // The reply as the answer to its own read, the only record in flight.
    void Answer(CMessage reply)
    {
        CDeviceManager& link = *core->GetDeviceManager();
        link.ClearQueue();
        CMessage read(reply.GetManager(), reply.GetCommand());
        read.SetIndex0(reply.GetIndex0());
        ASSERT_TRUE(link.QueueMessage(read));
        network.sent.clear();
        link.Pass(0);
        CMessage head;
        ASSERT_EQ(network.sent.size(), 1u);
        ASSERT_TRUE(CMessageFrame::Decode(network.sent[0].data(), network.sent[0].size(), head));
        reply.SetSequence(head.GetSequence());
        Receive(reply);
    }

    std::string ReadOptions() const
    {
        std::ifstream in(folder / "options.xml");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    CTempFolder folder;
    CSilentNetwork network;
    CLanguageRecorder language;
    std::vector<int32_t> hidden;
    COptions* hintOptions = nullptr;
    std::unique_ptr<CCore> core;
};
}  // namespace

TEST_F(CoreTest, TheHintListRecordsIntoTheModelRootsOptions)
{
    Create();
    EXPECT_EQ(hintOptions, core->GetOptions());
    EXPECT_NE(core->GetExplanations(), nullptr);
}

TEST_F(CoreTest, ChoosingAControllerOrLosingNotificationsMakesEveryPlaybackAskForItsValues)
{
    Create();
    // With no controller chosen the requests are made but dropped.
    core->Resync();
    EXPECT_EQ(core->GetDeviceManager()->GetQueueLength(), 0u);

    CDeviceManager& link = *core->GetDeviceManager();
    link.SetConnectedAddress(kController);
    // Four requests from each playback at least; the other managers add theirs.
    EXPECT_GE(link.GetQueueLength(), 64u * 4u);

    // Notifications that may have been lost: each playback asks for its cue count too, whose
    // answer reads its cues.
    link.ClearQueue();
    core->OnNotificationsLost();
    for (uint32_t playback = 0; playback < CPlaybackManager::kPlaybackCount; ++playback)
    {
        for (const uint32_t command : {COMMAND_GET_LABEL, COMMAND_GET_COUNT})
        {
            CMessage read(MANAGER_PLAYBACK, command);
            read.SetIndex0(playback);
            EXPECT_TRUE(link.IsWaiting(read)) << playback << " " << command;
        }
    }
}

TEST_F(CoreTest, ARepliesFrameIsSeenByThePlaybacksOfTheSameFrame)
{
    Create();
    core->GetDeviceManager()->SetConnectedAddress(kController);
    // The count answers the record in flight: one that answers nothing sent is not taken.
    CMessage count(MANAGER_PLAYBACK, COMMAND_GET_COUNT);
    count.SetIndex0(6);
    count.SetValue(CMessageValue(uint32_t(1)));
    Answer(count);
    core->Update(0.04f);
    CMessage highlight(MANAGER_CUE, COMMAND_NOTIFY);
    highlight.SetIndex0(6);
    highlight.SetValue(CMessageValue(uint32_t(107)));
    Receive(highlight);
    core->Update(0.04f);
    // The cue started its highlight and ran one frame of it in the tick that applied the reply.
    ASSERT_EQ(core->GetPlaybackManager()->GetPlayback(6)->GetCueCount(), 1u);
    EXPECT_FLOAT_EQ(core->GetPlaybackManager()->GetPlayback(6)->GetCue(0)->GetHighlight(), 0.96f);
}

TEST_F(CoreTest, AReplyThatAnswersNoReadIsNoValue)
{
    Create();
    core->GetDeviceManager()->SetConnectedAddress(kController);
    CMessage count(MANAGER_PLAYBACK, COMMAND_GET_COUNT);
    count.SetIndex0(2);
    count.SetValue(CMessageValue(uint32_t(1)));
    Answer(count);
    core->Update(0.04f);
    auto reply = [](uint32_t manager, uint32_t command, uint32_t index0, CMessageValue value) {
        CMessage message(manager, command);
        message.SetIndex0(index0);
        message.SetValue(value);
        return message;
    };
    CPlayback& playback = *core->GetPlaybackManager()->GetPlayback(2);
    ASSERT_EQ(playback.GetCueCount(), 1u);
    const struct
    {
        const char* what;
        CMessage reply;
        std::function<std::string()> shown;
    } rows[] = {
        {"a playback's label", reply(MANAGER_PLAYBACK, COMMAND_GET_LABEL, 2, CMessageValue("Forged")),
         [&] { return playback.GetLabel(); }},
        {"a cue's label", reply(MANAGER_CUE, COMMAND_GET_LABEL, 2, CMessageValue("Forged")),
         [&] { return playback.GetCue(0)->GetLabel(); }},
        {"a fixture's label", reply(MANAGER_FIXTURE, COMMAND_GET_LABEL, 1, CMessageValue("Forged")),
         [&] { return core->GetFixtureManager()->GetFixture(1)->GetLabel(); }},
        {"the programmer's playback", reply(MANAGER_PROGRAMMER, COMMAND_GET_PLAYBACK, 0, CMessageValue(7u)),
         [&] { return std::to_string(core->GetProgrammer()->GetPlayback()); }},
    };
    for (const auto& row : rows)
    {
        const std::string before = row.shown();
        // Nothing is in flight: it answers nothing. Nor does a frame of another target with the
        // number of a read in flight.
        core->GetDeviceManager()->ClearQueue();
        Receive(row.reply);
        core->Update(0.04f);
        EXPECT_EQ(row.shown(), before) << row.what;
        CMessage other(MANAGER_PLAYBACK, COMMAND_GET_SPEED);
        other.SetIndex0(3);
        ASSERT_TRUE(core->GetDeviceManager()->QueueMessage(other));
        network.sent.clear();
        core->GetDeviceManager()->Pass(0);
        ASSERT_EQ(network.sent.size(), 1u);
        ASSERT_TRUE(CMessageFrame::Decode(network.sent[0].data(), network.sent[0].size(), other));
        CMessage completing = row.reply;
        completing.SetSequence(other.GetSequence());
        Receive(completing);
        core->Update(0.04f);
        EXPECT_EQ(row.shown(), before) << row.what;
        // The answer to its own read is taken.
        Answer(row.reply);
        core->Update(0.04f);
        EXPECT_NE(row.shown(), before) << row.what;
    }

    // A count that answers nothing is not taken either, but one that differs from the list may be
    // the controller's answer come late: the model root hands it to the playback, which reads its
    // count again.
    core->GetDeviceManager()->ClearQueue();
    Receive(reply(MANAGER_PLAYBACK, COMMAND_GET_COUNT, 2, CMessageValue(uint32_t(3))));
    core->Update(0.04f);
    EXPECT_EQ(playback.GetCueCount(), 1u);
    network.sent.clear();
    core->GetDeviceManager()->Pass(0);
    ASSERT_EQ(network.sent.size(), 1u);
    CMessage asked;
    ASSERT_TRUE(CMessageFrame::Decode(network.sent[0].data(), network.sent[0].size(), asked));
    EXPECT_TRUE(asked.IsSameTarget(count));
}

TEST_F(CoreTest, EngineRepliesChangeNothing)
{
    Create();
    core->GetDeviceManager()->SetConnectedAddress(kController);
    core->GetDeviceManager()->ClearQueue();
    const CDigest before = core->ComputeDigest();
    core->RequestDigest();
    EXPECT_EQ(core->GetDeviceManager()->GetQueueLength(), 1u);
    CMessage digest(MANAGER_ENGINE, COMMAND_GET_DIGEST);
    digest.SetValue(CMessageValue(CDigest()));
    Receive(digest);
    core->Update(0.04f);
    EXPECT_EQ(core->ComputeDigest(), before);
    EXPECT_LE(core->GetDeviceManager()->GetQueueLength(), 1u);
}

TEST_F(CoreTest, TheChosenControllerLockLanguageAndHiddenHintsSurviveARestart)
{
    Create();
    EXPECT_TRUE(language.names.empty());
    CDeviceManager* link = core->GetDeviceManager();
    link->SetConnectedAddress(kController);
    const size_t resyncRequests = link->GetQueueLength();
    link->SetLocked(true);
    core->GetOptions()->SetLanguage("Deutsch");
    core->GetOptions()->AddIgnoredExplanation(12);
    EXPECT_EQ(core->GetOptions()->GetDevice(), kController);
    EXPECT_TRUE(core->GetOptions()->GetLock());
    // Shutdown writes what the five-second rhythm has not.
    core.reset();
    EXPECT_NE(ReadOptions().find("<device lock=\"true\">10.0.0.9</device>"), std::string::npos) << ReadOptions();

    language.names.clear();
    Create();
    link = core->GetDeviceManager();
    EXPECT_EQ(link->GetConnectedAddress(), kController);
    EXPECT_TRUE(link->IsLocked());
    EXPECT_EQ(language.names, std::vector<std::string>{"Deutsch"});
    EXPECT_EQ(hidden, std::vector<int32_t>{12});
    // Reading the file chose the controller, so the model asks it for everything.
    EXPECT_EQ(link->GetQueueLength(), resyncRequests);
    // Locked: another choice changes nothing, in the link or in the file.
    link->SetConnectedAddress(CIpAddress(10, 0, 0, 10));
    EXPECT_EQ(core->GetOptions()->GetDevice(), kController);
    EXPECT_FALSE(core->GetOptions()->IsModified());
}

TEST_F(CoreTest, AnAbortedLoadForgetsWhatTheValuesItTookBackAsked)
{
    Create();
    CDeviceManager& link = *core->GetDeviceManager();
    link.SetConnectedAddress(kController);
    // The controller holds what the mirror starts with: no option, go mode Go, no colour.
    CFixture& fixture = *core->GetFixtureManager()->GetFixture(9);
    CFixture& sent = *core->GetFixtureManager()->GetFixture(8);
    CPlayback& playback = *core->GetPlaybackManager()->GetPlayback(3);
    CPlayback& operatorsOwn = *core->GetPlaybackManager()->GetPlayback(5);
    const CProgrammerChange& colour = *core->GetProgrammer()->GetChange(GROUP_COLOUR_MIX);
    const uint32_t kFlash = 2;
    const auto stepGoMode = [](CPlayback& p) { p.SetGoMode((p.GetIntendedGoMode() + 1) % 4); };

    struct SRow
    {
        const char* what;
        // What the load asks for; the step the operator takes after the abort, and whether it
        // asked for what it would have beside the controller with no load.
        std::function<void()> load;
        std::function<void()> step;
        std::function<bool()> stepped;
    };
    const SRow rows[] = {
        {"an option toggle", [&] { fixture.SetInvertPan(true); },
         [&] { fixture.SetInvertPan(!fixture.GetIntendedInvertPan()); },
         [&] { return fixture.GetIntendedInvertPan(); }},
        {"a go mode", [&] { playback.SetGoMode(kFlash); }, [&] { stepGoMode(playback); },
         [&] { return playback.GetIntendedGoMode() == 1; }},
        {"a value built from parts",
         [&] {
             CColour red;
             red.SetRed(1.0f);
             core->GetProgrammer()->SetValue(GROUP_COLOUR_MIX, CMessageValue(red));
         },
         [&] {
             CColour built = colour.GetIntendedValue().GetColour();
             built.SetGreen(1.0f);
             core->GetProgrammer()->SetValue(GROUP_COLOUR_MIX, CMessageValue(built));
         },
         [&] { return colour.GetIntendedValue().GetColour().GetRed() == 0.0f; }},
    };
    for (const SRow& row : rows)
    {
        link.ClearQueue();
        link.BeginLoad();
        // The load's first record leaves: it stays asked until the controller answers it.
        sent.SetInvertTilt(!sent.GetIntendedInvertTilt());
        const bool inFlight = sent.GetIntendedInvertTilt();
        link.Pass(0);
        row.load();
        operatorsOwn.SetGoMode(kFlash);
        link.EndLoad();
        // Asked after the load, by the operator: a step from what the load asked stays asked.
        stepGoMode(operatorsOwn);
        const uint32_t operatorsMode = operatorsOwn.GetIntendedGoMode();
        link.AbortLoad();

        row.step();
        EXPECT_TRUE(row.stepped()) << row.what;
        EXPECT_EQ(sent.GetIntendedInvertTilt(), inFlight) << row.what;
        EXPECT_EQ(operatorsOwn.GetIntendedGoMode(), operatorsMode) << row.what;
    }
}

TEST_F(CoreTest, AChangeTheFullQueueRefusedLeavesTheOneItTookAsAsked)
{
    Create();
    CDeviceManager& link = *core->GetDeviceManager();
    link.SetConnectedAddress(kController);
    CPlayback& playback = *core->GetPlaybackManager()->GetPlayback(3);
    CFixture& fixture = *core->GetFixtureManager()->GetFixture(9);
    const CProgrammerChange& colour = *core->GetProgrammer()->GetChange(GROUP_COLOUR_MIX);
    struct SRow
    {
        const char* what;
        // The operator's step, taken twice: the queue takes the first and refuses the second.
        std::function<void()> step;
        // Whether what is asked is the first step, which still waits for the controller.
        std::function<bool()> steppedOnce;
    };
    const SRow rows[] = {
        {"a repeat mode", [&] { playback.SetRepeat((playback.GetIntendedRepeat() + 1) % 4); },
         [&] { return playback.GetIntendedRepeat() == 1; }},
        {"an option toggle", [&] { fixture.SetInvertPan(!fixture.GetIntendedInvertPan()); },
         [&] { return fixture.GetIntendedInvertPan(); }},
        {"a value built from parts",
         [&] {
             CColour built = colour.GetIntendedValue().GetColour();
             if (built.GetRed() == 0.0f)
                 built.SetRed(1.0f);
             else
                 built.SetGreen(1.0f);
             core->GetProgrammer()->SetValue(GROUP_COLOUR_MIX, CMessageValue(built));
         },
         [&] { return colour.GetIntendedValue().GetColour().GetRed() == 1.0f &&
                      colour.GetIntendedValue().GetColour().GetGreen() == 0.0f; }},
    };
    for (const SRow& row : rows)
    {
        link.ClearQueue();
        row.step();
        // Presses, each a record of its own, fence the step off and fill the queue.
        CMessage press(MANAGER_PLAYBACK, COMMAND_SET_FLASH_DOWN);
        press.SetValue(CMessageValue(true));
        while (link.QueueMessage(press))
            ;
        row.step();
        EXPECT_TRUE(row.steppedOnce()) << row.what;
    }
}

TEST_F(CoreTest, SuspendAndResumeKeepTheModel)
{
    Create();
    core->GetDeviceManager()->SetConnectedAddress(kController);
    CMessage label(MANAGER_PLAYBACK, COMMAND_GET_LABEL);
    label.SetValue(CMessageValue("Kept"));
    Answer(label);
    core->Update(0.04f);
    for (int i = 0; i < 3; ++i)
    {
        core->Suspend();
        core->Update(0.04f);
        core->Resume();
        core->Update(0.04f);
    }
    EXPECT_EQ(core->GetPlaybackManager()->GetPlayback(0)->GetLabel(), "Kept");
    EXPECT_EQ(core->GetDeviceManager()->GetConnectedAddress(), kController);
}

TEST_F(CoreTest, OptionsAreWrittenOnTheTick)
{
    Create();
    core->GetDeviceManager()->SetConnectedAddress(kController);
    EXPECT_TRUE(core->GetOptions()->IsModified());
    for (int frame = 0; frame < 130; ++frame)
        core->Update(0.04f);
    EXPECT_FALSE(core->GetOptions()->IsModified());
    EXPECT_NE(ReadOptions().find("10.0.0.9"), std::string::npos);
}
