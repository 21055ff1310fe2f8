// The Art-Net and sACN dialogs: the arrows, the typing machines with their one-second pause, the
// keys that work the controls, and the place of each control.
#include "screens/dialogs/dialog_acn.h"
#include "screens/dialogs/dialog_artnet.h"
#include "tests/screens/dialogs/dialog_test.h"

#include <SDL_keycode.h>

#include <tuple>

using namespace dialog_test;

namespace
{
struct UniverseDialogs : DialogTest
{
    std::string Shown() const { return Nth<CAreaEditField>(0)->GetText(); }
    // Keys a moment apart each, then a pause of a second: what the field showed before the pause.
    std::string TypeThenPause(const std::string& keys)
    {
        for (char key : keys)
            Key(uint32_t(key)), Tick(2);
        const std::string shown = Shown();
        Tick(26);
        return shown;
    }
};
using ArtnetDialog = UniverseDialogs;
using AcnDialog = UniverseDialogs;
}  // namespace

TEST_F(ArtnetDialog, ArrowsAndKeysStepEachNumberRoundItsRangeAndLeaveTheOther)
{
    CDialogArtnet* dialog = Show(std::make_unique<CDialogArtnet>(&host));
    dialog->Set(true, 0x3C);
    EXPECT_EQ(Shown(), "3.12");
    EXPECT_TRUE(dialog->IsArtNetEnabled());
    // From, arrow, shown.
    for (const auto& [from, arrow, shown] : {std::tuple(0x3F, 2, "3.0"), std::tuple(0x05, 1, "15.5"),
                                             std::tuple(0xF5, 0, "0.5"), std::tuple(0x30, 3, "3.15")})
    {
        dialog->Set(false, uint8_t(from));
        // Sub-net up, sub-net down, universe up, universe down follow Ok and Cancel.
        Click(Nth<CAreaButton>(2 + arrow));
        EXPECT_EQ(Shown(), shown);
    }
    EXPECT_EQ(dialog->GetAddress(), 0x3F);

    // Keys work the controls, and none gets past the dialog.
    dialog->Set(false, 0x3E);
    Key(SDLK_UP);
    Key('+');
    Key(SDLK_DOWN);
    EXPECT_EQ(Shown(), "3.15");
    Key(' ');
    EXPECT_TRUE(dialog->IsArtNetEnabled());
    Key('e');
    EXPECT_FALSE(dialog->IsArtNetEnabled());
    EXPECT_TRUE(KeyDown(SDLK_F5) && KeyUp(SDLK_F5));
}

TEST_F(ArtnetDialog, TypingFillsSubnetThenUniverseAndAPauseStartsOver)
{
    CDialogArtnet* dialog = Show(std::make_unique<CDialogArtnet>(&host));
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

TEST_F(AcnDialog, ArrowsStopAtTheEndsAndTypingKeepsWithinTheLimit)
{
    CDialogAcn* dialog = Show(std::make_unique<CDialogAcn>(&host));
    dialog->Set(false, 0);
    EXPECT_EQ(Shown(), "1");
    EXPECT_FALSE(dialog->IsAcnEnabled());
    Click(Nth<CAreaButton>(1));
    EXPECT_EQ(dialog->GetUniverse(), 1);
    dialog->Set(true, 63999);
    Click(Nth<CAreaButton>(0));
    EXPECT_EQ(Shown(), "63999");
    Key(SDLK_DOWN);
    EXPECT_EQ(Shown(), "63998");

    // At most five digits, kept within the limit; a pause starts a new entry.
    Tick(26);
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
    Type("0");
    EXPECT_EQ(dialog->GetUniverse(), 0) << "the unit receives it as 1";
}
