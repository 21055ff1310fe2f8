// The playback page on a model root whose records are caught before the link: what each control
// sends, what the page shows of the model's answers, the click modes, paging and the languages.
#include "graphics/font_manager.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "link/udp_socket.h"
#include "model/core.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "screens/dialogs/dialog_string.h"
#include "screens/pages/area_main.h"
#include "screens/pages/area_playback.h"
#include "tests/model/playback_test_support.h"
#include "tests/support/test_folder.h"
#include "widgets/area_button.h"
#include "widgets/area_fader.h"
#include "widgets/area_label.h"
#include "widgets/area_led.h"
#include "widgets/area_rotary.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>

namespace
{
// Sockets that bind and swallow everything: the records are caught at the playbacks' sink.
struct CNoNetwork : CUdpNetwork
{
    struct CSocket : CUdpSocket
    {
        explicit CSocket(uint16_t port) : port(port) {}
        bool Receive(uint8_t*, size_t, size_t&, CIpAddress&, uint32_t) override { return false; }
        bool Send(const CIpAddress&, const uint8_t*, size_t) override { return true; }
        uint16_t GetPort() const override { return port; }
        uint16_t port;
    };
    std::unique_ptr<CUdpSocket> Open(uint16_t port) override { return std::make_unique<CSocket>(port); }
};

class PlaybackPage : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
        CFontManager::Instance().ScanFolder(std::string(TANZO_BINARY_DIR) + "/Resources/fonts");
    }
    PlaybackPage()
    {
        SetClickSoundListener([](const std::string&) {});
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = FreshTestFolder().string();
        core.reset(CCore::Create(0, nullptr, setup));
        manager = core->GetPlaybackManager();
        manager->SetSink(&sink);
        root = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
        page = dynamic_cast<CAreaPlayback*>(root->GetPage(CAreaMain::kPagePlayback));
    }
    ~PlaybackPage() override
    {
        root.reset();
        core.reset();
        SetClickSoundListener(nullptr);
    }

    static CPoint Centre(const CArea2* area) { return area->GetRect().GetCentre(); }
    // Each event starts unhandled, as the application hands it in.
    bool* Fresh() { return &(handled = false); }
    void Down(const CPoint& p) { root->PointerDown(0, p, 1, Fresh()); }
    void Move(const CPoint& p) { root->PointerMove(0, p); }
    void Up(const CPoint& p) { root->PointerUp(0, p, Fresh()); }
    void Click(const CArea2* area) { Down(Centre(area)), Up(Centre(area)); }
    void KeyDown(uint32_t key) { root->KeyDown(key, Fresh()); }
    void KeyUp(uint32_t key) { root->KeyUp(key, Fresh()); }
    void Key(uint32_t key) { KeyDown(key), KeyUp(key); }
    void Wheel(const CPoint& p, int32_t amount) { root->Wheel(0, p, amount, Fresh()); }
    void Tick(int frames)
    {
        for (int i = 0; i < frames; ++i)
            root->Tick(0.04f);
    }
    void Answer(uint32_t command, uint32_t index, const CMessageValue& value)
    {
        manager->ApplyMessage(Reply(MANAGER_PLAYBACK, command, index, 0, 0, value));
    }
    // "index=value" of each playback record of the command.
    std::vector<std::string> Sent(uint32_t command)
    {
        std::vector<std::string> sent;
        for (const CMessage& m : sink.Find(MANAGER_PLAYBACK, command))
            sent.push_back(std::to_string(m.GetIndex0()) + "=" + m.GetValueRef().ToText());
        return sent;
    }
    // Drags fader 0 from the bottom of its travel to a fraction of it.
    void DragFader(float to)
    {
        const CAreaFader* fader = page->GetIntensityFader(0);
        const CPoint bottom = fader->GetPosition() + CPoint(38, 142);
        Down(bottom);
        Move(bottom - CPoint(0, int32_t(to * 121.0f)));
        Up(bottom - CPoint(0, int32_t(to * 121.0f)));
    }

    CNoNetwork network;
    CRecordingSink sink;
    std::unique_ptr<CCore> core;
    CPlaybackManager* manager = nullptr;
    std::unique_ptr<CAreaMain> root;
    CAreaPlayback* page = nullptr;
    bool handled = false;
};
}  // namespace

