// The edit page as the operator works it, checked by the records that reach the controller (a
// recording sink) and by what the page shows once the controller's replies are handed back.
#include "graphics/glyph_manager.h"
#include "graphics/skin_manager.h"
#include "model/core.h"
#include "model/cue.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "model/programmer.h"
#include "model/programmer_change.h"
#include "screens/dialogs/dialog_duration.h"
#include "screens/dialogs/dialog_fx.h"
#include "screens/dialogs/dialog_string.h"
#include "screens/pages/area_edit.h"
#include "screens/pages/area_main.h"
#include "shell/app.h"
#include "tests/model/playback_test_support.h"
#include "tests/support/silent_network.h"
#include "tests/support/test_folder.h"
#include "widgets/area_axis.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_cue_grid.h"
#include "widgets/area_fader_soft_parameter.h"
#include "widgets/area_grid.h"
#include "widgets/area_spectrum.h"
#include "widgets/area_target.h"
#include "widgets/click_sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <tuple>

namespace
{
constexpr uint32_t kPlayback = 2;
const CRgbaColour kRed(255, 0, 0, 255);

// The edit page inside the root area: presses, drags and keys reach it through the root, and its
// controls are found as an operator finds them, by caption or kind.
class EditPageTest : public ::testing::Test
{
protected:
    EditPageTest()
    {
        SetClickSoundListener([](const std::string&) {});
        CSkinManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/skin");
        CGlyphManager::Instance().LoadFolder(std::string(TANZO_BINARY_DIR) + "/Resources/glyphs");
        CCoreSetup setup;
        setup.link.network = &network;
        setup.link.threads = false;
        setup.link.broadcastTargets = std::vector<CIpAddress>();
        setup.optionsFolder = FreshTestFolder().string();
        core = CCore::Create(0, nullptr, setup);
        programmer = core->GetProgrammer();
        programmer->Bind(core->GetFixtureManager(), &sink);
        core->GetPlaybackManager()->SetSink(&sink);
        core->GetPlaybackManager()->SelectPlayback(Playback());
        root = std::make_unique<CAreaMain>(nullptr, 768, 1024, core.get());
        root->SetPage(CAreaMain::kPageEdit);
        page = static_cast<CAreaEdit*>(root->GetPage(CAreaMain::kPageEdit));
    }
    ~EditPageTest() override
    {
        root.reset();
        CApp::SetScreenClass(5);
        core.reset();
        SetClickSoundListener(nullptr);
    }
    CPlayback* Playback() const { return core->GetPlaybackManager()->GetPlayback(kPlayback); }

    template <class T>
    std::vector<T*> Controls() const
    {
        std::vector<T*> found;
        for (uint32_t i = 0; i < page->GetChildCount(); ++i)
            if (T* control = dynamic_cast<T*>(page->GetChild(i)))
                found.push_back(control);
        return found;
    }
    // The control of that caption; the test fails without one.
    template <class T>
    T* Captioned(const std::string& caption) const
    {
        for (T* control : Controls<T>())
            if (control->GetCaption() == caption)
                return control;
        ADD_FAILURE() << caption;
        return nullptr;
    }
    CAreaButton* Button(const std::string& caption) const { return Captioned<CAreaButton>(caption); }
    CAreaFaderSoftParameter* Fader(const std::string& text) const { return Captioned<CAreaFaderSoftParameter>(text); }
    // Position FX, home, picker switch, colour FX, intensity FX.
    CAreaButtonSoft* Soft(uint32_t index) const { return Controls<CAreaButtonSoft>().at(index); }

    static CPoint Centre(const CArea2* area) { return area->GetRect().GetCentre(); }
    void Down(const CPoint& point, bool handled = false) { root->PointerDown(0, point, 1, &handled); }
    void Up(const CPoint& point, bool handled = false) { root->PointerUp(0, point, &handled); }
    void Click(const CPoint& point) { Down(point), Up(point); }
    void Click(const CArea2* area) { Click(Centre(area)); }
    bool Key(uint32_t key, bool down = false, bool up = false)
    {
        return root->KeyDown(key, &down), root->KeyUp(key, &up), down && up;
    }
    // A press at the fraction f of the way up the fader's travel.
    void PressFader(const CArea2* fader, float f)
    {
        const int32_t half = int32_t(fader->GetWidth()) / 2;
        const int32_t travel = int32_t(fader->GetHeight()) - 2 * half;
        Click(fader->GetPosition() + CPoint(half, half + int32_t((1.0f - f) * float(travel) + 0.5f)));
    }

