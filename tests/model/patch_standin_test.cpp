// The patch and the programmer against the stand-in controller, through the model root and its
// device link with their threads. Run by patch_standin.cmake (TANZO_PATCH_STANDIN=1) inside the
// private network namespace ctest runs in; skipped everywhere else.
#include "foundation/notify_codes.h"
#include "link/device_manager.h"
#include "model/core.h"
#include "model/fixture.h"
#include "model/fixture_manager.h"
#include "model/personality_entries.h"
#include "model/personality_manager.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/programmer.h"
#include "model/programmer_change.h"
#include "shell/app.h"
#include "tests/model/patch_test_support.h"
#include "tests/model/standin_process.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using namespace patchtest;

namespace
{
bool ShouldRun(std::string& reason)
{
    return StandinTestRuns("TANZO_PATCH_STANDIN", "patch_standin.cmake", reason);
}

std::string ReadElementText(const TiXmlElement& element)
{
    TiXmlPrinter printer;
    element.Accept(&printer);
    return printer.CStr();
}

class PatchStandin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string reason;
        if (!ShouldRun(reason))
            GTEST_SKIP() << reason;
    }

    void TearDown() override
    {
        m_core.reset();
        m_standin.Stop();
    }

    // The stand-in, then the model root connected to it; returns once the first resync settled
    // and the model holds what the controller holds.
    void Connect(const std::vector<std::string>& script = {})
    {
        Choose(script);
        ASSERT_TRUE(Settle([&] { return InStep(); })) << "the resync never drained";
    }

    // The stand-in, and the model root that has just chosen it.
    void Choose(const std::vector<std::string>& script)
    {
        std::string error;
        ASSERT_TRUE(m_standin.Start(script, error)) << error;
        const uint16_t port = m_standin.GetLinkPort();
        CCoreSetup setup;
        setup.link.port = port;
        setup.link.broadcastTargets = std::vector<CIpAddress>{CIpAddress(127, 0, 0, 2)};
        setup.optionsFolder = m_folder.Path();
        m_core = CCore::Create(0, nullptr, setup);
        m_core->GetDeviceManager()->SetConnectedAddress(CIpAddress(127, 0, 0, 2, port));
    }

    // Whether the model's digest is the controller's. An empty queue alone does not say so: the
    // last acknowledgement leaves the queue before the tick applies it, and the controller's
    // Notifies follow their acknowledgements.
    bool InStep() { return m_standin.Command("digest") == "ok " + m_core->ComputeDigest().ToString(); }

    // Ticks the model root like the main loop until the outgoing queue has drained and the
    // condition holds; false after thirty seconds, a deadline for a very busy machine only.
    bool Settle(const std::function<bool()>& done) { return Tick([&] { return Queued() == 0 && done(); }); }
    // The same, whatever waits. Each tick is given the time that passed, so that a unit silent
    // for a while is not lost sooner than the program would find it so.
    bool Tick(const std::function<bool()>& done, std::chrono::seconds most = std::chrono::seconds(30))
    {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + most;
        for (auto last = Clock::now(); Clock::now() < end;)
        {
            const auto now = Clock::now();
            m_core->Update(std::chrono::duration<float>(now - last).count());
            last = now;
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    size_t Queued() const { return m_core->GetDeviceManager()->GetQueueLength(); }

    CFixture* Fixture(uint32_t slot) const { return m_core->GetFixtureManager()->GetFixture(slot); }

    void Read(const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        ASSERT_FALSE(document.Error()) << xml;
        m_core->GetFixtureManager()->ReadXml(document.RootElement());
    }

    std::string ShowFixture(uint32_t slot, const char* field)
    {
        return m_standin.Field("show fixture " + std::to_string(slot), field);
    }

    CTempFolder m_folder;
    CStandinProcess m_standin;
    std::unique_ptr<CCore> m_core;
};
}  // namespace

TEST(PatchStartUp, TheModelRootLoadsTheUsersAndTheShippedLibrary)
{
    std::string reason;
    if (!ShouldRun(reason))
        GTEST_SKIP() << reason;
    CTempFolder home("tanzo-home");
    home.Write("Zevral/Programmer/user.personality",
               "<personalities><manufacturer label=\"Mine\"><model label=\"Par\">01</model></manufacturer>"
               "</personalities>");
    CScopedEnv data("XDG_DATA_HOME", home.Path().c_str());
    {
        char name[] = "tests_model";
        char* argv[] = {name, nullptr};
        CApp app(CVersion(1, 7, 0), 1, argv);
        CCoreSetup setup;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        std::unique_ptr<CCore> core = CCore::Create(1, argv, setup);
        const CPersonalityManager* library = core->GetPersonalityManager();
        ASSERT_GT(library->GetManufacturerCount(), 1u);
        EXPECT_EQ(library->GetManufacturer(0)->GetLabel(), "[Mine]");
        EXPECT_GT(library->CountModels(), 1000u);
        EXPECT_EQ(library->GetProfile(CPersonalityRef("[mine]", "par", "", "")), "01");
    }
}

