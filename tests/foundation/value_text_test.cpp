#include "foundation/value.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>
#include <tinyxml.h>

namespace {

CValue Typed(uint32_t type, const std::string& text)
{
    CValue value(static_cast<CValue::EType>(type));
    value.Parse(text);
    return value;
}

std::string Xml(const CValue& value)
{
    TiXmlElement parent("p");
    value.WriteXml(&parent);
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    parent.FirstChildElement()->Accept(&printer);
    return printer.Str();
}

}  // namespace

TEST(ValueText, FloatAndPercentage)
{
    EXPECT_EQ(CValue(0.5f).ToString(), "0.5000");
    EXPECT_EQ(CValue(0.5f).ToDisplayString(), "50%");
    EXPECT_EQ(Typed(CValue::kPercentage, "0.123").ToDisplayString(), "12%");
    EXPECT_EQ(Typed(CValue::kFloat, "50%").GetFloat(), 0.5f);
    EXPECT_EQ(Typed(CValue::kPercentage, "0.5").GetFloat(), 0.5f);
    EXPECT_EQ(Typed(CValue::kFloat, "12.5%abc").GetFloat(), 0.125f);
    EXPECT_THROW(Typed(CValue::kFloat, "abc"), boost::bad_lexical_cast);
    EXPECT_THROW(Typed(CValue::kFloat, ""), boost::bad_lexical_cast);
    EXPECT_THROW(Typed(CValue::kPercentage, " 5"), boost::bad_lexical_cast);
}

TEST(ValueText, UnsignedAndCodesReadTheWholeText)
{
    EXPECT_EQ(Typed(CValue::kUnsigned, "42").GetUnsigned(), 42u);
    EXPECT_EQ(Typed(CValue::kTempoDivider, "08").GetUnsigned(), 8u);
    EXPECT_EQ(Typed(CValue::kUnsigned, "+3").GetUnsigned(), 3u);
    EXPECT_THROW(Typed(CValue::kCueState, "4x"), boost::bad_lexical_cast);
    EXPECT_THROW(Typed(CValue::kUnsigned, "4294967296"), boost::bad_lexical_cast);
    // A failed parse leaves the value as it was.
    CValue value(9u);
    EXPECT_THROW(value.Parse("nine"), boost::bad_lexical_cast);
    EXPECT_EQ(value.GetUnsigned(), 9u);
    EXPECT_EQ(value.ToString(), "9");
    EXPECT_EQ(CValue(CValue::EPlayState{3}).ToString(), "3");
    EXPECT_EQ(CValue(CValue::EPlayState{3}).ToDisplayString(), "");
    EXPECT_EQ(CValue(CValue::ECommand{3}).ToString(), "");
    // Play State has a text but no parser.
    CValue playState(CValue::EPlayState{3});
    playState.Parse("5");
    EXPECT_EQ(playState.GetUnsigned(), 3u);
}

TEST(ValueText, ShapeShowsItsCodeOnlyToPeople)
{
    CValue shape(CValue::kShape);
    shape.Parse("5");
    EXPECT_EQ(shape.GetUnsigned(), 0u);
    CValue code(7u);
    code.SetType(CValue::kShape);
    EXPECT_EQ(code.ToString(), "");
    EXPECT_EQ(code.ToDisplayString(), "7");
}

TEST(ValueText, BoolReadsOnInAnyCaseAndNothingElse)
{
    EXPECT_EQ(CValue(true).ToString(), "On");
    EXPECT_EQ(CValue(false).ToDisplayString(), "Off");
    EXPECT_TRUE(Typed(CValue::kBool, "ON").GetBool());
    EXPECT_TRUE(Typed(CValue::kBool, "oN").GetBool());
    EXPECT_FALSE(Typed(CValue::kBool, "yes").GetBool());
    EXPECT_FALSE(Typed(CValue::kBool, "").GetBool());
    EXPECT_FALSE(Typed(CValue::kBool, "on ").GetBool());
}

TEST(ValueText, CoordinateClampsAndKeepsAnAxisThatDoesNotRead)
{
    const CValue value(CCoordinate(0.5f, -0.25f));
    EXPECT_EQ(value.ToString(), "0.5000 -0.2500");
    EXPECT_EQ(value.ToDisplayString(), "50% : -25%");
    EXPECT_EQ(Typed(CValue::kCoordinate, "2 -3").GetCoordinate(), CCoordinate(1.0f, -1.0f));
    CValue partial(CCoordinate(0.1f, 0.2f));
    partial.Parse("0.5");
    EXPECT_EQ(partial.GetCoordinate(), CCoordinate(0.5f, 0.2f));
    partial.Parse("nan nan");
    EXPECT_EQ(partial.GetCoordinate(), CCoordinate(0.5f, 0.2f));
}

