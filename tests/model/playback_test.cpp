#include "model/playback.h"

#include "foundation/version.h"
#include "model/cue.h"
#include "model/playback_manager.h"
#include "shell/app.h"
#include "shell/logger.h"
#include "tests/model/playback_test_support.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <functional>
#include <limits>

namespace
{
// Playback 4 of a manager whose records are kept.
class PlaybackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        manager.SetSink(&sink);
        playback = manager.GetPlayback(4);
        observer.Observe(playback);
    }

    void Reply(uint32_t command, const CMessageValue& value)
    {
        manager.ApplyMessage(::Reply(MANAGER_PLAYBACK, command, 4, 0, 0, value));
    }
    void Notify(uint32_t code) { Reply(COMMAND_NOTIFY, CMessageValue(code)); }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            manager.Update(0.04f);
    }
    void LoadXml(const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        playback->Load(document.RootElement());
    }

    CRecordingSink sink;
    CPlaybackManager manager;
    CPlayback* playback = nullptr;
    CCodeRecorder observer;
};
}  // namespace

TEST_F(PlaybackTest, SettersSendAndLeaveTheFieldToTheReply)
{
    playback->SetLabel("Intro");
    EXPECT_EQ(playback->GetLabel(), "");
    ASSERT_EQ(sink.Targets(), std::vector<std::string>{"41/6/4/0/0"});
    EXPECT_EQ(sink.sent[0].GetValue().GetString(), "Intro");

    Reply(COMMAND_GET_LABEL, CMessageValue("Intro"));
    EXPECT_EQ(playback->GetLabel(), "Intro");
    Reply(COMMAND_GET_LABEL, CMessageValue("Intro"));
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{PLAYBACK_NOTIFY_LABEL});

    sink.sent.clear();
    playback->SetLabel("Intro");
    playback->SetRepeat(0);
    playback->SetGoMode(0);
    EXPECT_TRUE(sink.sent.empty());
    playback->SetRepeat(2);
    playback->SetGoMode(3);
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"41/46/4/0/0", "41/33/4/0/0"}));
}

