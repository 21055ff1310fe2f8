// The name dialog: what it accepts, how Ok, Cancel, X and the keys end or change it, and where its
// controls sit.
#include "screens/dialogs/dialog_string.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
struct StringDialog : DialogTest
{
    StringDialog() { dialog = Show(new CDialogString(&host)); }
    CAreaButton* Ok() const { return Button("Ok"); }
    CAreaLabel* Message() const { return Nth<CAreaLabel>(0); }
    CAreaEditField* Entry() const { return Nth<CAreaEditField>(0); }

    CDialogString* dialog;
};

std::string Repeat(const std::string& piece, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}
}  // namespace

TEST_F(StringDialog, RefusesRejectedCharactersFirstAndTextsLongerThan64Bytes)
{
    struct Case
    {
        std::string text;
        std::string message;  // empty: accepted
    };
    const Case cases[] = {
        {Repeat("x", 64), ""},
        {Repeat("x", 65), "Label too long"},
        {"a/b", "Invalid character(s)"},
        {Repeat("x", 70) + "|", "Invalid character(s)"},
        {"\\ \" ? * : < >", "Invalid character(s)"},
        // Bytes are counted: 32 two-byte letters fill the limit, 33 pass it.
        {Repeat("\xC3\xA9", 32), ""},
        {Repeat("\xC3\xA9", 33), "Label too long"},
        {"", ""},
    };
    for (const Case& c : cases)
    {
        dialog->SetText(c.text);
        const bool accepted = c.message.empty();
        EXPECT_EQ(dialog->IsAcceptable(), accepted) << c.text;
        EXPECT_EQ(Ok()->IsEnabled(), accepted) << c.text;
        EXPECT_EQ(Message()->IsVisible(), !accepted) << c.text;
        if (!accepted)
        {
            EXPECT_EQ(Message()->GetText(), c.message);
        }
        EXPECT_EQ(Button("X")->IsEnabled(), !c.text.empty()) << c.text;
    }
    dialog->SetText("a/b");
    dialog->SetRejectedCharacters("");
    EXPECT_TRUE(dialog->IsAcceptable());
    EXPECT_FALSE(Message()->IsVisible());
}

TEST_F(StringDialog, TypingIsCheckedAsItGoesAndReturnHandsOnOnlyAnAcceptedText)
{
    std::string taken;
    host.onClosed = [&](CArea2* d) { taken = static_cast<CDialogString*>(d)->GetText(); };
    Type("A/B");
    EXPECT_EQ(dialog->GetText(), "A/B");
    EXPECT_TRUE(Message()->IsVisible());
    Key(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);

    Type("\b\b");
    EXPECT_TRUE(dialog->IsAcceptable());
    Type("Intro");
    EXPECT_TRUE(KeyDown(kReturn));
    Tick();
    EXPECT_EQ(host.closedWith, -1) << "Ok fires on the key's release";
    KeyUp(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken, "AIntro");
}

TEST_F(StringDialog, AnOkHeldWhileTheTextBecomesRefusedDoesNotEndTheDialog)
{
    dialog->SetText("Spot");
    Press(Ok());
    Type("/");
    Release(Ok());
    KeyDown(kReturn);
    Type(":");
    KeyUp(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);
    Type("\b\b");
    Click(Ok());
    Tick();
    EXPECT_EQ(host.closedWith, 1);
}

TEST_F(StringDialog, XEmptiesTheEntryAndEscapeCancels)
{
    dialog->SetText(Repeat("x", 80));
    Click(Button("X"));
    EXPECT_EQ(dialog->GetText(), "");
    EXPECT_TRUE(dialog->IsAcceptable());
    EXPECT_FALSE(Button("X")->IsEnabled());
    EXPECT_TRUE(KeyDown(kEscape));
    KeyUp(kEscape);
    Tick();
    EXPECT_EQ(host.closedWith, 2);
}

TEST_F(StringDialog, LaysTheEntryAboveTheButtonsAndTheMessageBesideThem)
{
    EXPECT_EQ(dialog->GetRect(), CRect(184, 387, 400, 250));
    EXPECT_EQ(Button("Cancel")->GetRect(), CRect(296, 200, 100, 46));
    EXPECT_EQ(Ok()->GetRect(), CRect(192, 200, 100, 46));
    EXPECT_EQ(Entry()->GetRect(), CRect(54, 80, 298, 40));
    EXPECT_EQ(Button("X")->GetRect(), CRect(356, 80, 40, 40));
    EXPECT_EQ(Message()->GetRect(), CRect(54, 216, 134, 15));
}