TEST(ValueText, TextsWithoutAFormAndUnknown)
{
    EXPECT_EQ(CValue().ToString(), "-");
    EXPECT_EQ(CValue().ToDisplayString(), "-");
    for (const CValue& value : {CValue(CPoint(1, 2)), CValue(CMoney(2.0)), CValue(CValueImage(1, 1)),
                                CValue(CRange(3).Pack()), CValue(SUdpMessage()),
                                CValue(SMidiMessage()), CValue(CConnection())}) {
        EXPECT_EQ(value.ToString(), "") << CValue::TypeName(value.GetType());
        EXPECT_EQ(value.ToDisplayString(), "") << CValue::TypeName(value.GetType());
    }
    CValue beyond(5u);
    beyond.SetType(40);
    EXPECT_EQ(beyond.ToString(), "");
    beyond.Parse("1");
    EXPECT_EQ(beyond.GetUnsigned(), 5u);
}

TEST(ValueText, DmxAddress)
{
    SDmxAddress address;
    ParseDmxAddress("1:10", address);
    EXPECT_EQ(address.universe, 0);
    EXPECT_EQ(address.channel, 10);
    EXPECT_EQ(FormatDmxAddress(address), "1:10");
    EXPECT_EQ(FormatDmxAddress(address, true), "01:010");
    ParseDmxAddress("2.512", address);
    EXPECT_EQ(address.universe, 1);
    EXPECT_EQ(address.channel, 512);
    ParseDmxAddress("0:5", address);
    EXPECT_EQ(address.universe, 255);
    EXPECT_EQ(CValue(address).ToString(), "256:5");
    // One number sets the universe only; parts past the fifth are not looked at.
    ParseDmxAddress("3", address);
    EXPECT_EQ(address.universe, 2);
    EXPECT_EQ(address.channel, 5);
    ParseDmxAddress("1:2:3:4:5:x", address);
    EXPECT_EQ(address.channel, 2);
    for (const char* bad : {"", "1:", ":1", "1:x", "1:2:3:4:y", "-"}) {
        SDmxAddress kept;
        kept.channel = 77;
        EXPECT_THROW(ParseDmxAddress(bad, kept), boost::bad_lexical_cast) << bad;
        EXPECT_EQ(kept.channel, 77) << bad;
    }
}

