#include "foundation/midi_address.h"

#include <gtest/gtest.h>

namespace
{
CMidiAddress Address(int32_t channel, uint32_t message, uint8_t index)
{
    CMidiAddress address;
    address.SetChannel(channel);
    address.SetMessage(message);
    address.SetIndex(index);
    return address;
}
}  // namespace

TEST(MidiAddress, DefaultIsNoteOnChannelZero)
{
    EXPECT_EQ(CMidiAddress(), Address(0, 9, 0));
    EXPECT_EQ(CMidiAddress().ToString(), "Channel 0 - Message 9 - Index 0");
}

TEST(MidiAddress, TextRoundTripsForAChannel)
{
    const CMidiAddress address = Address(3, 9, 60);
    EXPECT_EQ(address.ToString(), "Channel 3 - Message 9 - Index 60");
    CMidiAddress back = Address(7, 7, 7);
    back.Parse(address.ToString());
    EXPECT_EQ(back, address);
}

TEST(MidiAddress, ParseCutsAtTheFirstDash)
{
    const CMidiAddress any = Address(CMidiAddress::kAnyChannel, 9, 60);
    EXPECT_EQ(any.ToString(), "Channel -1 - Message 9 - Index 60");
    CMidiAddress back;
    back.Parse(any.ToString());
    EXPECT_EQ(back, Address(-1, 8, 0));

    back.Parse("channel 2 - Message 11 - Index 300");
    EXPECT_EQ(back, Address(2, 11, 44));
    back.Parse("Channel 0x0A - Message 12");
    EXPECT_EQ(back, Address(10, 12, 0));
    back.Parse("nonsense");
    EXPECT_EQ(back, Address(-1, 8, 0));
    back.Parse("");
    EXPECT_EQ(back, Address(-1, 8, 0));
}

TEST(MidiAddress, FromAReceivedMessage)
{
    CMidiAddress address;
    address.SetFromMessage(0xB53Cu);  // control change on channel 5, controller 60
    EXPECT_EQ(address, Address(5, 11, 60));
    address.SetFromMessage(0xFFFF9012u);  // only the low 16 bits count
    EXPECT_EQ(address, Address(0, 9, 0x12));
}

TEST(MidiAddress, MatchingTreatsMinusOneAsAnyChannel)
{
    EXPECT_TRUE(Address(-1, 9, 60).Matches(Address(5, 9, 60)));
    EXPECT_TRUE(Address(5, 9, 60).Matches(Address(-1, 9, 60)));
    EXPECT_TRUE(Address(5, 9, 60).Matches(Address(5, 9, 60)));
    EXPECT_FALSE(Address(4, 9, 60).Matches(Address(5, 9, 60)));
    EXPECT_FALSE(Address(-1, 9, 60).Matches(Address(5, 8, 60)));
    EXPECT_FALSE(Address(-1, 9, 60).Matches(Address(-1, 9, 61)));

    EXPECT_TRUE(Address(-1, 15, 200) < Address(0, 8, 0));
    EXPECT_TRUE(Address(3, 8, 0) > Address(2, 15, 200));
    EXPECT_FALSE(Address(3, 8, 0) < Address(3, 9, 1));
}

TEST(MidiAddress, DisplayTextNamesTheMessage)
{
    EXPECT_EQ(Address(0, 11, 7).ToDisplayString(), "Control Change - Index 7");
    EXPECT_EQ(Address(0, 3, 1).ToDisplayString(), "Unknown - Index 1");
    EXPECT_STREQ(CMidiAddress::MessageName(8), "Note Off");
    EXPECT_STREQ(CMidiAddress::MessageName(15), "Clock");
    EXPECT_STREQ(CMidiAddress::MessageName(16), "Unknown");
}
