// The notice dialog: its hidden Cancel, and where the message goes with and without a link line.
#include "screens/dialogs/dialog_notification.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

TEST_F(DialogTest, TheNotificationShowsCancelOnlyWhenAskedAndKeepsItsMessageSteady)
{
    CDialogNotification* dialog = Show(new CDialogNotification(&host));
    dialog->SetText("No hardware connected.", true);
    EXPECT_FALSE(Button("Cancel")->IsVisible());
    EXPECT_EQ(Button("OK")->GetRect(), CRect(296, 156, 100, 40));
    // Two lines' room, however often the dialog is laid out.
    const CAreaLabel* message = Nth<CAreaLabel>(0);
    const CAreaLabel* link = Nth<CAreaLabel>(1);
    for (int i = 0; i < 3; ++i)
        dialog->SetShowCancel(i % 2 == 0);
    EXPECT_EQ(message->GetRect(), CRect(54, 93, 342, 30));

    dialog->SetShowCancel(true);
    EXPECT_TRUE(Button("Cancel")->IsVisible());
    EXPECT_EQ(Button("OK")->GetRect(), CRect(192, 156, 100, 40));
    dialog->SetLinkText("Please upgrade.", true);
    EXPECT_EQ(message->GetRect(), CRect(54, 85, 342, 15));
    EXPECT_EQ(link->GetRect(), CRect(54, 100, 342, 15));
    dialog->SetShowCancel(false);
    EXPECT_FALSE(Button("Cancel")->IsVisible());
}
