#include "tools/personality_converter/channel_type.h"
#include "tools/personality_converter/fixture_definition.h"
#include "tools/personality_converter/library_check.h"
#include "tools/personality_converter/personality_library.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace {

const std::string kData = std::string(TANZO_SOURCE_DIR) + "/tests/tools/data/";

SSourceChannel Preset(const char* preset)
{
    SSourceChannel c;
    c.name = "channel";
    c.preset = preset;
    return c;
}

SSourceChannel Group(const char* group, const char* name, int byte = 0, const char* colour = "")
{
    SSourceChannel c;
    c.name = name;
    c.group = group;
    c.groupByte = byte;
    c.colour = colour;
    return c;
}

CFixtureDefinition Read(const char* file)
{
    CFixtureDefinition definition;
    std::string error;
    EXPECT_TRUE(definition.ReadFile(kData + file, error)) << error;
    return definition;
}

// A definition with one mode of `channels` dimmer channels.
CFixtureDefinition Wide(const std::string& manufacturer, const std::string& model, const std::string& mode,
                        size_t channels)
{
    std::string text = "<FixtureDefinition><Manufacturer>" + manufacturer + "</Manufacturer><Model>" + model +
                       "</Model><Channel Name=\"D\" Preset=\"IntensityDimmer\"/><Mode Name=\"" + mode + "\">";
    for (size_t i = 0; i < channels; ++i)
        text += "<Channel Number=\"" + std::to_string(i) + "\">D</Channel>";
    text += "</Mode></FixtureDefinition>";
    CFixtureDefinition definition;
    std::string error;
    EXPECT_TRUE(definition.Parse(text, error)) << error;
    return definition;
}

std::vector<std::string> Labels(const TiXmlNode* parent)
{
    std::vector<std::string> labels;
    for (const TiXmlNode* n = parent->FirstChild(); n; n = n->NextSibling())
        if (const TiXmlElement* e = n->ToElement())
            labels.push_back(e->Attribute("label") ? e->Attribute("label") : "");
    return labels;
}

}  // namespace

TEST(PersonalityChannelType, PresetsNameTheFunctionAndFineSetsTheHighBit)
{
    EXPECT_EQ(MapChannel(Preset("IntensityMasterDimmer")).code, kChannelIntensity);
    EXPECT_EQ(MapChannel(Preset("IntensityValue")).code, kChannelIntensity);
    EXPECT_EQ(MapChannel(Preset("IntensityDimmerFine")).code, kChannelIntensity | kChannelFine);
    EXPECT_EQ(MapChannel(Preset("PositionTiltFine")).code, kChannelTilt | kChannelFine);
    EXPECT_EQ(MapChannel(Preset("PositionXAxis")).code, kChannelPan);
    EXPECT_EQ(MapChannel(Preset("IntensityRed")).code, kChannelRed);
    EXPECT_EQ(MapChannel(Preset("IntensityGreen")).code, kChannelGreen);
    EXPECT_EQ(MapChannel(Preset("IntensityBlueFine")).code, kChannelBlue | kChannelFine);
    EXPECT_EQ(MapChannel(Preset("IntensityAmber")).code, kChannelAmber);
    EXPECT_EQ(MapChannel(Preset("IntensityWhite")).code, kChannelWhite);
    EXPECT_EQ(MapChannel(Preset("ColorWheelFine")).code, kChannelColourFixed | kChannelFine);
    EXPECT_EQ(MapChannel(Preset("GoboIndex")).code, kChannelRotation);
    EXPECT_EQ(MapChannel(Preset("ShutterStrobeSlowFast")).code, kChannelShutter);
    EXPECT_EQ(MapChannel(Preset("ShutterIrisMaxToMin")).code, kChannelIris);
    EXPECT_EQ(MapChannel(Preset("BeamZoomBigSmall")).code, kChannelZoom);
    EXPECT_EQ(MapChannel(Preset("PrismRotationFastSlow")).code, kChannelPrism);
    EXPECT_EQ(MapChannel(Preset("SpeedPanTiltFastSlow")).code, kChannelSpeed);
    EXPECT_EQ(MapChannel(Preset("NoFunction")).code, kChannelEffect);
    EXPECT_TRUE(MapChannel(Preset("IntensityRed")).loss.empty());
}

