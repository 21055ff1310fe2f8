#include "foundation/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
CValue Percentage(float value)
{
    CValue v(value);
    v.SetType(CValue::kPercentage);
    return v;
}
CValue OfType(CValue value, uint32_t type)
{
    value.SetType(type);
    return value;
}
}  // namespace

TEST(ValueArithmetic, NumbersWrapOrRunFreely)
{
    CValue u(5u);
    u -= CValue(7u);
    EXPECT_EQ(u.GetUnsigned(), 4294967294u);
    u += CValue(3u);
    EXPECT_EQ(u.GetUnsigned(), 1u);

    CValue f(0.8f);
    f += CValue(0.5f);
    EXPECT_FLOAT_EQ(f.GetFloat(), 1.3f);
    CValue p = Percentage(0.5f);
    p *= 3.0f;
    EXPECT_FLOAT_EQ(p.GetFloat(), 1.5f);
    EXPECT_EQ(p.GetType(), CValue::kPercentage);

    CValue c(CCoordinate(0.8f, 0.0f));
    c += CValue(CCoordinate(0.5f, 0.0f));
    EXPECT_FLOAT_EQ(c.GetCoordinate().GetX(), 1.3f);

    CFrame half;
    half.SetComponent(0, 0.75f);
    CValue frame(half);
    frame += CValue(half);
    EXPECT_EQ(frame.GetFrame().GetComponent(0), 1.0f);
}

TEST(ValueArithmetic, UnsignedScalingTruncatesAndNeverLeavesThirtyTwoBits)
{
    CValue u(10u);
    u *= 0.55f;
    EXPECT_EQ(u.GetUnsigned(), 5u);
    u /= 2.0f;
    EXPECT_EQ(u.GetUnsigned(), 2u);
    CValue negative(10u);
    negative *= -1.0f;
    EXPECT_EQ(negative.GetUnsigned(), 4294967286u);
    // No integer to keep: zero, not an undefined conversion.
    for (float factor : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         1e30f, -1e30f}) {
        CValue big(4000000000u);
        big *= factor;
        EXPECT_EQ(big.GetUnsigned(), 0u) << factor;
    }
    CValue zero(10u);
    zero /= 0.0f;
    EXPECT_EQ(zero.GetUnsigned(), 0u);
}

TEST(ValueArithmetic, BoolThresholds)
{
    CValue b(true);
    b *= 0.4f;
    EXPECT_FALSE(b.GetBool());
    CValue c(true);
    c /= 0.4f;
    EXPECT_TRUE(c.GetBool());
    c /= 0.6f;
    EXPECT_FALSE(c.GetBool());
    CValue d(false);
    d *= 2.0f;
    d /= 0.1f;
    d += CValue(true);
    EXPECT_FALSE(d.GetBool());
}

TEST(ValueArithmetic, ColourArithmeticTouchesSlotZeroOnly)
{
    CValue value(CColour(200, 0, 0));
    value.AddColour(CColour(0, 10, 0));
    value += CValue(CColour(100, 0, 0));
    EXPECT_EQ(value.GetColourAt(0).GetLevel(CColour::kRed), 65535);
    EXPECT_EQ(value.GetColourAt(1), CColour(0, 10, 0));
    value -= CValue(CColour(255, 0, 0));
    EXPECT_EQ(value.GetColourAt(0).GetLevel(CColour::kRed), 0);
}

TEST(ValueArithmetic, TimeTakesPartThroughItsTime)
{
    CValue time(CTime(0, 0, 10));
    time += CValue(CTimecode("00:00:01:00"));
    EXPECT_EQ(time.GetTime(), CTime(0, 0, 11));
    time *= 2.0f;
    EXPECT_EQ(time.GetTime(), CTime(0, 0, 11));

    CValue timecode(CTimecode("00:00:59:29"));
    timecode += CValue(CTimecode("00:00:00:01"));
    EXPECT_EQ(timecode.GetTimecode().ToString(), "00:01:00:00");

    // Ordering converts, matching does not.
    const CValue later(CTimecode("00:00:12:00"));
    EXPECT_TRUE(time < later);
    EXPECT_FALSE(time.Matches(later));
    EXPECT_NE(time, later);
}

TEST(ValueArithmetic, Ordering)
{
    EXPECT_TRUE(CValue("abc") < CValue("abd"));
    EXPECT_FALSE(CValue("abc") > CValue("abd"));
    EXPECT_TRUE(CValue("ab") < CValue("abc"));
    EXPECT_TRUE(CValue(3u) < CValue(4u));
    EXPECT_TRUE(CValue(4u) >= CValue(4u));
    EXPECT_TRUE(CValue(false) < CValue(true));
    EXPECT_TRUE(CValue(CColour(10, 10, 10)) < CValue(CColour(0, 0, 200)));
    EXPECT_TRUE(CValue(CDate(2015, 1, 31)) < CValue(CDate(2015, 2, 2)));
    EXPECT_TRUE(CValue(CTimecode("01:00:00:00")) > CValue(CTimecode("00:59:59:29")));
    CFrame low;
    CFrame high;
    high.SetComponent(0, 1.0f);
    EXPECT_TRUE(CValue(low) < CValue(high));
    // The other value is read as this value's type.
    EXPECT_TRUE(CValue(3u) < OfType(CValue(4u), CValue::kCueState));
}

