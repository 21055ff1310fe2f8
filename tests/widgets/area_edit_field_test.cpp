// The edit field driven by key codes, clicks and ticks through the area tree: selection editing,
// cursor keys, the Backspace hold, and what the box shows.
#include "tests/widgets/widget_test.h"
#include "widgets/area_edit_field.h"

#include <SDL_keycode.h>

using namespace widget_test;

namespace
{
constexpr uint32_t kBackspace = 8;
constexpr uint32_t kShift = uint32_t(SDLK_LSHIFT);
constexpr uint32_t kLeft = uint32_t(SDLK_LEFT);
constexpr uint32_t kRight = uint32_t(SDLK_RIGHT);
constexpr uint32_t kHome = uint32_t(SDLK_HOME);
constexpr uint32_t kEnd = uint32_t(SDLK_END);
// The inside of the entry box of a 202 x 40 field: the box is (52, 1, 150, 38), 6 pixels in.
const CRect kInner(58, 7, 138, 26);

class EditFields : public WidgetTest
{
protected:
    EditFields()
    {
        auto field = std::make_unique<CAreaEditField>(m_root);
        field->SetRect(CRect(0, 0, 202, 40));
        field->SetTextColour(kWhite);
        field->SetChangeCallback(&m_changes, [](void* context, CAreaEditField*) { ++*static_cast<int*>(context); });
        m_field = m_root->AddChild(std::move(field));
        m_field->SetEditable(true);
    }
    void Type(const std::string& keys)
    {
        for (char c : keys)
            Key(uint32_t(c)), Key(uint32_t(c), false);
    }
    void SelectAll() { EXPECT_TRUE(Routed([this](bool* h) { m_root->DoubleClick(0, CPoint(70, 20), 1, h); })); }
    int WhitePixels()
    {
        Render();
        int white = 0;
        for (int y = kInner.GetY(); y < kInner.GetBottom(); ++y)
            for (int x = kInner.GetX(); x < kInner.GetRight(); ++x)
                white += At(x, y) == kWhite;
        return white;
    }

    CAreaEditField* m_field = nullptr;
    int m_changes = 0;
};
}  // namespace

TEST_F(EditFields, TypingAppendsAndActsOnTheSelection)
{
    EXPECT_EQ(m_field->GetBoxRect(), CRect(52, 1, 150, 38));
    Type("ab");
    EXPECT_EQ(m_field->GetCursor(), 2u);
    SelectAll();
    EXPECT_EQ(m_field->GetCursor(), 0u);
    Type("xy");
    EXPECT_EQ(m_field->GetText(), "xy");
    SelectAll();
    Type("\b");
    EXPECT_EQ(m_field->GetText(), "");
    // Backspace at the end takes one character; the cursor left beyond the end acts as the end.
    m_field->SetText("abc");
    m_field->MoveCursorToEnd();
    Type("\bd");
    EXPECT_EQ(m_field->GetText(), "abd");
    // Every key-down calls back, taken or not.
    m_changes = 0;
    Key(uint32_t(SDLK_F1));
    EXPECT_EQ(m_changes, 1);

    // Not editable: keys are neither taken nor reported.
    m_field->SetEditable(false);
    for (uint32_t key : {uint32_t('a'), kBackspace, kEnd})
        EXPECT_FALSE(Key(key));
    EXPECT_EQ(m_field->GetText(), "abd");
    EXPECT_EQ(m_changes, 1);
}

TEST_F(EditFields, ShiftMovesTheCursorEverywhereAndWithoutItOnlyToTheEnd)
{
    m_field->SetText("abcd");
    m_field->MoveCursorToEnd();
    EXPECT_FALSE(Key(kLeft));
    EXPECT_FALSE(Key(kHome));
    EXPECT_TRUE(Key(kShift));
    // Key, then the cursor after it.
    const uint32_t shifted[][2] = {{kLeft, 3}, {kLeft, 2}, {kRight, 3}, {kHome, 0}, {kLeft, 0}, {kEnd, 4}, {kRight, 4}};
    for (const auto& c : shifted)
    {
        EXPECT_TRUE(Key(c[0]));
        EXPECT_EQ(m_field->GetCursor(), c[1]) << c[0];
    }
    Key(kShift, false);
    Key(kHome);
    EXPECT_TRUE(Key(kLeft) == false && m_field->GetCursor() == 4u);
}

