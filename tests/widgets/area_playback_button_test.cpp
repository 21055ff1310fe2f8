// The playback button: what it writes and draws for the playback the controller reports, what a
// press does in and out of a click mode, and cues and playbacks that go while it shows them.
#include "widgets/area_playback_button.h"

#include "graphics/font_manager.h"
#include "graphics/texture_adapter.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "shell/app.h"
#include "tests/model/playback_test_support.h"
#include "tests/support/test_folder.h"
#include "widgets/area_bar.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <memory>

namespace
{
using Lines = std::vector<std::string>;
const CRgbaColour kUp(40, 40, 40, 255);
const CRgbaColour kDown(0, 90, 0, 255);
CRgbaColour StatusColour(int status) { return CRgbaColour(30 * status, 0, 160, 255); }

void Log(void* calls, const std::string& call) { static_cast<Lines*>(calls)->push_back(call); }

void SavePicture(const std::string& path, int width, int height, CRgbaColour colour)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ABGR8888);
    SDL_FillRect(surface, nullptr, colour.GetValue());
    ASSERT_EQ(IMG_SavePNG(surface, path.c_str()), 0);
    SDL_FreeSurface(surface);
}

// Playback 4 on a button at the top-left of a visible root. The skin's faces are flat 188 x 152;
// each status picture is 100 x 60 (centred at (44, 46)) but the one for playing, 60 x 30.
struct PlaybackButton : ::testing::Test
{
    void SetUp() override
    {
        const std::string folder = FreshTestFolder().string();
        boost::filesystem::create_directories(folder + "/skin");
        const std::string skin = folder + "/skin/playback_";
        SavePicture(skin + "up.png", 188, 152, kUp);
        SavePicture(skin + "down.png", 188, 152, kDown);
        const char* statuses[] = {"released", "playing", "paused", "releasing", "indicated", "degroup", "stack"};
        for (int s = 1; s <= 7; ++s)
            SavePicture(skin + statuses[s - 1] + ".png", s == 2 ? 60 : 100, s == 2 ? 30 : 60, StatusColour(s));
        setenv("TANZO_RESOURCES", folder.c_str(), 1);
        char* argv[] = {name, nullptr};
        app = std::make_unique<CApp>(CVersion(1, 7, 0), 1, argv);
        unsetenv("TANZO_RESOURCES");
        CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
        manager->SetSink(&sink);
        root.SetVisible(true);
        button = root.MakeChild<CAreaPlaybackButton>(manager.get());
        button->SetPlayback(manager->GetPlayback(4));
    }
    void Reply(uint32_t command, const CMessageValue& value, uint32_t to = MANAGER_PLAYBACK, uint32_t cue = 0)
    {
        manager->ApplyMessage(::Reply(to, command, 4, cue, 0, value));
    }
    void Reply(uint32_t command, uint32_t value) { Reply(command, CMessageValue(value)); }
    void CueLabel(uint32_t cue, const char* label) { Reply(COMMAND_GET_LABEL, CMessageValue(label), MANAGER_CUE, cue); }
    Lines Shown() const { return {button->GetLine(0), button->GetLine(1), button->GetLine(2)}; }
    CRgbaColour At(int x, int y)
    {
        root.Render(CTextureAdapter(canvas), CPoint(), false);
        return canvas.GetPixel(CPoint(x, y));
    }
    std::vector<CMessage> GoDown() const { return sink.Find(MANAGER_PLAYBACK, COMMAND_SET_GO_DOWN); }

    char name[16] = "Programmer";
    std::unique_ptr<CApp> app;
    CRecordingSink sink;
    std::unique_ptr<CPlaybackManager> manager = std::make_unique<CPlaybackManager>();
    CArea2 root{nullptr, false, 200, 160};
    CAreaPlaybackButton* button = nullptr;
    CZevralImage canvas{200, 160};
    Lines calls;
};
}

