#include "model/programmer.h"

#include "foundation/notify_codes.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "model/programmer_change.h"
#include "tests/model/patch_test_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace patchtest;

namespace
{
class ProgrammerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        patch.Init(nullptr, &patchSink);
        programmer.Bind(&patch, &sink);
        programmer.Attach(&observer);
    }
    void TearDown() override { programmer.Detach(&observer); }

    void SetProfile(uint32_t slot, const std::string& profile)
    {
        patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_PERSONALITY, slot,
                                   CMessageValue(CPersonalityRef("M", "X", "", profile).ToCsv())));
    }
    // The controller reports its selection.
    void Select(uint64_t mask) { programmer.HandleMessage(Record(MANAGER_PROGRAMMER, COMMAND_GET_FIXTURES, 0, CMessageValue(mask))); }

    std::string Enabled() const
    {
        std::string groups;
        for (uint32_t g = 0; g < programmer.GetChangeCount(); ++g)
            groups += programmer.GetChange(g)->IsEnabled() ? '1' : '0';
        return groups;
    }

    CRecordingSink patchSink;
    CFixtureManager patch;
    CRecordingSink sink;
    CProgrammer programmer;
    CCodeRecorder observer;
};
}  // namespace

TEST_F(ProgrammerTest, GroupsStartDisabledWithTheirKindsOfValue)
{
    ASSERT_EQ(programmer.GetChangeCount(), 17u);
    EXPECT_EQ(Enabled(), "00000000000000000");
    EXPECT_EQ(programmer.GetChange(2)->GetValue().GetType(), VALUE_COORDINATE);
    EXPECT_EQ(programmer.GetChange(4)->GetValue().GetType(), VALUE_COLOUR);
    EXPECT_EQ(programmer.GetChange(0)->GetValue().GetType(), VALUE_NONE);
    EXPECT_EQ(programmer.GetChange(17), nullptr);
    EXPECT_EQ(programmer.FindChange(16)->GetIndex(), 16);
    EXPECT_EQ(programmer.FindChange(17), nullptr);
}

TEST_F(ProgrammerTest, TheReportedSelectionEnablesTheGroupsOfItsProfiles)
{
    SetProfile(1, "0102030405");
    Select(uint64_t(1) << 1);
    EXPECT_EQ(Enabled(), "11111100000000000");
    EXPECT_EQ(observer.codes, std::vector<uint32_t>{NOTIFY_SELECTION});

    // Types from the upper bits are masked; type 20 (0x14) has no group; a pair that is no hex
    // is skipped; a final lone digit is read alone.
    SetProfile(2, "21140G09E");
    Select(uint64_t(1) << 2);
    EXPECT_EQ(Enabled(), "11000010000001000");

    // Virtual dimmer without any personality.
    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_VIRTUAL_DIMMER, 3, CMessageValue(true)));
    Select(uint64_t(1) << 3);
    EXPECT_EQ(Enabled(), "11000000000000000");

    Select(0);
    EXPECT_EQ(Enabled(), "00000000000000000");
}

TEST_F(ProgrammerTest, EveryChannelOfALongProfileCounts)
{
    std::string profile;
    for (int i = 0; i < 39; ++i)
        profile += "00";
    profile += "11";
    SetProfile(0, profile);
    Select(1);
    EXPECT_EQ(Enabled(), "00000000000000100");
}

TEST_F(ProgrammerTest, GroupsFollowOnlyTheReportedSelection)
{
    SetProfile(0, "01");
    Select(1);
    CCodeRecorder intensity;
    programmer.GetChange(0)->Attach(&intensity);
    // A new personality of a selected fixture changes nothing until the selection is reported anew.
    SetProfile(0, "02");
    EXPECT_EQ(Enabled(), "11000000000000000");
    observer.codes.clear();
    Select(1);
    EXPECT_TRUE(observer.codes.empty()) << "an equal mask neither rebuilds nor notifies";
    EXPECT_EQ(Enabled(), "11000000000000000");
    Select(3);
    EXPECT_EQ(Enabled(), "00110000000000000");
    EXPECT_EQ(intensity.codes, std::vector<uint32_t>{NOTIFY_ENABLED});
    programmer.GetChange(0)->Detach(&intensity);
}

