#include "foundation/key_text.h"

#include <gtest/gtest.h>

namespace
{
// The text after one key, and whether the key was reported as used.
struct SResult
{
    std::string text;
    bool handled;
};

SResult Press(int32_t key, std::string text = "ab")
{
    bool handled = false;
    ApplyKeyToText(key, text, &handled);
    return {text, handled};
}
}  // namespace

TEST(KeyText, PrintableKeysAppendTheirCharacterExceptBackquote)
{
    for (int32_t key = 32; key <= 126; ++key)
    {
        const SResult r = Press(key);
        if (key == 96)
        {
            EXPECT_EQ(r.text, "ab");
            EXPECT_FALSE(r.handled);
        }
        else
        {
            EXPECT_EQ(r.text, std::string("ab") + static_cast<char>(key)) << key;
            EXPECT_TRUE(r.handled) << key;
        }
    }
}

TEST(KeyText, KeypadOperatorsAndPeriodAppendButKeypadDigitsDoNot)
{
    EXPECT_EQ(Press(0x40000054).text, "ab/");
    EXPECT_EQ(Press(0x40000055).text, "ab*");
    EXPECT_EQ(Press(0x40000056).text, "ab-");
    EXPECT_EQ(Press(0x40000057).text, "ab+");
    EXPECT_EQ(Press(0x40000063).text, "ab.");
    // Keypad 1 and keypad 0.
    EXPECT_FALSE(Press(0x40000059).handled);
    EXPECT_FALSE(Press(0x40000062).handled);
}

TEST(KeyText, UnusedKeysLeaveTextAndFlagAlone)
{
    // Tab, Return, Escape, Delete, an arrow key, a control character, a negative code.
    for (int32_t key : {9, 13, 27, 127, 0x4000004F, 1, 31, 0, -1, 200})
    {
        std::string text = "ab";
        bool handled = true;
        ApplyKeyToText(key, text, &handled);
        EXPECT_EQ(text, "ab") << key;
        EXPECT_TRUE(handled) << key;
        handled = false;
        ApplyKeyToText(key, text, &handled);
        EXPECT_FALSE(handled) << key;
    }
}

TEST(KeyText, BackspaceRemovesOneWholeCharacter)
{
    EXPECT_EQ(Press(8, "ab").text, "a");
    const SResult empty = Press(8, "");
    EXPECT_EQ(empty.text, "");
    EXPECT_TRUE(empty.handled);
    // Two-, three- and four-byte characters go whole; the text before them stays.
    EXPECT_EQ(Press(8, "caf\xC3\xA9").text, "caf");
    EXPECT_EQ(Press(8, "x\xE2\x82\xAC").text, "x");
    EXPECT_EQ(Press(8, "\xF0\x9F\x8E\xAD").text, "");
    // Broken sequences: a lone start byte, and continuation bytes after plain ASCII.
    EXPECT_EQ(Press(8, "a\xC3").text, "a");
    EXPECT_EQ(Press(8, "a\x80\x80").text, "a");
    EXPECT_EQ(Press(8, "\x80\x80").text, "");
}

TEST(KeyText, NullFlagIsAllowed)
{
    std::string text;
    ApplyKeyToText('x', text, nullptr);
    ApplyKeyToText(8, text, nullptr);
    ApplyKeyToText('y', text, nullptr);
    EXPECT_EQ(text, "y");
}