TEST_F(PlaybackButton, LinesShowLabelCueAndPositionOrBrieflyTheChangedValue)
{
    // Nothing known yet: the playback's place counted from 1, and dimmed bars.
    EXPECT_EQ(Shown(), (Lines{"5", "", "- / -"}));
    EXPECT_TRUE(button->GetIntensityBar()->IsDimmed());
    Reply(COMMAND_GET_LABEL, CMessageValue("Intro"));
    Reply(COMMAND_GET_COUNT, 12);
    CueLabel(2, "Verse");
    Reply(COMMAND_GET_CURRENT_CUE, 2);
    EXPECT_EQ(Shown(), (Lines{"Intro", "Verse", "3 / 12"}));
    EXPECT_FALSE(button->GetSpeedBar()->IsDimmed());
    // A reply that changed the intensity or the speed shows it for a while, without a position.
    Reply(COMMAND_GET_INTENSITY, CMessageValue(0.75f));
    EXPECT_EQ(Shown(), (Lines{"Intensity", "75%", ""}));
    Reply(COMMAND_GET_SPEED, CMessageValue(-0.5f));
    EXPECT_EQ(Shown(), (Lines{"Speed", "-50%", ""}));
    // Cue 48 onwards is not counted out; a degrouped playback shows no position at all.
    manager->GetPlayback(4)->SetFeedback(CPlayback::kFeedbackNone);
    Reply(COMMAND_GET_COUNT, 48);
    Reply(COMMAND_GET_CURRENT_CUE, 48);
    EXPECT_EQ(button->GetLine(2), "- / 48");
    Reply(COMMAND_GET_STATUS, 6);
    EXPECT_EQ(button->GetLine(2), "");
}

TEST_F(PlaybackButton, FollowsTheCurrentCuesLabelAndSurvivesCuesAndPlaybacksThatGo)
{
    Reply(COMMAND_GET_COUNT, 12);
    Reply(COMMAND_GET_CURRENT_CUE, 2);
    CueLabel(2, "Verse");
    EXPECT_EQ(button->GetLine(1), "Verse");
    At(0, 0);
    CueLabel(3, "Chorus");
    EXPECT_FALSE(button->IsDirty());
    // Shrinking the list deletes observed cues, the current one among them.
    Reply(COMMAND_GET_COUNT, 2);
    EXPECT_EQ(button->GetLine(1), "");
    CueLabel(1, "Bridge");
    Reply(COMMAND_GET_CURRENT_CUE, 1);
    EXPECT_EQ(button->GetLine(1), "Bridge");
    // The playbacks go while the button shows one: it lets go and shows nothing.
    manager.reset();
    EXPECT_EQ(button->GetPlayback(), nullptr);
    EXPECT_EQ(Shown(), (Lines{"", "", ""}));
    EXPECT_EQ(At(2, 2), kUp);
}

