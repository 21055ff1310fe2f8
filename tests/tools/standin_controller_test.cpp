#include "tools/standin/controller.h"
#include "tools/standin/show_digest.h"

#include "link/message_frame.h"

#include <gtest/gtest.h>

#include <vector>

using standin::CController;

// Readable failure messages for payloads.
void PrintTo(const CMessageValue& value, std::ostream* out)
{
    *out << "tag " << value.GetType() << " " << value.ToText();
}
using standin::SLinkAnswer;

namespace
{
using Bytes = std::vector<uint8_t>;

CMessage Record(uint32_t manager, uint32_t command, uint32_t index0 = 0, uint32_t index1 = 0,
                uint32_t index2 = 0, const CMessageValue& value = CMessageValue())
{
    CMessage record(manager, command);
    record.SetIndex0(index0);
    record.SetIndex1(index1);
    record.SetIndex2(index2);
    record.SetValue(value);
    return record;
}

class ControllerTest : public ::testing::Test
{
protected:
    // Sends a record as a frame with the next sequence number.
    SLinkAnswer Send(CMessage record)
    {
        record.SetSequence(++m_sequence);
        Bytes frame;
        EXPECT_TRUE(CMessageFrame::Encode(record, frame));
        SLinkAnswer answer;
        EXPECT_TRUE(m_controller.HandleFrame(frame.data(), frame.size(), answer));
        // Every frame is answered by one frame of its sequence, manager, command and indexes.
        EXPECT_EQ(answer.reply.GetSequence(), m_sequence);
        EXPECT_TRUE(answer.reply.IsSameTarget(record));
        for (const CMessage& notify : answer.notifies)
        {
            EXPECT_EQ(notify.GetCommand(), COMMAND_NOTIFY);
            EXPECT_EQ(notify.GetSequence(), m_sequence) << "a Notify carries its request's sequence";
            EXPECT_EQ(notify.GetValue().GetType(), VALUE_UNSIGNED);
        }
        return answer;
    }

    CMessageValue Get(uint32_t manager, uint32_t command, uint32_t index0 = 0, uint32_t index1 = 0,
                      uint32_t index2 = 0)
    {
        const SLinkAnswer answer = Send(Record(manager, command, index0, index1, index2));
        EXPECT_TRUE(answer.notifies.empty());
        return answer.reply.GetValue();
    }

    static std::vector<uint32_t> Codes(const SLinkAnswer& answer)
    {
        std::vector<uint32_t> codes;
        for (const CMessage& notify : answer.notifies)
            codes.push_back(notify.GetValue().GetUnsigned());
        return codes;
    }

    CController m_controller;
    uint16_t m_sequence = 100;
};
}  // namespace

