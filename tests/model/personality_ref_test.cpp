#include "model/personality_ref.h"

#include <gtest/gtest.h>

TEST(PersonalityRef, CsvRoundTripsEveryField)
{
    const CPersonalityRef ref("Brightline", "Spot 250", "Extended", "0102");
    EXPECT_EQ(ref.ToCsv(), "\"Brightline\",\"Spot 250\",\"Extended\",\"0102\"");
    CPersonalityRef back;
    back.FromCsv(ref.ToCsv());
    EXPECT_EQ(back, ref);

    EXPECT_EQ(CPersonalityRef().ToCsv(), "\"\",\"\",\"\",\"\"");
    back.FromCsv(CPersonalityRef().ToCsv());
    EXPECT_TRUE(back.IsEmpty());
}

TEST(PersonalityRef, FromCsvSkipsWhatLiesBetweenFieldsAndKeepsFieldsItDoesNotReach)
{
    const CPersonalityRef expected("A", "B", "C", "01");
    for (const char* text : {"\"A\";\"B\";\"C\";\"01\"", "x\"A\" \"B\"  \"C\"\t\"01\" trailing"})
    {
        CPersonalityRef ref;
        ref.FromCsv(text);
        EXPECT_EQ(ref, expected) << text;
    }

    CPersonalityRef ref("m", "mo", "mode", "0102");
    for (const char* text : {"", "no quotes at all", "\"unclosed"})
    {
        ref.FromCsv(text);
        EXPECT_EQ(ref, CPersonalityRef("m", "mo", "mode", "0102")) << text;
    }
    ref.FromCsv("\"X\",\"Y\"");
    EXPECT_EQ(ref, CPersonalityRef("X", "Y", "mode", "0102"));
    // The mode's closing quote is missing: the mode and the profile keep their values.
    ref.FromCsv("\"P\",\"Q\",\"R");
    EXPECT_EQ(ref, CPersonalityRef("P", "Q", "mode", "0102"));
}

TEST(PersonalityRef, ChannelCountAndEquality)
{
    CPersonalityRef ref;
    ref.SetProfile("01020");
    EXPECT_EQ(ref.GetChannelCount(), 2u);
    EXPECT_NE(CPersonalityRef("Acme", "Spot", "", ""), CPersonalityRef("ACme", "Spot", "", ""));
}

TEST(PersonalityRef, DoubleQuoteInALabelCannotShiftTheFields)
{
    // "BL63 10" LED Bar" would come back from the controller as model "BL63 10" and mode " LED Bar".
    const CPersonalityRef ref("Brightline", "BL63 10\" LED Bar", "8\" mode", "0102");
    EXPECT_EQ(ref.GetModel(), "BL63 10'' LED Bar");
    EXPECT_EQ(ref.GetMode(), "8'' mode");
    CPersonalityRef back;
    back.FromCsv(ref.ToCsv());
    EXPECT_EQ(back, ref);
}
