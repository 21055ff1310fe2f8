// The edit field driven by key codes, presses and ticks through the area tree: selection editing,
// cursor keys, the Backspace hold, and what the box shows.
#include "tests/widgets/widget_test.h"
#include "widgets/area_edit_field.h"

#include <SDL_keycode.h>

using widget_test::WidgetTest;

namespace
{
const CRgbaColour kWhite(255, 255, 255, 255);
constexpr uint32_t kBackspace = 8;

class EditFields : public WidgetTest
{
protected:
    EditFields()
    {
        m_field = new CAreaEditField(m_root);
        m_field->SetRect(CRect(0, 0, 202, 40));
        m_field->SetTextColour(kWhite);
        m_field->SetChangeCallback(&m_changes, [](void* context, CAreaEditField*) { ++*static_cast<int*>(context); });
        m_root->AddChild(m_field);
        m_field->SetEditable(true);
    }
    void Type(const std::string& keys)
    {
        for (char c : keys)
        {
            Key(uint32_t(c));
            Key(uint32_t(c), false);
        }
    }
    void Stroke(uint32_t key)
    {
        Key(key);
        Key(key, false);
    }
    // Double click on the text, which selects all of it.
    void SelectAll()
    {
        bool handled = false;
        m_root->DoubleClick(0, CPoint(m_field->GetBoxRect().GetX() + 20, 20), 1, &handled);
        EXPECT_TRUE(handled);
    }

    CAreaEditField* m_field;
    int m_changes = 0;
};
}  // namespace

TEST_F(EditFields, TypingAppendsAndActsOnTheSelection)
{
    EXPECT_EQ(m_field->GetName(), "CAreaEditField");
    // The box takes three quarters of the field within a one-pixel border, at its right edge.
    EXPECT_EQ(m_field->GetBoxRect(), CRect(52, 1, 150, 38));

    Type("ab");
    EXPECT_EQ(m_field->GetText(), "ab");
    EXPECT_EQ(m_field->GetCursor(), 2u);
    SelectAll();
    EXPECT_EQ(m_field->GetCursor(), 0u);
    Type("x");
    EXPECT_EQ(m_field->GetText(), "x");
    Type("yz");
    SelectAll();
    Stroke(kBackspace);
    EXPECT_EQ(m_field->GetText(), "");

    // Backspace at the end removes one character; the cursor left beyond the end acts as the end.
    m_field->SetText("abc");
    m_field->MoveCursorToEnd();
    Stroke(kBackspace);
    Type("d");
    EXPECT_EQ(m_field->GetText(), "abd");

    // Every key-down calls back, taken or not.
    m_changes = 0;
    Stroke(uint32_t(SDLK_F1));
    Type("e");
    EXPECT_EQ(m_changes, 2);
}

TEST_F(EditFields, KeysAreIgnoredWhileNotEditable)
{
    m_field->SetEditable(false);
    for (uint32_t key : {uint32_t('a'), kBackspace, uint32_t(SDLK_END)})
        EXPECT_FALSE(Key(key));
    EXPECT_EQ(m_field->GetText(), "");
    EXPECT_EQ(m_changes, 0);
}

