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
    // Texts that read as no time, only in part, or as no duration are not taken for 0 s, for
    // their first number or for a guess: Ok waits, and the line under the entry says why.
    const char* const notATime = "Not a time. Use 90s, 1m30s, 1h30m, 2.5 or 1:30 (h:min)";
    const struct
    {
        const char* text;
        const char* why;
    } refused[] = {
        {"fast", notATime},
        {"1m 30s", notATime},
        {"1h30s", notATime},
        {"2 min", notATime},
        {"1.5m", notATime},
        {"-5", "A duration cannot be negative"},
        {"99:99:99", "Minutes go up to 59"},
        {"1:30:75", "Seconds go up to 59"},
        {"h30m", "A number goes before each time unit: 2h, 1h30m, 90s"},
        {"4294968s", "A duration can be at most 1193h02m47s"},
        {"99999999", "A duration can be at most 1193h02m47s"},
    };
    for (const auto& r : refused)
    {
        Click(Button("X"));
        Type(r.text);
        EXPECT_FALSE(Button("Ok")->IsEnabled()) << r.text;
        EXPECT_TRUE(Nth<CAreaLabel>(0)->IsVisible()) << r.text;
        EXPECT_EQ(Nth<CAreaLabel>(0)->GetText(), r.why) << r.text;
    }
    Key(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    const struct
    {
        const char* text;
        uint64_t milliseconds;
    } accepted[] = {{"90 s", 90000}, {"2.5 s", 2500}, {"2:03.5", 123500}, {"08s", 8000}, {"4294967s", 4294967000u}};
    for (const auto& t : accepted)
    {
        Click(Button("X"));
        Type(t.text);
        EXPECT_TRUE(Button("Ok")->IsEnabled()) << t.text;
        EXPECT_FALSE(Nth<CAreaLabel>(0)->IsVisible()) << t.text;
        EXPECT_EQ(dialog->GetDuration().GetMilliseconds(), t.milliseconds) << t.text;
    }
    Click(Button("X"));
    EXPECT_TRUE(Button("Ok")->IsEnabled()) << "an empty field is no time";
    Type("1:30 ");
    EXPECT_FALSE(Nth<CAreaLabel>(0)->IsVisible());
    Key(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken.GetMilliseconds(), 5400000u) << "1:30 stays 1 h 30 min";
}