TEST(PersonalityChannelType, ColoursTheMixCannotCarryAreUnusedAndReported)
{
    const SChannelMapping uv = MapChannel(Preset("IntensityUVFine"));
    EXPECT_EQ(uv.code, kChannelFine);
    EXPECT_EQ(uv.loss, "colour UV");
    EXPECT_EQ(MapChannel(Preset("ColorCTOMixer")).loss, "colour CTOMixer");
    const SChannelMapping cyan = MapChannel(Group("Intensity", "Cyan", 0, "Cyan"));
    EXPECT_EQ(cyan.code, kChannelUnused);
    EXPECT_EQ(cyan.loss, "colour Cyan");
    EXPECT_EQ(MapChannel(Group("Intensity", "Red LED", 0, "Red")).code, kChannelRed);
}

TEST(PersonalityChannelType, GroupsAreRefinedByTheChannelName)
{
    EXPECT_EQ(MapChannel(Group("Intensity", "Dimmer")).code, kChannelIntensity);
    EXPECT_EQ(MapChannel(Group("Pan", "Pan", 1)).code, kChannelPan | kChannelFine);
    EXPECT_EQ(MapChannel(Group("Colour", "Colour wheel")).code, kChannelColourFixed);
    EXPECT_EQ(MapChannel(Group("Gobo", "Gobo wheel 1")).code, kChannelGobo);
    EXPECT_EQ(MapChannel(Group("Gobo", "Rotating gobo wheel")).code, kChannelGobo);
    EXPECT_EQ(MapChannel(Group("Gobo", "Rotating gobo index, rotation")).code, kChannelRotation);
    EXPECT_EQ(MapChannel(Group("Gobo", "Gobo rot")).code, kChannelRotation);
    EXPECT_EQ(MapChannel(Group("Gobo", "Gobo indexing")).code, kChannelRotation);
    EXPECT_EQ(MapChannel(Group("Gobo", "Iris")).code, kChannelIris);
    EXPECT_EQ(MapChannel(Group("Shutter", "Shutter/strobe")).code, kChannelShutter);
    EXPECT_EQ(MapChannel(Group("Shutter", "Iris")).code, kChannelIris);
    EXPECT_EQ(MapChannel(Group("Beam", "Frost filter")).code, kChannelFrost);
    EXPECT_EQ(MapChannel(Group("Beam", "Focus fine", 1)).code, kChannelFocus | kChannelFine);
    EXPECT_EQ(MapChannel(Group("Beam", "Zooming")).code, kChannelZoom);
    EXPECT_EQ(MapChannel(Group("Beam", "Framing blade 1")).code, kChannelCustom1);
    EXPECT_EQ(MapChannel(Group("Prism", "Prism rotation")).code, kChannelPrism);
    EXPECT_EQ(MapChannel(Group("Prism", "Frost")).code, kChannelFrost);
    EXPECT_EQ(MapChannel(Group("Maintenance", "Reset")).code, kChannelMaintenance);
    EXPECT_EQ(MapChannel(Group("Speed", "Auto speed")).code, kChannelSpeed);
    EXPECT_EQ(MapChannel(Group("Effect", "Macros")).code, kChannelEffect);
    EXPECT_EQ(MapChannel(Group("Nothing", "Spare")).code, kChannelEffect);
    EXPECT_TRUE(MapChannel(Group("Maintenance", "Reset")).loss.empty());
}

TEST(PersonalityChannelType, UnknownPresetFallsBackToTheGroupOrIsReported)
{
    SSourceChannel both = Group("Shutter", "Strobe");
    both.preset = "SomethingNew";
    EXPECT_EQ(MapChannel(both).code, kChannelShutter);
    EXPECT_TRUE(MapChannel(both).loss.empty());
    EXPECT_EQ(MapChannel(Preset("SomethingNew")).loss, "unknown preset SomethingNew");
    EXPECT_EQ(MapChannel(Group("Laser", "Laser")).loss, "unknown group Laser");
    EXPECT_EQ(MapChannel(Group("", "Mystery")).code, kChannelUnused);
}

