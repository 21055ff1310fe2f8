// Show files against the stand-in controller, through the model root and its device link with
// their threads: a show opened from the list reaches the controller whole, the model mirrors it
// and saves it back equal. Run by show_standin.cmake (TANZO_SHOW_STANDIN=1) inside the private
// network namespace ctest runs in; skipped everywhere else.
#include "foundation/base64.h"
#include "link/device.h"
#include "link/device_manager.h"
#include "link/device_type.h"
#include "model/core.h"
#include "model/cue.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/show_file.h"
#include "model/show_file_list.h"
#include "tests/model/show_test_support.h"
#include "tests/model/standin_process.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

using namespace patchtest;
using namespace showtest;

namespace
{
bool ShouldRun(std::string& reason)
{
    return StandinTestRuns("TANZO_SHOW_STANDIN", "show_standin.cmake", reason);
}

// "00-00-01-50" for 1500 ms.
std::string MachineTime(uint32_t ms)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%02u-%02u-%02u-%02u", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                  ms % 1000 / 10);
    return text;
}

// A show as the program writes it: 8 fixtures (slot 8 without a label, slot 20 unpatched) and
// 10 playbacks of 3 cues, each cue holding records of random bytes for three fixtures.
std::string ShowXml()
{
    std::mt19937 random(20240305);
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<show application=\"Tanzo\"><fixtures>";
    const uint32_t fixtureSlots[] = {0, 1, 2, 3, 5, 8, 20, 63};
    for (uint32_t i = 0; i < 8; ++i)
    {
        xml << "<fixture index=\"" << fixtureSlots[i] << "\"";
        if (i != 5)
            xml << " label=\"Spot " << i + 1 << "\"";
        if (i != 6)
            xml << " address=\"" << 1 + 40 * i << "\"";
        xml << " manufacturer=\"Maker\" model=\"Spot " << i << "\"" << (i % 2 ? "" : " mode=\"16ch\"") << " profile=\"";
        for (uint32_t channel = 0; channel < 4 + i; ++channel)
            xml << (channel % 2 ? "0C" : "01");
        xml << "\"" << (i == 1 ? " invert_pan=\"true\"" : "") << (i == 2 || i == 3 ? " invert_tilt=\"true\"" : "")
            << (i == 3 ? " swap_pan_tilt=\"true\"" : "") << (i == 5 ? " virtual_dimmer=\"true\"" : "") << "/>";
    }
    xml << "</fixtures><playbacks>";
    const char* const repeats[] = {"Loop", "Bounce", "Random", "Off"};
    const char* const goModes[] = {"Go", "Toggle", "Flash", "Solo"};
    const uint32_t playbackSlots[] = {0, 1, 2, 5, 9, 17, 30, 31, 48, 63};
    for (uint32_t i = 0; i < 10; ++i)
    {
        xml << "<playback index=\"" << playbackSlots[i] << "\"";
        if (i != 7)
            xml << " label=\"Look " << i << "\"";
        if (i % 4)
            xml << " repeat=\"" << repeats[i % 4] << "\"";
        if ((i + 1) % 4)
            xml << " gomode=\"" << goModes[(i + 1) % 4] << "\"";
        if (i % 3 == 0 && i % 4 != 3)
            xml << " intensity=\"" << 0.25f * float(i % 4 + 1) << "\"";
        xml << (i % 5 == 2 ? " speed=\"0.125\"" : "") << (i == 4 ? " background=\"true\"" : "")
            << (i == 6 ? " exclusive=\"true\"" : "") << "><cues>";
        for (uint32_t c = 0; c < 3; ++c)
        {
            xml << "<cue" << (c == 1 ? "" : " label=\"Cue " + std::to_string(c + 1) + "\"")
                << (c % 2 ? " condition=\"Follow\"" : "");
            if (c == 2)
                xml << " delay=\"" << MachineTime(1500) << "\"";
            if (c != 0 && i != 0)
                xml << " fade=\"" << MachineTime(250 * c * i) << "\"";
            std::array<std::vector<uint8_t>, CCue::kBlockCount> blocks;
            for (uint32_t n = 0; n < 3; ++n)
            {
                const uint32_t slot = random() % 64;
                std::vector<uint8_t>& block = blocks[slot / CCue::kRecordsPerBlock];
                block.resize(CCue::kBlockSize, 0);
                for (uint32_t b = 0; b < CCue::kRecordSize; ++b)
                    block[(slot % CCue::kRecordsPerBlock) * CCue::kRecordSize + b] = uint8_t(random() % 255 + 1);
            }
            xml << "><blocks>";
            for (const std::vector<uint8_t>& block : blocks)
                xml << (block.empty() ? "<block />" : "<block>" + Base64Encode(block) + "</block>");
            xml << "</blocks></cue>";
        }
        xml << "</cues></playback>";
    }
    xml << "</playbacks></show>\n";
    return xml.str();
}

