#include "model/fixture_manager.h"

#include "foundation/notify_codes.h"
#include "model/fixture.h"
#include "tests/model/patch_test_support.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <map>

using namespace patchtest;

namespace
{
class FixtureManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { patch.Init(nullptr, &sink); }

    // What the controller would report after patching a slot.
    void Patch(uint32_t slot, uint32_t address, uint32_t channels, const std::string& label = "")
    {
        const std::string profile(channels * 2, '1');
        patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_PERSONALITY, slot,
                                   CMessageValue(CPersonalityRef("M", "P" + std::to_string(channels), "", profile).ToCsv())));
        patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, slot, CMessageValue(address)));
        if (!label.empty())
            patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_LABEL, slot, CMessageValue(label)));
    }

    bool Free(uint32_t slot) { return patch.IsAddressFree(patch.GetFixture(slot)); }

    void Read(const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        ASSERT_FALSE(document.Error()) << xml;
        patch.ReadXml(document.RootElement());
    }

    // Slots that were sent Clear, in order.
    std::vector<uint32_t> Cleared() const
    {
        std::vector<uint32_t> slots;
        for (const CMessage& record : sink.sent)
        {
            if (record.GetCommand() == COMMAND_CLEAR)
                slots.push_back(record.GetIndex0());
        }
        return slots;
    }

    static std::vector<uint32_t> Range(uint32_t first, uint32_t end)
    {
        std::vector<uint32_t> slots;
        for (uint32_t s = first; s < end; ++s)
            slots.push_back(s);
        return slots;
    }

    static std::vector<uint32_t> Join(std::vector<uint32_t> a, const std::vector<uint32_t>& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    CRecordingSink sink;
    CFixtureManager patch;
};
}  // namespace

TEST_F(FixtureManagerTest, SixtyFourSlotsFoundByIndexAndLabel)
{
    ASSERT_EQ(patch.GetFixtureCount(), 64u);
    EXPECT_EQ(patch.GetFixture(64), nullptr);

    Patch(3, 1, 1, "Spot");
    Patch(9, 2, 1, "Spot");
    Patch(4, 3, 1, "Spo");
    EXPECT_EQ(patch.FindFixture("Spot"), patch.GetFixture(3));
    EXPECT_EQ(patch.FindFixture("spot"), nullptr);
    EXPECT_TRUE(FixtureLabelLess(patch.GetFixture(4), patch.GetFixture(3)));
    EXPECT_FALSE(FixtureLabelLess(patch.GetFixture(3), patch.GetFixture(9)));

    CCodeRecorder observer;
    CSubjectSet set(8);
    patch.ObserveFixtures(&observer, &set);
    EXPECT_EQ(set.GetCount(), 8u);
    EXPECT_TRUE(set.Contains(patch.GetFixture(7)));
    EXPECT_FALSE(set.Contains(patch.GetFixture(8)));
    set.Clear(&observer);
}

TEST_F(FixtureManagerTest, RecordsAreRoutedBySlot)
{
    patch.HandleMessage(NotifyRecord(MANAGER_FIXTURE_MANAGER, 0, 3));
    patch.HandleMessage(Record(MANAGER_FIXTURE_MANAGER, COMMAND_GET_LABEL));
    patch.HandleMessage(NotifyRecord(MANAGER_FIXTURE, 64, 0));
    patch.HandleMessage(NotifyRecord(MANAGER_PLAYBACK, 1, 0));
    EXPECT_TRUE(sink.sent.empty());

    patch.HandleMessage(NotifyRecord(MANAGER_FIXTURE_MANAGER, 0, 0));
    ASSERT_EQ(sink.sent.size(), 64u * 4u);
    for (uint32_t slot = 0; slot < 64; ++slot)
    {
        EXPECT_EQ(sink.sent[slot * 4].GetIndex0(), slot);
        EXPECT_EQ(sink.sent[slot * 4].GetCommand(), COMMAND_GET_LABEL);
        EXPECT_EQ(sink.sent[slot * 4 + 3].GetCommand(), COMMAND_GET_PERSONALITY);
    }

    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_LABEL, 63, CMessageValue("Last")));
    EXPECT_EQ(patch.GetFixture(63)->GetLabel(), "Last");
}

TEST_F(FixtureManagerTest, OverlappingFixturesAreNotFreeUntilMovedApart)
{
    Patch(0, 1, 16);
    Patch(1, 10, 16);
    EXPECT_FALSE(Free(0));
    EXPECT_FALSE(Free(1));
    EXPECT_EQ(patch.GetChannelUse(9), 1u);
    EXPECT_EQ(patch.GetChannelUse(10), 2u);
    EXPECT_EQ(patch.GetChannelUse(16), 2u);
    EXPECT_EQ(patch.GetChannelUse(25), 1u);
    EXPECT_EQ(patch.GetChannelUse(26), 0u);

    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, 1, CMessageValue(17u)));
    EXPECT_TRUE(Free(0));
    EXPECT_TRUE(Free(1));
}