TEST(ValueText, MacAddress)
{
    SMacAddress mac;
    const uint8_t bytes[6] = {0, 26, 43, 60, 77, 94};
    std::copy(bytes, bytes + 6, mac.bytes);
    EXPECT_EQ(FormatMacAddress(mac), "00:1A:2B:3C:4D:5E");
    const CValue value = Typed(CValue::kMacAddress, "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(value.GetMacAddress(), mac);
    EXPECT_EQ(Typed(CValue::kMacAddress, "0:1a:2b:3c:4d:5e").GetMacAddress(), mac);
    for (const char* bad : {"00:1A:2B:3C:4D", "00:1A:2B:3C:4D:5E:6F", "00:1A:2B:3C:4D:5G",
                            "00:1A:2B:3C:4D:5EE", "001A2B3C4D5E", "00:1A:2B:3C:4D:5E ", ""}) {
        CValue kept(mac);
        kept.Parse(bad);
        EXPECT_EQ(kept.GetMacAddress(), mac) << bad;
        SMacAddress untouched = mac;
        EXPECT_FALSE(ParseMacAddress(bad, untouched)) << bad;
    }
}

TEST(ValueText, ColourListText)
{
    CValue value(CColour(255, 0, 0));
    value.AddColour(CColour(0, 255, 0));
    EXPECT_EQ(value.ToString(), CColour(255, 0, 0).ToRgbcwauString() + " " +
                                    CColour(0, 255, 0).ToRgbcwauString());
    EXPECT_EQ(value.ToDisplayString(), "0xFF0000");
    value.AddColour(CColour(0, 0, 255));

    value.Parse("0x010203 0x040506");
    EXPECT_EQ(value.GetColourAt(0).ToHexString(), "0x010203");
    EXPECT_EQ(value.GetColourAt(1).ToHexString(), "0x040506");
    EXPECT_EQ(value.GetColourAt(2), CColour(0, 0, 255));
    EXPECT_EQ(value.CountColours(), 3);
    value.Parse("0x111111 0x222222 0x333333 0x444444");
    EXPECT_EQ(value.GetColourAt(2).ToHexString(), "0x333333");

    // The machine text reads back to the same list.
    CValue back(CValue::kColour);
    back.Parse(value.ToString());
    EXPECT_EQ(back, value);
}

TEST(ValueText, EveryParsedTypeSurvivesItsXmlForm)
{
    SDmxAddress dmx;
    dmx.universe = 3;
    dmx.channel = 400;
    SMacAddress mac;
    mac.bytes[5] = 0xAB;
    CDigest digest;
    digest.FromString("0123456789ABCDEF0123456789ABCDEF01234567");
    CValue colours(CColour(255, 0, 0));
    colours.AddColour(CColour(0, 0, 255));
    CValue percentage(0.25f);
    percentage.SetType(CValue::kPercentage);
    CValue action("go 3");
    action.SetType(CValue::kAction);
    CValue actionlist("a;b");
    actionlist.SetType(CValue::kActionlist);
    CMidiAddress midi;
    midi.SetChannel(3);
    midi.SetIndex(60);
    CFrame frame;
    frame.SetComponent(2, 0.75f);
    CTimecode timecode("01:02:03:04");
    timecode.SetFrameRate(CTimecode::kRate30);
    // Patterns: every half hour, and a negative one with any minute.
    CTime halfHours;
    halfHours.ParseFields("XX-30-00-00");
    CTime anyMinute;
    anyMinute.ParseFields("-12-XX-05-50");

    const CValue samples[] = {
        CValue(0.375f),
        CValue(123456u),
        CValue("some text"),
        colours,
        CValue(true),
        CValue(CCoordinate(0.5f, -0.25f)),
        CValue(CTime(1, 2, 3)),
        CValue(halfHours),
        CValue(anyMinute),
        CValue(midi),
        CValue(CValue::ECueCondition{2}),
        CValue(CValue::ECueState{3}),
        Typed(CValue::kPlaybackFunction, "4"),
        CValue(frame),
        CValue(CDate(2015, 6, 30)),
        CValue(CDateAndTime(CDate(2015, 6, 30), CTime(14, 5, 9))),
        CValue(CWeekdayAndTime(CTime(18, 0, 0), 0x2A)),
        CValue(CValue::ETempoDivider{4}),
        action,
        actionlist,
        CValue(CIpAddress(192, 168, 1, 10, 16945)),
        CValue(CVersion(1, 7, 0)),
        CValue(digest),
        CValue(dmx),
        CValue(mac),
        CValue(boost::filesystem::path("shows/a.show")),
        percentage,
        CValue(CCueNumber(3, 1)),
        CValue(timecode),
    };
    for (const CValue& sample : samples) {
        TiXmlElement parent("parent");
        sample.WriteXml(&parent);
        CValue read;
        read.ReadXml(parent.FirstChild());
        EXPECT_EQ(read.GetType(), sample.GetType());
        EXPECT_EQ(read.ToString(), sample.ToString());
        // The frame rate is not part of a timecode's text.
        if (sample.GetType() != CValue::kTimecode) {
            EXPECT_EQ(read, sample) << CValue::TypeName(sample.GetType()) << ": " << sample.ToString();
        }
    }
}

TEST(ValueText, XmlElement)
{
    EXPECT_EQ(Xml(CValue("abc")), "<argument type=\"String\">abc</argument>");
    EXPECT_EQ(Xml(CValue(CValue::kShape)), "<argument type=\"Shape\" />");
    CValue(1u).WriteXml(nullptr);

    TiXmlElement parent("p");
    CValue(1u).WriteXml(&parent);
    CValue(2u).WriteXml(&parent);
    EXPECT_EQ(parent.LastChild()->FirstChild()->ValueStr(), "2");
}

TEST(ValueText, ReadXmlNeedsAKnownTypeAndTakesItBeforeTheText)
{
    TiXmlElement unknown("argument");
    unknown.SetAttribute("type", "Colours");
    unknown.InsertEndChild(TiXmlText("0xFF0000"));
    CValue value(5u);
    value.ReadXml(&unknown);
    EXPECT_EQ(value, CValue(5u));
    value.ReadXml(nullptr);
    TiXmlText notAnElement("x");
    value.ReadXml(&notAnElement);
    TiXmlElement untyped("argument");
    value.ReadXml(&untyped);
    EXPECT_EQ(value, CValue(5u));

    TiXmlElement shape("argument");
    shape.SetAttribute("type", "shape");
    shape.InsertEndChild(TiXmlText("9"));
    value.ReadXml(&shape);
    EXPECT_EQ(value.GetType(), CValue::kShape);
    EXPECT_EQ(value.GetUnsigned(), 5u);

    TiXmlElement empty("argument");
    empty.SetAttribute("type", "Tempo Divider");
    value.ReadXml(&empty);
    EXPECT_EQ(value.GetType(), CValue::kTempoDivider);
    EXPECT_EQ(value.GetUnsigned(), 5u);

    TiXmlElement bad("argument");
    bad.SetAttribute("type", "Float");
    bad.InsertEndChild(TiXmlText("half"));
    EXPECT_THROW(value.ReadXml(&bad), boost::bad_lexical_cast);
    EXPECT_EQ(value.GetType(), CValue::kFloat);
}
