// The playback page on a model root whose records are caught before the link: what the page sends
// and does not send of the model's values, the click modes, paging at its ends, the languages and
// how a name being renamed reads.
// Each control's road to the stand-in controller and back is run end to end by playback_e2e.sh.
#include "graphics/font_manager.h"
#include "graphics/glyph_manager.h"
#include "graphics/language_manager_desktop.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "model/core.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "screens/dialogs/dialog_string.h"
#include "screens/pages/area_main.h"
#include "screens/pages/area_playback.h"
#include "tests/model/playback_test_support.h"
#include "tests/support/silent_network.h"
#include "tests/support/test_folder.h"
#include "widgets/area_button.h"
#include "widgets/area_edit_field.h"
#include "widgets/area_fader.h"
#include "widgets/area_led.h"
#include "widgets/area_rotary.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
class PlaybackPage : public ::testing::Test
{
protected:
    PlaybackPage()
    {
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
        SetClickSoundListener([](const std::string&) {});
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = FreshTestFolder().string();
        core = CCore::Create(0, nullptr, setup);
        manager = core->GetPlaybackManager();
        manager->SetSink(&sink);
        Build();
    }
    ~PlaybackPage() override
    {
        root.reset();
        core.reset();
        SetClickSoundListener(nullptr);
    }
    void Build()
    {
        root = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
        page = dynamic_cast<CAreaPlayback*>(root->GetPage(CAreaMain::kPagePlayback));
    }

    // Each event starts unhandled, as the application hands it in.
    bool* Fresh() { return &(handled = false); }
    static CPoint Centre(const CArea2* area) { return area->GetRect().GetCentre(); }
    void Click(const CArea2* area) { root->PointerDown(0, Centre(area), 1, Fresh()), root->PointerUp(0, Centre(area), Fresh()); }
    void Key(uint32_t key) { root->KeyDown(key, Fresh()), root->KeyUp(key, Fresh()); }
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
    std::vector<std::string> Sent(uint32_t command) const
    {
        std::vector<std::string> sent;
        for (const CMessage& m : sink.Find(MANAGER_PLAYBACK, command))
            sent.push_back(std::to_string(m.GetIndex0()) + "=" + m.GetValueRef().ToText());
        return sent;
    }

    // The records are caught at the playbacks' sink before they reach it.
    CSilentNetwork network;
    CRecordingSink sink;
    std::unique_ptr<CCore> core;
    CPlaybackManager* manager = nullptr;
    std::unique_ptr<CAreaMain> root;
    CAreaPlayback* page = nullptr;
    bool handled = false;
};
}  // namespace

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
    EXPECT_TRUE(Sent(COMMAND_SET_SPEED).empty() && Sent(COMMAND_SET_INTENSITY).empty());
}

TEST_F(PlaybackPage, PagingStopsAtTheFirstAndTheLastRow)
{
    for (const auto& [key, row] : {std::pair<uint32_t, uint32_t>{SDLK_PAGEUP, 0}, {SDLK_PAGEDOWN, 1}, {SDLK_END, 7},
                                   {SDLK_PAGEDOWN, 7}, {SDLK_HOME, 0}})
    {
        Key(key);
        EXPECT_EQ(manager->GetPage(), row) << key;
    }
    root->Wheel(0, Centre(page->GetPlaybackButton(0)), 1, Fresh());
    EXPECT_EQ(manager->GetPage(), 0u);
    // Three fingers pick the row by height: the grid's top and bottom are the first and last.
    root->Gesture(page->GetGridRect().GetBottomRight(), Fresh());
    EXPECT_EQ(manager->GetPage(), 7u);
    root->Wheel(0, Centre(page->GetPlaybackButton(0)), -1, Fresh());
    EXPECT_EQ(manager->GetPage(), 7u);
    root->Gesture(page->GetGridRect().GetPosition(), Fresh());
    EXPECT_EQ(manager->GetPage(), 0u);
}

TEST_F(PlaybackPage, ClickModesActOnThePlaybackClickedAndEndThemselves)
{
    // No mode: a press works the go input and selects nothing; a held flash key goes down once.
    Click(page->GetPlaybackButton(3));
    EXPECT_EQ(manager->GetSelectedPlayback(), nullptr);
    root->KeyDown('2', Fresh()), root->KeyDown('2', Fresh()), root->KeyUp('2', Fresh());
    EXPECT_EQ(Sent(COMMAND_SET_FLASH_DOWN), (std::vector<std::string>{"1=true", "1=false"}));

    Key('r');
    EXPECT_TRUE(page->GetFunctionButton(CAreaPlayback::kRelease)->IsOn());
    Click(page->GetPlaybackButton(2));
    EXPECT_EQ(sink.Targets().back(), "41/66/2/0/0");
    EXPECT_FALSE(page->GetFunctionButton(CAreaPlayback::kRelease)->IsOn());

    // Swapping a playback with itself clears its mark; pressing SWAP again gives a source up.
    Key('s');
    Click(page->GetPlaybackButton(4));
    EXPECT_TRUE(manager->GetPlayback(4)->IsMarked());
    Click(page->GetPlaybackButton(4));
    EXPECT_EQ(sink.Targets().back(), "40/73/4/4/0");
    EXPECT_FALSE(manager->GetPlayback(4)->IsMarked());
    Key('s');
    Click(page->GetPlaybackButton(5));
    Key('s');
    EXPECT_FALSE(manager->GetPlayback(5)->IsMarked());
    EXPECT_EQ(page->GetSwapSource(), -1);

    // Holding RELEASE releases everything and leaves no mode.
    Key('e');
    root->PointerDown(0, Centre(page->GetFunctionButton(CAreaPlayback::kRelease)), 1, Fresh());
    Tick(13);
    root->PointerUp(0, Centre(page->GetFunctionButton(CAreaPlayback::kRelease)), Fresh());
    EXPECT_EQ(sink.Targets().back(), "40/66/0/0/0");
    EXPECT_EQ(manager->GetMode(), uint32_t(CPlaybackManager::kModeNone));
}

