#include "widgets/area_edit_field.h"

#include "foundation/key_text.h"
#include "foundation/utf8.h"
#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "widgets/area_label.h"
#include "widgets/shorten_middle.h"

#include <SDL_keycode.h>

#include <algorithm>

namespace
{
constexpr uint32_t kWidth = 200;
constexpr uint32_t kHeight = 40;
constexpr uint32_t kFontSize = 12;
constexpr uint32_t kLargeFontSize = 36;
constexpr uint32_t kBackspace = 8;
constexpr uint32_t kDelete = 127;
// After the text while the cursor shows: at its end, or before a selection.
const char* const kMarkAtEnd = "|";
const char* const kMarkInside = " ";
// The text keeps this far inside the box's frame.
constexpr uint32_t kInnerInset = 6;
constexpr uint32_t kLeftButton = 1;
constexpr float kAutomaticShare = 0.75f;

bool IsShift(uint32_t key)
{
    return key == uint32_t(SDLK_LSHIFT) || key == uint32_t(SDLK_RSHIFT);
}

int32_t TextWidth(const CArea2& area, const std::string& text)
{
    int32_t width = 0;
    int32_t height = 0;
    area.MeasureText(text, width, height);
    return width;
}

// One star per character of the text, however many bytes each takes.
std::string Masked(const std::string& text)
{
    std::string stars;
    for (size_t at = 0; at < text.size(); at = NextCharacter(text, at))
        stars += '*';
    return stars;
}

// Where the selection (the text from the cursor on) starts in what is shown of the text, which
// may be shortened in its middle: within the part kept from the text's end, at the dots, or within
// the part kept from its start.
size_t SelectionStart(const std::string& shown, const std::string& text, size_t cursor)
{
    size_t prefix = 0;
    while (prefix < shown.size() && prefix < text.size() && shown[prefix] == text[prefix])
        ++prefix;
    if (cursor <= prefix)
        return cursor;
    size_t suffix = 0;
    while (suffix < shown.size() - prefix && suffix < text.size() &&
           shown[shown.size() - 1 - suffix] == text[text.size() - 1 - suffix])
        ++suffix;
    const size_t selected = text.size() - cursor;
    return selected <= suffix ? shown.size() - selected : prefix;
}
}  // namespace

CAreaEditField::CAreaEditField(CArea2* parent)
    : CArea2(parent, false, kWidth, CApp::IsHighResolution() ? 2 * kHeight : kHeight),
      m_caption(MakeChild<CAreaLabel>(false))
{
    SetName("CAreaEditField");
    m_caption->SetHorizontalAlignment(kAlignEnd);
    SetFontSize(CApp::IsHighResolution() ? kLargeFontSize : kFontSize);
    m_textMargin = 10;
}

CAreaEditField::~CAreaEditField() = default;

void CAreaEditField::SetText(const std::string& text, bool translate)
{
    const std::string value = translate ? CApp::Translate(text, false) : text;
    if (value == m_text)
        return;
    m_text = value;
    m_keyTyped = false;
    SetDirty();
    m_change(this);
}

void CAreaEditField::SetLabel(const std::string& text, bool translate)
{
    m_caption->SetText(text, translate);
}

std::string CAreaEditField::GetLabel() const
{
    return m_caption->GetText();
}

void CAreaEditField::SetLabelWidth(int32_t width)
{
    m_labelWidth = width;
    m_automaticWidth = false;
    Layout();
    SetDirty();
}

void CAreaEditField::SetAlignment(uint32_t alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    SetDirty();
}

void CAreaEditField::SetMasked(bool masked)
{
    m_masked = masked;
    SetDirty();
}

void CAreaEditField::SetFocus(bool focus)
{
    if (focus == m_focus)
        return;
    m_focus = focus;
    SetDirty();
}

void CAreaEditField::SetEditable(bool editable)
{
    m_editable = editable;
    // Keys held now are no longer heard, nor their release: a Backspace that seems held for ever
    // would empty the field a second later.
    if (!editable)
        m_backspaceHeld = m_shiftHeld = false;
}

void CAreaEditField::SetCursor(uint32_t position)
{
    if (position >= m_text.size())
        return;
    // Never inside a character.
    position = uint32_t(PreviousCharacter(m_text, NextCharacter(m_text, position)));
    if (position == m_cursor)
        return;
    m_cursor = position;
    SetDirty();
}

void CAreaEditField::MoveCursorToEnd()
{
    if (m_cursor == m_text.size())
        return;
    m_cursor = uint32_t(m_text.size());
    SetDirty();
}