TEST_F(EditFields, ShiftMovesTheCursorEverywhereAndWithoutItOnlyToTheEnd)
{
    m_field->SetText("abcd");
    m_field->MoveCursorToEnd();
    const struct
    {
        uint32_t key;
        bool handled;
        uint32_t cursor;
    } plain[] = {
        {uint32_t(SDLK_LEFT), false, 4},
        {uint32_t(SDLK_HOME), false, 4},
    };
    for (const auto& c : plain)
    {
        EXPECT_EQ(Key(c.key), c.handled);
        EXPECT_EQ(m_field->GetCursor(), c.cursor);
    }
    EXPECT_TRUE(Key(uint32_t(SDLK_LSHIFT)));
    const struct
    {
        uint32_t key;
        uint32_t cursor;
    } shifted[] = {
        {uint32_t(SDLK_LEFT), 3},
        {uint32_t(SDLK_LEFT), 2},
        {uint32_t(SDLK_RIGHT), 3},
        {uint32_t(SDLK_HOME), 0},
        {uint32_t(SDLK_LEFT), 0},
        {uint32_t(SDLK_END), 4},
        {uint32_t(SDLK_RIGHT), 4},
    };
    for (const auto& c : shifted)
    {
        EXPECT_TRUE(Key(c.key));
        EXPECT_EQ(m_field->GetCursor(), c.cursor) << c.key;
    }
    Key(uint32_t(SDLK_LSHIFT), false);
    Key(uint32_t(SDLK_HOME));
    EXPECT_EQ(m_field->GetCursor(), 4u);
    m_field->SetCursor(1);
    EXPECT_TRUE(Key(uint32_t(SDLK_RIGHT)));
    EXPECT_EQ(m_field->GetCursor(), 4u);
}

TEST_F(EditFields, BackspaceHeldForASecondEmptiesTheField)
{
    m_field->SetText("abcdef");
    m_field->MoveCursorToEnd();
    Key(kBackspace);
    EXPECT_EQ(m_field->GetText(), "abcde");
    m_changes = 0;
    Ticks(24);
    EXPECT_EQ(m_field->GetText(), "abcde");
    Ticks(1);
    EXPECT_EQ(m_field->GetText(), "");
    EXPECT_EQ(m_changes, 1);

    // Let go in time, nothing more goes.
    Key(kBackspace, false);
    m_field->SetText("abc");
    Key(kBackspace);
    Ticks(10);
    Key(kBackspace, false);
    Ticks(30);
    EXPECT_EQ(m_field->GetText(), "ab");

    // A field that stops taking keys while Backspace is down keeps what is left.
    Key(kBackspace);
    m_field->SetEditable(false);
    Ticks(30);
    EXPECT_EQ(m_field->GetText(), "a");
}

TEST_F(EditFields, TheBoxShowsTheCursorTheSelectionAndShortenedText)
{
    const CRect inner(58, 7, 138, 26);
    Render();
    const CZevralImage blank = m_canvas;
    // Empty and focused: a "|" once the cursor blinks on.
    m_field->SetFocus(true);
    Ticks(13);
    Render();
    EXPECT_EQ(widget_test::CountChanged(blank, m_canvas, inner), 0);
    Ticks(1);
    Render();
    EXPECT_GT(widget_test::CountChanged(blank, m_canvas, inner), 0);

    // With the cursor stepped back, the selection shows as a block of the text colour.
    m_field->SetFocus(false);
    m_field->SetText("abcdef");
    m_field->MoveCursorToEnd();
    const auto whitePixels = [this, &inner] {
        Render();
        int white = 0;
        for (int y = inner.GetY(); y < inner.GetBottom(); ++y)
            for (int x = inner.GetX(); x < inner.GetRight(); ++x)
                white += At(x, y) == kWhite;
        return white;
    };
    const int unselected = whitePixels();
    Key(uint32_t(SDLK_LSHIFT));
    for (int i = 0; i < 3; ++i)
        Key(uint32_t(SDLK_LEFT));
    EXPECT_GT(whitePixels(), unselected + 100);

    // A text far wider than the box is drawn shortened, whatever the cursor's place in it.
    m_field->SetText(std::string(200, 'w'));
    m_field->MoveCursorToEnd();
    for (int i = 0; i < 5; ++i)
        Key(uint32_t(SDLK_LEFT));
    EXPECT_EQ(m_field->GetCursor(), 195u);
    EXPECT_GT(widget_test::CountChanged(blank, m_canvas, inner), 0);
    // Nothing spills outside the box's inside.
    EXPECT_EQ(widget_test::CountChanged(blank, m_canvas, CRect(0, 0, 56, 40)), 0);
}
