// The start address dialog: steps round the range, typed entries with their pause, the switches,
// and an Ok that never hands on an address outside 1..512.
#include "screens/dialogs/dialog_address.h"
#include "tests/screens/dialogs/dialog_test.h"
#include "widgets/area_dip.h"

#include <SDL_keycode.h>

#include <tuple>

using namespace dialog_test;

namespace
{
struct AddressDialog : DialogTest
{
    AddressDialog() { dialog = Show(std::make_unique<CDialogAddress>(&host)); }
    std::string Shown() const { return Nth<CAreaEditField>(0)->GetText(); }
    CAreaButton* Ok() const { return Nth<CAreaButton>(0); }
    // Plus 1, minus 1, plus 10, minus 10, plus 100, minus 100 follow Ok and Cancel.
    CAreaButton* Step(int index) const { return Nth<CAreaButton>(2 + uint32_t(index)); }

    CDialogAddress* dialog;
};
}  // namespace

TEST_F(AddressDialog, StepsComeBackInFromTheOtherEndOfTheRange)
{
    dialog->SetAddress(600);
    EXPECT_EQ(Shown(), "001");
    // From, step button (or key), address.
    for (const auto& [from, step, key, expected] :
         {std::tuple(512, 0, int(SDLK_UP), 1), std::tuple(1, 1, int(SDLK_DOWN), 512), std::tuple(503, 2, int(SDLK_PAGEUP), 2),
          std::tuple(5, 3, int(SDLK_PAGEDOWN), 507), std::tuple(450, 4, 0, 39), std::tuple(100, 5, 0, 512),
          std::tuple(50, 5, 0, 462)})
    {
        dialog->SetAddress(uint32_t(from));
        Click(Step(step));
        EXPECT_EQ(dialog->GetAddress(), expected) << from << " step " << step;
        if (key == 0)
            continue;
        dialog->SetAddress(uint32_t(from));
        Key(uint32_t(key));
        EXPECT_EQ(dialog->GetAddress(), expected) << from << " key " << key;
    }
    EXPECT_EQ(host.closedWith, -1);
}

TEST_F(AddressDialog, TypedDigitsMakeEntriesOfThreeAndAPauseStartsANewOne)
{
    // A pause of a second between 5 and 7; then four digits without one.
    Key('5'), Tick(26), Key(SDLK_KP_7);
    EXPECT_EQ(Shown(), "007");
    Tick(26), Type("1234");
    EXPECT_EQ(dialog->GetAddress(), 4);
    Tick(26);
    // Out of range: red, and Ok refuses it even when it was held while the address went bad.
    Type("99"), Ok()->Press(), Key('9'), Ok()->Release(), Tick();
    EXPECT_EQ(Shown(), "999");
    EXPECT_EQ(Nth<CAreaEditField>(0)->GetTextColour(), CRgbaColour(255, 0, 0, 255));
    EXPECT_FALSE(Ok()->IsEnabled());
    Key(kReturn), Tick();
    EXPECT_EQ(host.closedWith, -1);
    Tick(26), Type("101");
    EXPECT_TRUE(Ok()->IsEnabled());
    EXPECT_NE(Nth<CAreaEditField>(0)->GetTextColour(), CRgbaColour(255, 0, 0, 255));
    uint32_t taken = 0;
    host.onClosed = [&taken](CArea2* d) { taken = static_cast<CDialogAddress*>(d)->GetAddress(); };
    Key(SDLK_KP_ENTER), Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken, 101u);
}

TEST_F(AddressDialog, TheSwitchesShowTheAddressAndSetItBitByBit)
{
    CAreaDip* dip = Nth<CAreaDip>(0);
    dialog->SetAddress(5);
    EXPECT_EQ(dip->GetValue(), 5u);
    // Switch 3 off, switch 10 on: 1 + 512 is past the range.
    const int32_t column = int32_t(dip->GetWidth() / CAreaDip::kSwitchCount);
    Click(dip, CPoint(2 * column + column / 2, 10));
    Click(dip, CPoint(9 * column + column / 2, 10));
    EXPECT_EQ(dialog->GetAddress(), 513);
    EXPECT_FALSE(Ok()->IsEnabled());
    Key(kEscape), Tick();
    EXPECT_EQ(host.closedWith, 2);
}
