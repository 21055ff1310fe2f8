#include "model/fixture.h"

#include "foundation/notify_codes.h"
#include "model/fixture_manager.h"
#include "model/personality_manager.h"
#include "tests/model/patch_test_support.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

using namespace patchtest;

namespace
{
class FixtureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library.LoadFile(TestDataPath("personalities.xml"), false);
        patch.Init(&library, &sink);
        fixture = patch.GetFixture(5);
        fixture->Attach(&observer);
    }
    void TearDown() override { fixture->Detach(&observer); }

    // The controller's reply to a Get of slot 5.
    void Reply(uint32_t command, const CMessageValue& value)
    {
        patch.HandleMessage(Record(MANAGER_FIXTURE, command, 5, value));
    }

    // Reads one "fixture" element given as text into slot 5.
    void ReadElement(const std::string& xml, bool everything = false)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        ASSERT_FALSE(document.Error()) << xml;
        fixture->ReadXml(document.RootElement(), everything);
    }

    std::vector<uint32_t> SentCommands() const
    {
        std::vector<uint32_t> commands;
        for (const CMessage& record : sink.sent)
        {
            EXPECT_EQ(record.GetManager(), MANAGER_FIXTURE);
            EXPECT_EQ(record.GetIndex0(), 5u);
            commands.push_back(record.GetCommand());
        }
        return commands;
    }

    CPersonalityManager library;
    CRecordingSink sink;
    CFixtureManager patch;
    CFixture* fixture = nullptr;
    CCodeRecorder observer;
};
}  // namespace

TEST_F(FixtureTest, SettersSendDifferencesAndLeaveTheMirrorAlone)
{
    fixture->SetAddress(0);
    fixture->SetAddress(600);
    fixture->SetLabel("Spot");
    fixture->SetLabel("");
    fixture->SetInvertPan(true);
    fixture->SetInvertTilt(false);
    fixture->SetSwapPanTilt(true);
    fixture->SetVirtualDimmer(true);
    fixture->SetPersonality(CPersonalityRef("A", "B", "", "01"));
    fixture->SetPersonality(CPersonalityRef());
    fixture->Clear();

    // A label or a personality set and set back before the controller answers goes both ways.
    EXPECT_EQ(SentCommands(), (std::vector<uint32_t>{COMMAND_SET_ADDRESS, COMMAND_SET_ADDRESS, COMMAND_SET_LABEL,
                                                     COMMAND_SET_LABEL, COMMAND_SET_INVERT_PAN,
                                                     COMMAND_SET_SWAP_PAN_TILT, COMMAND_SET_VIRTUAL_DIMMER,
                                                     COMMAND_SET_PERSONALITY, COMMAND_SET_PERSONALITY, COMMAND_CLEAR}));
    EXPECT_EQ(sink.sent[0].GetValue(), CMessageValue(1u));
    EXPECT_EQ(sink.sent[1].GetValue(), CMessageValue(512u));
    EXPECT_EQ(sink.sent[2].GetValue(), CMessageValue("Spot"));
    EXPECT_EQ(sink.sent[4].GetValue(), CMessageValue(true));
    EXPECT_EQ(sink.sent[7].GetValue(), CMessageValue("\"A\",\"B\",\"\",\"01\""));
    EXPECT_EQ(sink.sent[9].GetValue().GetType(), VALUE_NONE);
    EXPECT_EQ(fixture->GetAddress(), 0u);
    EXPECT_EQ(fixture->GetLabel(), "");
    EXPECT_TRUE(observer.codes.empty());

    // After the clear the mirror says nothing of the slot: the first address asked goes, though
    // the controller reported it. Once asked and reported, asking for it again sends nothing; a
    // second request before the reply goes out again (the device manager merges the two).
    Reply(COMMAND_GET_ADDRESS, CMessageValue(512u));
    sink.sent.clear();
    fixture->SetAddress(700);
    fixture->SetAddress(700);
    fixture->SetAddress(3);
    fixture->SetAddress(3);
    EXPECT_EQ(SentCommands(), (std::vector<uint32_t>{COMMAND_SET_ADDRESS, COMMAND_SET_ADDRESS, COMMAND_SET_ADDRESS}));
}