TEST_F(ControllerTest, EverySetIsAcknowledgedEmptyThenToldAndReadBack)
{
    Send(Record(MANAGER_PLAYBACK, COMMAND_SET_COUNT, 5, 0, 0, CMessageValue(2u)));
    struct SCase
    {
        CMessage set;
        uint32_t notifyManager;
        uint32_t code;
        CMessage get;
        CMessageValue expected;
    };
    const SCase cases[] = {
        {Record(41, COMMAND_SET_LABEL, 5, 0, 0, CMessageValue(std::string("Wash"))), 41, 289,
         Record(41, COMMAND_GET_LABEL, 5), CMessageValue(std::string("Wash"))},
        {Record(41, COMMAND_SET_INTENSITY, 5, 0, 0, CMessageValue(1.5f)), 41, 290, Record(41, COMMAND_GET_INTENSITY, 5),
         CMessageValue(1.0f)},
        {Record(41, COMMAND_SET_SPEED, 5, 0, 0, CMessageValue(-0.25f)), 41, 13, Record(41, COMMAND_GET_SPEED, 5),
         CMessageValue(-0.25f)},
        {Record(41, COMMAND_SET_REPEAT, 5, 0, 0, CMessageValue(2u)), 41, 291, Record(41, COMMAND_GET_REPEAT, 5),
         CMessageValue(2u)},
        {Record(41, COMMAND_SET_BACKGROUND, 5, 0, 0, CMessageValue(true)), 41, 197,
         Record(41, COMMAND_GET_BACKGROUND, 5), CMessageValue(true)},
        {Record(41, COMMAND_SET_EXCLUSIVE, 5, 0, 0, CMessageValue(true)), 41, 46, Record(41, COMMAND_GET_EXCLUSIVE, 5),
         CMessageValue(true)},
        {Record(41, COMMAND_SET_GO_MODE, 5, 0, 0, CMessageValue(1u)), 41, 121, Record(41, COMMAND_GET_PROPERTIES, 5),
         CMessageValue(0xFF022013u)},  // current none, 2 cues, repeat 2, go mode 1, exclusive, background
        {Record(43, COMMAND_SET_LABEL, 5, 1, 0, CMessageValue(std::string("Blue"))), 43, 289,
         Record(43, COMMAND_GET_LABEL, 5, 1), CMessageValue(std::string("Blue"))},
        {Record(43, COMMAND_SET_CONDITION, 5, 1, 0, CMessageValue(1u)), 43, 90, Record(43, COMMAND_GET_CONDITION, 5, 1),
         CMessageValue(1u)},
        {Record(43, COMMAND_SET_FADE_TIME, 5, 1, 0, CMessageValue(2500u)), 43, 293,
         Record(43, COMMAND_GET_FADE_TIME, 5, 1), CMessageValue(2500u)},
        {Record(43, COMMAND_SET_DELAY_TIME, 5, 1, 0, CMessageValue(40u)), 43, 54,
         Record(43, COMMAND_GET_DELAY_TIME, 5, 1), CMessageValue(40u)},
        {Record(31, COMMAND_SET_LABEL, 9, 0, 0, CMessageValue(std::string("Spot"))), 31, 289,
         Record(31, COMMAND_GET_LABEL, 9), CMessageValue(std::string("Spot"))},
        {Record(31, COMMAND_SET_PERSONALITY, 9, 0, 0, CMessageValue(std::string("\"A\",\"B\",\"\",\"0102\""))), 31, 32,
         Record(31, COMMAND_GET_PERSONALITY, 9), CMessageValue(std::string("\"A\",\"B\",\"\",\"0102\""))},
        {Record(31, COMMAND_SET_ADDRESS, 9, 0, 0, CMessageValue(37u)), 31, 20, Record(31, COMMAND_GET_ADDRESS, 9),
         CMessageValue(37u)},
        {Record(31, COMMAND_SET_INVERT_PAN, 9, 0, 0, CMessageValue(true)), 31, 24,
         Record(31, COMMAND_GET_INVERT_PAN, 9), CMessageValue(true)},
        {Record(31, COMMAND_SET_SWAP_PAN_TILT, 9, 0, 0, CMessageValue(true)), 31, 24,
         Record(31, COMMAND_GET_PROPERTIES, 9), CMessageValue(0x00250005u)},
        {Record(31, COMMAND_SET_VIRTUAL_DIMMER, 9, 0, 0, CMessageValue(true)), 31, 206,
         Record(31, COMMAND_GET_VIRTUAL_DIMMER, 9), CMessageValue(true)},
        {Record(44, COMMAND_SET_FIXTURES, 0, 0, 0, CMessageValue(uint64_t(0x8000000000000005ull))), 44, 38,
         Record(44, COMMAND_GET_FIXTURES), CMessageValue(uint64_t(0x8000000000000005ull))},
        {Record(44, COMMAND_SET_BLIND, 0, 0, 0, CMessageValue(true)), 44, 294, Record(44, COMMAND_GET_BLIND),
         CMessageValue(true)},
        {Record(44, COMMAND_SET_PLAYBACK, 0, 0, 0, CMessageValue(12u)), 44, 400, Record(44, COMMAND_GET_PLAYBACK),
         CMessageValue(12u)},
        {Record(45, COMMAND_SET_VALUE, 2, 0, 0, CMessageValue(CCoordinate(0.25f, -0.5f))), 45, 84,
         Record(45, COMMAND_GET_VALUE, 2), CMessageValue(CCoordinate(0.25f, -0.5f))},
        {Record(10, COMMAND_SET_ENABLED, 0, 0, 0, CMessageValue(true)), 10, 19, Record(10, COMMAND_GET_ENABLED),
         CMessageValue(true)},
        {Record(10, COMMAND_SET_VALUE, 0, 0, 0, CMessageValue(0x112u)), 10, 23, Record(10, COMMAND_GET_VALUE),
         CMessageValue(0x12u)},
        {Record(11, COMMAND_SET_VALUE, 0, 0, 0, CMessageValue(63999u)), 11, 23, Record(11, COMMAND_GET_VALUE),
         CMessageValue(63999u)},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(MessageManagerName(c.set.GetManager()) + " " + MessageCommandName(c.set.GetCommand()));
        const SLinkAnswer answer = Send(c.set);
        EXPECT_EQ(answer.reply.GetValue().GetType(), VALUE_NONE) << "a Set is acknowledged without payload";
        ASSERT_FALSE(answer.notifies.empty());
        const CMessage& notify = answer.notifies.front();
        EXPECT_EQ(notify.GetManager(), c.notifyManager);
        EXPECT_EQ(notify.GetIndex0(), c.set.GetIndex0());
        EXPECT_EQ(notify.GetIndex1(), c.set.GetIndex1());
        EXPECT_EQ(notify.GetValue().GetUnsigned(), c.code);
        EXPECT_EQ(Get(c.get.GetManager(), c.get.GetCommand(), c.get.GetIndex0(), c.get.GetIndex1()), c.expected);
    }
}

