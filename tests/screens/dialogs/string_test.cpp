// The name dialog: what it accepts, X, and Ok never handing on a refused text.
#include "screens/dialogs/dialog_string.h"
#include "tests/screens/dialogs/dialog_test.h"

using namespace dialog_test;

namespace
{
struct StringDialog : DialogTest
{
    StringDialog() { dialog = Show(std::make_unique<CDialogString>(&host)); }
    CAreaLabel* Message() const { return Nth<CAreaLabel>(0); }
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
        EXPECT_EQ(Button("Ok")->IsEnabled(), accepted) << c.text;
        EXPECT_EQ(Message()->IsVisible(), !accepted) << c.text;
        EXPECT_EQ(Message()->GetText(), accepted ? Message()->GetText() : c.message);
        EXPECT_EQ(Button("X")->IsEnabled(), !c.text.empty()) << c.text;
    }
    dialog->SetText("a/b");
    dialog->SetRejectedCharacters("");
    EXPECT_TRUE(dialog->IsAcceptable());
    EXPECT_FALSE(Message()->IsVisible());
    dialog->SetText(Repeat("x", 80));
    Click(Button("X"));
    EXPECT_TRUE(dialog->IsAcceptable());
    EXPECT_FALSE(Button("X")->IsEnabled());
}

TEST_F(StringDialog, OkNeverHandsOnARefusedTextEvenWhenHeldWhileItTurnsBad)
{
    std::string taken;
    host.onClosed = [&](CArea2* d) { taken = static_cast<CDialogString*>(d)->GetText(); };
    Type("A/B");
    EXPECT_TRUE(Message()->IsVisible());
    Key(kReturn);
    Type("\b\b");
    KeyDown(kReturn);
    Type("/");
    KeyUp(kReturn);
    Tick();
    EXPECT_EQ(host.closedWith, -1);

    Type("\bIntro");
    Click(Button("Ok"));
    Tick();
    EXPECT_EQ(host.closedWith, 1);
    EXPECT_EQ(taken, "AIntro");
}