TEST(PersonalityFixtureDefinition, ModesListChannelTypesInChannelNumberOrder)
{
    const CFixtureDefinition d = Read("mapping.qxf");
    EXPECT_EQ(d.GetManufacturer(), "Acme");
    EXPECT_EQ(d.GetModel(), "Spot 250");
    ASSERT_EQ(d.GetModes().size(), 2u);
    EXPECT_EQ(d.GetModes()[0].name, "Basic");
    // Numbers 2, 0, 1 in the file: dimmer, red, pan. The second "Pan" definition is ignored.
    EXPECT_EQ(d.GetModes()[0].codes, (std::vector<uint8_t>{0x01, 0x04, 0x02}));
    // Every type once, in order; "Red " matches the mode's "Red"; "Lamp" is not defined.
    EXPECT_EQ(d.GetModes()[1].codes,
              (std::vector<uint8_t>{0x01, 0x21, 0x02, 0x22, 0x03, 0x23, 0x04, 0x05, 0x06, 0x07, 0x08, 0x00, 0x00, 0x09,
                                    0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x14, 0x15, 0x16, 0x00}));
    EXPECT_EQ(d.GetUndefinedChannels(), (std::vector<std::string>{"Lamp"}));
    ASSERT_EQ(d.GetLosses().size(), 2u);
    EXPECT_EQ(d.GetLosses()[0].channel, "UV");
    EXPECT_EQ(d.GetLosses()[1].reason, "colour Cyan");
}

TEST(PersonalityFixtureDefinition, BrokenNumberingLeavesTheModeWithoutCodes)
{
    const CFixtureDefinition d = Read("awkward.qxf");
    ASSERT_EQ(d.GetModes().size(), 5u);
    EXPECT_EQ(d.GetModes()[1].codes, (std::vector<uint8_t>{kChannelShutter, kChannelIntensity}));
    EXPECT_TRUE(d.GetModes()[2].codes.empty());
    EXPECT_TRUE(d.GetModes()[2].fault.empty());
    EXPECT_FALSE(d.GetModes()[3].fault.empty());  // 0, 2
    EXPECT_TRUE(d.GetModes()[3].codes.empty());
    EXPECT_FALSE(d.GetModes()[4].fault.empty());  // 0, 0
}

TEST(PersonalityFixtureDefinition, RefusesWhatIsNotAFixtureDefinition)
{
    CFixtureDefinition d;
    std::string error;
    EXPECT_FALSE(d.Parse("<FixtureDefinition><Model>", error));
    EXPECT_NE(error.find("not XML"), std::string::npos);
    EXPECT_FALSE(d.Parse("<Workspace/>", error));
    EXPECT_EQ(error, "not a fixture definition");
    EXPECT_FALSE(d.ReadFile(kData + "absent.qxf", error));
    ASSERT_TRUE(d.Parse("<FixtureDefinition><Mode Name=\"M\"><Channel Number=\"-1\">D</Channel></Mode></FixtureDefinition>",
                        error));
    EXPECT_FALSE(d.GetModes().at(0).fault.empty());
}

TEST(PersonalityLabel, CleaningKeepsThePersonalityTextParseable)
{
    EXPECT_EQ(CleanLabel("BL63 10\" LED Bar").label, "BL63 10'' LED Bar");
    EXPECT_EQ(CleanLabel("Shocker\n90\tIRC").label, "Shocker 90 IRC");
    EXPECT_EQ(CleanLabel("  8  Channel ").label, "8 Channel");
    EXPECT_EQ(CleanLabel("Par \xFF\xC3").label, "Par ??");
    EXPECT_EQ(CleanLabel("Flood 19\xC2\xB0").label, "Flood 19\xC2\xB0");
    EXPECT_TRUE(CleanLabel("Flood 19\xC2\xB0").changes.empty());
    EXPECT_EQ(CleanLabel("\xED\xA0\x80").label, "???");  // an encoded surrogate is not UTF-8
    EXPECT_EQ(CleanLabel(" \" ").changes.size(), 2u);
}

TEST(PersonalityLabel, LongLabelsAreCutAtACharacterBoundary)
{
    // 63 ASCII bytes and a two-byte character that would straddle the limit.
    const std::string label = std::string(63, 'x') + "\xC3\xA9" + "tail";
    const SCleanLabel cleaned = CleanLabel(label);
    EXPECT_EQ(cleaned.label, std::string(63, 'x'));
    ASSERT_EQ(cleaned.changes.size(), 1u);
    EXPECT_EQ(CleanLabel(std::string(64, 'y')).label.size(), 64u);
    EXPECT_EQ(CleanLabel(std::string(60, 'y') + "  zzzzzz").label, std::string(60, 'y') + " zzz");
}

