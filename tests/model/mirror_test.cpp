// The model against the stand-in controller, run as its own process on loopback: the playbacks
// and cues mirror the controller, setters go out and come back, and the options bring the chosen
// controller back after a restart. Only ever in a private network namespace with nothing but
// loopback (ctest runs there); anywhere else the cases skip.
#include "model/core.h"

#include "foundation/base64.h"
#include "model/cue.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "tests/model/playback_test_support.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <thread>

namespace
{
const CIpAddress kUnit(127, 0, 0, 2);

// True when this network namespace has loopback and nothing else.
bool OnlyLoopback()
{
    std::set<std::string> links;
    std::ifstream table("/proc/net/dev");
    std::string line;
    while (std::getline(table, line))
    {
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const size_t start = line.find_first_not_of(' ');
        links.insert(line.substr(start, colon - start));
    }
    return links == std::set<std::string>{"lo"};
}

// The stand-in controller as a child process with one unit on 127.0.0.2, every port free-chosen,
// and its loopback control socket.
class CStandin
{
public:
    bool Start(const std::string& folder)
    {
        const std::string program = std::string(TANZO_BINARY_DIR) + "/bin/standin";
        if (access(program.c_str(), X_OK) != 0)
            return false;
        m_log = folder + "/standin.log";
        m_pid = fork();
        if (m_pid == 0)
        {
            execl(program.c_str(), program.c_str(), "--unit", "127.0.0.2,KDX-1,0,Stage", "--link-port", "0",
                  "--no-wildcard", "--control", "0", "--log", m_log.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int tries = 0; tries < 500; ++tries)
        {
            std::ifstream log(m_log);
            std::string line;
            while (std::getline(log, line))
            {
                if (line.rfind("unit 0 ", 0) == 0)
                    m_linkPort = static_cast<uint16_t>(std::stoi(Field(line, "link=")));
                if (line.rfind("ready ", 0) == 0)
                {
                    m_controlPort = static_cast<uint16_t>(std::stoi(Field(line, "control=")));
                    return m_linkPort != 0 && OpenControl();
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    ~CStandin()
    {
        if (m_socket >= 0)
            close(m_socket);
        if (m_pid > 0)
        {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

    uint16_t GetLinkPort() const { return m_linkPort; }

    // Runs one control command; the reply, or "" when none came.
    std::string Command(const std::string& text)
    {
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(m_controlPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sendto(m_socket, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
        pollfd fd = {m_socket, POLLIN, 0};
        if (poll(&fd, 1, 2000) <= 0)
            return "";
        char buffer[4096];
        const ssize_t n = recv(m_socket, buffer, sizeof(buffer), 0);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    }

    // "show ..." as name=value pairs (the label last, to the end of the line).
    std::map<std::string, std::string> Show(const std::string& what)
    {
        std::map<std::string, std::string> fields;
        const std::string reply = Command("show " + what);
        const size_t label = reply.find(" label=");
        std::istringstream words(reply.substr(0, label));
        std::string word;
        while (words >> word)
        {
            const size_t equals = word.find('=');
            if (equals != std::string::npos)
                fields[word.substr(0, equals)] = word.substr(equals + 1);
        }
        if (label != std::string::npos)
            fields["label"] = reply.substr(label + 7);
        return fields;
    }

private:
    static std::string Field(const std::string& line, const std::string& name)
    {
        const size_t at = line.find(name);
        if (at == std::string::npos)
            return "0";
        const size_t start = at + name.size();
        return line.substr(start, line.find(' ', start) - start);
    }

    bool OpenControl()
    {
        m_socket = socket(AF_INET, SOCK_DGRAM, 0);
        return m_socket >= 0;
    }

    pid_t m_pid = -1;
    std::string m_log;
    uint16_t m_linkPort = 0;
    uint16_t m_controlPort = 0;
    int m_socket = -1;
};

// The stand-in's digest of a patch it was never sent: 64 untouched fixture slots.
CDigest UntouchedPatchDigest()
{
    CDigestBuilder patch;
    for (int slot = 0; slot < 64; ++slot)
    {
        CDigestBuilder fixture;
        fixture.AddString("\"\",\"\",\"\",\"\"");
        fixture.AddString("");
        fixture.AddUnsigned(0);
        for (int flag = 0; flag < 4; ++flag)
            fixture.AddInt(0);
        patch.AddDigest(fixture.GetDigest());
    }
    return patch.GetDigest();
}

class MirrorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!OnlyLoopback())
            GTEST_SKIP() << "runs only in a private network namespace with nothing but loopback";
        std::string pattern = (std::filesystem::temp_directory_path() / "tanzo-mirror-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        standin = std::make_unique<CStandin>();
        if (!standin->Start(folder))
            GTEST_SKIP() << "the stand-in controller could not be started";
    }

    void TearDown() override
    {
        core.reset();
        standin.reset();
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    void Create()
    {
        CCoreSetup setup;
        setup.link.broadcastTargets = std::vector<CIpAddress>{kUnit};
        setup.link.port = standin->GetLinkPort();
        setup.optionsFolder = folder;
        core.reset(CCore::Create(0, nullptr, setup));
        playbacks = core->GetPlaybackManager();
    }

    // Runs frames of the model until the condition holds (true) or ten seconds have passed.
    bool Run(const std::function<bool()>& condition)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end)
        {
            core->Update(0.04f);
            if (condition())
                return true;
            SDL_Delay(2);
        }
        return false;
    }
    // Until nothing is queued for a while and every reply has been applied.
    bool Settle()
    {
        int quiet = 0;
        return Run([&] {
            quiet = core->GetDeviceManager()->GetQueueLength() == 0 ? quiet + 1 : 0;
            return quiet > 30;
        });
    }
    void Connect()
    {
        core->GetDeviceManager()->SetConnectedAddress(kUnit);
        ASSERT_TRUE(Settle());
    }

    // The stand-in's digest against the model's playbacks beside an untouched patch.
    void ExpectSameDigest()
    {
        const std::string reply = standin->Command("digest");
        ASSERT_EQ(reply.rfind("ok ", 0), 0u) << reply;
        CDigestBuilder model;
        model.AddDigest(UntouchedPatchDigest());
        model.AddDigest(playbacks->GetDigest());
        EXPECT_EQ(model.GetDigest().ToString(), reply.substr(3));
    }

    std::string folder;
    std::unique_ptr<CStandin> standin;
    std::unique_ptr<CCore> core;
    CPlaybackManager* playbacks = nullptr;
};
}  // namespace

TEST_F(MirrorTest, ChoosingTheControllerFillsPlaybacksAndCues)
{
    for (const char* command :
         {"playback 3 label Intro", "playback 3 intensity 0.5", "playback 3 speed -0.25", "playback 3 repeat 1",
          "playback 3 gomode 2", "playback 3 background on", "playback 3 count 2", "cue 3 1 label Look",
          "cue 3 1 condition 1", "cue 3 1 fade 1500", "cue 3 1 delay 250", "cue 3 1 fill 1 7",
          "playback 63 label Last"})
        ASSERT_EQ(standin->Command(command), "ok") << command;
    Create();
    Connect();

    const CPlayback* intro = playbacks->GetPlayback(3);
    EXPECT_EQ(intro->GetLabel(), "Intro");
    EXPECT_FLOAT_EQ(intro->GetIntensity(), 0.5f);
    EXPECT_FLOAT_EQ(intro->GetSpeed(), -0.25f);
    EXPECT_EQ(intro->GetRepeat(), 1u);
    EXPECT_EQ(intro->GetGoMode(), 2u);
    EXPECT_TRUE(intro->GetBackground());
    EXPECT_FALSE(intro->GetExclusive());
    EXPECT_EQ(playbacks->GetPlayback(63)->GetLabel(), "Last");
    ASSERT_EQ(intro->GetCueCount(), 2u);
    const CCue* look = intro->GetCue(1);
    EXPECT_EQ(look->GetLabel(), "Look");
    EXPECT_EQ(look->GetCondition(), 1u);
    EXPECT_EQ(look->GetFadeTime().GetMilliseconds(), 1500u);
    EXPECT_EQ(look->GetDelayTime().GetMilliseconds(), 250u);
    // Block 1 filled: the records of slots 16 to 31, every attribute group.
    EXPECT_EQ(look->GetFixtureMask(), 0xFFFF0000u);
    EXPECT_EQ(look->GetAttributeMask(), 0x1FFFFu);
    EXPECT_EQ(look->GetBlock(1)[0], 7);
    EXPECT_TRUE(intro->GetCue(0)->IsEmpty());
    // The unions follow within a second.
    ASSERT_TRUE(Run([&] { return intro->GetFixtureMask() == 0xFFFF0000u; }));
    EXPECT_EQ(intro->GetAttributeMask(), 0x1FFFFu);
    ExpectSameDigest();
}

TEST_F(MirrorTest, ASetterSendsAndOnlyTheReplyChangesTheField)
{
    Create();
    Connect();
    CPlayback* playback = playbacks->GetPlayback(4);
    CRecordingObserver observer;
    observer.Observe(playback);

    playback->SetIntensity(0.25f);
    playback->SetLabel("Fader");
    playback->SetExclusive(true);
    EXPECT_FLOAT_EQ(playback->GetIntensity(), 1.0f);
    EXPECT_EQ(playback->GetLabel(), "");
    ASSERT_TRUE(Run([&] { return playback->GetIntensity() == 0.25f && playback->GetExclusive(); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(playback->GetLabel(), "Fader");
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_INTENSITY), 1u);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_LABEL), 1u);
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_EXCLUSIVE), 1u);
    EXPECT_EQ(playback->GetFeedback(), CPlayback::kFeedbackIntensity);

    const auto shown = standin->Show("playback 4");
    EXPECT_EQ(shown.at("intensity"), "0.25");
    EXPECT_EQ(shown.at("exclusive"), "1");
    EXPECT_EQ(shown.at("label"), "Fader");

    // A fader dragged through many values while the link is busy ends on the last one.
    for (int step = 1; step <= 20; ++step)
        playback->SetIntensity(step / 40.0f);
    ASSERT_TRUE(Run([&] { return playback->GetIntensity() == 0.5f; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(standin->Show("playback 4").at("intensity"), "0.5");
    ExpectSameDigest();
}

TEST_F(MirrorTest, ChangesMadeOnTheControllerReachTheModel)
{
    Create();
    Connect();
    CRecordingObserver observer;
    observer.Observe(playbacks->GetPlayback(5));
    ASSERT_EQ(standin->Command("playback 5 label Remote"), "ok");
    ASSERT_EQ(standin->Command("playback 5 count 1"), "ok");
    ASSERT_TRUE(Run([&] { return playbacks->GetPlayback(5)->GetCueCount() == 1; }));
    ASSERT_EQ(standin->Command("cue 5 0 fill 0 3"), "ok");
    ASSERT_TRUE(Run([&] { return playbacks->GetPlayback(5)->GetCue(0)->GetFixtureMask() == 0xFFFFu; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(playbacks->GetPlayback(5)->GetLabel(), "Remote");
    EXPECT_EQ(observer.Count(PLAYBACK_NOTIFY_LABEL), 1u);
    ExpectSameDigest();
}

TEST_F(MirrorTest, CueListsAreEditedThroughTheController)
{
    Create();
    Connect();
    CPlayback* playback = playbacks->GetPlayback(7);
    // One at a time: two Adds still queued would be one record.
    playback->AddCue(CPlayback::kAtEnd);
    ASSERT_TRUE(Run([&] { return playback->GetCueCount() == 1; }));
    playback->AddCue(CPlayback::kAtEnd);
    ASSERT_TRUE(Run([&] { return playback->GetCueCount() == 2; }));
    playback->SetCueLabel(0, 2, "Both");
    playback->SetCueFadeTime(1, 1, CTime(2.5));
    ASSERT_TRUE(Run([&] { return playback->GetCue(1)->GetFadeTime().GetMilliseconds() == 2500; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(playback->GetCue(0)->GetLabel(), "Both");
    EXPECT_EQ(playback->GetCue(1)->GetLabel(), "Both");
    playback->RemoveCues(0, 1);
    ASSERT_TRUE(Run([&] { return playback->GetCueCount() == 1; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(standin->Show("playback 7").at("cues"), "1");
    ExpectSameDigest();
}

TEST_F(MirrorTest, SwapAndReleaseGoThroughTheController)
{
    ASSERT_EQ(standin->Command("playback 3 label Three"), "ok");
    ASSERT_EQ(standin->Command("playback 3 count 2"), "ok");
    ASSERT_EQ(standin->Command("cue 3 0 label First"), "ok");
    Create();
    Connect();
    playbacks->ToggleMode(CPlaybackManager::kModeSwap);
    playbacks->SwapPlaybacks(3, 5);
    // The model itself changes nothing until the controller reports.
    EXPECT_EQ(playbacks->GetPlayback(5)->GetLabel(), "");
    ASSERT_TRUE(Run([&] { return playbacks->GetPlayback(5)->GetLabel() == "Three"; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(playbacks->GetPlayback(3)->GetLabel(), "");
    EXPECT_EQ(playbacks->GetPlayback(3)->GetCueCount(), 0u);
    ASSERT_EQ(playbacks->GetPlayback(5)->GetCueCount(), 2u);
    EXPECT_EQ(playbacks->GetPlayback(5)->GetCue(0)->GetLabel(), "First");

    playbacks->ReleaseAll();
    EXPECT_EQ(playbacks->GetMode(), CPlaybackManager::kModeNone);
    playbacks->SetPage(-1);
    EXPECT_EQ(playbacks->GetPage(), 7u);
    ASSERT_TRUE(Settle());
    ExpectSameDigest();
}

TEST_F(MirrorTest, ALoadedShowReachesTheControllerWhole)
{
    ASSERT_EQ(standin->Command("playback 9 label Stale"), "ok");
    Create();
    Connect();
    std::vector<uint8_t> block(CCue::kBlockSize, 0);
    block[5 * CCue::kRecordSize + 16] = 0xFF;
    TiXmlDocument document;
    document.Parse(("<playbacks><playback index='2' label='Loaded' intensity='0.75' gomode='Solo'><cues>"
                    "<cue label='A' fade='2s' condition='Follow'><blocks><block>" + Base64Encode(block) +
                    "</block></blocks></cue><cue label='B'/></cues></playback></playbacks>").c_str());
    playbacks->Load(document.RootElement());
    ASSERT_TRUE(Run([&] { return playbacks->GetPlayback(2)->GetCueCount() == 2; }));
    ASSERT_TRUE(Settle());

    const auto shown = standin->Show("playback 2");
    EXPECT_EQ(shown.at("label"), "Loaded");
    EXPECT_EQ(shown.at("cues"), "2");
    EXPECT_EQ(shown.at("gomode"), "3");
    const auto first = standin->Show("cue 2 0");
    EXPECT_EQ(first.at("label"), "A");
    EXPECT_EQ(first.at("fade"), "2000");
    EXPECT_EQ(first.at("fixtures"), "0x20");
    // Every playback the show does not name is emptied on the controller.
    EXPECT_EQ(standin->Show("playback 9").at("label"), "");

    const CPlayback* loaded = playbacks->GetPlayback(2);
    EXPECT_EQ(loaded->GetLabel(), "Loaded");
    EXPECT_FLOAT_EQ(loaded->GetIntensity(), 0.75f);
    EXPECT_EQ(loaded->GetCue(0)->GetFixtureMask(), 0x20u);
    EXPECT_EQ(loaded->GetCue(1)->GetLabel(), "B");
    EXPECT_EQ(playbacks->GetPlayback(9)->GetLabel(), "");

    // Saved again, the show reads as it was loaded.
    TiXmlElement saved("playbacks");
    playbacks->Save(saved);
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    saved.Accept(&printer);
    EXPECT_EQ(printer.Str(), "<playbacks><playback index=\"2\" label=\"Loaded\" gomode=\"Solo\" intensity=\"0.75\">"
                             "<cues><cue label=\"A\" condition=\"Follow\" fade=\"00-00-02-00\"><blocks><block>" +
                                 Base64Encode(block) +
                                 "</block><block /><block /><block /></blocks></cue><cue label=\"B\"><blocks>"
                                 "<block /><block /><block /><block /></blocks></cue></cues></playback>"
                                 "</playbacks>");
    ExpectSameDigest();
}

TEST_F(MirrorTest, TheChosenControllerComesBackAfterARestart)
{
    ASSERT_EQ(standin->Command("playback 12 label Remembered"), "ok");
    Create();
    Connect();
    core->GetDeviceManager()->SetLocked(true);
    core.reset();

    Create();
    EXPECT_TRUE(core->GetDeviceManager()->IsLocked());
    EXPECT_EQ(core->GetDeviceManager()->GetConnectedAddress(), kUnit);
    ASSERT_TRUE(Run([&] { return playbacks->GetPlayback(12)->GetLabel() == "Remembered"; }));
    // The link finds the unit and shows it connected.
    ASSERT_TRUE(Run([&] { return core->GetDeviceManager()->IsConnected(); }));
}