TEST_F(PlaybackButton, APressHoldsTheGoInputOnlyWhileNoClickModeIsActive)
{
    button->SetPressCallback(&calls, [](void* c, CAreaPlaybackButton*, uint32_t b, bool*) { Log(c, "press" + std::to_string(b)); });
    button->SetClickCallback(&calls, [](void* c, CAreaPlaybackButton*) { Log(c, "click"); });
    button->SetReleaseCallback(&calls, [](void* c, CAreaPlaybackButton*, bool*) { Log(c, "release"); });
    bool handled = false;
    root.PointerDown(0, CPoint(90, 70), 1, &handled);
    EXPECT_TRUE(handled && button->IsPressed());
    // The bars stand on the pressed face too.
    EXPECT_EQ(At(2, 2), kDown);
    EXPECT_EQ(At(12, 13), kDown);
    handled = false;
    root.PointerUp(0, CPoint(90, 70), &handled);
    ASSERT_EQ(GoDown().size(), 2u);
    EXPECT_FALSE(GoDown()[1].GetValue().GetBool());
    // In a click mode a press, on a bar too, is a click for the page and holds nothing.
    manager->SetMode(CPlaybackManager::kModeRename);
    handled = false;
    root.PointerDown(0, CPoint(12, 50), 3, &handled);
    EXPECT_FALSE(button->IsPressed());
    handled = false;
    root.PointerUp(0, CPoint(12, 50), &handled);
    EXPECT_EQ(GoDown().size(), 2u);
    EXPECT_EQ(calls, (Lines{"press1", "release", "press3", "click", "release"}));
    // Swapped while held, the playback is let go at its new place.
    manager->SetMode(CPlaybackManager::kModeNone);
    root.PointerDown(0, CPoint(90, 70), 1, &(handled = false));
    manager->SwapPlaybacks(9, 4);
    root.PointerUp(0, CPoint(90, 70), &(handled = false));
    ASSERT_EQ(GoDown().size(), 4u);
    EXPECT_EQ(GoDown()[2].GetIndex0(), 4u);
    EXPECT_EQ(GoDown()[3].GetIndex0(), 9u);
    EXPECT_FALSE(GoDown()[3].GetValue().GetBool());
}

TEST_F(PlaybackButton, DrawsTheStatusPictureWhereTheFirstOneIsCentredAndTheVeilOverAll)
{
    EXPECT_EQ(button->GetIntensityBar()->GetRect(), CRect(9, 12, 13, 128));
    EXPECT_EQ(button->GetSpeedBar()->GetRect(), CRect(172, 12, 8, 128));
    EXPECT_EQ(At(46, 48), kUp);
    Reply(COMMAND_GET_STATUS, 1);
    EXPECT_EQ(At(46, 48), StatusColour(1));
    EXPECT_EQ(At(142, 104), StatusColour(1));
    Reply(COMMAND_GET_STATUS, 2);
    EXPECT_EQ(At(46, 48), StatusColour(2));
    EXPECT_EQ(At(142, 104), kUp);
    Reply(COMMAND_GET_STATUS, 8);
    EXPECT_EQ(At(46, 48), kUp);
    button->SetHighlighted(true);
    for (const CPoint& p : {CPoint(2, 2), CPoint(12, 13)})
        EXPECT_TRUE(At(p.GetX(), p.GetY()).GetBlue() > 60 && At(p.GetX(), p.GetY()).GetRed() < 40) << p.ToString();
}

TEST_F(PlaybackButton, ACueRenamedDuringAReadOutWaitsForItToEnd)
{
    Reply(COMMAND_GET_COUNT, 12);
    Reply(COMMAND_GET_CURRENT_CUE, 2);
    CueLabel(2, "Verse");
    Reply(COMMAND_GET_SPEED, CMessageValue(0.2f));
    CueLabel(2, "Chorus");
    EXPECT_EQ(Shown(), (Lines{"Speed", "20%", ""}));
    manager->GetPlayback(4)->SetFeedback(CPlayback::kFeedbackNone);
    Reply(COMMAND_GET_STATUS, 1);
    EXPECT_EQ(Shown(), (Lines{"5", "Chorus", "3 / 12"}));
}

TEST_F(PlaybackButton, ALongLabelKeepsToTheFaceBetweenTheBars)
{
    At(0, 0);
    const CZevralImage blank = canvas;
    Reply(COMMAND_GET_LABEL, CMessageValue("Front of house warm wash with the side lights"));
    At(0, 0);
    int first = -1, last = -1;
    for (int x = 0; x < 188; ++x)
        for (int y = 10; y < 54; ++y)
            if (canvas.GetPixel(CPoint(x, y)) != blank.GetPixel(CPoint(x, y)))
                first = first < 0 ? x : first, last = x;
    // Intensity bar up to x 22, speed bar from x 172.
    EXPECT_GE(first, 24);
    EXPECT_LE(last, 169);
    EXPECT_GT(last - first, 100);
}