class ShowStandin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string reason;
        if (!ShouldRun(reason))
            GTEST_SKIP() << reason;
        m_shows = m_folder.MakeFolder("shows");
    }

    void TearDown() override
    {
        m_core.reset();
        m_standin.Stop();
    }

    // The stand-in, then a model root that knows it but has chosen no controller yet.
    void Create(const std::vector<std::string>& script = {})
    {
        std::string error;
        ASSERT_TRUE(m_standin.Start(script, error)) << error;
        CCoreSetup setup;
        setup.link.port = m_standin.GetLinkPort();
        setup.link.broadcastTargets = std::vector<CIpAddress>{CIpAddress(127, 0, 0, 2)};
        setup.optionsFolder = m_folder.Path();
        setup.showFolder = m_shows;
        m_core = CCore::Create(0, nullptr, setup);
    }

    void Choose() { m_core->GetDeviceManager()->SetConnectedAddress(CIpAddress(127, 0, 0, 2, m_standin.GetLinkPort())); }

    // Ticks the model root like the main loop until the outgoing queue has drained, no show
    // waits and the condition holds.
    bool Settle(const std::function<bool()>& done = [] { return true; })
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < end)
        {
            m_core->Update(0.04f);
            if (m_core->GetDeviceManager()->GetQueueLength() == 0 && !m_core->GetFileManager()->IsLoadPending() &&
                done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    CFile* ListedShow(const std::string& name)
    {
        m_core->GetFileManager()->Refresh();
        m_core->GetFileManager()->FinishListing();
        return m_core->GetFileManager()->FindFile(name);
    }

    std::string ModelPart(const char* part)
    {
        TiXmlElement element(part);
        if (std::string(part) == "fixtures")
            m_core->GetFixtureManager()->WriteXml(&element);
        else
            m_core->GetPlaybackManager()->Save(element);
        return Canonical(&element);
    }

    std::string Show(const std::string& what, const char* field) { return m_standin.Field("show " + what, field); }
    std::string StandinDigest() { return m_standin.Command("digest"); }
    std::string ModelDigest() { return "ok " + m_core->ComputeDigest().ToString(); }
    // Whether the model holds what the controller holds. An empty queue alone does not say so:
    // the last acknowledgement leaves the queue before the tick applies it, and the controller's
    // Notifies follow their acknowledgements.
    bool InStep() { return StandinDigest() == ModelDigest(); }

    // The controller's own view of a few fields of the show, beside the digests and the model's
    // copy that the tests compare whole.
    void ExpectOnController()
    {
        EXPECT_EQ(Show("fixture 3", "label"), "Spot 4");
        EXPECT_EQ(Show("fixture 3", "personality"), "\"Maker\",\"Spot 3\",\"\",\"010C010C010C01\"");
        EXPECT_EQ(Show("fixture 3", "properties"), "0x790006");
        EXPECT_EQ(Show("fixture 20", "address"), "0");
        EXPECT_EQ(Show("fixture 8", "label"), "");
        EXPECT_EQ(Show("playback 9", "label"), "Look 4");
        EXPECT_EQ(Show("playback 9", "gomode"), "1");
        EXPECT_EQ(Show("playback 9", "background"), "1");
        EXPECT_EQ(Show("playback 0", "intensity"), "0.25");
        EXPECT_EQ(Show("playback 2", "speed"), "0.125");
        EXPECT_EQ(Show("playback 5", "cues"), "3");
        EXPECT_EQ(Show("cue 9 2", "delay"), "1500");
        EXPECT_EQ(Show("cue 9 2", "fade"), "2000");
        EXPECT_EQ(Show("cue 9 1", "condition"), "1");
    }

    CTempFolder m_folder;
    std::string m_shows;
    CStandinProcess m_standin;
    std::unique_ptr<CCore> m_core;
};
}  // namespace