TEST_F(PlaybackTest, FadersAreClampedBeforeTheyAreCompared)
{
    // At intensity 1.0 a move past the top sends nothing.
    playback->SetIntensity(1.5f);
    playback->SetSpeed(0.0f);
    playback->SetIntensity(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(sink.sent.empty());

    Reply(COMMAND_GET_INTENSITY, CMessageValue(0.0f));
    Reply(COMMAND_GET_SPEED, CMessageValue(0.5f));
    playback->SetIntensity(-0.2f);
    EXPECT_TRUE(sink.sent.empty());
    playback->SetSpeed(2.0f);
    playback->SetSpeed(-7.0f);
    ASSERT_EQ(sink.sent.size(), 2u);
    EXPECT_FLOAT_EQ(sink.sent[0].GetValue().GetFloat(), 1.0f);
    EXPECT_FLOAT_EQ(sink.sent[1].GetValue().GetFloat(), -1.0f);
    EXPECT_EQ(sink.sent[0].GetValue().GetType(), VALUE_FLOAT);

    // Pulled up and back before the controller answers: the way back goes too.
    sink.sent.clear();
    playback->SetIntensity(0.5f);
    playback->SetIntensity(0.0f);
    ASSERT_EQ(sink.sent.size(), 2u);
    EXPECT_FLOAT_EQ(sink.sent[1].GetValue().GetFloat(), 0.0f);

    // So does every other setting of the playback and its cues, a cue sent away by a command for
    // a range of cues, and the label set back to its last report right after a clear; once back,
    // nothing more.
    Reply(COMMAND_GET_COUNT, CMessageValue(uint32_t(2)));
    CCue& cue = *playback->GetCue(1);
    const std::pair<const char*, std::function<void(bool)>> settings[] = {
        {"label", [&](bool away) { playback->SetLabel(away ? "Intro" : ""); }},
        {"repeat", [&](bool away) { playback->SetRepeat(away ? 2 : 0); }},
        {"go mode", [&](bool away) { playback->SetGoMode(away ? 3 : 0); }},
        {"cue label", [&](bool away) { cue.SetLabel(away ? "Look" : ""); }},
        {"cue condition", [&](bool away) { cue.SetCondition(away ? CCue::kConditionFollow : CCue::kConditionHalt); }},
        {"cue fade", [&](bool away) { cue.SetFadeTime(CTime(away ? 1.5 : 0.0)); }},
        {"cue delay", [&](bool away) { cue.SetDelayTime(CTime(away ? 0.25 : 0.0)); }},
        {"cue label by a range", [&](bool away) { away ? playback->SetCueLabel(0, 2, "Look") : cue.SetLabel(""); }},
        {"cue condition by a range",
         [&](bool away) { away ? playback->SetCueCondition(1, 5, 1) : cue.SetCondition(CCue::kConditionHalt); }},
        {"cue fade by a range", [&](bool away) { away ? playback->SetCueFadeTime(1, 0, CTime(1.5)) : cue.SetFadeTime(CTime()); }},
        {"cue delay by a range",
         [&](bool away) { away ? playback->SetCueDelayTime(0, 2, CTime(0.25)) : cue.SetDelayTime(CTime()); }},
        {"label after a clear", [&](bool away) { away ? playback->Clear() : playback->SetLabel(""); }},
    };
    for (const auto& [name, set] : settings)
    {
        sink.sent.clear();
        set(true);
        set(false);
        set(false);
        EXPECT_EQ(sink.sent.size(), 2u) << name;
    }
    // A mode stepped twice before the controller answers steps twice.
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"repeat", [&] { playback->SetRepeat(playback->GetIntendedRepeat() + 1); }},
        {"go mode", [&] { playback->SetGoMode(playback->GetIntendedGoMode() + 1); }},
    };
    for (const auto& [name, step] : steps)
    {
        sink.sent.clear();
        step();
        step();
        ASSERT_EQ(sink.sent.size(), 2u) << name;
        EXPECT_EQ(sink.sent[1].GetValue().GetUnsigned(), 2u) << name;
    }
}

TEST_F(PlaybackTest, FlagsAndCommandsAreAlwaysSent)
{
    playback->SetBackground(false);
    playback->SetExclusive(false);
    playback->SetGoDown(true);
    playback->SetFlashDown(false);
    playback->Release();
    playback->Clear();
    playback->RemoveCues(2, 3);
    playback->RemoveAllCues();
    playback->SetCueCondition(1, 2, 1);
    playback->SetCueFadeTime(0, 4, CTime(2.5));
    playback->SetCueLabel(5, 1, "x");
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"41/30/4/0/0", "41/58/4/0/0", "41/34/4/0/0", "41/35/4/0/0",
                                                         "41/66/4/0/0", "41/56/4/0/0", "41/4/4/2/3", "41/67/4/0/0",
                                                         "43/40/4/1/2", "43/42/4/0/4", "43/6/4/5/1"}));
    EXPECT_EQ(sink.sent[0].GetValue().GetType(), VALUE_BOOL);
    EXPECT_EQ(sink.sent[9].GetValue().GetUnsigned(), 2500u);
}

TEST_F(PlaybackTest, NoCueIsAddedPastFortyEight)
{
    Reply(COMMAND_GET_COUNT, CMessageValue(uint32_t(47)));
    sink.sent.clear();
    playback->AddCue(CPlayback::kAtEnd);
    playback->AppendCue(CPlayback::kAtEnd);
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"41/3/4/0/0", "41/75/4/0/0"}));
    EXPECT_EQ(sink.sent[0].GetValue().GetUnsigned(), 0xFFFFFFFFu);

    Reply(COMMAND_GET_COUNT, CMessageValue(uint32_t(48)));
    sink.sent.clear();
    playback->AddCue(0);
    playback->AppendCue(CPlayback::kAtEnd);
    EXPECT_TRUE(sink.sent.empty());
}