TEST_F(PlaybackPage, EveryReleaseGoesWhereItsPressWent)
{
    // FLASH 1 held on row 0 while Page Down, the wheel and End turn the rows.
    const CPoint flash = Centre(page->GetFlashButton(0));
    root->PointerDown(0, flash, 1, Fresh());
    Key(SDLK_PAGEDOWN);
    root->Wheel(0, flash, -1, Fresh());
    Key(SDLK_END);
    root->PointerUp(0, flash, Fresh());
    // The key 2 held on row 7 while Home turns back and a dialog opens over the page.
    root->KeyDown('2', Fresh());
    Key(SDLK_HOME);
    Key('n');
    Click(page->GetPlaybackButton(4));
    ASSERT_NE(page->GetRenameDialog(), nullptr);
    root->KeyUp('2', Fresh());
    EXPECT_EQ(Sent(COMMAND_SET_FLASH_DOWN), (std::vector<std::string>{"0=true", "0=false", "57=true", "57=false"}));
    page->GetRenameDialog()->SetResult(CArea2::kResultCancel);
    Tick(1);

    // A flash and a go input held while the page is switched away are let go there and then.
    root->KeyDown('3', Fresh());
    root->PointerDown(1, Centre(page->GetPlaybackButton(6)), 1, Fresh());
    root->SetPage(CAreaMain::kPagePatch);
    root->KeyUp('3', Fresh());
    root->PointerUp(1, Centre(page->GetPlaybackButton(6)), Fresh());
    EXPECT_EQ(Sent(COMMAND_SET_FLASH_DOWN).back(), "2=false");
    EXPECT_EQ(Sent(COMMAND_SET_FLASH_DOWN).size(), 6u);
    EXPECT_EQ(Sent(COMMAND_SET_GO_DOWN), (std::vector<std::string>{"6=true", "6=false"}));

    // The controller swaps a flashed playback along: the release follows it, also through a
    // second swap, while FLASH 2 held beside it stays where it is.
    root->SetPage(CAreaMain::kPagePlayback);
    root->KeyDown('1', Fresh());
    root->PointerDown(1, Centre(page->GetFlashButton(1)), 1, Fresh());
    for (const auto& [from, to] : {std::pair(0, 5), std::pair(5, 9)})
    {
        Key('s');
        Click(page->GetPlaybackButton(from));
        Click(page->GetPlaybackButton(to));
    }
    root->KeyUp('1', Fresh());
    root->PointerUp(1, Centre(page->GetFlashButton(1)), Fresh());
    const std::vector<std::string> flashes = Sent(COMMAND_SET_FLASH_DOWN);
    EXPECT_EQ(std::vector<std::string>(flashes.begin() + 6, flashes.end()),
              (std::vector<std::string>{"0=true", "1=true", "9=false", "1=false"}));
}