TEST_F(FixtureTest, NotifyCodesAskForTheMatchingProperty)
{
    const std::vector<std::pair<uint32_t, std::vector<uint32_t>>> cases = {
        {0, {COMMAND_GET_LABEL, COMMAND_GET_ADDRESS, COMMAND_GET_PROPERTIES, COMMAND_GET_PERSONALITY}},
        {20, {COMMAND_GET_ADDRESS}},
        {24, {COMMAND_GET_PROPERTIES}},
        {292, {COMMAND_GET_PROPERTIES}},
        {25, {COMMAND_GET_MARGINS}},
        {32, {COMMAND_GET_PERSONALITY}},
        {206, {COMMAND_GET_VIRTUAL_DIMMER}},
        {289, {COMMAND_GET_LABEL}},
        {3, {}},
        {1100, {}},
    };
    for (const auto& [code, expected] : cases)
    {
        sink.sent.clear();
        patch.HandleMessage(NotifyRecord(MANAGER_FIXTURE, 5, code));
        EXPECT_EQ(SentCommands(), expected) << "code " << code;
        for (const CMessage& record : sink.sent)
            EXPECT_EQ(record.GetValue().GetType(), VALUE_NONE);
    }
}

TEST_F(FixtureTest, RepliesStoreAndNotifyOnlyChanges)
{
    Reply(COMMAND_GET_LABEL, CMessageValue("Wash"));
    Reply(COMMAND_GET_LABEL, CMessageValue("Wash"));
    Reply(COMMAND_GET_VIRTUAL_DIMMER, CMessageValue(true));
    Reply(COMMAND_GET_INVERT_TILT, CMessageValue(true));
    Reply(COMMAND_GET_MARGINS, CMessageValue(7u));
    Reply(COMMAND_SET_LABEL, CMessageValue("echo"));
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{289, 206, 24}));
    EXPECT_EQ(fixture->GetLabel(), "Wash");
    EXPECT_EQ(fixture->GetOptionText(), "-T-D");
    EXPECT_TRUE(sink.sent.empty());
}

TEST_F(FixtureTest, AddressesFromTheControllerAreStoredUnclamped)
{
    Reply(COMMAND_GET_ADDRESS, CMessageValue(700u));
    EXPECT_EQ(fixture->GetAddress(), 700u);
    EXPECT_TRUE(fixture->IsEmpty());
    Reply(COMMAND_GET_ADDRESS, CMessageValue(0u));
    EXPECT_TRUE(fixture->IsEmpty());
    Reply(COMMAND_GET_ADDRESS, CMessageValue(512u));
    EXPECT_FALSE(fixture->IsEmpty());
    EXPECT_EQ(observer.Count(NOTIFY_ADDRESS), 3u);
}

TEST_F(FixtureTest, PropertiesWordSetsFlagsAndAddressEachNotifyingOnItsOwn)
{
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(0x00250005u));
    EXPECT_EQ(fixture->GetOptionText(), "P-S-");
    EXPECT_EQ(fixture->GetAddress(), 37u);
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{24, 24, NOTIFY_ADDRESS}));

    observer.codes.clear();
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(0x0025000Fu));
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{24, 206}));
    EXPECT_EQ(fixture->GetOptionText(), "PTSD");
}

TEST_F(FixtureTest, PersonalityReplyWithoutQuotesEmptiesThePersonalityAndStalesTheMap)
{
    Reply(COMMAND_GET_PERSONALITY, CMessageValue("\"A\",\"B\",\"\",\"0101\""));
    Reply(COMMAND_GET_ADDRESS, CMessageValue(1u));
    EXPECT_EQ(patch.GetChannelUse(2), 1u);
    observer.codes.clear();

    Reply(COMMAND_GET_PERSONALITY, CMessageValue("garbage"));
    EXPECT_TRUE(fixture->GetPersonality().IsEmpty());
    EXPECT_EQ(observer.codes, (std::vector<uint32_t>{NOTIFY_PERSONALITY}));
    EXPECT_EQ(patch.GetChannelUse(2), 0u) << "the map was rebuilt";
}

TEST_F(FixtureTest, DigestFollowsTheMirroredFields)
{
    const CDigest empty = fixture->GetDigest();
    EXPECT_EQ(empty, patch.GetFixture(6)->GetDigest());
    Reply(COMMAND_GET_LABEL, CMessageValue("Wash"));
    const CDigest labelled = fixture->GetDigest();
    EXPECT_NE(labelled, empty);
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(0x00000008u));
    EXPECT_NE(fixture->GetDigest(), labelled);
}