TEST_F(PlaybackTest, NotifyCodesAskForWhatChanged)
{
    const std::pair<uint32_t, std::vector<uint32_t>> table[] = {
        {0, {48, 5, 23, 21}}, {3, {61}},   {7, {36}},   {144, {36}}, {13, {21}}, {302, {21}}, {46, {57}},
        {92, {47}},           {121, {48}}, {292, {48}}, {197, {29}}, {289, {5}}, {290, {23}}, {291, {45}},
        {1, {}},              {295, {}},   {500, {}},
    };
    for (const auto& [code, commands] : table)
    {
        sink.sent.clear();
        Notify(code);
        std::vector<uint32_t> sent;
        for (const CMessage& m : sink.sent)
        {
            EXPECT_EQ(m.GetManager(), MANAGER_PLAYBACK);
            EXPECT_EQ(m.GetIndex0(), 4u);
            EXPECT_EQ(m.GetValue().GetType(), VALUE_NONE);
            sent.push_back(m.GetCommand());
        }
        EXPECT_EQ(sent, commands) << code;
    }
}

TEST_F(PlaybackTest, PropertiesWordSetsEveryPackedField)
{
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(uint32_t(0x02051312)));
    EXPECT_FALSE(playback->GetBackground());
    EXPECT_TRUE(playback->GetExclusive());
    EXPECT_EQ(playback->GetGoMode(), 1u);
    EXPECT_EQ(CPlayback::GoModeName(playback->GetGoMode()), "Toggle");
    EXPECT_EQ(playback->GetStatus(), 3u);
    EXPECT_EQ(playback->GetRepeat(), 1u);
    EXPECT_EQ(CPlayback::RepeatModeName(playback->GetRepeat()), "Bounce");
    EXPECT_EQ(playback->GetCueCount(), 5u);
    EXPECT_EQ(playback->GetCurrentCue(), 2);
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{PLAYBACK_NOTIFY_EXCLUSIVE, PLAYBACK_NOTIFY_GO_MODE,
                                                     PLAYBACK_NOTIFY_STATUS, PLAYBACK_NOTIFY_REPEAT,
                                                     PLAYBACK_NOTIFY_COUNT, PLAYBACK_NOTIFY_CURRENT_CUE}));
    observer.codes.clear();
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(uint32_t(0x02051312)));
    EXPECT_TRUE(observer.codes.empty());
}

