// The hint dialog: every way out is Ok, and the box's last state is what the host reads.
#include "screens/dialogs/dialog_explanation.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
struct HintDialog : DialogTest
{
    HintDialog()
    {
        dialog = Show(new CDialogExplanation(&host));
        host.onClosed = [this](CArea2* d) { dontShow = static_cast<CDialogExplanation*>(d)->IsDontShowChecked(); };
    }
    CDialogExplanation* dialog;
    bool dontShow = false;
};
}  // namespace

TEST_F(HintDialog, TickingTwiceLeavesTheHintOnAndOkEndsIt)
{
    Click(Nth<CAreaCheckbox>(0));
    EXPECT_TRUE(dialog->IsDontShowChecked());
    Click(Nth<CAreaCheckbox>(0));
    Click(Button("OK"));
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_FALSE(dontShow);
}

TEST_F(HintDialog, EscapeEndsItLikeOkAndTheBoxStillCounts)
{
    Click(Nth<CAreaCheckbox>(0));
    EXPECT_TRUE(KeyDown(kEscape));
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    KeyUp(kEscape);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_TRUE(dontShow);
}

TEST_F(HintDialog, TheTextFillsTheRoomAboveTheBoxWhichReachesUpToOk)
{
    dialog->SetText("A new show file starts empty.", false);
    EXPECT_EQ(Button("OK")->GetRect(), CRect(396, 206, 100, 40));
    EXPECT_EQ(Nth<CAreaCheckbox>(0)->GetRect(), CRect(54, 206, 342, 40));
    const CAreaLabel* text = Nth<CAreaLabel>(0);
    EXPECT_EQ(text->GetRect(), CRect(54, 4, 442, 198));
    EXPECT_TRUE(text->IsWrap());
    EXPECT_EQ(text->GetColour(), CRgbaColour(255, 255, 255, 255));
}
