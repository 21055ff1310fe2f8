#include "graphics/lzw_coder.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
using Queue = CLzwCoder::Queue;

Queue QueueOf(std::initializer_list<uint8_t> bytes)
{
    return Queue(bytes);
}

Queue Encoded(Queue input, uint8_t width)
{
    CLzwCoder coder;
    Queue output;
    EXPECT_TRUE(coder.Encode(input, output, width));
    EXPECT_TRUE(input.empty());
    return output;
}

Queue Decoded(Queue input, uint8_t width)
{
    CLzwCoder coder;
    Queue output;
    EXPECT_TRUE(coder.Decode(input, output, width));
    return output;
}
}  // namespace

TEST(LzwCoder, RepeatedPairEncodesToGrowingCodesAndBack)
{
    const Queue text = QueueOf({65, 66, 65, 66, 65, 66, 65});
    const Queue code = Encoded(text, 16);
    // 65, 66, 256 ("AB"), 258 ("ABA", the string being built), 16 bits each, low byte first.
    EXPECT_EQ(code, QueueOf({0x41, 0x00, 0x42, 0x00, 0x00, 0x01, 0x02, 0x01}));
    EXPECT_EQ(Decoded(code, 16), text);
}

TEST(LzwCoder, SingleByteAndEmptyInput)
{
    EXPECT_EQ(Encoded(QueueOf({200}), 16), QueueOf({200, 0}));
    EXPECT_EQ(Decoded(QueueOf({200, 0}), 16), QueueOf({200}));
    EXPECT_TRUE(Encoded(Queue(), 16).empty());
    EXPECT_TRUE(Decoded(Queue(), 16).empty());
}

TEST(LzwCoder, CodeOfTheStringBeingBuiltIsPreviousStringAndItsFirstByte)
{
    // 10, then 256 before any entry 256 exists: "10" + 10.
    EXPECT_EQ(Decoded(QueueOf({10, 0, 0x00, 0x01}), 16), QueueOf({10, 10, 10}));
}

TEST(LzwCoder, TwelveBitCodesPackThreeBytesPerPairAndPaddingIsNoCode)
{
    const Queue three = Encoded(QueueOf({1, 2, 3}), 12);
    // 001 | 002 | 003: 36 bits, the last byte half used.
    EXPECT_EQ(three, QueueOf({0x01, 0x20, 0x00, 0x03, 0x00}));
    EXPECT_EQ(Decoded(three, 12), QueueOf({1, 2, 3}));
    const Queue four = Encoded(QueueOf({1, 2, 3, 4}), 12);
    EXPECT_EQ(four.size(), 6u);
    EXPECT_EQ(Decoded(four, 12), QueueOf({1, 2, 3, 4}));
}

TEST(LzwCoder, PartlyFilledByteCarriesOverToTheNextCall)
{
    CLzwCoder encoder;
    Queue output;
    Queue first = QueueOf({7, 8});
    Queue second = QueueOf({9});
    ASSERT_TRUE(encoder.Encode(first, output, 10));
    EXPECT_EQ(output.size(), 3u);  // 20 bits
    ASSERT_TRUE(encoder.Encode(second, output, 10));
    EXPECT_EQ(output.size(), 4u);  // 30 bits
    EXPECT_EQ(Decoded(output, 10), QueueOf({7, 8, 9}));
}

TEST(LzwCoder, RoundTripsAtEveryWidth)
{
    std::mt19937 random(7);
    for (uint8_t width = CLzwCoder::kMinWidth; width <= CLzwCoder::kMaxWidth; ++width)
        for (size_t length : {1u, 2u, 5u, 33u, 200u})
        {
            Queue text;
            for (size_t i = 0; i < length; ++i)
                text.push_back(uint8_t(random() % 3 + 'a'));
            EXPECT_EQ(Decoded(Encoded(text, width), width), text) << int(width) << " " << length;
        }
}

TEST(LzwCoder, WidthsThatCannotWorkAreRefused)
{
    for (uint8_t width : {0, 1, 8, 17, 32})
    {
        CLzwCoder coder;
        Queue input = QueueOf({1, 2, 3});
        Queue output;
        EXPECT_FALSE(coder.Encode(input, output, width));
        EXPECT_FALSE(coder.Decode(input, output, width));
        EXPECT_EQ(input.size(), 3u);
        EXPECT_TRUE(output.empty());
    }
}

TEST(LzwCoder, InputNeedingMoreCodesThanTheWidthHoldsFailsAndKeepsTheRest)
{
    // Distinct byte pairs add a string each; 9 bits leave room for 256 new strings.
    Queue text;
    std::mt19937 random(3);
    for (int i = 0; i < 4000; ++i)
        text.push_back(uint8_t(random()));
    const Queue original = text;
    CLzwCoder encoder;
    Queue code;
    EXPECT_FALSE(encoder.Encode(text, code, 9));
    EXPECT_LE(encoder.GetSize(), 512u);
    ASSERT_FALSE(text.empty());
    // What was written decodes to the front of the input; the rest is still waiting.
    Queue decoded = Decoded(code, 9);
    decoded.insert(decoded.end(), text.begin(), text.end());
    EXPECT_EQ(decoded, original);
}

TEST(LzwCoder, DamagedInputDecodesWithoutFault)
{
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round)
    {
        Queue input;
        const size_t length = random() % 300;
        for (size_t i = 0; i < length; ++i)
            input.push_back(uint8_t(random()));
        const uint8_t width = uint8_t(CLzwCoder::kMinWidth + random() % 8);
        CLzwCoder coder;
        Queue output;
        EXPECT_TRUE(coder.Decode(input, output, width));
        EXPECT_LE(coder.GetSize(), size_t(1) << width);
        EXPECT_LE(input.size(), 2u);  // only bits short of a code remain
    }
}
