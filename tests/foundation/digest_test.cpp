#include "foundation/colour.h"
#include "foundation/date.h"
#include "foundation/digest.h"
#include "foundation/ip_address.h"
#include "foundation/rgba_colour.h"
#include "foundation/time.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
CDigest DigestOf(const std::string& text)
{
    CDigestBuilder builder;
    builder.AddString(text);
    return builder.GetDigest();
}
}  // namespace

TEST(Digest, DefaultIsAllZeroAndPrintsFortyDigits)
{
    EXPECT_EQ(CDigest().ToString(), std::string(40, '0'));
    const uint32_t words[] = {0xDEADBEEF, 0, 1, 0xABCDEF12, 0x80000000};
    EXPECT_EQ(CDigest(words).ToString(), "DEADBEEF0000000000000001ABCDEF1280000000");
}

TEST(Digest, DataIsTheWordsInHostOrder)
{
    const uint32_t words[] = {0x01020304, 5, 6, 7, 8};
    const CDigest digest(words);
    EXPECT_EQ(std::memcmp(digest.GetData(), words, sizeof words), 0);
    CDigest copy;
    copy.SetData(digest.GetData());
    EXPECT_EQ(copy, digest);

    uint8_t bytes[CDigest::kSize];
    std::memcpy(bytes, digest.GetData(), sizeof bytes);
    bytes[19] ^= 1;
    CDigest changed;
    changed.SetData(bytes);
    EXPECT_NE(changed, digest);
}

TEST(Digest, TextRoundTripsAndOnlyFortyCharactersAreRead)
{
    const CDigest digest = DigestOf("abc");
    CDigest back;
    EXPECT_TRUE(back.FromString(digest.ToString()));
    EXPECT_EQ(back, digest);
    EXPECT_TRUE(back.FromString("a9993e364706816aba3e25717850c26c9cd0d89d"));
    EXPECT_EQ(back, digest);

    for (const char* wrong : {"", "A9993E364706816ABA3E25717850C26C9CD0D89", "A9993E364706816ABA3E25717850C26C9CD0D89D0"})
    {
        EXPECT_FALSE(back.FromString(wrong));
        EXPECT_EQ(back, digest);
    }

    // A group counts its leading hex digits only.
    ASSERT_TRUE(back.FromString("12x45678zzzzzzzz00000001FFFFFFFF0000000A"));
    EXPECT_EQ(back.GetWord(0), 0x12u);
    EXPECT_EQ(back.GetWord(1), 0u);
    EXPECT_EQ(back.GetWord(2), 1u);
    EXPECT_EQ(back.GetWord(3), 0xFFFFFFFFu);
    EXPECT_EQ(back.GetWord(4), 10u);
}

TEST(DigestBuilder, ValuesEnterAsTheirTexts)
{
    EXPECT_EQ(CDigestBuilder().GetDigest().ToString(), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(DigestOf("abc").ToString(), "A9993E364706816ABA3E25717850C26C9CD0D89D");

    CDigestBuilder numbers;
    numbers.AddUnsigned(1);
    numbers.AddInt(-5);
    numbers.AddFloat(1.5f);
    numbers.AddUnsigned(4294967295u);
    EXPECT_EQ(numbers.GetDigest(), DigestOf("1-51.5000004294967295"));

    const uint32_t words[] = {1, 22, 333, 4444, 4294967295u};
    CDigestBuilder nested;
    nested.AddDigest(CDigest(words));
    EXPECT_EQ(nested.GetDigest(), DigestOf("1223334444" "4294967295"));

    CDigestBuilder colours;
    colours.AddRgbaColour(CRgbaColour(255, 128, 1, 0));
    colours.AddColour(CColour(1, 2, 3));
    EXPECT_EQ(colours.GetDigest(), DigestOf("0xFF80010x010203"));

    CDigestBuilder times;
    times.AddTime(CTime(1, 2, 3));
    times.AddDate(CDate(2015, 6, 30));
    EXPECT_EQ(times.GetDigest(), DigestOf(CTime(1, 2, 3).ToString() + CDate(2015, 6, 30).ToString()));
    EXPECT_EQ(CDate(2015, 6, 30).ToString(), "2015-06-30");

    CIpAddress address;
    ASSERT_TRUE(address.Parse("192.168.1.10:16945"));
    CDigestBuilder addresses;
    addresses.AddIpAddress(address);
    EXPECT_EQ(addresses.GetDigest(), DigestOf("192.168.1.10:16945"));
}

TEST(DigestBuilder, TheResultIsKeptAndLateInputSpoilsIt)
{
    CDigestBuilder builder;
    builder.AddString("ab");
    builder.AddString(std::string("c"));
    const CDigest first = builder.GetDigest();
    EXPECT_EQ(first, DigestOf("abc"));
    EXPECT_EQ(builder.GetDigest(), first);
    builder.AddString("d");
    EXPECT_EQ(builder.GetDigest(), CDigest());
    builder.AddString("");
    EXPECT_EQ(builder.GetDigest(), CDigest());
}