TEST_F(PlaybackTest, EveryCountReplyReadsEveryCueButThePropertiesWordOnlyOnAChange)
{
    auto count = [&](uint32_t n) { Reply(COMMAND_GET_COUNT, CMessageValue(n)); };
    auto labels = [&](std::vector<std::string> texts) {
        for (uint32_t cue = 0; cue < texts.size(); ++cue)
            manager.ApplyMessage(::Reply(MANAGER_CUE, COMMAND_GET_LABEL, 4, cue, 0, CMessageValue(texts[cue])));
    };
    count(3);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_COUNT), 1u);
    EXPECT_EQ(sink.Find(MANAGER_CUE, COMMAND_GET_LABEL).size(), 3u);
    EXPECT_EQ(sink.Find(MANAGER_CUE, COMMAND_GET_CUE_STREAM_BLOCK).size(), 12u);
    labels({"A", "B", "C"});

    // At the controller a cue is removed and another added, each told as "cue count changed": the
    // count comes back as it was, with nothing else said, and every cue is read again in order.
    std::vector<std::string> everyCue;
    for (const char* cue : {"0", "1", "2"})
        for (const char* read : {"5/4/%/0", "39/4/%/0", "41/4/%/0", "43/4/%/0", "70/4/%/0", "70/4/%/1", "70/4/%/2",
                                 "70/4/%/3"})
            everyCue.push_back("43/" + std::string(read).replace(std::string(read).find('%'), 1, cue));
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"the middle cue removed and one added", {"A", "C", "D"}},
        {"the last cue removed and another added", {"A", "C", "E"}},
    };
    for (const auto& [what, after] : rows)
    {
        sink.sent.clear();
        Notify(PLAYBACK_NOTIFY_COUNT), Notify(PLAYBACK_NOTIFY_COUNT);
        EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"41/61/4/0/0", "41/61/4/0/0"})) << what;
        sink.sent.clear();
        count(3);
        EXPECT_EQ(sink.Targets(), everyCue) << what;
        labels(after);
        for (uint32_t cue = 0; cue < 3; ++cue)
            EXPECT_EQ(playback->GetCue(cue)->GetLabel(), after[cue]) << what;
    }
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_COUNT), 1u);

    // A count or properties word that answers nothing sent, which anyone can forge, is not
    // taken: the count is read when it differs.
    sink.sent.clear();
    auto toNothing = [&](uint32_t command, uint32_t value) {
        manager.OnReplyToNothing(::Reply(MANAGER_PLAYBACK, command, 4, 0, 0, CMessageValue(value)));
    };
    toNothing(COMMAND_GET_COUNT, 0);
    toNothing(COMMAND_GET_PROPERTIES, uint32_t(48) << 16);
    toNothing(COMMAND_GET_COUNT, 3);
    toNothing(COMMAND_GET_PROPERTIES, uint32_t(3) << 16);
    EXPECT_EQ(playback->GetCueCount(), 3u);
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"41/61/4/0/0", "41/61/4/0/0"}));

    sink.sent.clear();
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(uint32_t(3) << 16));
    EXPECT_TRUE(sink.sent.empty());
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(uint32_t(1) << 16));
    EXPECT_EQ(playback->GetCueCount(), 1u);
    EXPECT_EQ(sink.Find(MANAGER_CUE, COMMAND_GET_LABEL).size(), 1u);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_COUNT), 2u);
}

TEST_F(PlaybackTest, CueRecordsGoToTheirCueAndOthersAreDropped)
{
    Reply(COMMAND_GET_COUNT, CMessageValue(uint32_t(2)));
    CCodeRecorder cueObserver;
    cueObserver.Observe(playback->GetCue(1));
    manager.ApplyMessage(::Reply(MANAGER_CUE, COMMAND_GET_LABEL, 4, 1, 0, CMessageValue("B")));
    manager.ApplyMessage(::Reply(MANAGER_CUE, COMMAND_GET_LABEL, 4, 2, 0, CMessageValue("C")));
    manager.ApplyMessage(::Reply(MANAGER_CUE, COMMAND_GET_LABEL, 4, 0xFFFFFFFF, 0, CMessageValue("D")));
    EXPECT_EQ(playback->GetCue(1)->GetLabel(), "B");
    EXPECT_EQ(playback->GetCue(0)->GetLabel(), "");
    EXPECT_EQ(cueObserver.codes, std::vector<uint32_t>{CUE_NOTIFY_LABEL});
}

TEST_F(PlaybackTest, AHugeReportedCountIsBounded)
{
    // A count, in a reply of its own or in the properties word, asks for no more than a full
    // cue list's values.
    Reply(COMMAND_GET_COUNT, CMessageValue(uint32_t(0xFFFFFFFF)));
    EXPECT_EQ(playback->GetCueCount(), CPlayback::kMaxCues);
    EXPECT_EQ(sink.sent.size(), CPlayback::kMaxCues * 8);
    Reply(COMMAND_GET_COUNT, CMessageValue(uint32_t(0)));
    sink.sent.clear();
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(uint32_t(0xFF) << 16));
    EXPECT_EQ(playback->GetCueCount(), CPlayback::kMaxCues);
    EXPECT_EQ(sink.sent.size(), CPlayback::kMaxCues * 8);
}