TEST_F(ControllerTest, ResendsAreAnsweredButNotAppliedTwice)
{
    CMessage add = Record(MANAGER_PLAYBACK, COMMAND_ADD, 0, 0, 0, CMessageValue(0xFFFFFFFFu));
    add.SetSequence(7);
    Bytes frame;
    ASSERT_TRUE(CMessageFrame::Encode(add, frame));
    SLinkAnswer first;
    SLinkAnswer again;
    ASSERT_TRUE(m_controller.HandleFrame(frame.data(), frame.size(), first));
    ASSERT_TRUE(m_controller.HandleFrame(frame.data(), frame.size(), again));
    EXPECT_FALSE(first.duplicate);
    EXPECT_TRUE(again.duplicate);
    EXPECT_EQ(again.reply.GetSequence(), 7u);
    EXPECT_TRUE(again.notifies.empty());
    EXPECT_EQ(m_controller.GetShow().playbacks[0].cues.size(), 1u);

    // The same sequence with a new payload is the program's newer value for the record in flight.
    CMessage set = Record(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY, 0, 0, 0, CMessageValue(0.2f));
    set.SetSequence(8);
    ASSERT_TRUE(CMessageFrame::Encode(set, frame));
    ASSERT_TRUE(m_controller.HandleFrame(frame.data(), frame.size(), first));
    set.SetValue(CMessageValue(0.7f));
    ASSERT_TRUE(CMessageFrame::Encode(set, frame));
    ASSERT_TRUE(m_controller.HandleFrame(frame.data(), frame.size(), again));
    EXPECT_FALSE(again.duplicate);
    EXPECT_FLOAT_EQ(m_controller.GetShow().playbacks[0].intensity, 0.7f);
    // And back to the first value: applied, though those bytes came under this sequence before.
    set.SetValue(CMessageValue(0.2f));
    ASSERT_TRUE(CMessageFrame::Encode(set, frame));
    ASSERT_TRUE(m_controller.HandleFrame(frame.data(), frame.size(), again));
    EXPECT_FALSE(again.duplicate);
    EXPECT_FLOAT_EQ(m_controller.GetShow().playbacks[0].intensity, 0.2f);
    ASSERT_TRUE(m_controller.HandleFrame(frame.data(), frame.size(), again));
    EXPECT_TRUE(again.duplicate);

    const uint8_t junk[19] = {};
    EXPECT_FALSE(m_controller.HandleFrame(junk, sizeof(junk), first));
}