TEST_F(PatchStandin, ResyncFillsThePatchFromTheController)
{
    Connect({"fixture 2 personality \"S\",\"P\",\"\",\"0101\"", "fixture 2 address 100", "fixture 2 label Seeded",
             "fixture 2 invert-tilt on"});
    EXPECT_EQ(Fixture(2)->GetLabel(), "Seeded");
    EXPECT_EQ(Fixture(2)->GetAddress(), 100u);
    EXPECT_EQ(Fixture(2)->GetPersonality(), CPersonalityRef("S", "P", "", "0101"));
    EXPECT_EQ(Fixture(2)->GetOptionText(), "-T--");
    EXPECT_EQ(m_core->GetFixtureManager()->GetChannelUse(101), 1u);
    // The model now holds what the controller holds.
    EXPECT_EQ(m_standin.Command("digest"), "ok " + m_core->ComputeDigest().ToString());

    // A change made on the controller itself reaches the model through its Notify.
    EXPECT_EQ(m_standin.Command("fixture 2 address 7"), "ok");
    ASSERT_TRUE(Settle([&] { return Fixture(2)->GetAddress() == 7; }));
}

TEST_F(PatchStandin, PatchIsRoutedCheckedSavedAndLoaded)
{
    Connect();
    CFixtureManager* patch = m_core->GetFixtureManager();
    const CPersonalityRef spot("Brightline", "Spot 250", "Extended", std::string(32, '0'));
    const CPersonalityRef bar("X", "Bar", "", "01010101");
    Fixture(0)->SetPersonality(spot);
    Fixture(0)->SetAddress(1);
    Fixture(0)->SetLabel("Spot A");
    Fixture(1)->SetPersonality(spot);
    Fixture(1)->SetAddress(10);
    Fixture(1)->SetLabel("Spot B");
    Fixture(3)->SetPersonality(bar);
    Fixture(3)->SetAddress(510);
    Fixture(12)->SetLabel("Spare");
    Fixture(63)->SetVirtualDimmer(true);
    // The mirror moves only with the controller's replies.
    EXPECT_EQ(Fixture(0)->GetAddress(), 0u);
    ASSERT_TRUE(Settle([&] { return Fixture(3)->GetAddress() == 510 && Fixture(63)->GetVirtualDimmer(); }));

    EXPECT_EQ(ShowFixture(1, "address"), "10");
    EXPECT_EQ(ShowFixture(1, "label"), "Spot B");
    EXPECT_EQ(ShowFixture(1, "personality"), spot.ToCsv());
    EXPECT_EQ(ShowFixture(12, "address"), "0");
    EXPECT_EQ(ShowFixture(63, "properties"), "0x8");

    // Spots of 16 channels at 1 and 10 overlap; 4 channels at 510 run past 512.
    EXPECT_EQ(patch->GetChannelUse(10), 2u);
    EXPECT_FALSE(patch->IsAddressFree(Fixture(0)));
    EXPECT_FALSE(patch->IsAddressFree(Fixture(1)));
    EXPECT_FALSE(patch->IsAddressFree(Fixture(3)));
    EXPECT_TRUE(patch->IsAddressFree(Fixture(12)));
    Fixture(1)->SetAddress(17);
    ASSERT_TRUE(Settle([&] { return Fixture(1)->GetAddress() == 17; }));
    EXPECT_TRUE(patch->IsAddressFree(Fixture(0)));
    EXPECT_TRUE(patch->IsAddressFree(Fixture(1)));

    TiXmlElement saved("fixtures");
    patch->WriteXml(&saved);
    const std::string savedText = ReadElementText(saved);
    const std::string digest = m_standin.Command("digest");

    // Another show: everything but slot 5 is cleared on the controller.
    Read("<fixtures><fixture index='5' label='Other' address='300' manufacturer='X' model='Bar' profile='01'/>"
         "</fixtures>");
    ASSERT_TRUE(Settle([&] { return Fixture(5)->GetAddress() == 300 && Fixture(0)->IsEmpty(); }));
    EXPECT_EQ(ShowFixture(0, "address"), "0");
    EXPECT_EQ(ShowFixture(12, "label"), "");
    EXPECT_EQ(ShowFixture(5, "label"), "Other");

    // The saved show comes back whole, and the unpatched fixture stays unpatched.
    Read(savedText);
    ASSERT_TRUE(Settle([&] { return Fixture(5)->IsEmpty() && Fixture(12)->GetLabel() == "Spare" && InStep(); }));
    EXPECT_EQ(ShowFixture(12, "address"), "0");
    EXPECT_EQ(ShowFixture(1, "address"), "17");
    EXPECT_EQ(ShowFixture(3, "personality"), bar.ToCsv());
    EXPECT_EQ(m_standin.Command("digest"), digest);
    EXPECT_EQ(m_standin.Command("digest"), "ok " + m_core->ComputeDigest().ToString());
}

