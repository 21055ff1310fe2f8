#include "foundation/utf8.h"

#include <gtest/gtest.h>

TEST(Utf8, ValidTextStaysAndEveryOtherByteIsMended)
{
    struct SCase
    {
        const char* text;
        bool valid;
        const char* mended;
    };
    const SCase cases[] = {
        {"", true, ""},
        {"B\xC3\xBChne \xE2\x82\xAC \xF0\x9F\x8E\xAD", true, "B\xC3\xBChne \xE2\x82\xAC \xF0\x9F\x8E\xAD"},
        // Other bytes read as Windows-1252: Latin-1's letters, and the euro sign, quotes and
        // dashes where Latin-1 has control codes; the five bytes it leaves undefined become the
        // replacement character.
        {"Caf\xE9", false, "Caf\xC3\xA9"},
        {"\x80 \x93q\x94 \x96-\x97 \x85\xA0", false,
         "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x80\x93-\xE2\x80\x94 \xE2\x80\xA6\xC2\xA0"},
        {"\x81\x8D\x8F\x90\x9D\x9F", false,
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xC5\xB8"},
        // Cut, overlong, surrogate and too-large sequences are no characters.
        {"a\xC3", false, "a\xC3\x83"},
        {"\xC0\xAF", false, "\xC3\x80\xC2\xAF"},
        {"\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"\xF4\x90\x80\x80", false, "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC"},
    };
    for (const SCase& c : cases)
    {
        EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
        EXPECT_EQ(ToValidUtf8(c.text), c.mended) << c.text;
        EXPECT_TRUE(IsValidUtf8(ToValidUtf8(c.text))) << c.text;
    }
}

TEST(Utf8, StepsGoOverWholeCharacters)
{
    const std::string text = "B\xC3\xBC\xE2\x82\xAC";  // B, u-umlaut, euro sign
    EXPECT_EQ(NextCharacter(text, 0), 1u);
    EXPECT_EQ(NextCharacter(text, 1), 3u);
    EXPECT_EQ(NextCharacter(text, 3), 6u);
    EXPECT_EQ(NextCharacter(text, 6), 6u);
    EXPECT_EQ(PreviousCharacter(text, 6), 3u);
    EXPECT_EQ(PreviousCharacter(text, 3), 1u);
    EXPECT_EQ(PreviousCharacter(text, 1), 0u);
    EXPECT_EQ(PreviousCharacter(text, 0), 0u);
}