TEST_F(ControllerTest, CueListCommands)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Codes(Send(Record(41, COMMAND_ADD, 2, 0, 0, CMessageValue(0xFFFFFFFFu)))), std::vector<uint32_t>{3});
    Send(Record(43, COMMAND_SET_LABEL, 2, 0, 3, CMessageValue(std::string("x"))));
    EXPECT_EQ(m_controller.GetShow().playbacks[2].cues[2].label, "x") << "a range of three";
    Send(Record(43, COMMAND_SET_LABEL, 2, 1, 0, CMessageValue(std::string("y"))));
    EXPECT_EQ(m_controller.GetShow().playbacks[2].cues[1].label, "y");
    EXPECT_EQ(m_controller.GetShow().playbacks[2].cues[2].label, "x") << "count 0 addresses one cue";

    Send(Record(41, COMMAND_ADD, 2, 0, 0, CMessageValue(0u)));
    EXPECT_EQ(m_controller.GetShow().playbacks[2].cues[0].label, "") << "inserted at the front";
    EXPECT_EQ(Get(41, COMMAND_GET_COUNT, 2), CMessageValue(4u));

    Send(Record(41, COMMAND_REMOVE, 2, 1, 2));
    EXPECT_EQ(Get(41, COMMAND_GET_COUNT, 2), CMessageValue(2u));
    Send(Record(41, COMMAND_SET_COUNT, 2, 0, 0, CMessageValue(5u)));
    EXPECT_EQ(m_controller.GetShow().playbacks[2].cues[1].label, "x") << "a new count keeps the cues";
    EXPECT_EQ(Get(41, COMMAND_GET_COUNT, 2), CMessageValue(5u));

    EXPECT_EQ(Get(43, COMMAND_GET_LABEL, 2, 9).GetType(), VALUE_NONE) << "a cue beyond the list";

    CMessageValue block;
    Bytes bytes(800, 0);
    bytes[17] = 0x80;
    block.SetRawData(bytes.data(), 800);
    const SLinkAnswer stored = Send(Record(43, COMMAND_SET_CUE_STREAM_BLOCK, 2, 1, 3, block));
    ASSERT_EQ(stored.notifies.size(), 1u);
    EXPECT_EQ(stored.notifies[0].GetIndex2(), 3u) << "the Notify names the block";
    EXPECT_EQ(stored.notifies[0].GetValue().GetUnsigned(), 296u);
    const CMessageValue back = Get(43, COMMAND_GET_CUE_STREAM_BLOCK, 2, 1, 3);
    ASSERT_EQ(back.GetRawSize(), 800u);
    EXPECT_EQ(back.GetRawData()[17], 0x80);

    CMessageValue shortBlock;
    shortBlock.SetRawData(bytes.data(), 799);
    EXPECT_TRUE(Send(Record(43, COMMAND_SET_CUE_STREAM_BLOCK, 2, 1, 0, shortBlock)).notifies.empty());

    EXPECT_EQ(Codes(Send(Record(41, COMMAND_CLEAR, 2))), (std::vector<uint32_t>{0, 3}));
    EXPECT_EQ(Get(41, COMMAND_GET_COUNT, 2), CMessageValue(0u));
}