TEST_F(PlaybackTest, CurrentCueOfAllOnesIsNone)
{
    Reply(COMMAND_GET_CURRENT_CUE, CMessageValue(uint32_t(3)));
    EXPECT_EQ(playback->GetCurrentCue(), 3);
    Reply(COMMAND_GET_CURRENT_CUE, CMessageValue(uint32_t(0xFFFFFFFF)));
    EXPECT_EQ(playback->GetCurrentCue(), -1);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_CURRENT_CUE), 2u);
}

TEST_F(PlaybackTest, FeedbackShowsTheLastValueForThreeSeconds)
{
    Reply(COMMAND_GET_INTENSITY, CMessageValue(0.5f));
    EXPECT_EQ(playback->GetFeedback(), CPlayback::kFeedbackIntensity);
    Frames(25);
    Reply(COMMAND_GET_SPEED, CMessageValue(0.25f));
    EXPECT_EQ(playback->GetFeedback(), CPlayback::kFeedbackSpeed);
    // Another speed change does not extend the time.
    Frames(25);
    Reply(COMMAND_GET_SPEED, CMessageValue(0.3f));
    Frames(47);
    EXPECT_EQ(playback->GetFeedback(), CPlayback::kFeedbackSpeed);
    // Three seconds after the first speed reply, give or take the rounding of one frame.
    Frames(4);
    EXPECT_EQ(playback->GetFeedback(), CPlayback::kFeedbackNone);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_FEEDBACK), 3u);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_INTENSITY), 1u);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_SPEED), 2u);
}

TEST_F(PlaybackTest, NotANumberIsAlwaysAChange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Reply(COMMAND_GET_SPEED, CMessageValue(nan));
    Reply(COMMAND_GET_SPEED, CMessageValue(nan));
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_SPEED), 2u);
    EXPECT_TRUE(std::isnan(playback->GetSpeed()));
    playback->SetSpeed(0.0f);
    EXPECT_EQ(sink.Targets(), std::vector<std::string>{"41/22/4/0/0"});
}

TEST_F(PlaybackTest, MarkShowsAsStatusFiveUntilItRunsOut)
{
    Reply(COMMAND_GET_STATUS, CMessageValue(uint32_t(2)));
    // Long enough for the idle playback to be left out of the manager's ticks.
    Frames(50);
    playback->SetMarked(true, 1.0f);
    playback->SetMarked(true, 1.0f);
    EXPECT_EQ(playback->GetStatus(), CPlayback::kMarkedStatus);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_STATUS), 2u);
    Frames(24);
    EXPECT_TRUE(playback->IsMarked());
    Frames(2);
    EXPECT_FALSE(playback->IsMarked());
    EXPECT_EQ(playback->GetStatus(), 2u);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_STATUS), 3u);

    // Marked until cleared.
    playback->SetMarked(true, -1.0f);
    Frames(500);
    EXPECT_TRUE(playback->IsMarked());
    playback->SetMarked(false, 0.0f);
    EXPECT_FALSE(playback->IsMarked());
    EXPECT_TRUE(sink.sent.empty());
}

TEST_F(PlaybackTest, EmptinessAndDigestFollowTheMirroredFields)
{
    EXPECT_TRUE(playback->IsEmpty());
    const CDigest empty = manager.GetDigest();
    Reply(COMMAND_GET_INTENSITY, CMessageValue(0.5f));
    EXPECT_FALSE(playback->IsEmpty());
    // A change deep in the model reaches the cached digests above it.
    EXPECT_NE(manager.GetDigest(), empty);
    Reply(COMMAND_GET_INTENSITY, CMessageValue(1.0f));
    EXPECT_TRUE(playback->IsEmpty());
    EXPECT_EQ(manager.GetDigest(), empty);

    Reply(COMMAND_GET_COUNT, CMessageValue(uint32_t(1)));
    const CDigest oneCue = manager.GetDigest();
    manager.ApplyMessage(::Reply(MANAGER_CUE, COMMAND_GET_CONDITION, 4, 0, 0, CMessageValue(uint32_t(1))));
    EXPECT_NE(manager.GetDigest(), oneCue);
    EXPECT_FALSE(playback->IsEmpty());
}

