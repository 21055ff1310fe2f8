#include "model/channel_function.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace {
CRange ReadFrom(const char* xml, CRange range = CRange())
{
    TiXmlDocument document;
    document.Parse(xml);
    ReadRangeXml(*document.RootElement(), range);
    return range;
}
}  // namespace

TEST(ChannelFunction, EveryNamedIdIsFoundAgainByItsNameAndLongName)
{
    for (uint32_t id = 0; id < 63; ++id) {
        if (id == 15)
            continue;
        EXPECT_EQ(ChannelFunctionFromName(ChannelFunctionName(id)), id) << id;
        EXPECT_EQ(ChannelFunctionFromName(ChannelFunctionLongName(id)), id) << id;
    }
    EXPECT_STREQ(ChannelFunctionName(15), "");
    EXPECT_STREQ(ChannelFunctionName(64), "");
    EXPECT_STREQ(ChannelFunctionLongName(22), "White MSB");
    EXPECT_STREQ(ChannelFunctionLongName(64), "");
}

TEST(ChannelFunction, LookupIgnoresCaseAndKnowsTheAliases)
{
    EXPECT_EQ(ChannelFunctionFromName("control msb"), 4u);
    EXPECT_EQ(ChannelFunctionFromName("ROTATE ccw"), 14u);
    EXPECT_EQ(ChannelFunctionFromName("Function Index"), 43u);
    for (const char* white : {"White", "cold", "Cold White", "white msb"})
        EXPECT_EQ(ChannelFunctionFromName(white), 22u) << white;
    for (const char* fine : {"White LSB", "cold lsb", "Cold White LSB"})
        EXPECT_EQ(ChannelFunctionFromName(fine), 23u) << fine;
    EXPECT_EQ(ChannelFunctionFromName(""), 63u);
    EXPECT_EQ(ChannelFunctionFromName("Red "), 63u);
    EXPECT_EQ(ChannelFunctionFromName("Unknown"), 63u);
}

TEST(ChannelFunction, RangeElementRoundTrips)
{
    for (uint32_t function : {22u, 23u, 4u, 38u}) {
        TiXmlElement parent("mode");
        WriteRangeXml(CRange(function, 12, 10, 200), &parent);
        const TiXmlElement* element = parent.FirstChildElement("range");
        ASSERT_NE(element, nullptr);
        CRange read;
        ReadRangeXml(*element, read);
        EXPECT_EQ(read, CRange(function, 12, 10, 200)) << function;
    }
    TiXmlElement parent("mode");
    WriteRangeXml(CRange(22, 3, 0, 127), &parent);
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    parent.FirstChildElement()->Accept(&printer);
    EXPECT_EQ(printer.Str(), "<range function=\"White\" offset=\"3\">0,127</range>");
}

TEST(ChannelFunction, ReadingTakesWhatTheElementHas)
{
    const CRange before(16, 5, 1, 2);
    CRange read = ReadFrom("<range function=\"Nonsense\">9,8</range>", before);
    EXPECT_EQ(read.GetFunction(), 16u);
    EXPECT_EQ(read.GetOffset(), 5u);
    EXPECT_EQ(read.GetFrom(), 9);
    EXPECT_EQ(read.GetTo(), 8);

    read = ReadFrom("<range function=\"tilt\" offset=\"900\"/>");
    EXPECT_EQ(read.GetFunction(), 40u);
    EXPECT_EQ(read.GetOffset(), 511u);
    EXPECT_EQ(read.GetFrom(), 0);
    EXPECT_EQ(read.GetTo(), 255);
    EXPECT_TRUE(read.IsSet());

    read = ReadFrom("<range offset=\"-3\">300,99999999999999999999999</range>");
    EXPECT_EQ(read.GetOffset(), 0u);
    EXPECT_EQ(read.GetFrom(), 255);
    EXPECT_EQ(read.GetTo(), 255);

    // Without two numbers neither end changes.
    for (const char* text : {"<range>7</range>", "<range>7,</range>", "<range>x,7</range>",
                             "<range>-1,7</range>"}) {
        read = ReadFrom(text, before);
        EXPECT_EQ(read.GetFrom(), 1) << text;
        EXPECT_EQ(read.GetTo(), 2) << text;
    }
}