    // The controller's replies: the cue count, a cue-manager value, a group's value.
    void Cues(uint32_t n) { Apply(MANAGER_PLAYBACK, COMMAND_GET_COUNT, 0, CMessageValue(n)); }
    void Apply(uint32_t manager, uint32_t command, uint32_t cue, const CMessageValue& value)
    {
        core->GetPlaybackManager()->ApplyMessage(Reply(manager, command, kPlayback, cue, 0, value));
    }
    void Group(uint32_t group, const CMessageValue& value, bool enabled = true)
    {
        programmer->GetChange(group)->SetEnabled(enabled);
        programmer->HandleMessage(Reply(MANAGER_PROGRAMMER_CHANGE, COMMAND_GET_VALUE, group, 0, 0, value));
    }
    std::vector<CMessage> Sent(uint32_t manager, uint32_t command) const { return sink.Find(manager, command); }
    // The last record of the command (of the group's, for a group value): index 1, index 2, value.
    std::string Last(uint32_t manager, uint32_t command, int64_t group = -1) const
    {
        std::string last = "none";
        for (const CMessage& m : Sent(manager, command))
            if (group < 0 || m.GetIndex0() == group)
                last = std::to_string(m.GetIndex1()) + " " + std::to_string(m.GetIndex2()) + " " +
                       m.GetValueRef().ToText();
        return last;
    }
    CMessageValue LastValue(uint32_t group) const
    {
        CMessageValue value;
        for (const CMessage& m : Sent(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE))
            value = m.GetIndex0() == group ? m.GetValueRef() : value;
        return value;
    }
    void Hold(const CPoint& at)
    {
        Down(at);
        for (int i = 0; i < 13; ++i)
            root->Tick(0.04f);
        Up(at);
    }

    CAreaCueGrid* Grid() const { return Controls<CAreaCueGrid>().at(0); }
    // A press on the cue's cell (-1: just past the last cue), the strip scrolled to show it.
    void PressCue(int32_t cue)
    {
        const int32_t cell = cue < 0 ? int32_t(Playback()->GetCueCount()) : cue;
        const int32_t side = int32_t(Grid()->GetHeight());
        Grid()->SetScrollOffset(std::max(0, cell - 5) * side);
        Click(Grid()->GetPosition() + CPoint(cell * side - Grid()->GetScrollOffset() + side / 2, side / 2));
    }
    // Two presses past the end leave no run (the first may only end an after-dialog press).
    void Select(const std::vector<int32_t>& presses)
    {
        PressCue(-1), PressCue(-1);
        for (int32_t cue : presses)
            PressCue(cue);
    }
    std::pair<int32_t, uint32_t> Selection() const { return {page->GetSelectionFirst(), page->GetSelectionCount()}; }

    CSilentNetwork network;
    CRecordingSink sink;
    std::unique_ptr<CCore> core;
    CProgrammer* programmer = nullptr;
    std::unique_ptr<CAreaMain> root;
    CAreaEdit* page = nullptr;
};
}  // namespace

TEST_F(EditPageTest, PressesGrowShrinkAndCutTheRunOfSelectedCues)
{
    Cues(9);
    const struct
    {
        std::vector<int32_t> presses;
        std::pair<int32_t, uint32_t> selection;
    } cases[] = {
        {{3, 4, 5}, {3, 3}}, {{3, 4, 2}, {2, 3}},  {{3, 4, 4}, {3, 1}},       {{3, 4, 3}, {4, 1}}, {{3, 4, 7}, {7, 1}},
        {{3, 4, -1}, {-1, 0}}, {{3, 4, 5, 6, 4}, {3, 2}}, {{3, 3}, {3, 0}}, {{3, 3, 3}, {3, 1}}, {{5, 0}, {0, 1}},
    };
    for (const auto& c : cases)
    {
        Select(c.presses);
        EXPECT_EQ(Selection(), c.selection) << "presses ending on " << c.presses.back();
        const bool run = c.selection.first >= 0 && c.selection.second > 0;
        EXPECT_EQ(Button("RENAME")->IsOn(), run);
        EXPECT_EQ(Button("RECORD")->IsOn(), run && c.selection.second == 1);
        EXPECT_EQ(Grid()->IsSelected(c.selection.first), run);
    }
    // Holding a cue selects them all; a shorter list cuts the run or drops it.
    Hold(Centre(Grid()));
    EXPECT_EQ(Selection(), std::make_pair(0, 9u));
    Select({3, 4, 5, 6});
    Cues(5);
    EXPECT_EQ(Selection(), std::make_pair(3, 2u));
    Select({4});
    Cues(4);
    EXPECT_EQ(Selection(), std::make_pair(-1, 0u));
}