TEST_F(ProgrammerTest, SelectionGesturesOnlyProposeTheMask)
{
    programmer.BeginDrag(9);
    programmer.EndDrag(18);
    programmer.SetSelection(5);
    ASSERT_EQ(sink.sent.size(), 2u);
    EXPECT_EQ(sink.sent[0].GetManager(), MANAGER_PROGRAMMER);
    EXPECT_EQ(sink.sent[0].GetCommand(), COMMAND_SET_FIXTURES);
    EXPECT_EQ(sink.sent[0].GetValue(), CMessageValue(uint64_t(0x60600)));
    EXPECT_FALSE(programmer.IsSelected(9));
    EXPECT_EQ(Enabled(), "00000000000000000");
}

TEST_F(ProgrammerTest, CommandsCarryTheBoundPlaybackAndSendOnlyChanges)
{
    programmer.Load(4);
    programmer.SetPlayback(0);
    programmer.SetBlind(false);
    programmer.HandleMessage(Record(MANAGER_PROGRAMMER, COMMAND_GET_PLAYBACK, 0, CMessageValue(7u)));
    programmer.SetPlayback(7);
    programmer.SetPlayback(9);
    programmer.SetBlind(true);
    programmer.Record(2);
    programmer.Clear();
    ASSERT_EQ(sink.Commands(), (std::vector<std::pair<uint32_t, uint32_t>>{
                                   {COMMAND_LOAD, 0}, {COMMAND_SET_PLAYBACK, 0}, {COMMAND_SET_BLIND, 0},
                                   {COMMAND_RECORD, 7}, {COMMAND_CLEAR, 0}}));
    EXPECT_EQ(sink.sent[0].GetIndex1(), 4u);
    EXPECT_EQ(sink.sent[1].GetValue(), CMessageValue(9u));
    EXPECT_EQ(sink.sent[3].GetIndex1(), 2u);
    EXPECT_EQ(sink.sent[3].GetValue().GetType(), VALUE_NONE);
    EXPECT_EQ(programmer.GetPlayback(), 7u);
    EXPECT_FALSE(programmer.GetBlind());
}

TEST_F(ProgrammerTest, NotifyCodesAskForTheMatchingState)
{
    const std::vector<std::pair<uint32_t, std::vector<uint32_t>>> cases = {
        {15, {COMMAND_GET_FIXTURES}}, {38, {COMMAND_GET_FIXTURES}}, {19, {COMMAND_GET_BLIND}},
        {294, {COMMAND_GET_BLIND}},   {117, {COMMAND_GET_CLEAR}},   {400, {COMMAND_GET_PLAYBACK}},
        {3, {}},
    };
    for (const auto& [code, expected] : cases)
    {
        sink.sent.clear();
        programmer.HandleMessage(NotifyRecord(MANAGER_PROGRAMMER, 0, code));
        std::vector<uint32_t> commands;
        for (const CMessage& record : sink.sent)
            commands.push_back(record.GetCommand());
        EXPECT_EQ(commands, expected) << code;
    }

    sink.sent.clear();
    programmer.HandleMessage(NotifyRecord(MANAGER_PROGRAMMER, 0, 0));
    ASSERT_EQ(sink.sent.size(), 21u);
    const uint32_t first[] = {COMMAND_GET_FIXTURES, COMMAND_GET_BLIND, COMMAND_GET_PLAYBACK, COMMAND_GET_CLEAR};
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(sink.sent[i].GetCommand(), first[i]);
    for (uint32_t g = 0; g < 17; ++g)
    {
        const CMessage& record = sink.sent[4 + g];
        EXPECT_EQ(record.GetManager(), MANAGER_PROGRAMMER_CHANGE);
        EXPECT_EQ(record.GetCommand(), COMMAND_GET_VALUE);
        EXPECT_EQ(record.GetIndex0(), g);
        EXPECT_EQ(record.GetValue().GetType(), VALUE_NONE);
    }
}

