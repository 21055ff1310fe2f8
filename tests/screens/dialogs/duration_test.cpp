// The duration dialog: the time in and out as text, the clear button, and the keys.
#include "screens/dialogs/dialog_duration.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
struct DurationDialog : DialogTest
{
    DurationDialog() { dialog = Show(new CDialogDuration(&host)); }
    CDialogDuration* dialog;
};
}  // namespace

TEST_F(DurationDialog, ShowsTheShortFormAndReadsTypedTextBackOnReturn)
{
    dialog->SetDuration(CTime(65.0));
    EXPECT_EQ(Nth<CAreaEditField>(0)->GetText(), "1m05s");
    EXPECT_FALSE(Nth<CAreaLabel>(0)->IsVisible()) << "the None line never shows";

    CTime taken;
    host.onClosed = [&](CArea2* d) { taken = static_cast<CDialogDuration*>(d)->GetDuration(); };
    Click(Button("X"));
    EXPECT_FALSE(Button("X")->IsEnabled());
    Type("2");
    EXPECT_TRUE(Button("X")->IsEnabled());
    Type(".5");
    KeyDown(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    KeyUp(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken.GetMilliseconds(), 2500u);
}

TEST_F(DurationDialog, EscapeCancelsOnItsRelease)
{
    EXPECT_TRUE(KeyDown(kEscape));
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    KeyUp(kEscape);
    Tick();
    EXPECT_EQ(host.closedWith, 2);
}