TEST_F(PlaybackPage, AStripWorksThePlaybackOfTheCurrentRowAndItsFaderShowsTheAnswer)
{
    DragFader(0.5f);
    const std::vector<CMessage> moves = sink.Find(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back().GetIndex0(), 0u);
    EXPECT_NEAR(moves.back().GetValueRef().GetFloat(), 0.5f, 0.02f);
    // The cap shows what the controller holds; the operator's value stays where it was left.
    Answer(COMMAND_GET_INTENSITY, 0, CMessageValue(0.25f));
    EXPECT_FLOAT_EQ(page->GetIntensityFader(0)->GetDisplayedValue(), 0.25f);
    EXPECT_NEAR(page->GetIntensityFader(0)->GetValue(), 0.5f, 0.02f);

    // One wheel step down over the grid veils the second row; the strips now work playbacks 8 to 15.
    Wheel(Centre(page->GetPlaybackButton(20)), -1);
    EXPECT_EQ(manager->GetPage(), 1u);
    EXPECT_TRUE(page->GetPlaybackButton(8)->IsHighlighted() && !page->GetPlaybackButton(0)->IsHighlighted());
    EXPECT_FLOAT_EQ(page->GetIntensityFader(0)->GetDisplayedValue(), 1.0f);
    sink.sent.clear();
    DragFader(0.3f);
    EXPECT_EQ(sink.Find(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY).back().GetIndex0(), 8u);
    // A held key repeats its key-down: the flash goes down once.
    KeyDown('1');
    KeyDown('1');
    KeyUp('1');
    EXPECT_EQ(Sent(COMMAND_SET_FLASH_DOWN), (std::vector<std::string>{"8=true", "8=false"}));
    Wheel(Centre(page->GetSpeedKnob(1)), 3);
    EXPECT_EQ(Sent(COMMAND_SET_SPEED), (std::vector<std::string>{"9=0.300000012"}));
}

TEST_F(PlaybackPage, ShowingTheModelSendsNothingBack)
{
    // A speed between the knob's steps, and a change on another row.
    Answer(COMMAND_GET_SPEED, 2, CMessageValue(0.35f));
    Answer(COMMAND_GET_INTENSITY, 20, CMessageValue(0.1f));
    root->SetPage(CAreaMain::kPagePatch);
    root->SetPage(CAreaMain::kPagePlayback);
    manager->SetPage(1);
    manager->SetPage(0);
    EXPECT_NEAR(page->GetSpeedKnob(2)->GetValue(), 0.4f, 1e-6f);
    EXPECT_FLOAT_EQ(page->GetIntensityFader(4)->GetDisplayedValue(), 1.0f);
    EXPECT_TRUE(Sent(COMMAND_SET_SPEED).empty());
    EXPECT_TRUE(Sent(COMMAND_SET_INTENSITY).empty());
}

TEST_F(PlaybackPage, PagingStopsAtTheFirstAndTheLastRow)
{
    const CRect grid = page->GetGridRect();
    const CPoint inGrid = Centre(page->GetPlaybackButton(0));
    const struct
    {
        std::function<void()> act;
        uint32_t page;
    } steps[] = {
        {[&] { Wheel(inGrid, 1); }, 0},
        {[&] { Key(SDLK_PAGEUP); }, 0},
        {[&] { Key(SDLK_PAGEDOWN); }, 1},
        {[&] { Key(SDLK_END); }, 7},
        {[&] { Wheel(inGrid, -1); }, 7},
        {[&] { Key(SDLK_PAGEDOWN); }, 7},
        {[&] { root->Gesture(grid.GetPosition(), Fresh()); }, 0},
        {[&] { root->Gesture(grid.GetBottomRight(), Fresh()); }, 7},
        {[&] { Key(SDLK_HOME); }, 0},
    };
    for (size_t i = 0; i < std::size(steps); ++i)
    {
        steps[i].act();
        EXPECT_EQ(manager->GetPage(), steps[i].page) << "step " << i;
    }
}

TEST_F(PlaybackPage, ClickModesActOnThePlaybackClickedAndEndThemselves)
{
    // No mode: the button holds the playback's go input and selects nothing.
    Down(Centre(page->GetPlaybackButton(3)));
    Up(Centre(page->GetPlaybackButton(3)));
    EXPECT_EQ(Sent(COMMAND_SET_GO_DOWN), (std::vector<std::string>{"3=true", "3=false"}));
    EXPECT_EQ(manager->GetSelectedPlayback(), nullptr);

    Key('r');
    EXPECT_TRUE(page->GetFunctionButton(CAreaPlayback::kRelease)->IsOn());
    Click(page->GetPlaybackButton(2));
    EXPECT_EQ(sink.Find(MANAGER_PLAYBACK, COMMAND_RELEASE).size(), 1u);
    EXPECT_FALSE(page->GetFunctionButton(CAreaPlayback::kRelease)->IsOn());

    // Swapping a playback with itself clears its mark; pressing SWAP again gives a source up.
    Key('s');
    Click(page->GetPlaybackButton(4));
    EXPECT_TRUE(manager->GetPlayback(4)->IsMarked());
    Click(page->GetPlaybackButton(4));
    const std::vector<CMessage> swaps = sink.Find(MANAGER_PLAYBACK_MANAGER, COMMAND_SWAP);
    ASSERT_EQ(swaps.size(), 1u);
    EXPECT_EQ(CRecordingSink::Target(swaps[0]), "40/73/4/4/0");
    EXPECT_FALSE(manager->GetPlayback(4)->IsMarked());
    Key('s');
    Click(page->GetPlaybackButton(5));
    Key('s');
    EXPECT_FALSE(manager->GetPlayback(5)->IsMarked());
    EXPECT_EQ(page->GetSwapSource(), -1);
    EXPECT_EQ(manager->GetMode(), uint32_t(CPlaybackManager::kModeNone));

    // Holding RELEASE releases everything instead of choosing the mode.
    Down(Centre(page->GetFunctionButton(CAreaPlayback::kRelease)));
    Tick(13);
    Up(Centre(page->GetFunctionButton(CAreaPlayback::kRelease)));
    EXPECT_EQ(sink.Find(MANAGER_PLAYBACK_MANAGER, COMMAND_RELEASE).size(), 1u);
    EXPECT_EQ(manager->GetMode(), uint32_t(CPlaybackManager::kModeNone));
}

