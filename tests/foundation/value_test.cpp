#include "foundation/value.h"

#include <gtest/gtest.h>

TEST(Value, TypeNamesRoundTripIgnoringCaseButNothingElse)
{
    for (uint32_t type = 0; type < CValue::kTypeCount; ++type) {
        const std::string name = CValue::TypeName(type);
        ASSERT_FALSE(name.empty()) << type;
        EXPECT_EQ(CValue::TypeFromName(name), type) << name;
    }
    EXPECT_STREQ(CValue::TypeName(38), "");
    EXPECT_STREQ(CValue::TypeName(0xFFFFFFFFu), "");
    EXPECT_EQ(CValue::TypeFromName("midi address"), CValue::kMidiAddress);
    EXPECT_EQ(CValue::TypeFromName("COLOUR"), CValue::kColour);
    for (const char* other : {"Colour ", "Colours", ""})
        EXPECT_EQ(CValue::TypeFromName(other), CValue::kUnknown) << other;
}

TEST(Value, ConstructorsSetTheirOwnType)
{
    // The overloads a conversion could send elsewhere.
    const struct
    {
        CValue value;
        uint32_t type;
    } cases[] = {
        {CValue(CValue::kShape), CValue::kShape},
        {CValue(CRgbaColour(1, 2, 3)), CValue::kColour},
        {CValue(CTimecode()), CValue::kTimecode},
        {CValue(boost::filesystem::path("a/b")), CValue::kPath},
        {CValue("x"), CValue::kString},
        {CValue(0.5), CValue::kFloat},
        {CValue(true), CValue::kBool},
        {CValue(CConnection(CIpAddress(10, 0, 0, 1, 80))), CValue::kConnection},
        {CValue(CRange().Pack()), CValue::kRange},
        {CValue(CValue::ECueCondition{4}), CValue::kCueCondition},
        {CValue(CValue::ETempoDivider{4}), CValue::kTempoDivider},
        {CValue(CValue::ECueState{4}), CValue::kCueState},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.GetType(), c.type) << CValue::TypeName(c.type);
    EXPECT_EQ(CValue(CValue::ECueState{4}).GetUnsigned(), 4u);
}

TEST(Value, ATypeStartsFromItsPayloadsDefault)
{
    EXPECT_EQ(CValue(CValue::kTime).ToString(), "00-00-00-00");
    EXPECT_EQ(CValue(CValue::kTimecode).GetTimecode().GetFrameRate(), CTimecode::kRate30);
    EXPECT_EQ(CValue(CValue::kDate).GetDate(), CDate());
    EXPECT_EQ(CValue(CValue::kFrame).GetFrame(), CFrame());
    EXPECT_EQ(CValue(CValue::kRange).GetRange(), CRange());
    EXPECT_EQ(CValue(CValue::kColour).CountColours(), 0);
    EXPECT_EQ(CValue(CValue::kDateAndTime).ToString(), CDateAndTime().ToString());
}

TEST(Value, TheFloatBlockHoldsFourFloatsWithTheirDefaults)
{
    CValue quarter(0.25f);
    EXPECT_EQ(quarter.GetAuxiliaryFloat(1), 0.0f);
    EXPECT_EQ(quarter.GetAuxiliaryFloat(2), 1.0f);
    EXPECT_EQ(quarter.GetAuxiliaryFloat(3), 0.5f);
    quarter.SetAuxiliaryFloat(3, 9.0f);
    quarter.SetAuxiliaryFloat(4, 9.0f);
    EXPECT_EQ(quarter.GetAuxiliaryFloat(3), 9.0f);
    EXPECT_EQ(quarter.GetAuxiliaryFloat(4), 0.0f);
}

TEST(Value, AssignmentTakesOnlyTheNewTypesMembers)
{
    CValue value(0.25f);
    value = CValue("abc");
    EXPECT_EQ(value.GetType(), CValue::kString);
    EXPECT_EQ(value.GetString(), "abc");
    EXPECT_EQ(value.GetFloat(), 0.25f);

    value = CValue(7u);
    EXPECT_EQ(value.GetString(), "abc");
    EXPECT_EQ(value.GetFloat(), 0.0f);  // a payload type takes the float block too
    EXPECT_EQ(value.GetUnsigned(), 7u);

    value = CValue(boost::filesystem::path("p"));
    EXPECT_EQ(value.GetUnsigned(), 7u);
    const CValue copy(value);
    EXPECT_EQ(copy.GetPath(), boost::filesystem::path("p"));
    EXPECT_EQ(copy.GetUnsigned(), 0u);
}

TEST(Value, SetTypeKeepsThePayloadToBeReadAsTheNewType)
{
    CValue value(7u);
    EXPECT_FALSE(value.SetType(CValue::kUnsigned));
    EXPECT_TRUE(value.SetType(CValue::kCueState));
    EXPECT_EQ(value.GetUnsigned(), 7u);
    CValue time(CTime(3, 4, 5));
    time.SetType(CValue::kUnsigned);
    EXPECT_EQ(time.GetUnsigned(), 3u);  // the hours lead the time
}