TEST_F(EditPageTest, CueCommandsGoToThePlaybackForTheWholeRun)
{
    Cues(8);
    Select({2, 3, 4});
    Click(Button("ADD"));
    EXPECT_EQ(Sent(MANAGER_PLAYBACK, COMMAND_ADD).back().GetValueRef().GetUnsigned(), 5u);
    PressCue(6);
    EXPECT_EQ(Selection(), std::make_pair(6, 1u)) << "after an add the next press starts a new run";
    Select({});
    EXPECT_TRUE(Key('a'));
    EXPECT_EQ(Sent(MANAGER_PLAYBACK, COMMAND_ADD).back().GetValueRef().GetUnsigned(), CPlayback::kAtEnd);

    // Nothing selected: no range goes out.
    Select({});
    Click(Button("REMOVE"));
    Click(Button("CONDITION"));
    EXPECT_TRUE(Sent(MANAGER_PLAYBACK, COMMAND_REMOVE).empty());
    EXPECT_EQ(Last(MANAGER_CUE, COMMAND_SET_CONDITION), "none");

    Select({1, 2});
    Click(Button("CONDITION"));
    EXPECT_EQ(Last(MANAGER_CUE, COMMAND_SET_CONDITION), "1 2 1");
    Apply(MANAGER_CUE, COMMAND_GET_CONDITION, 1, CMessageValue(1u));
    Select({1, 2});
    Click(Button("CONDITION"));
    EXPECT_EQ(Last(MANAGER_CUE, COMMAND_SET_CONDITION), "1 2 0") << "the first cue follows, so the run halts";

    // The dialogs propose the first cue's value and apply the typed one to the run.
    Apply(MANAGER_CUE, COMMAND_GET_DELAY_TIME, 1, CMessageValue(1500u));
    Apply(MANAGER_CUE, COMMAND_GET_LABEL, 1, CMessageValue("Intro"));
    Select({1, 2});
    EXPECT_TRUE(Key('d'));
    CDialogDuration* delay = dynamic_cast<CDialogDuration*>(page->GetModalChild());
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->GetDuration().GetMilliseconds(), 1500u);
    delay->SetDuration(CTime(2.5));
    Key(13);
    root->Tick(0.04f);
    EXPECT_EQ(Last(MANAGER_CUE, COMMAND_SET_DELAY_TIME), "1 2 2500");
    Select({1, 2});
    Click(Button("RENAME"));
    CDialogString* rename = dynamic_cast<CDialogString*>(page->GetModalChild());
    ASSERT_NE(rename, nullptr);
    EXPECT_EQ(rename->GetText(), "Intro");
    rename->SetText("Verse");
    Key(13);
    root->Tick(0.04f);
    EXPECT_EQ(Last(MANAGER_CUE, COMMAND_SET_LABEL), "1 2 Verse");
    PressCue(5);
    EXPECT_EQ(Selection(), std::make_pair(5, 1u)) << "the first press after a dialog selects that cue alone";
    Key('r');
    Key('l');
    Key('c');
    EXPECT_EQ(Last(MANAGER_PROGRAMMER, COMMAND_RECORD), "5 0 -");
    EXPECT_EQ(Last(MANAGER_PROGRAMMER, COMMAND_LOAD), "5 0 -");
    EXPECT_EQ(Sent(MANAGER_PROGRAMMER, COMMAND_CLEAR).size(), 1u);

    // Held, REMOVE empties the list instead of removing the run.
    Hold(Centre(Button("REMOVE")));
    EXPECT_EQ(Sent(MANAGER_PLAYBACK, COMMAND_REMOVE_ALL).size(), 1u);
    EXPECT_TRUE(Sent(MANAGER_PLAYBACK, COMMAND_REMOVE).empty());

    Cues(CPlayback::kMaxCues);
    EXPECT_FALSE(Button("ADD")->IsOn());
}