TEST_F(FixtureManagerTest, FixturesRunningPastTheLastChannelOrUnpatchedAreNotFree)
{
    Patch(0, 510, 4);
    EXPECT_FALSE(Free(0));
    EXPECT_EQ(patch.GetChannelUse(512), 1u);
    Patch(1, 505, 6);
    EXPECT_FALSE(Free(1)) << "channel 510 is shared";
    Patch(2, 0, 4);
    EXPECT_FALSE(Free(2));
    Patch(3, 700, 4);
    EXPECT_FALSE(Free(3));
    EXPECT_EQ(patch.GetChannelUse(0), 0u);
    EXPECT_EQ(patch.GetChannelUse(513), 0u);
    // Without channels a fixture is free wherever it is.
    EXPECT_TRUE(Free(4));
    EXPECT_TRUE(patch.IsAddressFree(nullptr));
}

TEST_F(FixtureManagerTest, TheMapIsRebuiltOncePerChangeAndEveryFixtureTold)
{
    CCodeRecorder first;
    CCodeRecorder last;
    patch.GetFixture(0)->Attach(&first);
    patch.GetFixture(63)->Attach(&last);
    Free(0);
    Free(1);
    EXPECT_EQ(last.Count(NOTIFY_ADDRESS), 1u);

    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_ADDRESS, 0, CMessageValue(5u)));
    EXPECT_EQ(first.Count(NOTIFY_ADDRESS), 2u) << "its own change, then the rebuild";
    Free(0);
    Free(0);
    EXPECT_EQ(first.Count(NOTIFY_ADDRESS), 3u);
    EXPECT_EQ(last.Count(NOTIFY_ADDRESS), 2u);
    patch.GetFixture(0)->Detach(&first);
    patch.GetFixture(63)->Detach(&last);
}

TEST_F(FixtureManagerTest, ReadingClearsEverySlotTheFileDoesNotFill)
{
    Read("<fixtures><fixture index='2' label='a'/><fixture index='5' label='b'/></fixtures>");
    EXPECT_EQ(Cleared(), Join({0, 1, 3, 4}, Range(6, 64)));
    using Commands = std::vector<std::pair<uint32_t, uint32_t>>;
    const Commands expected = {{COMMAND_CLEAR, 0}, {COMMAND_CLEAR, 1}, {COMMAND_SET_LABEL, 2},
                               {COMMAND_CLEAR, 3}, {COMMAND_CLEAR, 4}, {COMMAND_SET_LABEL, 5}};
    const Commands commands = sink.Commands();
    EXPECT_EQ(Commands(commands.begin(), commands.begin() + 6), expected);

    sink.sent.clear();
    Read("<fixtures/>");
    EXPECT_EQ(Cleared(), Range(0, 64));

    // A child without index goes to the slot after the previous child's.
    sink.sent.clear();
    Read("<fixtures><fixture index='3' label='a'/><fixture label='b'/></fixtures>");
    const std::vector<CMessage> labels = sink.Find(MANAGER_FIXTURE, COMMAND_SET_LABEL);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].GetIndex0(), 3u);
    EXPECT_EQ(labels[1].GetIndex0(), 4u);
    EXPECT_EQ(labels[1].GetValue(), CMessageValue("b"));
    EXPECT_EQ(Cleared(), Join({0, 1, 2}, Range(5, 64)));
}

TEST_F(FixtureManagerTest, OddIndexesNeverLeaveAnOldFixtureBehindNorCrash)
{
    // A step back: slot 8 is never named, and is cleared all the same.
    Read("<fixtures><fixture index='7' label='a'/><fixture index='2' label='b'/></fixtures>");
    EXPECT_EQ(Cleared(), Join(Range(0, 7), Range(8, 64)));

    // A comment or an element of another name takes no slot's place; an index that is no number
    // is as good as none (the next slot); negative ones or those past the last slot are passed
    // over.
    sink.sent.clear();
    Read("<fixtures><fixture index='0' label='a'/><!-- note --><other label='z'/><fixture label='b'/>"
         "<fixture index='x' label='c'/><fixture index='-4' label='d'/><fixture index='1000' label='e'/>"
         "<fixture index='99999999999999999999' label='f'/></fixtures>");
    std::vector<uint32_t> labelled;
    for (const CMessage& record : sink.Find(MANAGER_FIXTURE, COMMAND_SET_LABEL))
        labelled.push_back(record.GetIndex0());
    EXPECT_EQ(labelled, Range(0, 3));
    for (const CMessage& record : sink.sent)
    {
        EXPECT_LT(record.GetIndex0(), 64u);
        EXPECT_TRUE(record.GetCommand() == COMMAND_CLEAR || record.GetIndex0() <= 2)
            << record.GetCommand() << " " << record.GetIndex0();
    }
    EXPECT_EQ(Cleared(), Join(Range(4, 64), {3}));
}