TEST_F(ShowStandin, AShowOpenedFromTheListReachesTheControllerAndSavesBackEqual)
{
    Create({"settings mac 02:11:22:33:44:55", "settings firmware 1.9", "settings pcb 3.2", "playback 40 label Stale",
            "fixture 30 label Stale", "fixture 30 address 400"});
    Choose();
    ASSERT_TRUE(Settle([&] { return m_core->GetPlaybackManager()->GetPlayback(40)->GetLabel() == "Stale"; }));

    WriteText(m_shows + "/big.show", ShowXml());
    CFile* file = ListedShow("big");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Load()) << file->GetError();
    m_core->GetFileManager()->SetCurrentFile(file);
    const std::string wantFixtures = ShowPart(m_shows + "/big.show", "fixtures");
    const std::string wantPlaybacks = ShowPart(m_shows + "/big.show", "playbacks");
    ASSERT_TRUE(Settle([&] {
        return ModelPart("fixtures") == wantFixtures && ModelPart("playbacks") == wantPlaybacks && InStep();
    })) << ModelPart("fixtures") << "\n" << ModelPart("playbacks");

    ExpectOnController();
    // What the show does not name is emptied on the controller.
    EXPECT_EQ(Show("playback 40", "label"), "");
    EXPECT_EQ(Show("fixture 30", "address"), "0");
    EXPECT_EQ(StandinDigest(), ModelDigest());
    const std::string loadedDigest = StandinDigest();

    // Saved under a new name, with the controller described as polled: every setting the file
    // holds has come back, the board version last.
    ASSERT_TRUE(Settle([&] {
        const CDevice* unit = m_core->GetDeviceManager()->GetConnectedDevice();
        return unit && unit->GetMac()[0] == 0x02 && unit->GetFirmwareVersion().GetMinor() == 9 &&
               unit->GetPcbVersion().GetMajor() == 3 && unit->GetPcbVersion().GetMinor() == 2;
    }));
    CFile* copy = m_core->GetFileManager()->CreateShowFile();
    ASSERT_NE(copy, nullptr) << m_core->GetFileManager()->GetError();
    ASSERT_TRUE(copy->Save()) << copy->GetError();
    EXPECT_EQ(ShowPart(copy->GetPath(), "fixtures"), wantFixtures);
    EXPECT_EQ(ShowPart(copy->GetPath(), "playbacks"), wantPlaybacks);
    TiXmlDocument saved;
    ASSERT_TRUE(saved.LoadFile(copy->GetPath().c_str()));
    const TiXmlElement* device = saved.RootElement()->FirstChildElement("system")->FirstChildElement("device");
    EXPECT_EQ(Canonical(device), "/device\n/device/mac text=02:11:22:33:44:55\n/device/ip text=127.0.0.2\n"
                                 "/device/subnet text=255.255.255.0\n/device/dhcp text=false\n"
                                 "/device/pcb_version text=3.2\n/device/firmware_version text=1.9\n"
                                 "/device/type text=" + DeviceTypeName(DEVICE_TYPE_KDX1) + "\n");

    // An empty show clears the controller; the saved copy brings the whole show back.
    CFile* empty = m_core->GetFileManager()->CreateShowFile();
    ASSERT_NE(empty, nullptr);
    ASSERT_TRUE(empty->Load());
    ASSERT_TRUE(Settle([&] { return m_core->GetPlaybackManager()->GetPlayback(63)->IsEmpty() && InStep(); }));
    EXPECT_EQ(Show("playback 0", "cues"), "0");
    EXPECT_EQ(Show("fixture 0", "label"), "");
    EXPECT_EQ(StandinDigest(), ModelDigest());
    EXPECT_NE(StandinDigest(), loadedDigest);

    ASSERT_TRUE(copy->Load());
    ASSERT_TRUE(Settle([&] {
        return ModelPart("playbacks") == wantPlaybacks && ModelPart("fixtures") == wantFixtures && InStep();
    }));
    EXPECT_EQ(StandinDigest(), loadedDigest);
    EXPECT_EQ(StandinDigest(), ModelDigest());
    ExpectOnController();
}