TEST_F(EditPageTest, FadersPadPickersAndEffectsSendTheirGroups)
{
    CColour red;
    red.SetRed(1.0f);
    Group(GROUP_COLOUR_MIX, CMessageValue(red));
    PressFader(Fader("G"), 0.5f);
    // Moved before the controller has answered the first, a second fader keeps the first's level.
    PressFader(Fader("B"), 0.25f);
    EXPECT_FLOAT_EQ(LastValue(GROUP_COLOUR_MIX).GetColour().GetRed(), 1.0f);
    EXPECT_NEAR(LastValue(GROUP_COLOUR_MIX).GetColour().GetGreen(), 0.5f, 0.01f);
    EXPECT_NEAR(LastValue(GROUP_COLOUR_MIX).GetColour().GetBlue(), 0.25f, 0.01f);

    // The wheel past the top asks for no more than full, which the group holds already.
    Group(GROUP_INTENSITY, CMessageValue(1.0f));
    const size_t sent = sink.sent.size();
    bool handled = false;
    root->Wheel(0, Centre(Fader("In")), 3, &handled);
    EXPECT_EQ(sink.sent.size(), sent);
    // A group no selected fixture has greys its fader out, which still shows the value.
    Group(GROUP_GOBO, CMessageValue(0.25f), false);
    EXPECT_FALSE(Fader("Gobo")->IsEnabled());
    EXPECT_FLOAT_EQ(Fader("Gobo")->GetValues().at(0), 0.25f);

    Group(GROUP_POSITION, CMessageValue(CCoordinate(0.0f, 0.0f)));
    EXPECT_FALSE(Soft(1)->IsEnabled()) << "home is off while the position is home";
    Group(GROUP_POSITION, CMessageValue(CCoordinate(0.5f, -0.5f)));
    Click(Soft(1));
    EXPECT_EQ(LastValue(GROUP_POSITION), CMessageValue(CCoordinate(0.0f, 0.0f)));
    const CAreaAxis* pad = Controls<CAreaAxis>().at(0);
    Click(pad->GetPosition() + CPoint(int32_t(pad->GetWidth()) - 40, 10));
    EXPECT_GT(LastValue(GROUP_POSITION).GetCoordinate().GetX(), 0.5f);
    // A report read before that press reached the controller neither pulls the marker back nor
    // sends the old tilt with a press in the pan strip.
    const CCoordinate asked = LastValue(GROUP_POSITION).GetCoordinate();
    sink.waiting = true;
    Group(GROUP_POSITION, CMessageValue(CCoordinate(0.0f, 0.0f)));
    Click(pad->GetPosition() + CPoint(20, int32_t(pad->GetHeight()) - 8));
    EXPECT_FLOAT_EQ(LastValue(GROUP_POSITION).GetCoordinate().GetY(), asked.GetY());
    EXPECT_LT(LastValue(GROUP_POSITION).GetCoordinate().GetX(), -0.5f);
    sink.waiting = false;

    // The switch puts the spectrum in place of the colour faders, also after the page comes back.
    CAreaSpectrum* spectrum = Controls<CAreaSpectrum>().at(0);
    Click(Soft(2));
    EXPECT_TRUE(spectrum->IsVisible() && !Fader("R")->IsVisible());
    Click(Centre(spectrum));
    EXPECT_EQ(LastValue(GROUP_COLOUR_MIX).GetColour(), CColour(spectrum->GetColour()));
    root->SetPage(CAreaMain::kPagePlayback);
    EXPECT_FALSE(spectrum->IsVisible() || Fader("R")->IsVisible());
    root->SetPage(CAreaMain::kPageEdit);
    EXPECT_TRUE(spectrum->IsVisible() && !Fader("W")->IsVisible());

    // An effect button opens its group's dialog on the group's value; every choice goes out, and
    // Ok sends the last once more.
    CFxValue circle;
    circle.SetShape(FX_SHAPE_CIRCLE);
    Group(GROUP_POSITION_FX, CMessageValue(circle));
    Click(Soft(0));
    CDialogFx* dialog = dynamic_cast<CDialogFx*>(page->GetModalChild());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetValue(), circle);
    const CAreaGrid* shapes = dynamic_cast<const CAreaGrid*>(dialog->GetChild(1));
    ASSERT_NE(shapes, nullptr);
    Click(dialog->GetPosition() + shapes->GetPosition() + CPoint(20, int32_t(shapes->GetRowHeight()) * 5 / 2));
    EXPECT_EQ(LastValue(GROUP_POSITION_FX).GetFx().GetShape(), uint32_t(FX_SHAPE_EIGHT));
    const size_t choices = Sent(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE).size();
    Key(13);
    root->Tick(0.04f);
    EXPECT_EQ(page->GetModalChild(), nullptr);
    EXPECT_EQ(Sent(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE).size(), choices + 2) << "Ok's report and the close";
}