TEST_F(PlaybackPage, RenameSendsOnlyAnAcceptedName)
{
    Answer(COMMAND_GET_LABEL, 4, CMessageValue(std::string("Wash")));
    for (const char* text : {"A/B", "Intro"})
    {
        Key('n');
        Click(page->GetPlaybackButton(4));
        CDialogString* dialog = page->GetRenameDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetText(), "Wash");
        dialog->SetText(text);
        // Ok as if it had been held while the text turned bad.
        dialog->SetResult(CArea2::kResultOk);
        Tick(1);
        EXPECT_EQ(page->GetRenameDialog(), nullptr);
    }
    EXPECT_EQ(Sent(COMMAND_SET_LABEL), (std::vector<std::string>{"4=Intro"}));
}

TEST_F(PlaybackPage, APropertiesDragChoosesARectangleThatIsMarkedWhenTheDialogCloses)
{
    Key('p');
    Down(Centre(page->GetPlaybackButton(0)));
    Move(Centre(page->GetPlaybackButton(9)));
    EXPECT_TRUE(page->GetPlaybackButton(8)->GetFillBackground() && !page->GetPlaybackButton(2)->GetFillBackground());
    Up(Centre(page->GetPlaybackButton(9)));
    ASSERT_NE(page->GetPropertiesDialog(), nullptr);
    EXPECT_EQ(manager->GetSelection().size(), 4u);
    EXPECT_FALSE(page->GetPlaybackButton(8)->GetFillBackground());
    EXPECT_EQ(manager->GetMode(), uint32_t(CPlaybackManager::kModeNone));
    Key(27);
    root->Tick(0.04f);
    manager->Update(0.04f);
    EXPECT_TRUE(manager->GetPlayback(9)->IsMarked() && !manager->GetPlayback(2)->IsMarked());
    for (int i = 0; i < 25; ++i)
        manager->Update(0.04f);
    EXPECT_FALSE(manager->GetPlayback(9)->IsMarked());
}

TEST_F(PlaybackPage, TheLampShowsTheLinkToTheChosenUnit)
{
    CDeviceManager* link = core->GetDeviceManager();
    EXPECT_EQ(page->GetLamp()->GetColour(), CRgbaColour(0, 0, 0, 255));
    link->SetConnectedAddress(CIpAddress(10, 0, 0, 9));
    link->SetConnected(true);
    EXPECT_EQ(page->GetLamp()->GetColour(), CAreaLed::kGreen);
    link->SetConnected(false);
    EXPECT_EQ(page->GetLamp()->GetColour(), CAreaLed::kRed);
}

TEST_F(PlaybackPage, ChoosingALanguageChangesEveryText)
{
    const std::string common = FreshTestFolder("common").string();
    auto* languages = new CLanguageManagerDesktop(std::string(TANZO_BINARY_DIR) + "/Resources", common, CVersion(1, 7, 0));
    CApp::SetLanguageManager(languages);
    root = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
    page = dynamic_cast<CAreaPlayback*>(root->GetPage(CAreaMain::kPagePlayback));
    const auto caption = [&](uint32_t f) { return page->GetFunctionButton(f)->GetCaption(); };
    EXPECT_EQ(caption(CAreaPlayback::kEdit), "EDIT");
    languages->SetLanguage("deutsch");
    EXPECT_EQ(caption(CAreaPlayback::kEdit), "ÄNDERN");
    EXPECT_EQ(page->GetFlashButton(7)->GetCaption(), "FLASH");
    // A change while another page is shown is there when the page comes back.
    root->SetPage(CAreaMain::kPagePatch);
    languages->SetLanguage("Français");
    root->SetPage(CAreaMain::kPagePlayback);
    EXPECT_EQ(caption(CAreaPlayback::kSwap), "ÉCHANGER");
    EXPECT_EQ(caption(CAreaPlayback::kOptions), "OPTIONS");
    root.reset();
    CApp::SetLanguageManager(nullptr);
}
