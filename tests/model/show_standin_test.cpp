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

// A show as the test writes it and expects it back, field by field.
struct SFixture
{
    uint32_t index;
    std::string label;
    uint32_t address;  // 0: unpatched
    std::string manufacturer, model, mode, profile;
    bool invertPan, invertTilt, swapPanTilt, virtualDimmer;
};

struct SCue
{
    std::string label;
    uint32_t condition;
    uint32_t delayMs, fadeMs;
    std::array<std::vector<uint8_t>, CCue::kBlockCount> blocks;  // empty: all zero
    uint64_t slots;
};

struct SPlayback
{
    uint32_t index;
    std::string label;
    uint32_t repeat, goMode;
    float intensity, speed;
    bool background, exclusive;
    std::vector<SCue> cues;
};

struct SShow
{
    std::vector<SFixture> fixtures;
    std::vector<SPlayback> playbacks;
};

const char* const kRepeatNames[] = {"Loop", "Bounce", "Random", "Off"};
const char* const kGoModeNames[] = {"Go", "Toggle", "Flash", "Solo"};

// "00-00-01-50" for 1500 ms.
std::string MachineTime(uint32_t ms)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%02u-%02u-%02u-%02u", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                  ms % 1000 / 10);
    return text;
}

std::string FloatText(float value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// 8 fixtures, 10 playbacks and 30 cues with records of random bytes for a few fixtures each.
SShow MakeShow()
{
    std::mt19937 random(20240305);
    SShow show;
    const uint32_t fixtureSlots[] = {0, 1, 2, 3, 5, 8, 20, 63};
    for (uint32_t i = 0; i < 8; ++i)
    {
        SFixture f{fixtureSlots[i], "Spot " + std::to_string(i + 1), 1 + 40 * i, "Maker", "Spot " + std::to_string(i),
                   i % 2 ? "" : "16ch", "", i == 1, i == 2 || i == 3, i == 3, i == 5};
        for (uint32_t channel = 0; channel < 4 + i; ++channel)
            f.profile += channel % 2 ? "0C" : "01";
        show.fixtures.push_back(f);
    }
    // One kept unpatched, one without a label.
    show.fixtures[6].address = 0;
    show.fixtures[4].label.clear();

    const uint32_t playbackSlots[] = {0, 1, 2, 5, 9, 17, 30, 31, 48, 63};
    for (uint32_t i = 0; i < 10; ++i)
    {
        SPlayback p{playbackSlots[i], i == 7 ? "" : "Look " + std::to_string(i), i % 4, (i + 1) % 4,
                    i % 3 ? 1.0f : 0.25f * float(i % 4 + 1), i % 5 == 2 ? 0.125f : 0.0f, i == 4, i == 6, {}};
        for (uint32_t c = 0; c < 3; ++c)
        {
            SCue cue{c == 1 ? "" : "Cue " + std::to_string(c + 1), c % 2, c == 2 ? 1500u : 0u, 250u * c * i, {}, 0};
            for (uint32_t n = 0; n < 3; ++n)
            {
                const uint32_t slot = random() % 64;
                std::vector<uint8_t>& block = cue.blocks[slot / CCue::kRecordsPerBlock];
                block.resize(CCue::kBlockSize, 0);
                for (uint32_t b = 0; b < CCue::kRecordSize; ++b)
                    block[(slot % CCue::kRecordsPerBlock) * CCue::kRecordSize + b] = uint8_t(random() % 255 + 1);
                cue.slots |= uint64_t(1) << slot;
            }
            p.cues.push_back(cue);
        }
        show.playbacks.push_back(p);
    }
    return show;
}

// The show in the form the program writes it.
std::string ShowXml(const SShow& show, const char* application = "Tanzo")
{
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", "no"));
    TiXmlElement* root = new TiXmlElement("show");
    root->SetAttribute("application", application);
    document.LinkEndChild(root);
    TiXmlElement* fixtures = new TiXmlElement("fixtures");
    root->LinkEndChild(fixtures);
    for (const SFixture& f : show.fixtures)
    {
        TiXmlElement* e = new TiXmlElement("fixture");
        e->SetAttribute("index", int(f.index));
        if (!f.label.empty())
            e->SetAttribute("label", f.label);
        if (f.address)
            e->SetAttribute("address", int(f.address));
        e->SetAttribute("manufacturer", f.manufacturer);
        e->SetAttribute("model", f.model);
        if (!f.mode.empty())
            e->SetAttribute("mode", f.mode);
        e->SetAttribute("profile", f.profile);
        const std::pair<bool, const char*> flags[] = {{f.invertPan, "invert_pan"},
                                                      {f.invertTilt, "invert_tilt"},
                                                      {f.swapPanTilt, "swap_pan_tilt"},
                                                      {f.virtualDimmer, "virtual_dimmer"}};
        for (const auto& [set, name] : flags)
        {
            if (set)
                e->SetAttribute(name, "true");
        }
        fixtures->LinkEndChild(e);
    }
    TiXmlElement* playbacks = new TiXmlElement("playbacks");
    root->LinkEndChild(playbacks);
    for (const SPlayback& p : show.playbacks)
    {
        TiXmlElement* e = new TiXmlElement("playback");
        e->SetAttribute("index", int(p.index));
        if (!p.label.empty())
            e->SetAttribute("label", p.label);
        if (p.repeat)
            e->SetAttribute("repeat", kRepeatNames[p.repeat]);
        if (p.goMode)
            e->SetAttribute("gomode", kGoModeNames[p.goMode]);
        if (p.intensity != 1.0f)
            e->SetAttribute("intensity", FloatText(p.intensity));
        if (p.speed != 0.0f)
            e->SetAttribute("speed", FloatText(p.speed));
        if (p.background)
            e->SetAttribute("background", "true");
        if (p.exclusive)
            e->SetAttribute("exclusive", "true");
        TiXmlElement* cues = new TiXmlElement("cues");
        e->LinkEndChild(cues);
        for (const SCue& c : p.cues)
        {
            TiXmlElement* ce = new TiXmlElement("cue");
            if (!c.label.empty())
                ce->SetAttribute("label", c.label);
            if (c.condition)
                ce->SetAttribute("condition", "Follow");
            if (c.delayMs)
                ce->SetAttribute("delay", MachineTime(c.delayMs));
            if (c.fadeMs)
                ce->SetAttribute("fade", MachineTime(c.fadeMs));
            TiXmlElement* blocks = new TiXmlElement("blocks");
            ce->LinkEndChild(blocks);
            for (const std::vector<uint8_t>& block : c.blocks)
            {
                TiXmlElement* be = new TiXmlElement("block");
                if (!block.empty())
                    be->LinkEndChild(new TiXmlText(Base64Encode(block)));
                blocks->LinkEndChild(be);
            }
            cues->LinkEndChild(ce);
        }
        playbacks->LinkEndChild(e);
    }
    TiXmlPrinter printer;
    document.Accept(&printer);
    return printer.Str();
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
        m_core.reset(CCore::Create(0, nullptr, setup));
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

    // The stand-in holds the show, field by field.
    void ExpectOnController(const SShow& show)
    {
        for (const SFixture& f : show.fixtures)
        {
            const std::string slot = "fixture " + std::to_string(f.index);
            EXPECT_EQ(Show(slot, "label"), f.label) << slot;
            EXPECT_EQ(Show(slot, "address"), std::to_string(f.address)) << slot;
            EXPECT_EQ(Show(slot, "personality"),
                      "\"" + f.manufacturer + "\",\"" + f.model + "\",\"" + f.mode + "\",\"" + f.profile + "\"")
                << slot;
            const uint32_t properties = (f.invertPan ? 1u : 0u) | (f.invertTilt ? 2u : 0u) |
                                        (f.swapPanTilt ? 4u : 0u) | (f.virtualDimmer ? 8u : 0u) | (f.address << 16);
            std::ostringstream hex;
            hex << "0x" << std::hex << properties;
            EXPECT_EQ(Show(slot, "properties"), hex.str()) << slot;
        }
        for (const SPlayback& p : show.playbacks)
        {
            const std::string playback = "playback " + std::to_string(p.index);
            EXPECT_EQ(Show(playback, "label"), p.label) << playback;
            EXPECT_EQ(Show(playback, "repeat"), std::to_string(p.repeat)) << playback;
            EXPECT_EQ(Show(playback, "gomode"), std::to_string(p.goMode)) << playback;
            EXPECT_EQ(Show(playback, "intensity"), FloatText(p.intensity)) << playback;
            EXPECT_EQ(Show(playback, "speed"), FloatText(p.speed)) << playback;
            EXPECT_EQ(Show(playback, "background"), p.background ? "1" : "0") << playback;
            EXPECT_EQ(Show(playback, "exclusive"), p.exclusive ? "1" : "0") << playback;
            EXPECT_EQ(Show(playback, "cues"), std::to_string(p.cues.size())) << playback;
            for (size_t c = 0; c < p.cues.size(); ++c)
            {
                const SCue& cue = p.cues[c];
                const std::string where = "cue " + std::to_string(p.index) + " " + std::to_string(c);
                EXPECT_EQ(Show(where, "label"), cue.label) << where;
                EXPECT_EQ(Show(where, "condition"), std::to_string(cue.condition)) << where;
                EXPECT_EQ(Show(where, "delay"), std::to_string(cue.delayMs)) << where;
                EXPECT_EQ(Show(where, "fade"), std::to_string(cue.fadeMs)) << where;
                std::ostringstream slots;
                slots << "0x" << std::hex << cue.slots;
                EXPECT_EQ(Show(where, "fixtures"), slots.str()) << where;
            }
        }
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

    const SShow show = MakeShow();
    WriteText(m_shows + "/big.show", ShowXml(show));
    CFile* file = ListedShow("big");
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Load()) << file->GetError();
    m_core->GetFileManager()->SetCurrentFile(file);
    const std::string wantFixtures = ShowPart(m_shows + "/big.show", "fixtures");
    const std::string wantPlaybacks = ShowPart(m_shows + "/big.show", "playbacks");
    ASSERT_TRUE(Settle([&] { return ModelPart("fixtures") == wantFixtures && ModelPart("playbacks") == wantPlaybacks; }))
        << ModelPart("fixtures") << "\n" << ModelPart("playbacks");

    ExpectOnController(show);
    // What the show does not name is emptied on the controller.
    EXPECT_EQ(Show("playback 40", "label"), "");
    EXPECT_EQ(Show("fixture 30", "address"), "0");
    EXPECT_EQ(StandinDigest(), ModelDigest());
    const std::string loadedDigest = StandinDigest();

    // Saved under a new name, with the controller described as polled.
    ASSERT_TRUE(Settle([&] {
        const CDevice* unit = m_core->GetDeviceManager()->GetConnectedDevice();
        return unit && unit->GetMac()[0] == 0x02 && unit->GetFirmwareVersion().GetMinor() == 9;
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
    ASSERT_TRUE(Settle([&] { return m_core->GetPlaybackManager()->GetPlayback(63)->IsEmpty(); }));
    EXPECT_EQ(Show("playback 0", "cues"), "0");
    EXPECT_EQ(Show("fixture 0", "label"), "");
    EXPECT_EQ(StandinDigest(), ModelDigest());
    EXPECT_NE(StandinDigest(), loadedDigest);

    ASSERT_TRUE(copy->Load());
    ASSERT_TRUE(Settle([&] { return ModelPart("playbacks") == wantPlaybacks && ModelPart("fixtures") == wantFixtures; }));
    EXPECT_EQ(StandinDigest(), loadedDigest);
    EXPECT_EQ(StandinDigest(), ModelDigest());
    ExpectOnController(show);
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
    ASSERT_TRUE(Settle([&] { return m_core->GetPlaybackManager()->GetPlayback(3)->GetLabel() == "New"; }));

    EXPECT_EQ(Show("playback 3", "intensity"), "1");
    EXPECT_EQ(Show("playback 3", "gomode"), "0");
    EXPECT_EQ(Show("fixture 4", "properties"), "0x0");
    EXPECT_EQ(Show("fixture 4", "label"), "New");
    EXPECT_FLOAT_EQ(m_core->GetPlaybackManager()->GetPlayback(3)->GetIntensity(), 1.0f);
    EXPECT_EQ(StandinDigest(), ModelDigest());
}
