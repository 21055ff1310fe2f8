// The yellow question and notice dialogs: their results by button and key, the hidden Cancel of
// the notice, and where the message goes with and without a link line.
#include "screens/dialogs/dialog_confirmation.h"
#include "screens/dialogs/dialog_notification.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
using MessageDialogs = DialogTest;
}

TEST_F(MessageDialogs, ReturnAndEscapeEndBothDialogsOnRelease)
{
    struct Case
    {
        bool notification;
        uint32_t key;
        int64_t result;
    };
    for (const Case& c : {Case{false, kReturn, 1}, Case{false, kEscape, 2}, Case{true, kReturn, 1},
                          Case{true, kEscape, 2}})
    {
        host.closedWith = -1;
        if (c.notification)
            Show(new CDialogNotification(&host));
        else
            Show(new CDialogConfirmation(&host));
        EXPECT_TRUE(KeyDown(c.key));
        Tick();
        EXPECT_EQ(host.closedWith, -1);
        EXPECT_TRUE(KeyUp(c.key));
        Tick();
        EXPECT_EQ(host.closedWith, c.result) << c.notification << " " << c.key;
    }
}

TEST_F(MessageDialogs, TheConfirmationIsYellowAndItsQuestionSpansTheDialog)
{
    CDialogConfirmation* dialog = Show(new CDialogConfirmation(&host));
    dialog->SetText("Remove file?", true);
    EXPECT_EQ(Button("Ok")->GetColour(), CRgbaColour(255, 255, 0, 255));
    EXPECT_EQ(Button("Cancel")->GetRect(), CRect(296, 156, 100, 40));
    EXPECT_EQ(Button("Ok")->GetRect(), CRect(192, 156, 100, 40));
    const CAreaLabel* question = Nth<CAreaLabel>(0);
    EXPECT_EQ(question->GetText(), "Remove file?");
    EXPECT_EQ(question->GetRect(), CRect(54, 93, 342, 15));
    EXPECT_EQ(Nth<CAreaLabel>(1)->GetRect(), CRect(54, 112, 342, 15));
    Click(Button("Cancel"));
    Tick();
    EXPECT_EQ(host.closedWith, 2);
}

TEST_F(MessageDialogs, TheNotificationShowsCancelOnlyWhenAskedAndKeepsItsMessageSteady)
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

    dialog->SetLinkAddress("https://example.invalid/");
    EXPECT_TRUE(link->IsHighlight());
    dialog->SetLinkAddress("");
    EXPECT_FALSE(link->IsHighlight());
    // A press on a link line without an address is nobody's.
    Click(link);
    Tick();
    EXPECT_EQ(host.closedWith, -1);

    dialog->SetVisible(false);
    dialog->SetVisible(true);
    EXPECT_TRUE(Button("Cancel")->IsVisible());
    dialog->SetShowCancel(false);
    EXPECT_FALSE(Button("Cancel")->IsVisible());
}