// A controller that answers reads with another target: a group's value as the programmer's, which
// is that group's answer, or every read of one playback as the next playback's, which are asked
// again a few times and given up. Neither holds the resync, no value goes to the wrong object, and
// a label changed at the controller is read while those reads are still asked again.
TEST_F(PatchStandin, ReadsAnsweredWithAnotherTargetHoldNeitherTheResyncNorNews)
{
    CPlaybackManager* playbacks = nullptr;
    auto label = [&](uint32_t playback) { return playbacks->GetPlayback(playback)->GetLabel(); };
    auto changeLabel = [&] {
        EXPECT_EQ(m_standin.Command("playback 0 label News"), "ok");
        return Tick([&] { return label(0) == "News"; }, std::chrono::seconds(60));
    };

    Connect({"misanswer group"});
    playbacks = m_core->GetPlaybackManager();
    EXPECT_EQ(m_core->GetProgrammer()->GetChange(2)->GetValue(), CMessageValue(CCoordinate(0.5f, 0.5f)));
    EXPECT_TRUE(changeLabel());
    m_core.reset();
    m_standin.Stop();

    Choose({"misanswer playback 5", "playback 5 label Five", "playback 6 label Six"});
    playbacks = m_core->GetPlaybackManager();
    // Only playback 5's reads, asked again, are left of the program's own.
    CDeviceManager* link = m_core->GetDeviceManager();
    ASSERT_TRUE(Tick([&] { return label(6) == "Six" && link->GetOwnQueueLength() <= 4; }));
    ASSERT_TRUE(changeLabel());
    EXPECT_GT(link->GetOwnQueueLength(), 0u) << "news waited for the reads asked again";
    ASSERT_TRUE(Tick([&] { return Queued() == 0; }, std::chrono::seconds(60))) << "the resync never drained";
    EXPECT_EQ(label(5), "");
    EXPECT_EQ(label(6), "Six");
}

TEST_F(PatchStandin, ProgrammerSelectsSetsRecordsClearsAndLoads)
{
    Connect();
    CProgrammer* programmer = m_core->GetProgrammer();
    Fixture(1)->SetPersonality(CPersonalityRef("A", "Spot", "", "0102030405"));
    Fixture(3)->SetPersonality(CPersonalityRef("A", "Strobe", "", "0C"));
    programmer->SetPlayback(2);
    ASSERT_TRUE(Settle([&] { return programmer->GetPlayback() == 2; }));
    EXPECT_EQ(m_standin.Field("show programmer", "playback"), "2");

    auto enabled = [&] {
        std::string groups;
        for (uint32_t g = 0; g < programmer->GetChangeCount(); ++g)
            groups += programmer->GetChange(g)->IsEnabled() ? '1' : '0';
        return groups;
    };
    // The selection, the flags and the groups' values come back in separate replies: wait for all.
    programmer->SetSelection((uint64_t(1) << 1) | (uint64_t(1) << 3));
    EXPECT_FALSE(programmer->IsSelected(1));
    ASSERT_TRUE(Settle([&] {
        return programmer->IsSelected(1) && programmer->IsSelected(3) && enabled() == "11111101000000000";
    })) << enabled();
    EXPECT_EQ(m_standin.Field("show programmer", "selection"), "0xa");

    programmer->SetValue(GROUP_INTENSITY, CMessageValue(0.5f));
    ASSERT_TRUE(Settle([&] { return programmer->GetChange(GROUP_INTENSITY)->GetValue() == CMessageValue(0.5f); }));

    programmer->Record(0);
    ASSERT_TRUE(Settle([&] { return m_standin.Field("show cue 2 0", "fixtures") == "0xa"; }));
    ASSERT_TRUE(Settle([&] { return m_core->GetPlaybackManager()->GetPlayback(2)->GetCueCount() == 1; }));

    programmer->Clear();
    ASSERT_TRUE(Settle([&] {
        return programmer->GetSelection().IsEmpty() && programmer->GetClear() &&
               enabled() == "00000000000000000" &&
               programmer->GetChange(GROUP_INTENSITY)->GetValue() != CMessageValue(0.5f);
    }));
    EXPECT_EQ(m_standin.Field("show programmer", "selection"), "0x0");
    EXPECT_EQ(m_standin.Field("show programmer", "clear"), "1");

    programmer->Load(0);
    ASSERT_TRUE(Settle([&] {
        return programmer->IsSelected(1) && programmer->IsSelected(3) && enabled() == "11111101000000000" &&
               std::abs(programmer->GetChange(GROUP_INTENSITY)->GetValue().GetFloat() - 0.5f) < 0.001f;
    })) << enabled();
    EXPECT_EQ(m_standin.Field("show programmer", "selection"), "0xa");
}
