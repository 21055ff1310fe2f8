// The duration dialog: the time in and out as text, and the clear button.
#include "screens/dialogs/dialog_duration.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

TEST_F(DialogTest, DurationShowsTheShortFormAndReadsTypedTextBackAsATime)
{
    CDialogDuration* dialog = Show(new CDialogDuration(&host));
    dialog->SetDuration(CTime(65.0));
    EXPECT_EQ(Nth<CAreaEditField>(0)->GetText(), "1m05s");
    EXPECT_FALSE(Nth<CAreaLabel>(0)->IsVisible()) << "the None line never shows";

    CTime taken;
    host.onClosed = [&](CArea2* d) { taken = static_cast<CDialogDuration*>(d)->GetDuration(); };
    Click(Button("X"));
    EXPECT_FALSE(Button("X")->IsEnabled());
    Type("2");
    EXPECT_TRUE(Button("X")->IsEnabled());
    Click(Button("X"));
    Type("fast");
    EXPECT_FALSE(Button("Ok")->IsEnabled()) << "a text that reads as no time is not taken for 0 s";
    Key(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    Click(Button("X"));
    EXPECT_TRUE(Button("Ok")->IsEnabled()) << "an empty field is no time";
    Type("2.5");
    Key(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken.GetMilliseconds(), 2500u);
}