TEST_F(ControllerTest, SwapAndReleaseTellBothPlaybacks)
{
    Send(Record(41, COMMAND_SET_LABEL, 1, 0, 0, CMessageValue(std::string("one"))));
    Send(Record(41, COMMAND_ADD, 1, 0, 0, CMessageValue(0xFFFFFFFFu)));
    const SLinkAnswer swap = Send(Record(MANAGER_PLAYBACK_MANAGER, COMMAND_SWAP, 1, 6));
    ASSERT_EQ(swap.notifies.size(), 4u);
    EXPECT_EQ(Codes(swap), (std::vector<uint32_t>{0, 3, 0, 3}));
    EXPECT_EQ(swap.notifies[0].GetIndex0(), 1u);
    EXPECT_EQ(swap.notifies[2].GetIndex0(), 6u);
    EXPECT_EQ(Get(41, COMMAND_GET_LABEL, 6), CMessageValue(std::string("one")));

    Send(Record(41, COMMAND_SET_GO_DOWN, 6, 0, 0, CMessageValue(true)));
    EXPECT_EQ(Get(41, COMMAND_GET_CURRENT_CUE, 6), CMessageValue(0u));
    EXPECT_EQ(Get(41, COMMAND_GET_STATUS, 6), CMessageValue(1u));
    const SLinkAnswer release = Send(Record(MANAGER_PLAYBACK_MANAGER, COMMAND_RELEASE));
    EXPECT_EQ(Codes(release), (std::vector<uint32_t>{144, 92}));
    EXPECT_EQ(Get(41, COMMAND_GET_CURRENT_CUE, 6), CMessageValue(255u));
}

TEST_F(ControllerTest, ProgrammerRecordsAndLoadsCues)
{
    Send(Record(41, COMMAND_ADD, 4, 0, 0, CMessageValue(0xFFFFFFFFu)));
    Send(Record(44, COMMAND_SET_FIXTURES, 0, 0, 0, CMessageValue(uint64_t(1) << 19)));
    const SLinkAnswer value = Send(Record(45, COMMAND_SET_VALUE, 0, 0, 0, CMessageValue(1.0f)));
    EXPECT_EQ(Codes(value), (std::vector<uint32_t>{84, 117})) << "the programmer is no longer clear";

    // Fixture 19 lives in block 1, record 3; intensity is its bytes 16 and 17.
    const SLinkAnswer record = Send(Record(44, COMMAND_RECORD, 4, 0));
    ASSERT_EQ(record.notifies.size(), 1u);
    EXPECT_EQ(record.notifies[0].GetManager(), 43u);
    EXPECT_EQ(record.notifies[0].GetIndex2(), 1u);
    const CMessageValue block = Get(43, COMMAND_GET_CUE_STREAM_BLOCK, 4, 0, 1);
    ASSERT_EQ(block.GetRawSize(), 800u);
    EXPECT_EQ(block.GetRawData()[3 * 50 + 16], 0xFF);
    EXPECT_EQ(block.GetRawData()[3 * 50 + 17], 0xFF);
    EXPECT_EQ(block.GetRawData()[3 * 50 + 18], 0x00);

    const SLinkAnswer appended = Send(Record(44, COMMAND_RECORD, 4, 10));
    EXPECT_EQ(Get(41, COMMAND_GET_COUNT, 4), CMessageValue(2u)) << "a cue past the end is appended";
    EXPECT_EQ(appended.notifies[0].GetManager(), 41u);

    EXPECT_EQ(Codes(Send(Record(44, COMMAND_CLEAR))), (std::vector<uint32_t>{117, 38, 84}));
    EXPECT_EQ(Get(44, COMMAND_GET_FIXTURES), CMessageValue(uint64_t(0)));
    EXPECT_EQ(Get(45, COMMAND_GET_VALUE, 0), CMessageValue(0.0f));

    const SLinkAnswer load = Send(Record(44, COMMAND_LOAD, 4, 0));
    EXPECT_EQ(Codes(load), (std::vector<uint32_t>{38, 84}));
    EXPECT_EQ(Get(44, COMMAND_GET_FIXTURES), CMessageValue(uint64_t(1) << 19));
    EXPECT_EQ(Get(45, COMMAND_GET_VALUE, 0), CMessageValue(1.0f));
}