TEST_F(FixtureTest, ElementAddressesAndFlags)
{
    struct SCase
    {
        const char* xml;
        std::vector<uint32_t> commands;
        uint32_t address;
    };
    const SCase cases[] = {
        {"<fixture address='2:100'/>", {COMMAND_SET_ADDRESS}, 100},
        {"<fixture address='100'/>", {COMMAND_SET_ADDRESS}, 100},
        // Neither missing, unreadable nor out-of-range addresses patch the fixture anywhere.
        {"<fixture/>", {}, 0},
        {"<fixture address='abc'/>", {}, 0},
        {"<fixture address='0'/>", {}, 0},
        {"<fixture address='-5'/>", {}, 0},
        {"<fixture address='513'/>", {}, 0},
        {"<fixture address='1:-5'/>", {}, 0},
        // Numbers read whole or not at all, blanks around them allowed.
        {"<fixture address='1e2'/>", {}, 0},
        {"<fixture address='10x'/>", {}, 0},
        {"<fixture address=' 2 : 100 '/>", {COMMAND_SET_ADDRESS}, 100},
        {"<fixture invert_pan='YES' invert_tilt='On' swap_pan_tilt='1' virtual_dimmer='TRUE'/>",
         {COMMAND_SET_VIRTUAL_DIMMER, COMMAND_SET_INVERT_PAN, COMMAND_SET_INVERT_TILT},
         0},
    };
    for (const SCase& c : cases)
    {
        sink.sent.clear();
        ReadElement(c.xml);
        EXPECT_EQ(SentCommands(), c.commands) << c.xml;
        if (c.address)
        {
            EXPECT_EQ(sink.sent[0].GetValue(), CMessageValue(c.address)) << c.xml;
        }
    }
    EXPECT_EQ(observer.Count(NOTIFY_UNKNOWN), 12u) << "every read tells its observers";
}

TEST_F(FixtureTest, ElementWithoutProfileTakesItFromTheLibrary)
{
    ReadElement("<fixture personality='\"Brightline\",\"Spot 250\",\"Basic\",\"FFFF\"' mode='Extended'/>");
    ASSERT_EQ(SentCommands(), std::vector<uint32_t>{COMMAND_SET_PERSONALITY});
    CPersonalityRef sent;
    sent.FromCsv(sink.sent[0].GetValue().GetString());
    EXPECT_EQ(sent, CPersonalityRef("Brightline", "Spot 250", "Extended",
                                    "01022203230405060708090A0B0C0D0E0F10111213141516"));

    sink.sent.clear();
    ReadElement("<fixture manufacturer='Nobody' model='X' profile='0102'/>");
    sent.FromCsv(sink.sent[0].GetValue().GetString());
    EXPECT_EQ(sent, CPersonalityRef("Nobody", "X", "", "0102"));
}

TEST_F(FixtureTest, ElementWithoutAddressUnpatchesAPatchedSlotAndSendsEverything)
{
    Reply(COMMAND_GET_ADDRESS, CMessageValue(40u));
    Reply(COMMAND_GET_LABEL, CMessageValue("Old"));
    ReadElement("<fixture label='Old'/>");
    EXPECT_EQ(SentCommands(), (std::vector<uint32_t>{COMMAND_CLEAR, COMMAND_SET_PERSONALITY, COMMAND_SET_LABEL,
                                                     COMMAND_SET_VIRTUAL_DIMMER, COMMAND_SET_INVERT_PAN,
                                                     COMMAND_SET_INVERT_TILT, COMMAND_SET_SWAP_PAN_TILT}));
    EXPECT_EQ(sink.sent[2].GetValue(), CMessageValue("Old"));

    // A slot the show loader has just cleared gets every value, its address included.
    sink.sent.clear();
    ReadElement("<fixture label='Old' address='300'/>", true);
    EXPECT_EQ(SentCommands(), (std::vector<uint32_t>{COMMAND_SET_PERSONALITY, COMMAND_SET_ADDRESS, COMMAND_SET_LABEL,
                                                     COMMAND_SET_VIRTUAL_DIMMER, COMMAND_SET_INVERT_PAN,
                                                     COMMAND_SET_INVERT_TILT, COMMAND_SET_SWAP_PAN_TILT}));
    EXPECT_EQ(sink.sent[1].GetValue(), CMessageValue(300u));
}

TEST_F(FixtureTest, WrittenElementLeavesOutWhatIsEmpty)
{
    Reply(COMMAND_GET_PERSONALITY, CMessageValue("\"Brightline\",\"Par 64\",\"\",\"01\""));
    Reply(COMMAND_GET_PROPERTIES, CMessageValue(0x00000003u));
    TiXmlElement element("fixture");
    fixture->WriteXml(&element);
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    element.Accept(&printer);
    EXPECT_EQ(std::string(printer.CStr()), "<fixture index=\"5\" manufacturer=\"Brightline\" model=\"Par 64\" "
                                           "profile=\"01\" invert_pan=\"true\" invert_tilt=\"true\" />");
}
