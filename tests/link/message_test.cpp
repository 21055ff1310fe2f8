#include "link/message.h"

#include <gtest/gtest.h>

TEST(Message, DefaultRecordIsValidNowhere)
{
    const CMessage message;
    EXPECT_EQ(message.GetManager(), 64u);
    EXPECT_EQ(message.GetCommand(), 77u);
    EXPECT_EQ(MessageManagerName(message.GetManager()), "MAx");
    EXPECT_EQ(MessageCommandName(message.GetCommand()), "Max");
    EXPECT_EQ(message.GetIndex0() + message.GetIndex1() + message.GetIndex2(), 0u);
    EXPECT_EQ(message.GetSequence(), 0u);
    EXPECT_EQ(message.GetValue().GetType(), VALUE_NONE);
}

TEST(Message, SameTargetIgnoresSequenceAndPayloadOnly)
{
    CMessage a(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
    a.SetIndex0(3);
    a.SetSequence(7);
    a.SetValue(CMessageValue(0.5f));
    CMessage b = a;
    b.SetSequence(8);
    b.SetValue(CMessageValue(0.25f));
    EXPECT_TRUE(a.IsSameTarget(b));

    CMessage other = a;
    other.SetIndex1(1);
    EXPECT_FALSE(a.IsSameTarget(other));
    other = a;
    other.SetIndex2(1);
    EXPECT_FALSE(a.IsSameTarget(other));
    other = a;
    other.SetManager(MANAGER_CUE);
    EXPECT_FALSE(a.IsSameTarget(other));
    EXPECT_FALSE(a.IsSameTarget(CMessage(MANAGER_PLAYBACK, COMMAND_GET_INTENSITY)));
}

TEST(Message, CopiesOwnTheirPayload)
{
    CMessage a(MANAGER_CUE, COMMAND_SET_CUE_STREAM_BLOCK);
    CMessageValue raw;
    const uint8_t bytes[3] = {1, 2, 3};
    raw.SetRawData(bytes, 3);
    a.SetValue(raw);
    const CMessage copy = a;
    const uint8_t other[3] = {9, 9, 9};
    raw.SetRawData(other, 3);
    a.SetValue(raw);
    EXPECT_EQ(copy.GetValue().GetRawData()[0], 1u);
}

TEST(MessageNames, Managers)
{
    EXPECT_EQ(MessageManagerName(0), "Legacy");
    EXPECT_EQ(MessageManagerName(41), "Playback");
    EXPECT_EQ(MessageManagerName(45), "ProgrammerChange");
    EXPECT_EQ(MessageManagerName(63), "Engine");
    EXPECT_EQ(MessageManagerName(118), "Identify");
    EXPECT_EQ(MessageManagerName(1), "?");
    EXPECT_EQ(MessageManagerName(65), "?");
    EXPECT_EQ(MessageManagerName(117), "?");
    int named = 0;
    for (uint32_t id = 0; id < 256; ++id)
        named += MessageManagerName(id) != "?";
    EXPECT_EQ(named, 28);
}

TEST(MessageNames, Commands)
{
    EXPECT_EQ(MessageCommandName(0), "Notify");
    EXPECT_EQ(MessageCommandName(24), "SetIntensity");
    EXPECT_EQ(MessageCommandName(33), "SetGoMode");
    EXPECT_EQ(MessageCommandName(74), "Hello");
    EXPECT_EQ(MessageCommandName(76), "GetDigest");
    EXPECT_EQ(MessageCommandName(78), "End");
    EXPECT_EQ(MessageCommandName(75), "?");
    EXPECT_EQ(MessageCommandName(79), "?");
    EXPECT_EQ(MessageCommandName(0xFFFFFFFFu), "?");
    int named = 0;
    for (uint32_t id = 0; id < 200; ++id)
        named += MessageCommandName(id) != "?";
    EXPECT_EQ(named, 78);
}