TEST_F(ControllerTest, GroupsStartWithConcreteValues)
{
    EXPECT_EQ(Get(45, COMMAND_GET_VALUE, 0).GetType(), VALUE_FLOAT);
    EXPECT_EQ(Get(45, COMMAND_GET_VALUE, 1).GetType(), VALUE_FX);
    EXPECT_EQ(Get(45, COMMAND_GET_VALUE, 2), CMessageValue(CCoordinate(0.5f, 0.5f)));
    EXPECT_EQ(Get(45, COMMAND_GET_VALUE, 4).GetType(), VALUE_COLOUR);
    EXPECT_EQ(Get(44, COMMAND_GET_VALUE, 16).GetType(), VALUE_FLOAT) << "the programmer answers for its groups";
    EXPECT_EQ(Get(45, COMMAND_GET_VALUE, 17).GetType(), VALUE_NONE);
    EXPECT_EQ(Get(44, COMMAND_GET_CLEAR), CMessageValue(true));
}

TEST_F(ControllerTest, UnknownRecordsAreAcknowledgedOnly)
{
    for (const CMessage& record : {Record(MANAGER_DEVICE_MANAGER, COMMAND_HELLO), Record(MANAGER_DMX, COMMAND_SET),
                                   Record(41, COMMAND_SET_INTENSITY, 64, 0, 0, CMessageValue(0.5f)),
                                   Record(31, COMMAND_SET_LABEL, 70, 0, 0, CMessageValue(std::string("x")))})
    {
        const SLinkAnswer answer = Send(record);
        EXPECT_TRUE(answer.notifies.empty());
        EXPECT_EQ(answer.reply.GetValue().GetType(), VALUE_NONE);
    }
}

TEST_F(ControllerTest, EngineDigestFollowsTheShow)
{
    const CMessageValue before = Get(MANAGER_ENGINE, COMMAND_GET_DIGEST);
    ASSERT_EQ(before.GetType(), VALUE_DIGEST);
    EXPECT_EQ(before.GetDigest(), standin::ComputeShowDigest(m_controller.GetShow()));
    Send(Record(41, COMMAND_SET_LABEL, 0, 0, 0, CMessageValue(std::string("new"))));
    EXPECT_NE(Get(MANAGER_ENGINE, COMMAND_GET_DIGEST).GetDigest(), before.GetDigest());
}

TEST(StandinDigest, PersonalityIsReadBetweenQuotes)
{
    EXPECT_EQ(standin::NormalisePersonality(""), "\"\",\"\",\"\",\"\"");
    EXPECT_EQ(standin::NormalisePersonality("x\"A\";\"B\" \"M\",\"0102\"tail"), "\"A\",\"B\",\"M\",\"0102\"");
    EXPECT_EQ(standin::NormalisePersonality("\"A\",\"B\""), "\"A\",\"B\",\"\",\"\"");
}

TEST(StandinDigest, EmptyShowDigestIsStable)
{
    // The digest of an empty show by the program's rules: 64 empty fixture digests, then 64 empty
    // playback digests, each combined as decimal word texts.
    const standin::SShow show;
    CDigestBuilder emptyFixture;
    emptyFixture.AddString("\"\",\"\",\"\",\"\"");
    emptyFixture.AddString("");
    emptyFixture.AddUnsigned(0);
    for (int i = 0; i < 4; ++i)
        emptyFixture.AddInt(0);
    CDigestBuilder patch;
    const CDigest fixtureDigest = emptyFixture.GetDigest();
    for (int i = 0; i < 64; ++i)
        patch.AddDigest(fixtureDigest);
    CDigestBuilder emptyPlayback;
    emptyPlayback.AddString("");
    for (int i = 0; i < 3; ++i)
        emptyPlayback.AddUnsigned(0);
    emptyPlayback.AddFloat(1.0f);
    emptyPlayback.AddFloat(0.0f);
    emptyPlayback.AddInt(0);
    emptyPlayback.AddInt(0);
    const CDigest playbackDigest = emptyPlayback.GetDigest();
    CDigestBuilder playbacks;
    for (int i = 0; i < 64; ++i)
        playbacks.AddDigest(playbackDigest);
    CDigestBuilder root;
    root.AddDigest(patch.GetDigest());
    root.AddDigest(playbacks.GetDigest());
    EXPECT_EQ(standin::ComputeShowDigest(show), root.GetDigest());
}