TEST(PersonalityLibrary, CleansDropsAndReportsWhatTheFormatCannotCarry)
{
    CPersonalityLibrary library;
    library.Add(Read("mapping.qxf"), "Acme/mapping.qxf");
    library.Add(Read("awkward.qxf"), "Acme/awkward.qxf");
    library.Add(Read("modeless.qxf"), "Acme/modeless.qxf");
    library.Add(Wide("Acme", "Wash", "m", 1), "Acme/wash.qxf");
    library.AddUnreadable("Acme/broken.qxf", "not XML");
    library.Finish();

    EXPECT_EQ(library.GetManufacturerCount(), 1u);  // "ACME" and "Acme" are one
    EXPECT_EQ(library.GetModelCount(), 3u);
    EXPECT_EQ(library.GetModeCount(), 4u);
    const CConversionReport& report = library.GetReport();
    EXPECT_EQ(report.GetCleaned("manufacturer spelling merged with the commonest one"),
              (std::vector<std::string>{"\"ACME\" -> \"Acme\""}));
    EXPECT_EQ(report.GetCleaned("double quote replaced by two apostrophes").size(), 1u);
    EXPECT_EQ(report.GetDropped("mode name already taken in its model"),
              (std::vector<std::string>{"Acme / Bar 10'' Wide / \"2 CHANNEL\""}));
    EXPECT_EQ(report.GetDropped("mode without channels").size(), 1u);
    EXPECT_EQ(report.GetDropped("mode with broken channel numbers").size(), 2u);
    EXPECT_EQ(report.GetDropped("model without a usable mode").size(), 1u);
    EXPECT_EQ(report.GetDropped("file not readable as a fixture definition").size(), 1u);
    EXPECT_EQ(report.GetLost("colour UV"), 1u);
    EXPECT_EQ(report.GetDroppedCount(), 6u);

    TiXmlDocument document;
    document.Parse(library.ToXml().c_str(), nullptr, TIXML_ENCODING_UTF8);
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    const TiXmlNode* root = document.FirstChild("personalities");
    ASSERT_TRUE(root);
    ASSERT_EQ(Labels(root), (std::vector<std::string>{"Acme"}));
    const TiXmlElement* bar = root->FirstChildElement()->FirstChildElement();
    EXPECT_EQ(Labels(root->FirstChildElement()), (std::vector<std::string>{"Bar 10'' Wide", "Spot 250", "Wash"}));
    // The model's own profile is its first child and equals its first mode's.
    ASSERT_TRUE(bar->FirstChild()->ToText());
    EXPECT_STREQ(bar->FirstChild()->Value(), "010C");
    EXPECT_EQ(Labels(bar), (std::vector<std::string>{"2 channel"}));
    EXPECT_STREQ(bar->FirstChildElement("mode")->GetText(), "010C");
}

TEST(PersonalityLibrary, PersonalityTextMayFillButNotExceedALinkFrame)
{
    // 11 bytes of quotes and commas + 1 + 1 + 2 labels + 2 per channel: 494 channels make 1003.
    EXPECT_EQ(PersonalityTextLength("M", "X", "ab", 494), 1003u);
    CPersonalityLibrary library;
    library.Add(Wide("M", "X", "ab", 494), "M/x.qxf");
    library.Add(Wide("M", "Y", "ab", 495), "M/y.qxf");
    library.Finish();
    EXPECT_EQ(library.GetModelCount(), 1u);
    EXPECT_EQ(library.GetLongestText(), 1003u);
    EXPECT_EQ(library.GetReport().GetDropped("model whose every mode was dropped"),
              (std::vector<std::string>{"M / Y (M/y.qxf)"}));
    EXPECT_EQ(library.GetReport().GetDropped("personality text longer than a link frame carries (1003 bytes)"),
              (std::vector<std::string>{"M / Y / \"ab\": 1005 bytes, 495 channels"}));
}