TEST_F(EditPageTest, ADragAcrossThePadReachesAWholePercentageForEveryPixelOfItsTravel)
{
    // Pixel by pixel across the pad's middle, each way: at least the 154 whole percentages of
    // 153 px of travel on the normal screen, every one of the 201 on the large one.
    for (const auto& [screenClass, scale, reached] : {std::tuple(5u, 1, 154u), std::tuple(6u, 2, 201u)})
    {
        root.reset();
        CApp::SetScreenClass(screenClass);
        root = std::make_unique<CAreaMain>(nullptr, 768 * scale, 1024 * scale, core.get());
        root->SetPage(CAreaMain::kPageEdit);
        page = static_cast<CAreaEdit*>(root->GetPage(CAreaMain::kPageEdit));
        Group(GROUP_POSITION, CMessageValue(CCoordinate(0.5f, 0.5f)));
        const CAreaAxis* pad = Controls<CAreaAxis>().at(0);
        const CPoint middle = pad->GetPosition() + pad->GetClientRect().GetCentre();
        for (const bool across : {true, false})
        {
            const size_t before = Sent(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE).size();
            const int32_t length = int32_t(across ? pad->GetWidth() : pad->GetHeight());
            const auto at = [&](int32_t i) {
                return across ? CPoint(pad->GetX() + i, middle.GetY()) : CPoint(middle.GetX(), pad->GetY() + i);
            };
            Down(at(0));
            for (int32_t i = 1; i < length; ++i)
                root->PointerMove(0, at(i));
            Up(at(length - 1));
            const std::vector<CMessage> sent = Sent(MANAGER_PROGRAMMER_CHANGE, COMMAND_SET_VALUE);
            std::set<long> percentages;
            for (size_t i = before; i < sent.size(); ++i)
            {
                const CCoordinate& c = sent[i].GetValueRef().GetCoordinate();
                percentages.insert(std::lround(100.0f * (across ? c.GetX() : c.GetY())));
            }
            EXPECT_GE(percentages.size(), reached) << "screen class " << screenClass << (across ? " across" : " down");
        }
    }
}

TEST_F(EditPageTest, TilesSelectByDraggingAndShowWhatTheControllerSelected)
{
    const std::vector<CAreaTarget*> tiles = Controls<CAreaTarget>();
    Down(Centre(tiles[0]));
    root->PointerMove(0, Centre(tiles[9]));
    Up(Centre(tiles[9]));
    EXPECT_EQ(Sent(MANAGER_PROGRAMMER, COMMAND_SET_FIXTURES).back().GetValueRef().GetU64(), 0x303u);
    EXPECT_FALSE(tiles[0]->IsSelected()) << "only the controller's answer selects";
    programmer->HandleMessage(Reply(MANAGER_PROGRAMMER, COMMAND_GET_FIXTURES, 0, 0, 0, CMessageValue(uint64_t(0x303))));
    for (uint32_t i : {0u, 1u, 8u, 9u, 2u})
        EXPECT_EQ(tiles[i]->IsSelected(), i != 2) << i;

    // A second button pressed and let go on a tile during the drag neither restarts nor ends it.
    Down(Centre(tiles[1]));
    bool handled = false;
    root->PointerDown(3, Centre(tiles[30]), 3, &handled);
    handled = false;
    root->PointerUp(3, Centre(tiles[30]), &handled);
    root->PointerMove(0, Centre(tiles[9]));
    Up(Centre(tiles[9]));
    EXPECT_EQ(Sent(MANAGER_PROGRAMMER, COMMAND_SET_FIXTURES).back().GetValueRef().GetU64(), 0x101u)
        << "the drag from a selected tile takes tiles 1 and 9 out";

    // A drag let go over a button has ended: the free pointer passing over tiles selects nothing.
    Down(Centre(tiles[20]));
    Up(Centre(Button("LOAD")));
    const size_t sent = Sent(MANAGER_PROGRAMMER, COMMAND_SET_FIXTURES).size();
    root->PointerMove(0, Centre(tiles[40]));
    EXPECT_EQ(Sent(MANAGER_PROGRAMMER, COMMAND_SET_FIXTURES).size(), sent);

    EXPECT_TRUE(Key(8));
    EXPECT_EQ(Sent(MANAGER_PROGRAMMER, COMMAND_SET_FIXTURES).back().GetValueRef().GetU64(), 0u);
    EXPECT_FALSE(Key('b'));
}

