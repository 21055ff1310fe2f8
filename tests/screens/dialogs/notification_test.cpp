// The notice dialog: its hidden Cancel, where the message goes with and without a link line, and a
// name too wide for a line or in a message too long for the dialog.
#include "screens/dialogs/dialog_notification.h"
#include "foundation/utf8.h"
#include "graphics/font_manager.h"
#include "graphics/texture_adapter.h"
#include "graphics/zevral_image.h"
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
    // Two lines, as most notices are, and one of three or more.
    const std::string texts[] = {
        "The show \"Refused\" cannot be opened: the file is not in the encoding it gives. Nothing was changed.",
        "The show \"Saturday gala\" cannot be opened: the file is damaged, Error reading Attributes. (line 1, "
        "column 60). Nothing was changed."};
    const CAreaLabel* message = Nth<CAreaLabel>(0);
    for (const std::string& text : texts)
    {
        for (bool withLink : {false, true})
        {
            dialog->SetLinkText(withLink ? "Please upgrade." : "", false);
            dialog->SetText(text, false);
            ASSERT_NE(message->GetFont(), nullptr);
            int32_t width = 0;
            int32_t lineSkip = 0;
            message->MeasureText(text, width, lineSkip);
            const size_t lines = WrapWords(text, int32_t(message->GetWidth()), message->GetFont()).size();
            ASSERT_GE(lines, 2u);
            EXPECT_GE(int32_t(message->GetHeight()), int32_t(lines) * lineSkip) << withLink << lines;
            EXPECT_GE(message->GetY(), 0);
            EXPECT_LE(message->GetBottom() + (withLink ? 15 : 0), Button("OK")->GetY()) << withLink;
        }
    }
}

TEST_F(DialogTest, ANameTooWideForTheNoticeKeepsBothEndsAndItsQuotesInEachLanguage)
{
    CFontManager::Instance().ScanFolder(std::string(TANZO_SOURCE_DIR) + "/resources/fonts");
    // No space to wrap at, and letters of two bytes where the middle is cut.
    std::string name = std::string(40, '_');
    for (int i = 0; i < 10; ++i)
        name += "\xC3\x84\xC3\x96";
    name += std::string(40, '_');
    // A user's translation that says far more than the dialog holds, before the name and after it.
    std::string words;
    for (int i = 0; i < 4; ++i)
        words += "Diese Meldung ist sehr lang \xC3\xBC" "bersetzt, damit sie weit mehr Zeilen braucht, als der "
                 "Hinweis fassen kann. ";
    const struct
    {
        std::string text;
        std::string opening;  // how the line of the name starts and ends
        std::string closing;
    } table[] = {
        {"The show \"" + name + "\" cannot be opened: the file is damaged. Nothing was changed.", "\"", "\""},
        {"Die Show \xE2\x80\x9E" + name + "\xE2\x80\x9C kann nicht ge\xC3\xB6" "ffnet werden.", "\xE2\x80\x9E",
         "\xE2\x80\x9C"},
        {"Le show \xC2\xAB " + name + " \xC2\xBB n'a pas pu \xC3\xAAtre renomm\xC3\xA9.", "_", "_"},
        // The name the message's last word.
        {"The show could not be saved: the disk is full, and nothing was written over \"" + name + "\"", "\"",
         "\""},
        {words + "Die Show \xE2\x80\x9E" + name + "\xE2\x80\x9C ist betroffen. " + words, "\xE2\x80\x9E",
         "\xE2\x80\x9C"},
    };
    CDialogNotification* dialog = Show(std::make_unique<CDialogNotification>(&host));
    const CAreaLabel* message = Nth<CAreaLabel>(0);
    CZevralImage canvas(768, 1024);
    const CTextureAdapter whole(canvas);
    for (const auto& row : table)
    {
        dialog->SetText(row.text, false, name);
        ASSERT_NE(message->GetFont(), nullptr);
        // Every line has room in the message, the name's among them.
        const std::vector<std::string> lines =
            WrapWords(message->GetText(), int32_t(message->GetWidth()), message->GetFont(), true);
        int32_t width = 0;
        int32_t lineSkip = 0;
        message->MeasureText(message->GetText(), width, lineSkip);
        EXPECT_LE(int32_t(lines.size()) * lineSkip, int32_t(message->GetHeight())) << lines.size();
        std::string line;
        for (const std::string& each : lines)
            if (each.rfind(row.opening + "____", 0) == 0)
                line = each;
        ASSERT_NE(line.find("..."), std::string::npos) << line;
        EXPECT_EQ(line.substr(line.size() - row.closing.size() - 4), "____" + row.closing) << line;
        EXPECT_TRUE(IsValidUtf8(line)) << line;

        // Drawn, no line reaches either edge of the message.
        host.SetDirty();
        host.Render(CTextureAdapter(host.GetRect(), whole), CPoint(0, 0), false);
        const CRect place = message->GetRect() + dialog->GetPosition();
        const CRgbaColour background = canvas.GetPixel(uint32_t(place.GetX()), uint32_t(place.GetY()));
        for (int32_t y = place.GetY(); y < place.GetBottom(); ++y)
            for (int32_t x : {place.GetX(), place.GetX() + 1, place.GetRight() - 2, place.GetRight() - 1})
                ASSERT_EQ(canvas.GetPixel(uint32_t(x), uint32_t(y)), background) << row.opening << " " << x << "," << y;
    }
}