TEST(PersonalityLibrary, OutputIsSortedForTheLetterJumpAndIndependentOfInputOrder)
{
    const std::vector<std::pair<CFixtureDefinition, std::string>> inputs = {
        {Wide("beta", "Zed", "m", 1), "b/1.qxf"},   {Wide("Alpha", "spot", "m", 2), "a/1.qxf"},
        {Wide("Alpha", "Bar", "m", 3), "a/2.qxf"},  {Wide("Alpha", "SPOT", "m", 4), "a/0.qxf"},
        {Wide("4Bar", "One", "m", 1), "4/1.qxf"},   {Wide("Gamma", "G", "m", 1), "g/1.qxf"}};
    CPersonalityLibrary forward, backward;
    for (auto it = inputs.begin(); it != inputs.end(); ++it)
        forward.Add(it->first, it->second);
    for (auto it = inputs.rbegin(); it != inputs.rend(); ++it)
        backward.Add(it->first, it->second);
    forward.Finish();
    backward.Finish();
    EXPECT_EQ(forward.ToXml(), backward.ToXml());

    TiXmlDocument document;
    document.Parse(forward.ToXml().c_str(), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlNode* root = document.FirstChild("personalities");
    ASSERT_TRUE(root);
    EXPECT_EQ(Labels(root), (std::vector<std::string>{"4Bar", "Alpha", "beta", "Gamma"}));
    // "SPOT" and "spot" cannot both be found; the one that sorts first by raw bytes stays.
    EXPECT_EQ(Labels(root->FirstChild()->NextSibling()), (std::vector<std::string>{"Bar", "SPOT"}));
    EXPECT_EQ(forward.GetReport().GetDropped("model name already taken (names compare without regard to case)"),
              (std::vector<std::string>{"Alpha / spot (a/1.qxf; kept a/0.qxf)"}));
    EXPECT_TRUE(CheckLibraryText(forward.ToXml()).problems.empty());
}

TEST(PersonalityLibraryCheck, FindsWhatWouldMisbehaveInTheProgram)
{
    const std::string good =
        "<personalities><manufacturer label=\"A\"><model label=\"M\">0102<mode label=\"x\">0102</mode>"
        "</model></manufacturer><manufacturer label=\"b\"><model label=\"N\">01</model></manufacturer></personalities>";
    const SLibraryCheck ok = CheckLibraryText(good);
    EXPECT_TRUE(ok.problems.empty());
    EXPECT_EQ(ok.manufacturers, 2u);
    EXPECT_EQ(ok.models, 2u);
    EXPECT_EQ(ok.modes, 1u);
    EXPECT_EQ(ok.longestText, 11u + 1 + 1 + 1 + 4);

    const auto problems = [](const std::string& text) { return CheckLibraryText(text).problems.size(); };
    EXPECT_EQ(problems("<personalities><!-- c --></personalities>"), 1u);
    EXPECT_EQ(problems("<personalities><m label=\"A\"><!-- c --></m></personalities>"), 1u);
    EXPECT_EQ(problems("<personalities><m label='A&quot;'><n label=\"M\">01</n></m></personalities>"), 1u);
    EXPECT_EQ(problems("<personalities><m label=\"A\"><n label=\"M\">012</n></m></personalities>"), 1u);
    EXPECT_EQ(problems("<personalities><m label=\"A\"><n label=\"M\"><mode label=\"x\">01</mode></n></m></personalities>"), 1u);
    EXPECT_EQ(problems("<personalities><m label=\"A\"><n label=\"M\">01<info/></n></m></personalities>"), 1u);
    EXPECT_EQ(problems("<personalities><m label=\"b\"><n label=\"M\">01</n></m><m label=\"A\"><n label=\"M\">01</n></m></personalities>"), 1u);
    EXPECT_EQ(problems("<personalities><m label=\"A\"><n label=\"M\">01</n><n label=\"m\">01</n></m></personalities>"), 1u);
    EXPECT_EQ(problems("<personalities><m label=\"A\"><n label=\"M\">" + std::string(2 * 495, '1') + "</n></m></personalities>"), 0u);
    EXPECT_EQ(problems("<personalities><m label=\"A\"><n label=\"M\">" + std::string(2 * 496, '1') + "</n></m></personalities>"), 1u);
    EXPECT_EQ(problems("<other/>"), 1u);
    EXPECT_EQ(problems("<personalities>"), 1u);
}

TEST(PersonalityLibraryCheck, ShippedLibraryLoadsAndFitsTheLink)
{
    const SLibraryCheck check =
        CheckLibraryFile(std::string(TANZO_SOURCE_DIR) + "/resources/personalities/personalities.xml");
    for (const std::string& problem : check.problems)
        ADD_FAILURE() << problem;
    EXPECT_EQ(check.manufacturers, 130u);
    EXPECT_EQ(check.models, 1358u);
    EXPECT_EQ(check.modes, 3706u);
    EXPECT_LE(check.longestText, kMaxPersonalityText);
}
