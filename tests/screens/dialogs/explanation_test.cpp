// The hint dialog: the box's last state is what the host reads, however the dialog ends.
#include "screens/dialogs/dialog_explanation.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
struct HintDialog : DialogTest
{
    HintDialog()
    {
        dialog = Show(std::make_unique<CDialogExplanation>(&host));
        host.onClosed = [this](CArea2* d) { dontShow = static_cast<CDialogExplanation*>(d)->IsDontShowChecked(); };
    }
    CDialogExplanation* dialog;
    bool dontShow = false;
};
}  // namespace

TEST_F(HintDialog, TheBoxsLastStateCountsWhicheverWayTheDialogEnds)
{
    Click(Nth<CAreaCheckbox>(0));
    Click(Nth<CAreaCheckbox>(0));
    Click(Button("OK"));
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_FALSE(dontShow);

    Show(std::make_unique<CDialogExplanation>(&host));
    Click(Nth<CAreaCheckbox>(0));
    Key(kEscape);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_TRUE(dontShow);
}