TEST(ValueArithmetic, TheDocumentedOddOrderings)
{
    const CValue playState(CValue::EPlayState{1});
    for (const CValue& other : {CValue(CValue::EPlayState{0}), CValue(CValue::EPlayState{2}), CValue()}) {
        EXPECT_FALSE(playState < other);
        EXPECT_FALSE(playState > other);
    }
    EXPECT_TRUE(CValue() < CValue());
    EXPECT_TRUE(CValue() > CValue());
    const CValue action = OfType(CValue("a"), CValue::kAction);
    EXPECT_FALSE(action < OfType(CValue("b"), CValue::kAction));
    EXPECT_TRUE(action > OfType(CValue("b"), CValue::kAction));
    EXPECT_FALSE(CValue(CPoint(1, 1)) < CValue(CPoint(2, 2)));
}

TEST(ValueArithmetic, OrderingsChosenForMidiVersionAndCoordinate)
{
    CMidiAddress any;
    any.SetChannel(-1);
    CMidiAddress three;
    three.SetChannel(3);
    EXPECT_TRUE(CValue(any) < CValue(three));
    EXPECT_TRUE(CValue(three) > CValue(any));
    EXPECT_TRUE(CValue(CVersion(1, 2, 0)) < CValue(CVersion(1, 10, 0)));
    EXPECT_TRUE(CValue(CVersion(1, 10, 0)) > CValue(CVersion(1, 2, 0)));
    EXPECT_FALSE(CValue(CCoordinate(0.1f, 0.1f)) > CValue(CCoordinate(0.1f, 0.1f)));
    EXPECT_FALSE(CValue(CCoordinate(0.1f, 0.1f)) < CValue(CCoordinate(0.5f, 0.5f)));
}

TEST(ValueArithmetic, UnknownTakesNoPartInArithmetic)
{
    CValue unknown;
    CValue other(2.0f);
    unknown += other;
    unknown -= other;
    unknown *= 3.0f;
    EXPECT_EQ(unknown.GetFloat(), 0.0f);
    EXPECT_EQ(unknown, CValue());
}

TEST(ValueArithmetic, Equality)
{
    EXPECT_NE(CValue(1u), OfType(CValue(1u), CValue::kCueState));
    EXPECT_EQ(CValue(CIpAddress(1, 2, 3, 4, 5)), CValue(CIpAddress(1, 2, 3, 4, 5)));
    EXPECT_NE(CValue(CIpAddress(1, 2, 3, 4, 5)), CValue(CIpAddress(1, 2, 3, 4, 6)));
    EXPECT_EQ(CValue(boost::filesystem::path("a/b")), CValue(boost::filesystem::path("a/b")));
    EXPECT_NE(CValue(CRange(1, 0, 0, 255).Pack()), CValue(CRange(2, 0, 0, 255).Pack()));
    EXPECT_EQ(CValue(CMoney(1.5)), CValue(CMoney(1.5)));
    EXPECT_NE(CValue(CMoney(1.5)), CValue(CMoney(2.5)));
    CValue two(CColour(1, 2, 3));
    CValue twoMore(two);
    two.AddColour(CColour(4, 5, 6));
    twoMore.AddColour(CColour(4, 5, 7));
    EXPECT_NE(two, twoMore);
    SUdpMessage message;
    message.data[31] = 1;
    EXPECT_NE(CValue(message), CValue(SUdpMessage()));
    EXPECT_EQ(CValue(message), CValue(message));
    // Equality does not look at the float block of a payload type.
    CValue time(CTime(1, 0, 0));
    CValue sameTime(time);
    sameTime.SetAuxiliaryFloat(1, 5.0f);
    EXPECT_EQ(time, sameTime);
}

TEST(ValueArithmetic, MatchesHonoursTheTriggersWildcards)
{
    CMidiAddress anyChannel;
    anyChannel.SetChannel(-1);
    anyChannel.SetIndex(60);
    CMidiAddress channel2 = anyChannel;
    channel2.SetChannel(2);
    CMidiAddress received = anyChannel;
    received.SetChannel(3);
    EXPECT_TRUE(CValue(received).Matches(CValue(anyChannel)));
    EXPECT_FALSE(CValue(received).Matches(CValue(channel2)));

    const CValue weekendOnTheHour(CWeekdayAndTime(CTime(24, 0, 0), CWeekdayAndTime::kWeekend));
    const CValue saturday(CWeekdayAndTime(CDateAndTime(CDate(2015, 7, 4), CTime(21, 0, 0))));
    const CValue monday(CWeekdayAndTime(CDateAndTime(CDate(2015, 7, 6), CTime(21, 0, 0))));
    EXPECT_TRUE(saturday.Matches(weekendOnTheHour));
    EXPECT_FALSE(monday.Matches(weekendOnTheHour));
    EXPECT_FALSE(weekendOnTheHour.Matches(saturday));  // the received value has no wildcard

    CDate anyYear(CDate::kAnyYear, 7, 4);
    const CValue julyFourth(CDateAndTime(anyYear, CTime(21, 0, 0)));
    EXPECT_TRUE(CValue(CDateAndTime(CDate(2015, 7, 4), CTime(21, 0, 0))).Matches(julyFourth));
    EXPECT_FALSE(CValue(CDateAndTime(CDate(2015, 7, 5), CTime(21, 0, 0))).Matches(julyFourth));

    EXPECT_TRUE(CValue(5u).Matches(CValue(5u)));
    EXPECT_FALSE(CValue(5u).Matches(OfType(CValue(5u), CValue::kCueState)));
}