TEST_F(EditPageTest, FixturesAndGroupsThePlaybacksCuesUseShowRed)
{
    // Cue 1 sets fixture 1's intensity (bytes 16 and 17 of its record).
    Cues(3);
    CCue::CBlock block{};
    block[CCue::kRecordSize + 16] = 0xFF;
    Playback()->GetCue(1)->SetBlock(0, block.data(), CCue::kBlockSize);
    core->GetPlaybackManager()->Update(1.0f);
    EXPECT_EQ(Controls<CAreaTarget>().at(1)->GetColour(), kRed);
    EXPECT_NE(Controls<CAreaTarget>().at(0)->GetColour(), kRed);
    EXPECT_EQ(Fader("In")->GetColour(), kRed);
    EXPECT_NE(Soft(4)->GetColour(), kRed) << "the intensity effect is a group of its own";
    EXPECT_NE(Fader("Gobo")->GetColour(), kRed);
}

TEST_F(EditPageTest, ShowingBindsTheProgrammerAndBackLeavesItBlind)
{
    EXPECT_EQ(Sent(MANAGER_PROGRAMMER, COMMAND_SET_PLAYBACK).at(0).GetValueRef().GetUnsigned(), kPlayback);
    EXPECT_EQ(Grid()->GetPlayback(), Playback());
    EXPECT_TRUE(Key(27));
    EXPECT_EQ(root->GetPageIndex(), uint32_t(CAreaMain::kPagePlayback));
    EXPECT_TRUE(Playback()->IsMarked());
    EXPECT_EQ(Last(MANAGER_PROGRAMMER, COMMAND_SET_BLIND), "0 0 true");
    EXPECT_EQ(Grid()->GetPlayback(), nullptr);

    // Without a chosen playback the page shows and the programmer keeps its binding.
    core->GetPlaybackManager()->SetSelection({});
    root->SetPage(CAreaMain::kPageEdit);
    EXPECT_EQ(page->GetPlayback(), nullptr);
    EXPECT_EQ(Sent(MANAGER_PROGRAMMER, COMMAND_SET_PLAYBACK).size(), 1u);
    Key('a');
    EXPECT_TRUE(Sent(MANAGER_PLAYBACK, COMMAND_ADD).empty());
}

TEST_F(EditPageTest, TheRunOfCuesStaysWithItsPlayback)
{
    Cues(4);
    Select({2, 3});
    // Back to the same playback, whose list lost a cue meanwhile: the run is cut to what is left.
    root->SetPage(CAreaMain::kPagePlayback);
    Cues(3);
    root->SetPage(CAreaMain::kPageEdit);
    EXPECT_EQ(Selection(), std::make_pair(2, 1u));
    // Another playback, of one cue: nothing is selected there, and RECORD appends no cue to it.
    root->SetPage(CAreaMain::kPagePlayback);
    CPlaybackManager* playbacks = core->GetPlaybackManager();
    playbacks->ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_COUNT, kPlayback + 3, 0, 0, CMessageValue(1u)));
    playbacks->SelectPlayback(playbacks->GetPlayback(kPlayback + 3));
    root->SetPage(CAreaMain::kPageEdit);
    EXPECT_EQ(Selection(), std::make_pair(-1, 0u));
    EXPECT_FALSE(Button("RECORD")->IsOn());
    Key('r');
    EXPECT_EQ(Last(MANAGER_PROGRAMMER, COMMAND_RECORD), "none");
}
