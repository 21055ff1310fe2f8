// The personality dialog: choosing manufacturer, model and mode in the three lists, the letter
// jumps, the choice shown in the middle of the lists, and Ok only for a choice with a profile.
#include "model/personality_manager.h"
#include "screens/dialogs/dialog_personality.h"
#include "tests/screens/dialogs/dialog_test.h"
#include "tests/screens/patch_library.h"
#include "widgets/area_grid.h"
#include "widgets/area_index.h"

using namespace dialog_test;

namespace
{
struct PersonalityDialog : DialogTest
{
    PersonalityDialog()
    {
        patch_library::Load(library);
        dialog = Show(std::make_unique<CDialogPersonality>(&host, &library));
    }
    CAreaGrid* List(uint32_t index) const { return Nth<CAreaGrid>(index); }
    void PressRow(uint32_t list, int32_t row)
    {
        const CAreaGrid* grid = List(list);
        Click(grid, CPoint(20, row * int32_t(grid->GetRowHeight()) - grid->GetScrollOffset() + 20));
    }
    // Rows of the three lists, and whether Ok takes the choice.
    std::string Lists() const
    {
        return std::to_string(List(0)->GetRowCount()) + "/" + std::to_string(List(1)->GetRowCount()) + "/" +
               std::to_string(List(2)->GetRowCount()) + (Nth<CAreaButton>(0)->IsEnabled() ? " ok" : "");
    }
    bool Highlighted(uint32_t list, uint32_t row) const
    {
        std::string text;
        CRgbaColour colour;
        bool highlighted = false;
        std::vector<CZevralImage> none;
        List(list)->GetCellContents(0, row, text, colour, highlighted, none);
        return highlighted;
    }

    CPersonalityManager library;
    CDialogPersonality* dialog;
};
}  // namespace

TEST_F(PersonalityDialog, AModelIsAWholeChoiceUntilAModeReplacesItsProfile)
{
    // Fixtures of different personalities share no reference: only the makers show.
    dialog->SetPersonality(CPersonalityRef());
    EXPECT_EQ(Lists(), "33/0/0");
    PressRow(0, 1);
    EXPECT_EQ(Lists(), "33/2/0");
    PressRow(1, 0);
    EXPECT_EQ(Lists(), "33/2/0 ok");
    EXPECT_EQ(dialog->GetPersonality(), CPersonalityRef("Brightline", "Par 64", "", "01"));
    // The maker already chosen keeps its model.
    PressRow(0, 1);
    EXPECT_EQ(dialog->GetPersonality().GetModel(), "Par 64");
    PressRow(1, 1);
    EXPECT_EQ(Lists(), "33/2/2 ok");
    PressRow(2, 1);
    EXPECT_EQ(dialog->GetPersonality(), CPersonalityRef("Brightline", "Spot 250", "Extended",
                                                        "01022203230405060708090A0B0C0D0E"));
    EXPECT_TRUE(Highlighted(0, 1) && Highlighted(1, 1) && Highlighted(2, 1));
    // Another maker empties model and mode.
    PressRow(0, 0);
    EXPECT_EQ(Lists(), "33/1/0");
    EXPECT_EQ(dialog->GetPersonality(), CPersonalityRef("Acme", "", "", ""));
    PressRow(1, 0);
    CPersonalityRef taken;
    host.onClosed = [&taken](CArea2* closing) { taken = static_cast<CDialogPersonality*>(closing)->GetPersonality(); };
    Key(kReturn), Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken, CPersonalityRef("Acme", "Dimmer", "", "15"));
}

TEST_F(PersonalityDialog, TheChoiceShowsInTheMiddleAndLettersJumpToAMaker)
{
    // Chosen before the dialog shows, as the patch page does it.
    auto fresh = std::make_unique<CDialogPersonality>(&host, &library);
    fresh->SetPersonality(CPersonalityRef("Generic 20", "Wash", "", "0102030405060708"));
    dialog = Show(std::move(fresh));
    const CAreaGrid* makers = List(0);
    EXPECT_EQ(makers->GetScrollOffset() / int32_t(makers->GetRowHeight()), 22 - makers->GetVisibleRows() / 2);
    EXPECT_TRUE(Highlighted(0, 22) && Highlighted(1, 0));

    dialog->SetPersonality(CPersonalityRef("Brightline", "Spot 250", "Basic", "010203"));
    EXPECT_EQ(Lists(), "33/2/2 ok");
    // No maker starts with c: the last one before it is the one already chosen.
    Key('c');
    EXPECT_EQ(dialog->GetPersonality().GetMode(), "Basic");
    Key('g');
    EXPECT_EQ(dialog->GetPersonality(), CPersonalityRef("Generic 01", "", "", ""));
    EXPECT_EQ(Lists(), "33/1/0");
    // Past the last initial the strip leads to the last maker, far down the list.
    Click(Nth<CAreaIndex>(0), CPoint(10, int32_t(Nth<CAreaIndex>(0)->GetHeight()) - 5));
    EXPECT_EQ(dialog->GetPersonality().GetManufacturer(), "Generic 30");
    EXPECT_GT(makers->GetScrollTarget(), 0);
    Key(kEscape), Tick();
    EXPECT_EQ(host.closedWith, 2);
}
