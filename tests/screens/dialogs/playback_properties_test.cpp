// The playback properties dialog: changes go to the whole selection, the keys g and r to the shown
// playback only, and the controls follow the controller's confirmations.
#include "link/message.h"
#include "model/playback.h"
#include "model/playback_manager.h"
#include "screens/dialogs/dialog_playback_properties.h"
#include "tests/model/playback_test_support.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
struct PropertiesDialog : DialogTest
{
    PropertiesDialog() { manager.SetSink(&sink); }
    void Open(const std::vector<uint32_t>& selected)
    {
        std::vector<CPlayback*> selection;
        for (uint32_t index : selected)
            selection.push_back(manager.GetPlayback(index));
        manager.SetSelection(selection);
        dialog = Show(std::make_unique<CDialogPlaybackProperties>(&host, &manager));
    }
    // The controller's report of a playback's background, exclusive, go and repeat modes.
    void Confirm(uint32_t index, bool background, bool exclusive, uint32_t goMode, uint32_t repeat)
    {
        const uint32_t word = (background ? 1u : 0u) | (exclusive ? 2u : 0u) | goMode << 4 | repeat << 12;
        manager.ApplyMessage(Reply(MANAGER_PLAYBACK, COMMAND_GET_PROPERTIES, index, 0, 0, CMessageValue(word)));
    }
    // "index=value" of every record of the command.
    std::vector<std::string> Sent(uint32_t command) const
    {
        std::vector<std::string> sent;
        for (const CMessage& m : sink.Find(MANAGER_PLAYBACK, command))
            sent.push_back(std::to_string(m.GetIndex0()) + "=" + std::to_string(m.GetValueRef().GetUnsigned()));
        return sent;
    }
    CAreaRadio* GoMode() const { return Nth<CAreaRadio>(0); }
    CAreaRadio* Repeat() const { return Nth<CAreaRadio>(1); }
    CAreaCheckbox* Background() const { return Nth<CAreaCheckbox>(0); }

    CPlaybackManager manager;
    CRecordingSink sink;
    CDialogPlaybackProperties* dialog = nullptr;
};
}  // namespace

TEST_F(PropertiesDialog, AChangeGoesToEverySelectedPlaybackAndTheKeysGAndRToTheFirstOnly)
{
    Confirm(0, false, false, 3, 3);
    Open({0, 1, 8, 9});
    Click(GoMode(), CPoint(int32_t(GoMode()->GetWidth()) * 5 / 8, 10));
    EXPECT_EQ(Sent(COMMAND_SET_GO_MODE), (std::vector<std::string>{"0=2", "1=2", "8=2", "9=2"}));
    Key('b');
    EXPECT_EQ(Sent(COMMAND_SET_BACKGROUND), (std::vector<std::string>{"0=1", "1=1", "8=1", "9=1"}));
    EXPECT_TRUE(Background()->IsChecked());

    sink.sent.clear();
    // The controller still reports Solo and Off: go mode steps on from the Flash just asked for,
    // repeat round from Off to the first mode.
    EXPECT_TRUE(KeyDown('g'));
    EXPECT_TRUE(KeyUp('g'));
    Key('r');
    EXPECT_EQ(Sent(COMMAND_SET_GO_MODE), (std::vector<std::string>{"0=3"}));
    EXPECT_EQ(Sent(COMMAND_SET_REPEAT), (std::vector<std::string>{"0=0"}));
    EXPECT_FALSE(KeyDown('x'));
}

TEST_F(PropertiesDialog, FollowsTheControllerAndTheFirstSelectedPlayback)
{
    Open({4, 5});
    Confirm(4, true, false, 2, 1);
    EXPECT_TRUE(Background()->IsChecked());
    EXPECT_FALSE(Nth<CAreaCheckbox>(1)->IsChecked());
    EXPECT_EQ(GoMode()->GetSelection(), 2u);
    EXPECT_EQ(Repeat()->GetSelection(), 1u);
    // Another playback's report changes nothing shown.
    Confirm(5, false, true, 0, 0);
    EXPECT_EQ(GoMode()->GetSelection(), 2u);

    manager.SetSelection({manager.GetPlayback(5)});
    manager.Notify(PLAYBACK_MANAGER_NOTIFY_MODE);
    EXPECT_EQ(dialog->GetShownPlayback(), manager.GetPlayback(5));
    EXPECT_TRUE(Nth<CAreaCheckbox>(1)->IsChecked());
    EXPECT_EQ(GoMode()->GetSelection(), 0u);

    dialog->SetVisible(false);
    EXPECT_EQ(dialog->GetShownPlayback(), nullptr);
    EXPECT_FALSE(dialog->IsObserving(&manager));
    EXPECT_FALSE(dialog->IsObserving(manager.GetPlayback(5)));
}
