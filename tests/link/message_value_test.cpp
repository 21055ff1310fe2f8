#include "link/message_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(MessageValue, ConstructorsSetTagAndMember)
{
    const CMessageValue yes(true);
    EXPECT_EQ(yes.GetType(), VALUE_BOOL);
    EXPECT_EQ(yes.GetUnsigned(), 1u);
    EXPECT_EQ(CMessageValue(uint64_t(1) << 40).GetType(), VALUE_U64);
    EXPECT_EQ(CMessageValue(CTime(1, 2, 3)).GetType(), VALUE_TIME);
}

TEST(MessageValue, SetTypeReleasesRawBytesOnlyOnAChange)
{
    CMessageValue value;
    const uint8_t bytes[4] = {1, 2, 3, 4};
    value.SetRawData(bytes, 4);
    EXPECT_EQ(value.GetType(), VALUE_RAW);
    EXPECT_EQ(value.GetUnsigned(), 4u);
    value.SetType(VALUE_RAW);
    EXPECT_EQ(value.GetRawSize(), 4u);
    value.SetType(VALUE_UNSIGNED);
    EXPECT_EQ(value.GetRawSize(), 0u);
    EXPECT_EQ(value.GetRawData(), nullptr);
    EXPECT_EQ(value.GetUnsigned(), 0u);

    CMessageValue text(std::string("kept"));
    text.SetType(VALUE_UNSIGNED);
    EXPECT_EQ(text.GetString(), "kept") << "other members stay as they were";
}

TEST(MessageValue, CopiesOwnSeparateRawBytes)
{
    CMessageValue source;
    const uint8_t bytes[2] = {1, 2};
    source.SetRawData(bytes, 2);
    CMessageValue copy(source);
    CMessageValue assigned;
    assigned = source;
    const uint8_t changed[2] = {7, 8};
    source.SetRawData(changed, 2);
    EXPECT_EQ(copy.GetRawData()[0], 1u);
    EXPECT_EQ(assigned.GetRawData()[1], 2u);
    EXPECT_NE(copy.GetRawData(), source.GetRawData());
}

TEST(MessageValue, Equality)
{
    EXPECT_EQ(CMessageValue(std::string("ab")), CMessageValue(std::string("ab")));
    EXPECT_NE(CMessageValue(std::string("ab")), CMessageValue(std::string("abc")));
    EXPECT_NE(CMessageValue(1u), CMessageValue(true)) << "different tags";
    EXPECT_EQ(CMessageValue(0.5f), CMessageValue(0.5f));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_NE(CMessageValue(nan), CMessageValue(nan));
    EXPECT_EQ(CMessageValue(CTime(1, 0, 0)), CMessageValue(CTime(1, 0, 0)));

    CMessageValue two;
    CMessageValue four;
    const uint8_t bytes[4] = {5, 6, 7, 8};
    two.SetRawData(bytes, 2);
    four.SetRawData(bytes, 4);
    EXPECT_NE(two, four);
    CMessageValue twoAgain;
    twoAgain.SetRawData(bytes, 2);
    EXPECT_EQ(two, twoAgain);

    EXPECT_FALSE(CMessageValue() == CMessageValue()) << "a value without a type equals nothing";
    const CMessageValue digest{CDigest()};
    EXPECT_NE(digest, CMessageValue(CDigest())) << "digests never compare equal";
    CMessageValue unknown(3u);
    unknown.SetType(4);
    EXPECT_NE(unknown, unknown);
}

TEST(MessageValue, DigestKeepsTheWordsInMemoryOrder)
{
    const uint32_t words[5] = {0x01020304, 0x11121314, 0x21222324, 0x31323334, 0x41424344};
    const CDigest digest(words);
    const CMessageValue value(digest);
    EXPECT_EQ(value.GetType(), VALUE_DIGEST);
    ASSERT_EQ(value.GetRawSize(), 20u);
    EXPECT_EQ(value.GetRawData()[0], digest.GetData()[0]);
    EXPECT_EQ(value.GetDigest(), digest);
}

TEST(MessageValue, TraceText)
{
    EXPECT_EQ(CMessageValue(std::string("Front")).ToText(), "Front");
    EXPECT_EQ(CMessageValue(42u).ToText(), "42");
    EXPECT_EQ(CMessageValue(false).ToText(), "false");
    EXPECT_EQ(CMessageValue(0.1f).ToText(), "0.100000001");
    EXPECT_EQ(CMessageValue(std::numeric_limits<float>::quiet_NaN()).ToText(), "nan");
    EXPECT_EQ(CMessageValue(-std::numeric_limits<float>::quiet_NaN()).ToText(), "-nan");
    EXPECT_EQ(CMessageValue(uint64_t(0xABCDEF0123ull)).ToText(), "0xABCDEF0123");
    EXPECT_EQ(CMessageValue(CCoordinate(0.5f, -1.0f)).ToText(), "0.5000 -1.0000");
    CFxValue fx;
    fx.SetShape(FX_SHAPE_CIRCLE);
    fx.SetSize(128);
    fx.SetSpeed(-20);
    EXPECT_EQ(CMessageValue(fx).ToText(), "Circle 128 -20 0");
    EXPECT_EQ(CMessageValue(CColour(255, 128, 0)).ToText(), "rgbawFF80000000");
    CMessageValue raw;
    const uint8_t bytes[3] = {};
    raw.SetRawData(bytes, 3);
    EXPECT_EQ(raw.ToText(), "3 bytes of raw data");
    EXPECT_EQ(CMessageValue(CTime(1, 2, 3)).ToText(), "?");
    EXPECT_EQ(CMessageValue().ToText(), "-");
}