TEST(Value, ResetClearsThePayloadButNotText)
{
    CValue value("keep");
    value.Set(CTime(1, 2, 3));
    value.Set(0.75f);
    value.Reset(CValue::kTime);
    EXPECT_EQ(value.GetType(), CValue::kTime);
    EXPECT_EQ(value.GetFloat(), 0.0f);
    EXPECT_EQ(value.GetTime().GetMilliseconds(), 0u);
    EXPECT_EQ(value.GetUnsigned(), 0u);
    EXPECT_EQ(value.GetString(), "keep");
}

TEST(Value, SettersStoreTypeAndPayloadOnly)
{
    CValue value;
    value.Set(1.5f).Set(CTime(0, 1, 0));
    EXPECT_EQ(value.GetType(), CValue::kTime);
    EXPECT_EQ(value.GetFloat(), 1.5f);
    value.Set("text");
    EXPECT_EQ(value.GetType(), CValue::kString);
    EXPECT_EQ(value.GetTime(), CTime(0, 1, 0));
    value.SetString("other");
    EXPECT_EQ(value.GetType(), CValue::kString);
    EXPECT_EQ(value.GetString(), "other");
    value.Set(CWeekdayAndTime(CTime(6, 0, 0), 0x3E));
    EXPECT_EQ(value.GetWeekdayAndTime().GetMask(), 0x3E);
    EXPECT_EQ(value.GetTimeOfDay(), CTime(6, 0, 0));
    value.Set(CDateAndTime(CDate(2015, 6, 30), CTime(14, 5, 9)));
    EXPECT_EQ(value.GetDateAndTime().ToString(), "2015-06-30 14:05:09");
    EXPECT_EQ(value.GetTimeOfDay(), CTime(14, 5, 9));
}

TEST(Value, GetTimeConvertsATimecode)
{
    CTimecode timecode("00:00:01:15");
    const CValue value(timecode);
    EXPECT_EQ(value.GetTime().GetMilliseconds(), 1500u);
}

TEST(Value, ColourListHoldsThreeColours)
{
    const CColour red(255, 0, 0);
    const CColour green(0, 255, 0);
    const CColour blue(0, 0, 255);
    CValue value(red);
    EXPECT_EQ(value.CountColours(), 1);
    value.AddColour(green);
    value.AddColour(blue);
    EXPECT_EQ(value.CountColours(), 3);
    value.AddColour(CColour(9, 9, 9));
    EXPECT_EQ(value.CountColours(), 3);
    EXPECT_EQ(value.GetColourAt(2), blue);
    EXPECT_EQ(value.GetColourAt(3), CColour(0u));
    EXPECT_EQ(value.GetColourAt(-1), CColour(0u));
    // Setting the colour again replaces slot 0 only.
    value.Set(CRgbaColour(0, 0, 9));
    EXPECT_EQ(value.GetColour(), CColour(CRgbaColour(0, 0, 9)));
    EXPECT_EQ(value.GetColourAt(1), green);

    CValue fresh;
    fresh.AddColour(red);
    EXPECT_EQ(fresh.GetType(), CValue::kColour);
    EXPECT_EQ(fresh.CountColours(), 1);
}

TEST(Value, ComparisonWithPlainValuesNeedsTheType)
{
    CValue percentage(0.5f);
    percentage.SetType(CValue::kPercentage);
    EXPECT_FALSE(percentage == 0.5f);
    EXPECT_TRUE(percentage != 0.5f);
    EXPECT_TRUE(CValue(0.5f) == 0.5f);
    EXPECT_TRUE(CValue(5u) == 5u);
    EXPECT_FALSE(CValue(CValue::ECueState{5}) == 5u);
    EXPECT_TRUE(CValue(true) == true);
    EXPECT_FALSE(CValue(true) == false);
    EXPECT_TRUE(CValue(CColour(1, 2, 3)) == CColour(1, 2, 3));
    EXPECT_TRUE(CValue(CCoordinate(0.5f, 0)) == CCoordinate(0.5f, 0));
    EXPECT_TRUE(CValue("abc") == "abc");
    EXPECT_TRUE(CValue("abc") != std::string("abd"));
    CValue action("abc");
    action.SetType(CValue::kAction);
    EXPECT_FALSE(action == "abc");
}

TEST(Value, ImageIsCarriedButNotCompared)
{
    CValueImage image(2, 1);
    image.GetPixels()[1] = 0xFF0000FFu;
    const CValue value(image);
    CValue copy;
    copy = value;
    EXPECT_EQ(copy.GetImage(), image);
    EXPECT_EQ(copy.GetImage().GetPixels()[1], 0xFF0000FFu);
    EXPECT_EQ(CValue(image), CValue(CValueImage()));

    const uint32_t pixels[] = {1, 2, 99, 3, 4, 99};
    const CValueImage strided(2, 2, pixels, 3);
    EXPECT_EQ(strided.GetPixels()[2], 3u);
    EXPECT_EQ(CValueImage(6000, 1).GetWidth(), CValueImage::kMaxSide);
    EXPECT_TRUE(CValueImage(0, 5).IsEmpty());
}