TEST_F(PlaybackTest, SaveWritesOnlyWhatDiffersFromTheDefaults)
{
    Reply(COMMAND_GET_INTENSITY, CMessageValue(0.5f));
    TiXmlElement plain("playback");
    playback->Save(plain);
    TiXmlPrinter printer;
    plain.Accept(&printer);
    EXPECT_EQ(printer.Str(), "<playback index=\"4\" intensity=\"0.5\" />\n");

    Reply(COMMAND_GET_LABEL, CMessageValue("Intro"));
    Reply(COMMAND_GET_SPEED, CMessageValue(-0.25f));
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(uint32_t(0x00012023)));
    TiXmlElement full("playback");
    playback->Save(full);
    TiXmlPrinter fullPrinter;
    fullPrinter.SetStreamPrinting();
    full.Accept(&fullPrinter);
    EXPECT_EQ(fullPrinter.Str(),
              "<playback index=\"4\" label=\"Intro\" repeat=\"Random\" gomode=\"Flash\" intensity=\"0.5\" "
              "speed=\"-0.25\" background=\"true\" exclusive=\"true\"><cues><cue><blocks><block /><block />"
              "<block /><block /></blocks></cue></cues></playback>");
}

TEST_F(PlaybackTest, LoadSendsTheCountThenWhatDiffers)
{
    LoadXml("<playback label='Intro' gomode='flash' repeat='OFF' level='0.25' intensity='0.75' speed='1' "
            "background='Yes' exclusive='0'/>");
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"41/72/4/0/0", "41/6/4/0/0", "41/33/4/0/0", "41/46/4/0/0",
                                                         "41/24/4/0/0", "41/22/4/0/0", "41/30/4/0/0",
                                                         "41/58/4/0/0"}));
    EXPECT_EQ(sink.sent[0].GetValue().GetUnsigned(), 0u);
    EXPECT_EQ(sink.sent[2].GetValue().GetUnsigned(), 2u);
    EXPECT_EQ(sink.sent[3].GetValue().GetUnsigned(), 3u);
    EXPECT_FLOAT_EQ(sink.sent[4].GetValue().GetFloat(), 0.25f);
    EXPECT_TRUE(sink.sent[6].GetValue().GetBool());
    EXPECT_FALSE(sink.sent[7].GetValue().GetBool());
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{0});
}

TEST_F(PlaybackTest, LoadKeepsDefaultsForValuesItCannotRead)
{
    char name[] = "tests_model";
    char* argv[] = {name, nullptr};
    CApp app(CVersion(1, 7, 0), 1, argv);
    // Names must match whole, or go as the unknown mode; numbers that do not read whole keep the
    // default and are not sent (a decimal comma is no point); the log says which.
    LoadXml("<playback gomode='Flashy' repeat='Forever' intensity='0,5' speed='' level='0.5x' background='1' "
            "exclusive='0'/>");
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"41/72/4/0/0", "41/33/4/0/0", "41/46/4/0/0", "41/30/4/0/0",
                                                         "41/58/4/0/0"}));
    EXPECT_EQ(sink.sent[1].GetValue().GetUnsigned(), 4u);
    EXPECT_EQ(sink.sent[2].GetValue().GetUnsigned(), 4u);
    EXPECT_EQ(CPlayback::GoModeName(4), "-");
    // The "-" this program writes for a mode the controller reported unknown reads as it was.
    LoadXml("<playback gomode='-' repeat='-'/>");
    std::vector<std::string> lines = CApp::GetLogger()->GetLines();
    lines.erase(lines.begin());
    for (std::string& line : lines)
        line = line.substr(line.find("] ") + 2);
    EXPECT_EQ(lines, (std::vector<std::string>{"[Show] Not read, sent as unknown: playback gomode=\"Flashy\"",
                                               "[Show] Not read, sent as unknown: playback repeat=\"Forever\"",
                                               "[Show] Not read, default kept: playback background=\"1\"",
                                               "[Show] Not read, default kept: playback intensity=\"0,5\"",
                                               "[Show] Not read, default kept: playback level=\"0.5x\"",
                                               "[Show] Not read, default kept: playback speed=\"\""}));
    // Blanks on either side are no part of a number.
    sink.sent.clear();
    LoadXml("<playback intensity=' 0.5 ' speed='+25e-2 '/>");
    ASSERT_EQ(sink.Find(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY).size(), 1u);
    EXPECT_FLOAT_EQ(sink.Find(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY)[0].GetValue().GetFloat(), 0.5f);
    EXPECT_FLOAT_EQ(sink.Find(MANAGER_PLAYBACK, COMMAND_SET_SPEED)[0].GetValue().GetFloat(), 0.25f);

    // A node that is no element reads as the defaults: the levels the load before asked for go
    // back to them, though the controller has not answered yet.
    sink.sent.clear();
    TiXmlComment comment("nothing");
    playback->Load(&comment);
    EXPECT_EQ(sink.Targets(), (std::vector<std::string>{"41/72/4/0/0", "41/24/4/0/0", "41/22/4/0/0", "41/30/4/0/0",
                                                         "41/58/4/0/0"}));
}

