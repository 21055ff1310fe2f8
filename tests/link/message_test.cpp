#include "link/message.h"

#include <gtest/gtest.h>

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

TEST(MessageNames, NamedIdsAndQuestionMarksElsewhere)
{
    EXPECT_EQ(MessageManagerName(CMessage().GetManager()), "MAx");
    EXPECT_EQ(MessageCommandName(CMessage().GetCommand()), "Max");
    EXPECT_EQ(MessageManagerName(118), "Identify");
    EXPECT_EQ(MessageCommandName(78), "End");
    EXPECT_EQ(MessageCommandName(0xFFFFFFFFu), "?");
    int managers = 0;
    int commands = 0;
    for (uint32_t id = 0; id < 256; ++id)
    {
        managers += MessageManagerName(id) != "?";
        commands += MessageCommandName(id) != "?";
    }
    EXPECT_EQ(managers, 28);
    EXPECT_EQ(commands, 78);
}