TEST_F(ShowStandin, AShowOpenedRightAfterChoosingTheControllerReachesItWhole)
{
    // The controller still holds an older look on playback 3 and fixture 4. The show sets the
    // defaults there, which only a mirror filled from the controller knows to send.
    Create({"playback 3 intensity 0.2", "playback 3 label Old", "playback 3 gomode 2", "fixture 4 invert-pan on",
            "fixture 4 label Old"});
    WriteText(m_shows + "/defaults.show",
              "<show application=\"Tanzo\"><fixtures><fixture index=\"4\" label=\"New\"/></fixtures>"
              "<playbacks><playback index=\"3\" label=\"New\"/></playbacks></show>");
    CFile* file = ListedShow("defaults");
    ASSERT_NE(file, nullptr);

    Choose();
    ASSERT_TRUE(file->Load());
    EXPECT_TRUE(m_core->GetFileManager()->IsLoadPending());
    ASSERT_TRUE(Settle([&] { return m_core->GetPlaybackManager()->GetPlayback(3)->GetLabel() == "New" && InStep(); }));

    EXPECT_EQ(Show("playback 3", "intensity"), "1");
    EXPECT_EQ(Show("playback 3", "gomode"), "0");
    EXPECT_EQ(Show("fixture 4", "properties"), "0x0");
    EXPECT_EQ(Show("fixture 4", "label"), "New");
    EXPECT_FLOAT_EQ(m_core->GetPlaybackManager()->GetPlayback(3)->GetIntensity(), 1.0f);
    EXPECT_EQ(StandinDigest(), ModelDigest());
}