TEST_F(FixtureManagerTest, EachSlotIsReadOnceHoweverOftenTheFileNamesIt)
{
    // What a file queues: the same as the file with only the last element that names each slot,
    // which stands as the file is read in order.
    const auto sent = [](const std::string& xml) {
        CRecordingSink records;
        CFixtureManager fresh;
        fresh.Init(nullptr, &records);
        TiXmlDocument document;
        document.Parse(("<fixtures>" + xml + "</fixtures>").c_str());
        fresh.ReadXml(document.RootElement());
        return records.TargetsAndValues();
    };
    std::string repeats;
    for (int i = 0; i < 1000; ++i)
        repeats += "<fixture index='3' label='b' invert_pan='true'/><fixture index='2' label='c'/>";
    const std::vector<std::string> once =
        sent("<fixture index='3' label='b' invert_pan='true'/><fixture index='2' label='c'/>");
    EXPECT_EQ(sent("<fixture index='3' label='a'/>" + repeats), once);
    EXPECT_LE(once.size(), 64u + 8u);
}

TEST_F(FixtureManagerTest, ASlotClearedOnTheWayAndNamedLaterGetsEveryValue)
{
    Patch(1, 40, 2, "Kept");
    sink.sent.clear();
    // Slot 1 is cleared for the gap before 4; the step back then names it with the values the
    // mirror still holds, which must be sent all the same.
    Read("<fixtures><fixture index='4'/><fixture index='1' label='Kept' address='40'/></fixtures>");
    std::vector<uint32_t> toSlot1;
    for (const CMessage& record : sink.sent)
    {
        if (record.GetIndex0() == 1)
            toSlot1.push_back(record.GetCommand());
    }
    EXPECT_EQ(toSlot1, (std::vector<uint32_t>{COMMAND_CLEAR, COMMAND_SET_PERSONALITY, COMMAND_SET_ADDRESS,
                                             COMMAND_SET_LABEL, COMMAND_SET_VIRTUAL_DIMMER, COMMAND_SET_INVERT_PAN,
                                             COMMAND_SET_INVERT_TILT, COMMAND_SET_SWAP_PAN_TILT}));
}

TEST_F(FixtureManagerTest, SavedPatchLoadsBackIntoAnotherModel)
{
    Patch(0, 1, 16, "Spot 1");
    Patch(7, 200, 4);
    // Labelled but unpatched: saved without address, and must come back unpatched.
    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_LABEL, 12, CMessageValue("Spare")));
    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_PROPERTIES, 63, CMessageValue(0x00000008u)));

    TiXmlElement saved("fixtures");
    patch.WriteXml(&saved);
    int children = 0;
    for (const TiXmlElement* child = saved.FirstChildElement(); child; child = child->NextSiblingElement())
        ++children;
    EXPECT_EQ(children, 4);

    CRecordingSink otherSink;
    CFixtureManager other;
    other.Init(nullptr, &otherSink);
    other.ReadXml(&saved);
    std::map<uint32_t, std::vector<CMessage>> bySlot;
    for (const CMessage& record : otherSink.sent)
        bySlot[record.GetIndex0()].push_back(record);
    ASSERT_EQ(bySlot[0].size(), 3u);
    EXPECT_EQ(bySlot[0][0].GetValue(), CMessageValue(CPersonalityRef("M", "P16", "", std::string(32, '1')).ToCsv()));
    EXPECT_EQ(bySlot[0][1].GetValue(), CMessageValue(1u));
    EXPECT_EQ(bySlot[0][2].GetValue(), CMessageValue("Spot 1"));
    ASSERT_EQ(bySlot[12].size(), 1u) << "no address for the unpatched fixture";
    EXPECT_EQ(bySlot[12][0].GetCommand(), COMMAND_SET_LABEL);
    ASSERT_EQ(bySlot[63].size(), 1u);
    EXPECT_EQ(bySlot[63][0].GetCommand(), COMMAND_SET_VIRTUAL_DIMMER);
    EXPECT_EQ(bySlot[5].size(), 1u);
    EXPECT_EQ(bySlot[5][0].GetCommand(), COMMAND_CLEAR);
}

TEST_F(FixtureManagerTest, DigestChangesWithAnyFixture)
{
    // The model root folds in the cached digest: a change of any fixture must reach it.
    const CDigest before = patch.GetDigest();
    EXPECT_FALSE(patch.IsChanged());
    patch.HandleMessage(Record(MANAGER_FIXTURE, COMMAND_GET_LABEL, 40, CMessageValue("x")));
    EXPECT_TRUE(patch.IsChanged());
    EXPECT_NE(patch.GetDigest(), before);
}