TEST_F(ProgrammerTest, GroupRecordsAreRoutedByPosition)
{
    CCodeRecorder zoom;
    programmer.GetChange(14)->Attach(&zoom);
    programmer.HandleMessage(Record(MANAGER_PROGRAMMER_CHANGE, COMMAND_GET_VALUE, 14, CMessageValue(0.25f)));
    programmer.HandleMessage(Record(MANAGER_PROGRAMMER, COMMAND_GET_VALUE, 14, CMessageValue(0.5f)));
    programmer.HandleMessage(Record(MANAGER_PROGRAMMER, COMMAND_GET_VALUE, 14, CMessageValue(0.5f)));
    programmer.HandleMessage(Record(MANAGER_PROGRAMMER_CHANGE, COMMAND_GET_VALUE, 17, CMessageValue(0.5f)));
    programmer.HandleMessage(Record(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE, 14, CMessageValue(0.75f)));
    EXPECT_EQ(zoom.codes, (std::vector<uint32_t>{84, 84}));
    EXPECT_EQ(programmer.GetChange(14)->GetValue(), CMessageValue(0.5f));

    programmer.HandleMessage(NotifyRecord(MANAGER_PROGRAMMER_CHANGE, 14, 1234));
    programmer.HandleMessage(NotifyRecord(MANAGER_PROGRAMMER_CHANGE, 17, 0));
    ASSERT_EQ(sink.sent.size(), 1u);
    EXPECT_EQ(sink.sent[0].GetCommand(), COMMAND_GET_VALUE);
    EXPECT_EQ(sink.sent[0].GetIndex0(), 14u);
    programmer.GetChange(14)->Detach(&zoom);
}