TEST_F(ShowStandin, AHandEditedShowReachesTheControllerWholeAndSavesBackEqual)
{
    // The controller holds what the file names for playback 2, its cue and fixture 3 already.
    Create({"playback 2 label Keep", "playback 2 intensity 0.5", "playback 2 count 1", "cue 2 0 label Same",
            "cue 2 0 fade 2000", "fixture 3 label Keep", "fixture 3 address 10",
            "fixture 3 personality \"Maker\",\"Spot\",\"\",\"0102\""});
    Choose();
    ASSERT_TRUE(Settle([&] {
        const CPlayback* two = m_core->GetPlaybackManager()->GetPlayback(2);
        return two->GetCueCount() == 1 && two->GetCue(0)->GetLabel() == "Same" &&
               m_core->GetFixtureManager()->GetFixture(3)->GetAddress() == 10 && InStep();
    }));

    // Comments, instructions and elements of other names in every list, the higher index first,
    // an address that patches nothing, a block's text in parts, a raw '&', characters by reference
    // and by a byte that is no UTF-8, and numbers with blanks around them.
    std::vector<uint8_t> block(CCue::kBlockSize, 0);
    block[17] = 200;
    const std::string look = Base64Encode(block);
    WriteText(m_shows + "/edited.show",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- edited by hand -->\n<show application=\"Tanzo\">\n"
              " <fixtures>\n  <!-- the wash first --><?editor keep?><note label=\"not a fixture\"/>\n"
              "  <fixture index=\" 6 \" label=\"Wash &amp; Co\" address=\"30 \" manufacturer=\"Maker\" model=\"Wash\" "
              "profile=\"010C\"/>\n"
              "  <!-- as the controller holds it -->\n"
              "  <fixture index=\"3\" label=\"Keep\" address=\"10\" manufacturer=\"Maker\" model=\"Spot\" profile=\"0102\"/>\n"
              "  <fixture index=\"9\" label=\"Nowhere\" address=\"-5\"/>\n </fixtures>\n"
              " <playbacks>\n  <!-- the higher index first --><button index=\"0\" label=\"not a playback\"/>\n"
              "  <playback index=\"5\" label=\"Sound & Light &#x65E5;&#x672C; &#x263A; \x80\" gomode=\"Flash\"><cues>"
              "<!-- one cue --><note/>\n"
              "   <cue label=\"A\" fade=\"00-00-02-00\"><blocks><!-- no block --><note>AAAA</note><block>" +
                  look.substr(0, 300) + "<!-- split -->" + look.substr(300, 300) + "<?pi?><![CDATA[" +
                  look.substr(600) + "]]></block><block/><block/><block/></blocks></cue></cues></playback>\n"
              "  <!-- as the controller holds it -->\n"
              "  <playback index=\"2\" label=\"Keep\" intensity=\" 0.5 \"><cues>"
              "<cue label=\"Same\" fade=\"00-00-02-00\">"
              "<blocks><block/><block/><!-- b --><block/><block/></blocks></cue><!-- c --></cues></playback>\n"
              " </playbacks>\n</show>\n");
    // The same show as the program writes it.
    TiXmlDocument want;
    want.Parse(("<show><fixtures>"
                "<fixture index=\"3\" label=\"Keep\" address=\"10\" manufacturer=\"Maker\" model=\"Spot\" profile=\"0102\"/>"
                "<fixture index=\"6\" label=\"Wash &amp; Co\" address=\"30\" manufacturer=\"Maker\" model=\"Wash\" "
                "profile=\"010C\"/><fixture index=\"9\" label=\"Nowhere\"/></fixtures><playbacks>"
                "<playback index=\"2\" label=\"Keep\" intensity=\"0.5\"><cues><cue label=\"Same\" fade=\"00-00-02-00\">"
                "<blocks><block/><block/><block/><block/></blocks></cue></cues></playback>"
                "<playback index=\"5\" label=\"Sound &amp; Light \xE6\x97\xA5\xE6\x9C\xAC \xE2\x98\xBA \xE2\x82\xAC\" "
                "gomode=\"Flash\"><cues><cue label=\"A\" fade=\"00-00-02-00\">"
                "<blocks><block>" + look + "</block><block/><block/><block/></blocks></cue></cues></playback>"
                "</playbacks></show>").c_str());
    const std::string wantFixtures = Canonical(want.RootElement()->FirstChildElement("fixtures"));
    const std::string wantPlaybacks = Canonical(want.RootElement()->FirstChildElement("playbacks"));

    CFile* file = ListedShow("edited");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Load()) << file->GetError();
    ASSERT_TRUE(Settle([&] {
        return ModelPart("fixtures") == wantFixtures && ModelPart("playbacks") == wantPlaybacks && InStep();
    })) << ModelPart("fixtures") << "\n" << ModelPart("playbacks");
    EXPECT_EQ(Show("playback 2", "label"), "Keep");
    EXPECT_EQ(Show("playback 2", "intensity"), "0.5");
    EXPECT_EQ(Show("cue 2 0", "label"), "Same");
    EXPECT_EQ(Show("fixture 3", "label"), "Keep");
    EXPECT_EQ(Show("fixture 9", "address"), "0");
    EXPECT_EQ(Show("playback 5", "label"), "Sound & Light \xE6\x97\xA5\xE6\x9C\xAC \xE2\x98\xBA \xE2\x82\xAC");
    EXPECT_EQ(Show("playback 0", "label"), "");

    CFile* copy = m_core->GetFileManager()->CreateShowFile();
    ASSERT_NE(copy, nullptr) << m_core->GetFileManager()->GetError();
    ASSERT_TRUE(copy->Save()) << copy->GetError();
    EXPECT_EQ(ShowPart(copy->GetPath(), "fixtures"), wantFixtures);
    EXPECT_EQ(ShowPart(copy->GetPath(), "playbacks"), wantPlaybacks);
}