TEST_F(PlaybackPage, RenameSendsOnlyAnAcceptedName)
{
    Answer(COMMAND_GET_LABEL, 4, CMessageValue(std::string("Wash")));
    for (const char* text : {"A/B", "Intro"})
    {
        Key('n');
        Click(page->GetPlaybackButton(4));
        ASSERT_NE(page->GetRenameDialog(), nullptr);
        EXPECT_EQ(page->GetRenameDialog()->GetText(), "Wash");
        page->GetRenameDialog()->SetText(text);
        // Ok as if it had been held while the text turned bad.
        page->GetRenameDialog()->SetResult(CArea2::kResultOk);
        Tick(1);
    }
    EXPECT_EQ(Sent(COMMAND_SET_LABEL), (std::vector<std::string>{"4=Intro"}));

    // A long name reads the same, shortened in its middle, through the cursor's blinking and the
    // lamp going out and on again: only the cursor's mark after it comes and goes.
    CFontManager::Instance().ScanFolder(std::string(TANZO_BINARY_DIR) + "/Resources/fonts");
    CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
    Answer(COMMAND_GET_LABEL, 4, CMessageValue(std::string("Blackout then slowly bring everything up to full stage 1")));
    Key('n');
    Click(page->GetPlaybackButton(4));
    const CArea2* dialog = page->GetRenameDialog();
    ASSERT_NE(dialog, nullptr);
    const CAreaEditField* field = nullptr;
    for (uint32_t i = 0; i < dialog->GetChildCount() && !field; ++i)
        field = dynamic_cast<const CAreaEditField*>(dialog->GetChild(i));
    ASSERT_NE(field, nullptr);
    CZevralImage canvas(768, 1024);
    const auto render = [&] {
        const CTextureAdapter whole(canvas);
        root->Render(CTextureAdapter(root->GetRect(), whole), CPoint(0, 0), false);
    };
    // The name's letters, left of where the mark could stand.
    CRect name = field->GetBoxRect() + field->GetPosition() + dialog->GetPosition() + page->GetPosition();
    name.SetWidth(name.GetWidth() - 30);
    root->SetVisible(true);
    render();
    const CZevralImage first = canvas.Crop(name);
    for (int frame = 1; frame <= 30; ++frame)
    {
        Tick(1);
        if (frame % 10 == 0)
            page->GetLamp()->SetColour(frame == 20 ? CAreaLed::kGreen : CRgbaColour(0, 0, 0, 255));
        render();
        const CZevralImage now = canvas.Crop(name);
        int changed = 0;
        for (int32_t y = 0; y < now.GetHeight(); ++y)
            for (int32_t x = 0; x < now.GetWidth(); ++x)
                changed += now.GetPixel(CPoint(x, y)) != first.GetPixel(CPoint(x, y));
        EXPECT_EQ(changed, 0) << "frame " << frame;
    }
}

TEST_F(PlaybackPage, APropertiesDragChoosesARectangleThatIsMarkedWhenTheDialogCloses)
{
    Key('p');
    root->PointerDown(0, Centre(page->GetPlaybackButton(0)), 1, Fresh());
    root->PointerMove(0, Centre(page->GetPlaybackButton(9)));
    EXPECT_TRUE(page->GetPlaybackButton(8)->GetFillBackground() && !page->GetPlaybackButton(2)->GetFillBackground());
    root->PointerUp(0, Centre(page->GetPlaybackButton(9)), Fresh());
    ASSERT_NE(page->GetPropertiesDialog(), nullptr);
    EXPECT_EQ(manager->GetSelection().size(), 4u);
    EXPECT_FALSE(page->GetPlaybackButton(8)->GetFillBackground());
    Key(27);
    Tick(1);
    manager->Update(0.04f);
    EXPECT_TRUE(manager->GetPlayback(9)->IsMarked() && !manager->GetPlayback(2)->IsMarked());
    manager->Update(1.0f);
    EXPECT_FALSE(manager->GetPlayback(9)->IsMarked());
}

TEST_F(PlaybackPage, ChoosingALanguageChangesEveryText)
{
    auto owned = std::make_unique<CLanguageManagerDesktop>(std::string(TANZO_BINARY_DIR) + "/Resources",
                                                           FreshTestFolder("common").string(), CVersion(1, 7, 0));
    CLanguageManagerDesktop* languages = owned.get();
    CApp::SetLanguageManager(std::move(owned));
    Build();
    const auto caption = [&](uint32_t f) { return page->GetFunctionButton(f)->GetCaption(); };
    EXPECT_EQ(caption(CAreaPlayback::kEdit), "EDIT");
    languages->SetLanguage("deutsch");
    EXPECT_EQ(caption(CAreaPlayback::kEdit), "ÄNDERN");
    // A change while another page is shown is there when the page comes back.
    root->SetPage(CAreaMain::kPagePatch);
    languages->SetLanguage("Français");
    root->SetPage(CAreaMain::kPagePlayback);
    EXPECT_EQ(caption(CAreaPlayback::kSwap), "ÉCHANGER");
    root.reset();
    CApp::SetLanguageManager(nullptr);
}

TEST_F(PlaybackPage, AFaderTheControllerMovedIsWorkedOnFromThereUnlessItIsBeingDragged)
{
    CAreaFader* fader = page->GetIntensityFader(1);
    // A cue or another page took playback 1 down to 20 %: a wheel step starts from there.
    Answer(COMMAND_GET_INTENSITY, 1, CMessageValue(0.2f));
    root->Wheel(0, Centre(fader), -1, Fresh());
    const std::vector<CMessage> sent = sink.Find(MANAGER_PLAYBACK, COMMAND_SET_INTENSITY);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_NEAR(sent[0].GetValueRef().GetFloat(), 0.19f, 1e-6f);
    // A reply trailing a drag leaves the dragged value alone.
    root->PointerDown(0, Centre(fader), 1, Fresh());
    const float dragged = fader->GetValue();
    Answer(COMMAND_GET_INTENSITY, 1, CMessageValue(0.9f));
    EXPECT_FLOAT_EQ(fader->GetValue(), dragged);
    root->PointerUp(0, Centre(fader), Fresh());
}