TEST_F(ProgrammerTest, SettingAGroupValueSendsOnlyADifferentValueOrKind)
{
    programmer.HandleMessage(Record(MANAGER_PROGRAMMER_CHANGE, COMMAND_GET_VALUE, 0, CMessageValue(0.5f)));
    programmer.SetValue(GROUP_INTENSITY, CMessageValue(0.5f));
    EXPECT_TRUE(sink.sent.empty());

    // A value of another kind differs; after it, the next press starts a new selection.
    programmer.HandleMessage(Record(MANAGER_PROGRAMMER, COMMAND_GET_FIXTURES, 0, CMessageValue(uint64_t(1))));
    programmer.SetValue(GROUP_GOBO, CMessageValue(0.0f));
    programmer.SetValue(17, CMessageValue(1.0f));
    ASSERT_EQ(sink.sent.size(), 1u);
    EXPECT_EQ(sink.sent[0].GetManager(), MANAGER_PROGRAMMER_CHANGE);
    EXPECT_EQ(sink.sent[0].GetCommand(), COMMAND_SET_VALUE);
    EXPECT_EQ(sink.sent[0].GetIndex0(), uint32_t(GROUP_GOBO));
    EXPECT_EQ(programmer.GetChange(GROUP_GOBO)->GetValue().GetType(), VALUE_NONE);

    sink.sent.clear();
    programmer.BeginDrag(5);
    programmer.EndDrag(5);
    ASSERT_EQ(sink.sent.size(), 2u);
    EXPECT_EQ(sink.sent[0].GetValue(), CMessageValue(uint64_t(0)));
    EXPECT_EQ(sink.sent[1].GetValue(), CMessageValue(uint64_t(1) << 5));

    // Moved away and back before the controller answers: the way back goes too.
    sink.sent.clear();
    programmer.SetValue(GROUP_INTENSITY, CMessageValue(0.25f));
    programmer.SetValue(GROUP_INTENSITY, CMessageValue(0.5f));
    ASSERT_EQ(sink.sent.size(), 2u);
    EXPECT_EQ(sink.sent[1].GetValue(), CMessageValue(0.5f));

    // So does every setting mirrored one by one, the patch's included; once back, nothing more.
    CFixture& fixture = *patch.GetFixture(5);
    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, 5, CMessageValue(20u)));
    const std::pair<const char*, std::function<void(bool)>> settings[] = {
        {"blind", [&](bool away) { programmer.SetBlind(away); }},
        {"playback", [&](bool away) { programmer.SetPlayback(away ? 3u : 0u); }},
        {"label", [&](bool away) { fixture.SetLabel(away ? "Spot" : ""); }},
        {"address", [&](bool away) { fixture.SetAddress(away ? 10u : 20u); }},
        {"personality",
         [&](bool away) { fixture.SetPersonality(away ? CPersonalityRef("A", "B", "", "01") : CPersonalityRef()); }},
        {"invert pan", [&](bool away) { fixture.SetInvertPan(away); }},
        {"invert tilt", [&](bool away) { fixture.SetInvertTilt(away); }},
        {"swap pan/tilt", [&](bool away) { fixture.SetSwapPanTilt(away); }},
        {"virtual dimmer", [&](bool away) { fixture.SetVirtualDimmer(away); }},
        {"address after a clear", [&](bool away) { away ? fixture.Clear() : fixture.SetAddress(20u); }},
    };
    for (const auto& [name, set] : settings)
    {
        sink.sent.clear();
        patchSink.sent.clear();
        set(true);
        set(false);
        set(false);
        EXPECT_EQ(sink.sent.size() + patchSink.sent.size(), 2u) << name;
    }
    // An option toggled twice before the controller answers ends where it started.
    const std::pair<const char*, std::function<void()>> toggles[] = {
        {"invert pan", [&] { fixture.SetInvertPan(!fixture.GetIntendedInvertPan()); }},
        {"invert tilt", [&] { fixture.SetInvertTilt(!fixture.GetIntendedInvertTilt()); }},
        {"swap pan/tilt", [&] { fixture.SetSwapPanTilt(!fixture.GetIntendedSwapPanTilt()); }},
        {"virtual dimmer", [&] { fixture.SetVirtualDimmer(!fixture.GetIntendedVirtualDimmer()); }},
    };
    for (const auto& [name, toggle] : toggles)
    {
        patchSink.sent.clear();
        toggle();
        toggle();
        ASSERT_EQ(patchSink.sent.size(), 2u) << name;
        EXPECT_FALSE(patchSink.sent[1].GetValue().GetBool()) << name;
    }
    // A packed report read with no set waiting (address 20 in the high half, the four options
    // set from elsewhere) is what the next toggle flips.
    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_PROPERTIES, 5, CMessageValue((20u << 16) | 0xFu)));
    EXPECT_TRUE(fixture.GetIntendedInvertPan() && fixture.GetIntendedInvertTilt() &&
                fixture.GetIntendedSwapPanTilt() && fixture.GetIntendedVirtualDimmer());

    // What a value built on the group starts from: the last ask, until a report read after it
    // reached the controller; a report handled before the ask's answer is overtaken by it.
    const CProgrammerChange& intensity = *programmer.GetChange(GROUP_INTENSITY);
    const auto report = [&](uint32_t command, float level) {
        programmer.HandleMessage(Record(MANAGER_PROGRAMMER_CHANGE, command, 0, CMessageValue(level)));
        return intensity.GetIntendedValue().GetFloat();
    };
    sink.waiting = true;
    EXPECT_FLOAT_EQ(report(COMMAND_GET_VALUE, 0.25f), 0.5f) << "read while the ask still waits";
    sink.waiting = false;
    EXPECT_FLOAT_EQ(report(COMMAND_GET_VALUE, 0.25f), 0.25f);
    EXPECT_FLOAT_EQ(report(COMMAND_SET_VALUE, 0.5f), 0.5f) << "the ask's answer came after the read";
    EXPECT_FLOAT_EQ(report(COMMAND_GET_VALUE, 0.75f), 0.75f) << "changed at the controller since";
}
