// The notice dialog: its hidden Cancel, and where the message goes with and without a link line.
#include "screens/dialogs/dialog_notification.h"
#include "graphics/font_manager.h"
#include "tests/screens/dialogs/dialog_test.h"
#include "widgets/word_wrap.h"

using namespace dialog_test;

TEST_F(DialogTest, TheNotificationShowsCancelOnlyWhenAskedAndKeepsItsMessageSteady)
{
    CDialogNotification* dialog = Show(std::make_unique<CDialogNotification>(&host));
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

TEST_F(DialogTest, ALongNoticeHasRoomForEveryLineAboveItsButton)
{
    CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
    CDialogNotification* dialog = Show(std::make_unique<CDialogNotification>(&host));
    const std::string text = "The show \"Saturday gala\" cannot be opened: the file is damaged, Error reading "
                             "Attributes. (line 1, column 60). Nothing was changed.";
    const CAreaLabel* message = Nth<CAreaLabel>(0);
    for (bool withLink : {false, true})
    {
        dialog->SetLinkText(withLink ? "Please upgrade." : "", false);
        dialog->SetText(text, false);
        ASSERT_NE(message->GetFont(), nullptr);
        int32_t width = 0;
        int32_t lineSkip = 0;
        message->MeasureText(text, width, lineSkip);
        const size_t lines = WrapWords(text, int32_t(message->GetWidth()), message->GetFont()).size();
        ASSERT_GE(lines, 3u);
        EXPECT_GE(int32_t(message->GetHeight()), int32_t(lines) * lineSkip) << withLink;
        EXPECT_GE(message->GetY(), 0);
        EXPECT_LE(message->GetBottom() + (withLink ? 15 : 0), Button("OK")->GetY()) << withLink;
    }
}
