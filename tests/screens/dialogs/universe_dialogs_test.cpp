// The Art-Net and sACN dialogs: the arrows, the typing machines with their one-second pause, the
// keys that work the controls, and the place of each control.
#include "screens/dialogs/dialog_acn.h"
#include "screens/dialogs/dialog_artnet.h"
#include "tests/screens/dialogs/dialog_test.h"

#include <SDL_keycode.h>

using namespace dialog_test;

namespace
{
struct ArtnetDialog : DialogTest
{
    ArtnetDialog() { dialog = Show(new CDialogArtnet(&host)); }
    std::string Shown() const { return Nth<CAreaEditField>(0)->GetText(); }
    // The arrows in the order they were added: sub-net up, sub-net down, universe up, universe down.
    CAreaButton* Arrow(size_t index) const { return Nth<CAreaButton>(2 + index); }
    // Digits typed a moment apart each, then a pause of a second.
    std::string TypeThenPause(const std::string& keys)
    {
        for (char key : keys)
        {
            Key(uint32_t(key));
            Tick(2);
        }
        const std::string shown = Shown();
        Tick(26);
        return shown;
    }
    CDialogArtnet* dialog;
};

struct AcnDialog : DialogTest
{
    AcnDialog() { dialog = Show(new CDialogAcn(&host)); }
    std::string Shown() const { return Nth<CAreaEditField>(0)->GetText(); }
    CAreaButton* Up() const { return Nth<CAreaButton>(0); }
    CAreaButton* Down() const { return Nth<CAreaButton>(1); }
    CDialogAcn* dialog;
};
}  // namespace

TEST_F(ArtnetDialog, ArrowsStepEachNumberRoundItsRangeAndLeaveTheOther)
{
    dialog->Set(true, 0x3C);
    EXPECT_EQ(Shown(), "3.12");
    EXPECT_TRUE(dialog->IsEnabled());
    struct Case
    {
        uint8_t from;
        size_t arrow;
        const char* shown;
    };
    for (const Case& c : {Case{0x3F, 2, "3.0"}, Case{0x05, 1, "15.5"}, Case{0xF5, 0, "0.5"}, Case{0x30, 3, "3.15"}})
    {
        dialog->Set(false, c.from);
        Click(Arrow(c.arrow));
        EXPECT_EQ(Shown(), c.shown);
    }
    EXPECT_EQ(dialog->GetAddress(), 0x3F);
}

TEST_F(ArtnetDialog, TypingFillsSubnetThenUniverseAndAPauseStartsOver)
{
    EXPECT_EQ(TypeThenPause("123"), "12.3");
    EXPECT_EQ(TypeThenPause("17"), "1.0");
    EXPECT_EQ(TypeThenPause("15"), "15.0");
    EXPECT_EQ(TypeThenPause("42"), "4.0");
    EXPECT_EQ(TypeThenPause("427"), "4.7");
    EXPECT_EQ(TypeThenPause("3.19"), "3.15");
    dialog->Set(false, 0x20);
    EXPECT_EQ(TypeThenPause(".4"), "2.4");
    // Digits a second apart each start at the sub-net.
    Key('5');
    Tick(26);
    Key('6');
    EXPECT_EQ(Shown(), "6.0");
    EXPECT_EQ(dialog->GetAddress(), 0x60);
}

TEST_F(ArtnetDialog, KeysWorkTheControlsAndNoKeyGetsPast)
{
    dialog->Set(false, 0x3E);
    Key(SDLK_UP);
    Key('+');
    EXPECT_EQ(Shown(), "3.0");
    Key(SDLK_DOWN);
    EXPECT_EQ(Shown(), "3.15");
    Key(' ');
    EXPECT_TRUE(dialog->IsEnabled());
    Key('e');
    EXPECT_FALSE(dialog->IsEnabled());
    EXPECT_TRUE(KeyDown(SDLK_F5) && KeyUp(SDLK_F5));
    EXPECT_TRUE(KeyDown(kReturn));
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    KeyUp(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
}

TEST_F(ArtnetDialog, ArrowsFlankTheFieldAndTheBoxReachesTheirColumn)
{
    const CAreaEditField* field = Nth<CAreaEditField>(0);
    EXPECT_EQ(field->GetRect(), CRect(54, 103, 342, 45));
    EXPECT_EQ(Arrow(0)->GetRect(), CRect(192, 54, 100, 45));
    EXPECT_EQ(Arrow(2)->GetRect(), CRect(296, 54, 100, 45));
    EXPECT_EQ(Arrow(1)->GetRect(), CRect(192, 152, 100, 45));
    EXPECT_EQ(Arrow(3)->GetRect(), CRect(296, 152, 100, 45));
    EXPECT_EQ(Nth<CAreaCheckbox>(0)->GetRect(), CRect(54, 4, 177, 45));
    EXPECT_EQ(Button("Ok")->GetRect(), CRect(192, 201, 100, 45));
}

TEST_F(AcnDialog, ArrowsStopAtTheEndsAndZeroShowsAsOne)
{
    dialog->Set(false, 0);
    EXPECT_EQ(Shown(), "1");
    EXPECT_FALSE(dialog->IsEnabled());
    Click(Down());
    EXPECT_EQ(dialog->GetUniverse(), 1);
    dialog->Set(true, 63999);
    Click(Up());
    EXPECT_EQ(Shown(), "63999");
    Key(SDLK_DOWN);
    EXPECT_EQ(Shown(), "63998");
}

TEST_F(AcnDialog, FiveDigitsAtMostKeptWithinTheLimitAndAPauseStartsOver)
{
    Type("65535");
    EXPECT_EQ(Shown(), "63999");
    Type("7");
    EXPECT_EQ(Shown(), "7");
    Tick(26);
    Type("99999");
    EXPECT_EQ(dialog->GetUniverse(), 63999) << "counted past 16 bits, then kept within the limit";
    Tick(26);
    Type("1");
    Tick(26);
    Type("2");
    EXPECT_EQ(Shown(), "2");
    Tick(26);
    Type("0");
    EXPECT_EQ(dialog->GetUniverse(), 0) << "the unit receives it as 1";
}

TEST_F(AcnDialog, EscapeCancelsOnReleaseAndTheControlsStackDownTheDialog)
{
    EXPECT_EQ(Up()->GetRect(), CRect(192, 50, 204, 46));
    EXPECT_EQ(Nth<CAreaEditField>(0)->GetRect(), CRect(54, 100, 342, 46));
    EXPECT_EQ(Down()->GetRect(), CRect(192, 150, 204, 46));
    EXPECT_EQ(Button("Cancel")->GetRect(), CRect(296, 200, 100, 46));
    EXPECT_EQ(Button("Ok")->GetRect(), CRect(192, 200, 100, 46));
    EXPECT_TRUE(KeyDown(kEscape));
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    KeyUp(kEscape);
    Tick();
    EXPECT_EQ(host.closedWith, 2);
}