TEST_F(EditFields, EditingWorksOnWholeCharactersAndTakesTheKeyboardsTextInput)
{
    const auto Text = [this](const std::string& text) {
        return Routed([&](bool* h) { m_root->TextInput(text, h); });
    };
    // "Bühne": four steps left from the end stop after the B, never inside the ü.
    m_field->SetText("B\xC3\xBChne");
    m_field->MoveCursorToEnd();
    Key(kShift);
    for (uint32_t cursor : {5u, 4u, 3u, 1u})
    {
        Key(kLeft);
        EXPECT_EQ(m_field->GetCursor(), cursor);
    }
    Key(kRight);
    EXPECT_EQ(m_field->GetCursor(), 3u);
    Key(kShift, false);
    Type("x");
    EXPECT_EQ(m_field->GetText(), "B\xC3\xBCx");
    m_field->SetCursor(2);  // inside the ü: its start
    EXPECT_EQ(m_field->GetCursor(), 1u);
    Type("\b");
    EXPECT_EQ(m_field->GetText(), "B") << "Backspace deletes the selection from the cursor on";
    // Delete removes the selection and, with none, nothing.
    m_field->SetText("ab\xC3\xA9");
    SelectAll();
    EXPECT_TRUE(Key(127));
    EXPECT_EQ(m_field->GetText(), "");
    Type("a");
    EXPECT_TRUE(Key(127));
    EXPECT_EQ(m_field->GetText(), "a");

    // Accented letters come as text input alone; a text input that follows a typed key stands for
    // the same keystroke and takes its character's place (another layout's "/", a composed "ê").
    m_changes = 0;
    EXPECT_TRUE(Text("\xC3\xA9"));
    Type("b");
    EXPECT_TRUE(Text("b"));
    Key('e');
    EXPECT_TRUE(Text("\xC3\xAA"));
    Key('e', false);
    EXPECT_EQ(m_field->GetText(), "a\xC3\xA9" "b\xC3\xAA");
    EXPECT_EQ(m_changes, 5);
    // Bytes that are no UTF-8 never reach the text; a field that is not editable takes nothing.
    EXPECT_TRUE(Text("\xE9"));
    EXPECT_EQ(m_field->GetText(), "a\xC3\xA9" "b\xC3\xAA\xC3\xA9");
    m_field->SetEditable(false);
    EXPECT_FALSE(Text("z"));
}

TEST_F(EditFields, BackspaceHeldForASecondEmptiesTheField)
{
    m_field->SetText("abcdef");
    m_field->MoveCursorToEnd();
    Key(kBackspace);
    m_changes = 0;
    Ticks(24);
    EXPECT_EQ(m_field->GetText(), "abcde");
    Ticks(1);
    EXPECT_EQ(m_field->GetText(), "");
    EXPECT_EQ(m_changes, 1);
    // A field that stops taking keys while Backspace is down keeps what is left.
    Key(kBackspace, false);
    m_field->SetText("abc");
    Key(kBackspace);
    m_field->SetEditable(false);
    Ticks(30);
    EXPECT_EQ(m_field->GetText(), "ab");
}

TEST_F(EditFields, TheBoxShowsTheCursorTheSelectionAndShortenedText)
{
    Render();
    const CZevralImage blank = m_canvas;
    // Empty and focused: a "|" once the cursor blinks on.
    m_field->SetFocus(true);
    Ticks(13);
    Render();
    EXPECT_EQ(CountChanged(blank, m_canvas, kInner), 0);
    Ticks(1);
    Render();
    EXPECT_GT(CountChanged(blank, m_canvas, kInner), 0);

    // The selection from the cursor on shows as a block of the text colour.
    m_field->SetFocus(false);
    m_field->SetText("abcdef");
    m_field->MoveCursorToEnd();
    const int unselected = WhitePixels();
    Key(kShift);
    Key(kLeft), Key(kLeft), Key(kLeft);
    EXPECT_GT(WhitePixels(), unselected + 100);

    // A text far wider than the box is drawn shortened, wherever the cursor stands in it.
    m_field->SetText(std::string(200, 'w'));
    m_field->MoveCursorToEnd();
    const int unselectedLong = WhitePixels();
    Key(kLeft), Key(kLeft);
    Render();
    EXPECT_GT(CountChanged(blank, m_canvas, kInner), 0);
    EXPECT_EQ(CountChanged(blank, m_canvas, CRect(0, 0, 56, 40)), 0);
    // Its last two letters, kept at the end of what is shown, still show selected.
    EXPECT_GT(WhitePixels(), unselectedLong + 50);

    // Masked, each character is one star however many bytes it takes; so is the selection.
    m_field->SetMasked(true);
    CZevralImage ascii;
    for (const char* text : {"abc", "\xC3\xA9\xE2\x82\xAC\xC3\xBC"})
    {
        m_field->SetText(text);
        m_field->SetCursor(0);
        Key(kShift), Key(kRight), Key(kShift, false);
        Render();
        if (text[0] == 'a')
            ascii = m_canvas;
    }
    EXPECT_EQ(CountChanged(ascii, m_canvas, kInner), 0);
}