TEST_F(PlaybackTest, CuesNotYetReportedAreLoadedUnderTheirOwnIndex)
{
    Reply(COMMAND_GET_COUNT, CMessageValue(uint32_t(1)));
    sink.sent.clear();
    LoadXml("<playback><cues><cue label='A'/><!-- no cue --><cue label='C'/></cues></playback>");
    const std::vector<CMessage> count = sink.Find(MANAGER_PLAYBACK, COMMAND_SET_COUNT);
    ASSERT_EQ(count.size(), 1u);
    EXPECT_EQ(count[0].GetValue().GetUnsigned(), 2u);
    std::vector<std::string> labels;
    for (const CMessage& m : sink.Find(MANAGER_CUE, COMMAND_SET_LABEL))
        labels.push_back(CRecordingSink::Target(m) + " " + m.GetValue().GetString());
    EXPECT_EQ(labels, (std::vector<std::string>{"43/6/4/0/0 A", "43/6/4/1/0 C"}));
    EXPECT_EQ(sink.Find(MANAGER_CUE, COMMAND_SET_CUE_STREAM_BLOCK).size(), 8u);
    // The stand-in cues are gone; the model's own cue keeps waiting for the controller.
    EXPECT_EQ(playback->GetCueCount(), 1u);
    EXPECT_EQ(playback->GetCue(0)->GetLabel(), "");

    // A hand-edited list of more cues than a playback holds sends the first 48 only.
    sink.sent.clear();
    std::string cues;
    for (uint32_t i = 0; i < CPlayback::kMaxCues + 2; ++i)
        cues += "<cue label='" + std::to_string(i) + "'/>";
    LoadXml("<playback><cues>" + cues + "</cues></playback>");
    EXPECT_EQ(sink.Find(MANAGER_PLAYBACK, COMMAND_SET_COUNT).at(0).GetValue().GetUnsigned(), CPlayback::kMaxCues);
    EXPECT_EQ(sink.Find(MANAGER_CUE, COMMAND_SET_LABEL).size(), CPlayback::kMaxCues);
}

TEST(Playback, ModeNamesMatchWholeWordsInAnyCase)
{
    EXPECT_EQ(CPlayback::ParseGoMode("flash"), 2u);
    EXPECT_EQ(CPlayback::ParseGoMode("SOLO"), 3u);
    EXPECT_EQ(CPlayback::ParseGoMode("Flash "), 4u);
    EXPECT_EQ(CPlayback::ParseRepeatMode("bounce"), 1u);
    EXPECT_EQ(CPlayback::ParseRepeatMode(""), 4u);
    EXPECT_EQ(CPlayback::RepeatModeName(3), "Off");
    EXPECT_EQ(CPlayback::RepeatModeName(7), "-");
}
