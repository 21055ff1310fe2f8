// The duration dialog: the time in and out as text, and the clear button.
#include "screens/dialogs/dialog_duration.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

TEST_F(DialogTest, DurationShowsTheShortFormAndReadsTypedTextBackAsATime)
{
    CDialogDuration* dialog = Show(std::make_unique<CDialogDuration>(&host));
    dialog->SetDuration(CTime(65.0));
    EXPECT_EQ(Nth<CAreaEditField>(0)->GetText(), "1m05s");
    EXPECT_FALSE(Nth<CAreaLabel>(0)->IsVisible()) << "a time needs no explanation";

    CTime taken;
    host.onClosed = [&](CArea2* d) { taken = static_cast<CDialogDuration*>(d)->GetDuration(); };
    Click(Button("X"));
    EXPECT_FALSE(Button("X")->IsEnabled());
    Type("2");
    EXPECT_TRUE(Button("X")->IsEnabled());
    Click(Button("X"));
    // Texts that read as no time, or only in part, are not taken for 0 s or for their first
    // number: Ok waits, and the line under the entry says why.
    for (const char* text : {"fast", "1m 30s", "1h30s", "2 min", "1.5m"})
    {
        Click(Button("X"));
        Type(text);
        EXPECT_FALSE(Button("Ok")->IsEnabled()) << text;
        EXPECT_TRUE(Nth<CAreaLabel>(0)->IsVisible()) << text;
    }
    EXPECT_NE(Nth<CAreaLabel>(0)->GetText().find("1:30 (h:min)"), std::string::npos);
    Key(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    Click(Button("X"));
    EXPECT_TRUE(Button("Ok")->IsEnabled()) << "an empty field is no time";
    Type("1:30 ");
    EXPECT_FALSE(Nth<CAreaLabel>(0)->IsVisible());
    Key(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken.GetMilliseconds(), 5400000u) << "1:30 stays 1 h 30 min";
}