void CAreaEditField::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    m_frame.Fill(colour, true);
}

void CAreaEditField::OnPointerDown(const CPoint&, uint32_t button, bool* handled)
{
    m_press(this, button, handled);
    if (button == kLeftButton)
    {
        MoveCursorToEnd();
        SetDirty();
        if (handled)
            *handled = true;
    }
}

void CAreaEditField::OnDoubleClick(const CPoint& point, uint32_t button, bool* handled)
{
    CRect text = m_box + CPoint(m_textMargin, 0);
    text.Shrink(kInnerInset);
    text.SetWidth(TextWidth(*this, m_text));
    text.Grow(int32_t(kInnerInset));
    if (button != kLeftButton || !text.Contains(point))
        return;
    SetCursor(0);
    SetDirty();
    if (handled)
        *handled = true;
}

void CAreaEditField::OnKeyDown(uint32_t key, bool* handled)
{
    // A new keystroke: the text input of the previous one, if any came, has come.
    m_keyTyped = false;
    if (!m_editable)
        return;
    // The cursor stands on a character boundary; one beyond the end stands at the end.
    const size_t cursor = std::min<size_t>(m_cursor, m_text.size());
    bool took = false;
    if (key == kBackspace || key == kDelete)
    {
        // With a selection both delete it; without one Backspace takes the last character and
        // Delete, with nothing after the cursor, nothing.
        if (cursor < m_text.size())
            m_text.erase(cursor);
        else if (key == kBackspace)
            ApplyKeyToText(int32_t(key), m_text, nullptr);
        took = true;
    }
    else
    {
        std::string typed;
        ApplyKeyToText(int32_t(key), typed, &took);
        if (took)
        {
            // The platform's text input may follow with the character this keystroke really
            // makes (another layout, a composed accent): it then takes this one's place.
            m_textBeforeKey = m_text;
            m_cursorBeforeKey = m_cursor;
            m_keyTyped = true;
            m_text.erase(cursor);
            m_text += typed;
        }
    }
    if (took)
    {
        m_cursor = uint32_t(m_text.size());
        if (handled)
            *handled = true;
    }
    m_change(this);
    HandleCursorKey(key, handled);
    if (took || (handled && *handled))
        SetDirty();
}

void CAreaEditField::OnTextInput(const std::string& text, bool* handled)
{
    if (!m_editable)
        return;
    // The same keystroke's key down may have typed a character already: the text replaces it.
    if (m_keyTyped)
    {
        m_text = m_textBeforeKey;
        m_cursor = m_cursorBeforeKey;
        m_keyTyped = false;
    }
    // Like a typed key, the text replaces the selection.
    m_text.erase(std::min<size_t>(m_cursor, m_text.size()));
    m_text += ToValidUtf8(text);
    m_cursor = uint32_t(m_text.size());
    if (handled)
        *handled = true;
    SetDirty();
    m_change(this);
}

void CAreaEditField::HandleCursorKey(uint32_t key, bool* handled)
{
    bool used = true;
    // A cursor left beyond the end stands at the end.
    const uint32_t length = uint32_t(m_text.size());
    const uint32_t cursor = std::min(m_cursor, length);
    if (key == kBackspace)
    {
        if (!m_backspaceHeld)
            m_backspaceTimer = 0.0f;
        m_backspaceHeld = true;
    }
    else if (IsShift(key))
    {
        m_shiftHeld = true;
    }
    else if (m_shiftHeld && key == uint32_t(SDLK_HOME))
    {
        m_cursor = 0;
    }
    else if (key == uint32_t(SDLK_END) || (!m_shiftHeld && key == uint32_t(SDLK_RIGHT)))
    {
        MoveCursorToEnd();
    }
    else if (m_shiftHeld && key == uint32_t(SDLK_RIGHT))
    {
        if (cursor < length)
            m_cursor = uint32_t(NextCharacter(m_text, cursor));
    }
    else if (m_shiftHeld && key == uint32_t(SDLK_LEFT))
    {
        if (cursor > 0)
            m_cursor = uint32_t(PreviousCharacter(m_text, cursor));
    }
    else
    {
        used = false;
    }
    if (used && handled)
        *handled = true;
}

void CAreaEditField::OnKeyUp(uint32_t key, bool* handled)
{
    // The held marks follow the keys even while the field does not take them.
    if (key == kBackspace)
        m_backspaceHeld = false;
    else if (IsShift(key))
        m_shiftHeld = false;
    if (!m_editable)
        return;
    std::string scratch;
    ApplyKeyToText(int32_t(key), scratch, handled);
    if (key == kBackspace && handled)
        *handled = true;
}

void CAreaEditField::OnTick(float seconds)
{
    if (m_focus && IsEnabled())
    {
        if (m_blinkTimer > kBlinkTime)
        {
            m_cursorVisible = !m_cursorVisible;
            SetDirty();
            m_blinkTimer = 0.0f;
        }
        else
        {
            m_blinkTimer += seconds;
        }
    }
    if (m_backspaceHeld && m_backspaceTimer < kClearTime)
    {
        m_backspaceTimer += seconds;
        if (m_backspaceTimer >= kClearTime)
            SetText("", false);
    }
}

void CAreaEditField::Layout()
{
    CRect r = GetLocalRect();
    r.Shrink(1);
    m_caption->SetRect(r);
    int32_t boxWidth = m_automaticWidth ? int32_t(float(r.GetWidth()) * kAutomaticShare) : r.GetWidth() - m_labelWidth;
    boxWidth = std::max(0, boxWidth);
    m_box = CRect(int32_t(GetWidth()) - boxWidth, r.GetY(), boxWidth, r.GetHeight());
    m_caption->SetWidth(uint32_t(std::max(0, m_box.GetX())));
    if (boxWidth > 0 && m_box.GetHeight() > 0)
    {
        CGlyphManager::Instance().GetButtonFrame(m_frame, uint32_t(boxWidth), uint32_t(m_box.GetHeight()), false,
                                                 false);
        m_frame.Fill(GetColour(), true);
    }
    else
    {
        m_frame = CZevralImage();
    }
}

void CAreaEditField::Paint(CTextureAdapter& canvas)
{
    canvas.BlendImage(m_box.GetPosition(), m_frame);
    CRect inner = m_box;
    inner.Shrink(kInnerInset);
    if (inner.GetWidth() <= 0 || inner.GetHeight() <= 0)
        return;

    const std::string text = m_masked ? Masked(m_text) : m_text;
    const bool marked = m_focus && m_cursorVisible && IsEnabled();
    if (text.empty() && !marked)
        return;

    const int32_t margin = m_textMargin;
    CPoint anchor(inner.GetWidth() - margin, inner.GetHeight() / 2);
    if (m_alignment == kAlignCentre)
        anchor = CPoint(inner.GetWidth() / 2, inner.GetHeight() / 2);
    else if (m_alignment == kAlignStart)
        anchor = CPoint(margin, inner.GetHeight() / 2);

    // A field that can show the cursor keeps room for its mark whether the mark blinks on or off,
    // so that a long text is shortened the same way for as long as it stays as it is.
    const int32_t markRoom =
        m_focus || m_editable ? std::max(TextWidth(*this, kMarkAtEnd), TextWidth(*this, kMarkInside)) : 0;
    const std::string shown = ShortenMiddleToFit(text, [&](const std::string& candidate) {
        return TextWidth(*this, candidate) <= inner.GetWidth() - 2 * margin - markRoom;
    });
    const std::string display = marked ? shown + (m_cursor >= m_text.size() ? kMarkAtEnd : kMarkInside) : shown;

    // The selection keeps to the same letters when the text is shortened in its middle; the
    // cursor's mark after the text belongs to it.
    std::string head = display;
    std::string tail;
    if (m_editable && m_cursor < m_text.size())
    {
        const size_t cursor = m_masked ? Masked(m_text.substr(0, m_cursor)).size() : m_cursor;
        const size_t split = SelectionStart(shown, text, cursor);
        head = display.substr(0, split);
        tail = display.substr(split);
    }

    CZevralImage work{uint32_t(inner.GetWidth()), uint32_t(inner.GetHeight())};
    work.Fill(GetBackgroundColour());
    DrawText(work, display, GetTextColour(), anchor, m_alignment, kAlignMiddle);
    canvas.CopyImage(inner.GetPosition(), work);

    if (tail.empty())
        return;
    int32_t tailWidth = 0;
    int32_t textHeight = 0;
    MeasureText(tail, tailWidth, textHeight);
    if (tailWidth <= 0 || textHeight <= 0)
        return;
    CZevralImage selection{uint32_t(tailWidth), uint32_t(textHeight)};
    selection.Fill(GetTextColour());
    DrawText(selection, tail, GetBackgroundColour(), CPoint(0, 0), m_alignment, 3);
    canvas.CopyImage(CPoint(inner.GetX() + TextWidth(*this, head) + margin,
                            inner.GetY() + inner.GetHeight() / 2 - textHeight / 2),
                     selection);
}
